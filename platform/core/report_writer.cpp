#include "platform/core/report_writer.h"

#include <algorithm>
#include <cctype>

namespace vendrel {

bool IsWebAddress(const std::string& Address) {
    std::string scheme;
    for (char c : Address) {
        if (c == ':') {
            return scheme == "http" || scheme == "https";
        }
        scheme += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
        if (scheme.size() > 5) {
            return false;
        }
    }
    return false;
}

TReportRect FitPicture(int Width, int Height, const TReportRect& Rect) {
    if (Width <= 0 || Height <= 0 || Rect.Width() <= 0.0f || Rect.Height() <= 0.0f) {
        return {Rect.Left, Rect.Top, Rect.Left, Rect.Top};
    }
    const double scale = std::min(double(Rect.Width()) / Width, double(Rect.Height()) / Height);
    const auto w = static_cast<float>(Width * scale);
    const auto h = static_cast<float>(Height * scale);
    const float left = Rect.Left + (Rect.Width() - w) * 0.5f;
    const float top = Rect.Top + (Rect.Height() - h) * 0.5f;
    return {left, top, left + w, top + h};
}

} // namespace vendrel
