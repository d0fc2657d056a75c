#pragma once
// The reference dialog of a zone's picture ("Reference Length and Transparent Color") apart from its
// widgets: the user marks two points on the picture and gives their real distance, which sets the
// picture's scale, and may pick a colour of the picture that becomes transparent.
//
// Points are kept in picture pixels; the mouse arrives in display units of the shown (stretched)
// picture, which XRatio and YRatio (display size / picture size) convert. With Shift held a point being
// placed snaps level with the other point (at 45 degrees or less) or plumb with it. The scale is only
// known once the two points differ: until then MetersPerPixel is 0 and no size can be applied.

#include "platform/core/bitmap.h"
#include "platform/core/cursor_service.h"
#include "platform/core/edit_helpers.h"
#include "platform/core/planar.h"

#include <cstdint>
#include <string>

namespace vendrel {

class TPictureReference {
public:
    // ---- What the caller sets before the dialog shows and reads after OK ----
    TAlphaColor ColorPicked = TAlphaColors::Null;
    int32_t Tolerance = 35;         // the tolerance field, 0..200
    bool ClearTransparency = false; // no colour is made transparent
    TPointF Beginpoint;             // picture pixels
    TPointF Endpoint;
    double Distpx = 0.0;         // distance of the two points, picture pixels
    double MetersPerPixel = 0.0; // 0 while the points coincide
    bool NeedSetNewPoints = false;
    bool NeedUpdateSize = false;

    // The length field (display units) and the units it is shown in.
    std::string ABLengthText = "1.00";
    double LengthUnits = 1.0;
    std::string LengthUnitText = "m";
    TFormatSettings FormatSettings;

    // ---- State the widgets mirror ----
    TPointF MovePoint; // the mouse, display units
    double XRatio = 1.0;
    double YRatio = 1.0;
    bool IsSettingBeginpoint = false;
    bool IsSettingEndpoint = false;
    bool IsSettingTransparent = false;
    bool MovingBeginPoint = false;
    bool MovingEndPoint = false;
    TRectF BeginRect; // 30 x 30 around each point, picture pixels
    TRectF EndRect;
    bool ColorBoxVisible = true;
    bool LoupeVisible = false;
    TAlphaColor ColorBox = TAlphaColors::Null; // the colour shown in the colour box
    TCursor Cursor = crDefault;
    double SnapAngle = 0.0; // degrees, shown beside the tolerance while Shift snaps

    // The picture as given (auxBitmap) and as shown, with its transparent colour (Image1).
    const TBitmap& Picture() const { return auxBitmap_; }
    const TBitmap& Shown() const { return shown_; }
    void SetPicture(TBitmap Picture);
    // Counts how often the shown picture was composed again (a drag must not compose it).
    int PreviewCount() const { return previews_; }

    // ---- Handlers ----
    // The dialog opens on a display of the given size: ratios, point rectangles and the preview.
    void FormActivate(double DisplayWidth, double DisplayHeight);
    void RecalcFitRatio(double DisplayWidth, double DisplayHeight);
    void Preview();
    void SetColorClick();                     // "Set Color": the next click picks a colour
    void ClearClick();                        // "Clear": nothing is transparent
    void ToleranceChanged(int32_t Value);     // a change of the tolerance field
    void SetABPointsBClick();                 // "Set Two Ref Points"
    void LengthExit(const std::string& Text); // leaving the length field
    void MouseDown(double X, double Y, bool Shift);
    void MouseMove(double X, double Y, bool Shift);
    void MouseUp(double X, double Y, bool Shift);

    // The label between the points: its text and its rectangle in display units.
    std::string LabelText() const;
    TRectF LabelRect() const;
    // The picture pixel under a display position, held inside the picture.
    TAlphaColor PixelAt(double X, double Y) const;
    // The scale of the two points and the length field (0 when the points coincide).
    void UpdateScale();

private:
    double displayWidth() const { return auxBitmap_.Width() * XRatio; }
    double displayHeight() const { return auxBitmap_.Height() * YRatio; }
    TPointF toPicture(double X, double Y) const;
    // Snaps Point (the first or the second) against the other one while Shift is held.
    void snap(TPointF& Point, bool IsSecond, bool Shift);
    void recalcRects();
    double lengthValue() const;

    TBitmap auxBitmap_;
    TBitmap shown_;
    int previews_ = 0;
};

} // namespace vendrel
