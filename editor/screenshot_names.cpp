#include "editor/screenshot_names.h"

#include "acoustics/project.h"

#include <algorithm>
#include <cctype>

namespace vendrel {

std::string ScreenshotViewWord(TViewType View) {
    switch (View) {
    case TViewType::qzaSideView:
        return "Side";
    case TViewType::qzaTopView:
        return "Top";
    case TViewType::qzaThreeDView:
        return "3D";
    case TViewType::qzaFrontView:
        return "Front";
    }
    return "";
}

std::string ScreenshotProposedName(const std::string& InstallName, const std::string& CenterFrequency,
                                   const std::string& Band, TViewType View) {
    std::string name = InstallName + " @ " + CenterFrequency + " " + Band + " " + ScreenshotViewWord(View);
    std::replace(name.begin(), name.end(), '/', '-');
    return name;
}

std::filesystem::path ScreenshotFileName(const std::filesystem::path& Chosen) {
    std::string ext = Chosen.extension().string();
    std::transform(ext.begin(), ext.end(), ext.begin(), [](unsigned char c) { return std::tolower(c); });
    if (ext == ".jpeg" || ext == ".jpg") {
        return Chosen;
    }
    std::filesystem::path named = Chosen;
    named += ".jpeg";
    return named;
}

std::string ScreenshotCaption(TViewType View, const std::string& Band, const std::string& CenterFrequency) {
    std::string view = "View: " + ScreenshotViewWord(View);
    view.resize(12, ' ');
    return view + "  |  " + "Bandwidth: " + Band + "  |  " + "Center Frequency: " + CenterFrequency;
}

} // namespace vendrel
