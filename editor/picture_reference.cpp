#include "editor/picture_reference.h"

#include "platform/core/numeric.h"
#include "scene/color_helpers.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace vendrel {

namespace {

constexpr float kHalfRect = 15.0f; // the points' rectangles are 30 x 30 picture pixels
constexpr double kLengthMin = 0.01;
constexpr double kLengthMax = 200.0;

bool inside(const TRectF& r, const TPointF& p) {
    return p.X >= r.Left && p.X <= r.Right && p.Y >= r.Top && p.Y <= r.Bottom;
}

TRectF around(const TPointF& p) {
    return {p.X - kHalfRect, p.Y - kHalfRect, p.X + kHalfRect, p.Y + kHalfRect};
}

} // namespace

void TPictureReference::SetPicture(TBitmap Picture) {
    auxBitmap_ = std::move(Picture);
    shown_ = auxBitmap_;
}

void TPictureReference::FormActivate(double DisplayWidth, double DisplayHeight) {
    ColorBox = ColorPicked;
    RecalcFitRatio(DisplayWidth, DisplayHeight);
    recalcRects();
    Preview();
}

void TPictureReference::RecalcFitRatio(double DisplayWidth, double DisplayHeight) {
    if (auxBitmap_.IsEmpty() || !(DisplayWidth > 0) || !(DisplayHeight > 0)) {
        return;
    }
    XRatio = DisplayWidth / auxBitmap_.Width();
    YRatio = DisplayHeight / auxBitmap_.Height();
}

void TPictureReference::Preview() {
    shown_ = auxBitmap_;
    MakeColorTransparent(shown_, ColorPicked, ClearTransparency ? 0 : Tolerance);
    ++previews_;
}

void TPictureReference::SetColorClick() {
    IsSettingTransparent = true;
}

void TPictureReference::ClearClick() {
    ClearTransparency = true;
    ColorBoxVisible = false;
    Preview();
}

void TPictureReference::ToleranceChanged(int32_t Value) {
    Tolerance = std::clamp(Value, 0, 200);
    ClearTransparency = false;
    ColorBoxVisible = true;
    Preview();
}

void TPictureReference::SetABPointsBClick() {
    IsSettingBeginpoint = true;
    IsSettingEndpoint = false;
    LoupeVisible = true;
    NeedSetNewPoints = true;
}

TPointF TPictureReference::toPicture(double X, double Y) const {
    return {static_cast<float>(X / XRatio), static_cast<float>(Y / YRatio)};
}

TAlphaColor TPictureReference::PixelAt(double X, double Y) const {
    if (auxBitmap_.IsEmpty()) {
        return TAlphaColors::Null;
    }
    const auto w = auxBitmap_.Width();
    const auto h = auxBitmap_.Height();
    // The right and bottom edges of the display round to one past the last pixel: held inside.
    const double px = displayWidth() > 0 ? X * w / displayWidth() : 0.0;
    const double py = displayHeight() > 0 ? Y * h / displayHeight() : 0.0;
    const int x = std::isfinite(px) ? static_cast<int>(std::clamp<double>(RoundHalfEven(px), 0, w - 1)) : 0;
    const int y = std::isfinite(py) ? static_cast<int>(std::clamp<double>(RoundHalfEven(py), 0, h - 1)) : 0;
    return auxBitmap_.Pixel(x, y);
}

void TPictureReference::snap(TPointF& Point, bool IsSecond, bool Shift) {
    if (!Shift) {
        return;
    }
    const TPointF& first = IsSecond ? Beginpoint : Point;
    const TPointF& second = IsSecond ? Point : Endpoint;
    const double dy = (static_cast<double>(first.Y) - second.Y) * YRatio;
    const double dx = (static_cast<double>(second.X) - first.X) * XRatio;
    const double angle =
        dx == 0.0 && dy == 0.0 ? 0.0 : std::fabs(std::atan(dy / dx)) * 180.0 / std::numbers::pi;
    SnapAngle = angle;
    const TPointF& other = IsSecond ? Beginpoint : Endpoint;
    if (angle <= 45.0) {
        Point.Y = other.Y;
    } else {
        Point.X = other.X;
    }
}

void TPictureReference::recalcRects() {
    BeginRect = around(Beginpoint);
    EndRect = around(Endpoint);
}

double TPictureReference::lengthValue() const {
    return ReadFloatEdit(ABLengthText, kLengthMin, kLengthMax, "0.00", 1.0, FormatSettings).Value;
}

void TPictureReference::UpdateScale() {
    const double dx = static_cast<double>(Endpoint.X) - Beginpoint.X;
    const double dy = static_cast<double>(Endpoint.Y) - Beginpoint.Y;
    Distpx = std::sqrt(dx * dx + dy * dy);
    // Two points in one place give no scale (rather than an infinite one).
    MetersPerPixel = Distpx > 0.0 ? lengthValue() / LengthUnits / Distpx : 0.0;
}

void TPictureReference::MouseDown(double X, double Y, bool Shift) {
    const TPointF at = toPicture(X, Y);
    bool placed = false;
    if (IsSettingTransparent && !IsSettingBeginpoint && !IsSettingEndpoint) {
        ColorPicked = PixelAt(X, Y);
        ColorBox = ColorPicked;
        ClearTransparency = false;
        ColorBoxVisible = true;
        IsSettingTransparent = false;
        Preview();
    } else if (IsSettingBeginpoint) {
        Beginpoint = at;
        snap(Beginpoint, false, Shift);
        IsSettingBeginpoint = false;
        IsSettingEndpoint = true;
        NeedSetNewPoints = false;
        NeedUpdateSize = true;
        placed = true;
    } else if (IsSettingEndpoint) {
        Endpoint = at;
        snap(Endpoint, true, Shift);
        IsSettingEndpoint = false;
        LoupeVisible = false;
        NeedUpdateSize = true;
        placed = true;
    }
    if (!placed) {
        if (inside(BeginRect, at)) {
            MovingBeginPoint = true;
        } else if (inside(EndRect, at)) {
            MovingEndPoint = true;
        }
    }
    UpdateScale();
}

void TPictureReference::MouseMove(double X, double Y, bool Shift) {
    const TPointF at = toPicture(X, Y);
    MovePoint = {static_cast<float>(X), static_cast<float>(Y)};
    if (IsSettingTransparent) {
        ColorBox = PixelAt(X, Y);
    }
    if (IsSettingBeginpoint) {
        Beginpoint = at;
        if (NeedSetNewPoints) {
            Endpoint = at;
        }
    } else if (IsSettingEndpoint) {
        Endpoint = at;
        snap(Endpoint, true, Shift);
    }
    if (MovingBeginPoint) {
        Beginpoint = at;
        snap(Beginpoint, false, Shift);
        NeedUpdateSize = true;
    } else if (MovingEndPoint) {
        Endpoint = at;
        snap(Endpoint, true, Shift);
        NeedUpdateSize = true;
    }
    if (IsSettingBeginpoint || IsSettingEndpoint || IsSettingTransparent) {
        Cursor = crCross;
    } else if (inside(BeginRect, at) || inside(EndRect, at) || MovingBeginPoint || MovingEndPoint) {
        Cursor = crHandPoint;
    } else {
        Cursor = crDefault;
    }
}

void TPictureReference::MouseUp(double X, double Y, bool Shift) {
    const TPointF at = toPicture(X, Y);
    if (MovingBeginPoint) {
        Beginpoint = at;
        snap(Beginpoint, false, Shift);
        MovingBeginPoint = false;
    } else if (MovingEndPoint) {
        Endpoint = at;
        snap(Endpoint, true, Shift);
        MovingEndPoint = false;
    }
    recalcRects();
    UpdateScale();
}

void TPictureReference::LengthExit(const std::string& Text) {
    const TEditRead read = ReadFloatEdit(Text, kLengthMin, kLengthMax, "0.00", 1.0, FormatSettings);
    ABLengthText = read.Text;
    if (Distpx <= 0.0) {
        return; // no scale before the points differ
    }
    if (read.Text == FormatFloatPattern("0.00", MetersPerPixel * Distpx * LengthUnits, FormatSettings)) {
        return;
    }
    MetersPerPixel = read.Value / LengthUnits / Distpx;
    NeedUpdateSize = true;
}

std::string TPictureReference::LabelText() const {
    return ABLengthText + " " + LengthUnitText;
}

TRectF TPictureReference::LabelRect() const {
    const float left = std::min(Beginpoint.X, Endpoint.X) - 100.0f;
    const float right = std::max(Beginpoint.X, Endpoint.X) + 100.0f;
    const float top = std::min(Beginpoint.Y, Endpoint.Y);
    const float bottom = std::max(Beginpoint.Y, Endpoint.Y) + 50.0f;
    const auto xr = static_cast<float>(XRatio);
    const auto yr = static_cast<float>(YRatio);
    return {left * xr, top * yr, right * xr, bottom * yr};
}

} // namespace vendrel
