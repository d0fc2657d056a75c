#include "platform/qt/cursors.h"

#include <QGuiApplication>
#include <QPainter>
#include <QPainterPath>
#include <QScreen>

#include <array>
#include <cmath>

namespace vendrel {

Qt::CursorShape CursorShapeOf(TCursor ACursor) {
    switch (ACursor) {
    case -2:
        return Qt::ArrowCursor; // crArrow
    case crCross:
        return Qt::CrossCursor;
    case -4:
        return Qt::IBeamCursor; // crIBeam
    case -6:
        return Qt::SizeBDiagCursor; // crSizeNESW
    case -7:
        return Qt::SizeVerCursor; // crSizeNS
    case -8:
        return Qt::SizeFDiagCursor; // crSizeNWSE
    case -9:
        return Qt::SizeHorCursor; // crSizeWE
    case -10:
        return Qt::UpArrowCursor; // crUpArrow
    case crHourGlass:
        return Qt::WaitCursor;
    case -12:
        return Qt::DragMoveCursor; // crDrag
    case -13:
        return Qt::ForbiddenCursor; // crNoDrop
    case -14:
        return Qt::SplitHCursor; // crHSplit
    case -15:
        return Qt::SplitVCursor; // crVSplit
    case crMultiDrag:
        return Qt::DragCopyCursor;
    case -17:
        return Qt::BusyCursor; // crSQLWait
    case crNo:
        return Qt::ForbiddenCursor;
    case -19:
        return Qt::BusyCursor; // crAppStart
    case -20:
        return Qt::WhatsThisCursor; // crHelp
    case crHandPoint:
        return Qt::PointingHandCursor;
    case crSizeAll:
        return Qt::SizeAllCursor;
    default:
        return Qt::ArrowCursor;
    }
}

namespace {

void ShowOverride(const QCursor& cursor) {
    if (QGuiApplication::overrideCursor() != nullptr) {
        QGuiApplication::changeOverrideCursor(cursor);
    } else {
        QGuiApplication::setOverrideCursor(cursor);
    }
}

void RemoveOverride() {
    while (QGuiApplication::overrideCursor() != nullptr) {
        QGuiApplication::restoreOverrideCursor();
    }
}

constexpr std::array<int, 5> kSizes = {128, 96, 64, 48, 32};

// The arrow pointer every own cursor starts from, drawn in the 32-pixel grid.
QPainterPath ArrowPath() {
    QPainterPath p;
    p.moveTo(0, 0);
    p.lineTo(0, 20);
    p.lineTo(5, 15.5);
    p.lineTo(8.5, 23);
    p.lineTo(11.5, 21.5);
    p.lineTo(8, 14.5);
    p.lineTo(14.5, 14.5);
    p.closeSubpath();
    return p;
}

void DrawArrow(QPainter& g) {
    g.setPen(QPen(Qt::white, 1.2));
    g.setBrush(QColor(20, 20, 20));
    g.drawPath(ArrowPath());
}

void DrawArrowHead(QPainter& g, QPointF tip, QPointF dir) {
    const QPointF n(-dir.y(), dir.x());
    QPolygonF head;
    head << tip << tip - dir * 4 + n * 3 << tip - dir * 4 - n * 3;
    g.drawPolygon(head);
}

} // namespace

QPoint OwnCursorHotSpot(int ResourceId) {
    switch (ResourceId - kFirstOwnCursorResource + 1) {
    case 3:
        return {17, 16};
    case 4:
        return {16, 16};
    default:
        return {0, 0};
    }
}

QPixmap OwnCursorPicture(int ResourceId, int Size) {
    const int n = ResourceId - kFirstOwnCursorResource + 1;
    if (n < 1 || n > kOwnCursorCount || std::find(kSizes.begin(), kSizes.end(), Size) == kSizes.end()) {
        return {};
    }
    QImage img(Size, Size, QImage::Format_ARGB32_Premultiplied);
    img.fill(Qt::transparent);
    QPainter g(&img);
    g.setRenderHint(QPainter::Antialiasing);
    g.scale(Size / 32.0, Size / 32.0);
    const QColor accent(255, 140, 0);
    switch (n) {
    case 1: // plain pointer
        DrawArrow(g);
        break;
    case 2: // insert an object at the pointer
        DrawArrow(g);
        g.setPen(QPen(Qt::white, 1.0));
        g.setBrush(accent);
        g.drawRoundedRect(QRectF(17, 17, 13, 13), 2, 2);
        g.setPen(QPen(Qt::white, 2.2));
        g.drawLine(QPointF(23.5, 19.5), QPointF(23.5, 27.5));
        g.drawLine(QPointF(19.5, 23.5), QPointF(27.5, 23.5));
        break;
    case 3: { // orbit the view: a circle of arrows around the hot spot
        g.setPen(QPen(QColor(20, 20, 20), 4.0));
        g.setBrush(Qt::NoBrush);
        g.drawArc(QRectF(5, 4, 24, 24), 30 * 16, 300 * 16);
        g.setPen(QPen(accent, 2.0));
        g.drawArc(QRectF(5, 4, 24, 24), 30 * 16, 300 * 16);
        g.setPen(QPen(Qt::white, 1.0));
        g.setBrush(accent);
        const double a = 30.0 * 3.141592653589793 / 180.0;
        DrawArrowHead(g, QPointF(17 + 12 * std::cos(a), 16 - 12 * std::sin(a)) + QPointF(-2, -3.5),
                      QPointF(-0.5, -0.866));
        g.setBrush(QColor(20, 20, 20));
        g.drawEllipse(QPointF(17, 16), 2.0, 2.0);
        break;
    }
    case 4: { // pan: four arrows around the hot spot
        g.setPen(QPen(Qt::white, 1.0));
        g.setBrush(accent);
        const QPointF c(16, 16);
        const QPointF dirs[4] = {{1, 0}, {-1, 0}, {0, 1}, {0, -1}};
        for (const QPointF& d : dirs) {
            g.setPen(QPen(QColor(20, 20, 20), 2.5));
            g.drawLine(c, c + d * 11);
            g.setPen(QPen(Qt::white, 1.0));
            DrawArrowHead(g, c + d * 15, d);
        }
        break;
    }
    case 5: // pick a point: pointer with a target
        DrawArrow(g);
        g.setPen(QPen(accent, 2.0));
        g.setBrush(Qt::NoBrush);
        g.drawEllipse(QPointF(24, 24), 5.5, 5.5);
        g.drawLine(QPointF(24, 16), QPointF(24, 32));
        g.drawLine(QPointF(16, 24), QPointF(32, 24));
        break;
    default:
        break;
    }
    g.end();
    return QPixmap::fromImage(img);
}

QCursor OwnCursor(int ResourceId, qreal DevicePixelRatio) {
    int size = kSizes.back();
    for (const int s : kSizes) {
        if (s >= 32.0 * DevicePixelRatio) {
            size = s; // kSizes runs from large to small: keep the smallest that is big enough
        }
    }
    QPixmap pix = OwnCursorPicture(ResourceId, size);
    if (pix.isNull()) {
        return QCursor(Qt::ArrowCursor);
    }
    pix.setDevicePixelRatio(size / 32.0);
    const QPoint hot = OwnCursorHotSpot(ResourceId);
    return QCursor(pix, hot.x(), hot.y());
}

void QtCursorService::SetCursor(TCursor ACursor) {
    current_ = ACursor;
    if (ACursor == crDefault) {
        RemoveOverride();
        return;
    }
    ShowOverride(QCursor(CursorShapeOf(ACursor)));
}

TPointF QtMouseService::GetMousePos() const {
    const QPoint p = QCursor::pos();
    return {static_cast<float>(p.x()), static_cast<float>(p.y())};
}

void InstallQtCursorServices() {
    RegisterCursorService(std::make_shared<QtCursorService>());
    RegisterMouseService(std::make_shared<QtMouseService>());
    InstallProgramCursorService([](int resourceId) {
        const QScreen* screen = QGuiApplication::primaryScreen();
        ShowOverride(OwnCursor(resourceId, screen != nullptr ? screen->devicePixelRatio() : 1.0));
    });
}

} // namespace vendrel
