#pragma once
// Qt side of the cursor and mouse services: the platform's cursor service on Qt's application-wide
// override cursor, the pointer position from QCursor, and the program's five own cursor pictures.

#include "platform/core/cursor_service.h"

#include <QCursor>
#include <QPixmap>

namespace vendrel {

// The platform's cursor service: a standard cursor number becomes Qt's override cursor; crDefault
// removes it. The program's own numbers are not known here (TMyCursorService handles them).
class QtCursorService : public ICursorService {
public:
    void SetCursor(TCursor ACursor) override;
    TCursor GetCursor() const override { return current_; }

private:
    TCursor current_ = crDefault;
};

class QtMouseService : public IMouseService {
public:
    TPointF GetMousePos() const override;
};

// Qt's shape for a standard cursor number (Qt::ArrowCursor for numbers it does not know).
Qt::CursorShape CursorShapeOf(TCursor ACursor);

// The picture of the program's cursor resource (kFirstOwnCursorResource..+4) at one of the sizes
// 128, 96, 64, 48 or 32 pixels, with alpha; a null pixmap for another resource or size.
QPixmap OwnCursorPicture(int ResourceId, int Size);
// Hot spot of the program's cursor resource at 32 pixels.
QPoint OwnCursorHotSpot(int ResourceId);
// The program's cursor for the screen's pixel ratio (the picture nearest above 32 x ratio).
QCursor OwnCursor(int ResourceId, qreal DevicePixelRatio = 1.0);

// Registers the Qt cursor and mouse services and puts the program's own cursor service in front of
// the cursor service. Called once at start, after the QApplication exists.
void InstallQtCursorServices();

} // namespace vendrel
