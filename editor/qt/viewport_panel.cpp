#include "editor/qt/viewport_panel.h"

#include "editor/editor.h"
#include "editor/qt/ui_bindings.h"
#include "platform/qt/cursors.h"
#include "platform/qt/unhandled_exception.h"

#include <QCoreApplication>
#include <QCursor>
#include <QDoubleSpinBox>
#include <QGridLayout>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QMouseEvent>
#include <QScrollBar>

namespace vendrel {

TEditorGLView::TEditorGLView(TEditor& Editor, QWidget* Parent) : TGLView(Parent), ed_(Editor) {
    setObjectName(QStringLiteral("Viewport3D1"));
    setFocusPolicy(Qt::StrongFocus);
    SetViewport(Editor.Scene.Viewport3D1.get());
}

void TEditorGLView::paintGL() {
    try {
        TGLView::paintGL();
    } catch (...) {
        ReportUnhandledException(this);
    }
}

void TEditorGLView::resizeGL(int w, int h) {
    TGLView::resizeGL(w, h);
    ed_.Views.Viewport3D1Resized(static_cast<float>(w), static_cast<float>(h));
}

QCursor CursorOfNumber(TCursor Cursor, qreal DevicePixelRatio) {
    if (Cursor >= 1 && Cursor <= kOwnCursorCount) {
        return OwnCursor(kFirstOwnCursorResource + Cursor - 1, DevicePixelRatio);
    }
    return QCursor(Cursor == crDefault ? Qt::ArrowCursor : CursorShapeOf(Cursor));
}

TViewportPanel::TViewportPanel(TEditor& Editor, QWidget* Parent) : QWidget(Parent) {
    glView_ = new TEditorGLView(Editor, this);
    camX_ = new QScrollBar(Qt::Horizontal, this);
    camX_->setObjectName(QStringLiteral("CamXScrollBar"));
    camY_ = new QScrollBar(Qt::Vertical, this);
    camY_->setObjectName(QStringLiteral("CamYScrollBar"));
    camY_->setInvertedAppearance(false);
    zoom_ = new QDoubleSpinBox(this);
    zoom_->setObjectName(QStringLiteral("ZoomSpinBox"));
    zoom_->setToolTip(QStringLiteral("Zoom"));
    zoom_->setAccelerated(true);
    zoom_->setKeyboardTracking(false);

    auto* grid = new QGridLayout(this);
    grid->setContentsMargins(0, 0, 0, 0);
    grid->setSpacing(0);
    grid->addWidget(glView_, 0, 0);
    grid->addWidget(camY_, 0, 1);
    auto* bottom = new QHBoxLayout();
    bottom->setContentsMargins(0, 0, 0, 0);
    bottom->addWidget(camX_, 1);
    bottom->addWidget(zoom_);
    grid->addLayout(bottom, 1, 0, 1, 2);

    TViewsCameras& v = Editor.Views;
    BindRange(camX_, v.CamXScrollBar, 100.0);
    BindRange(camY_, v.CamYScrollBar, 100.0);
    BindRange(zoom_, v.ZoomSpinBox, 1);
}

void TViewportPanel::SetViewCursor(TCursor Cursor) {
    glView_->setCursor(CursorOfNumber(Cursor, devicePixelRatioF()));
}

void TViewportPanel::ReplayMouseMove() {
    const QPoint global = QCursor::pos();
    const QPointF local = glView_->mapFromGlobal(QPointF(global));
    if (!glView_->rect().contains(local.toPoint())) {
        return;
    }
    QMouseEvent move(QEvent::MouseMove, local, QPointF(global), Qt::NoButton, QGuiApplication::mouseButtons(),
                     QGuiApplication::keyboardModifiers());
    QCoreApplication::sendEvent(glView_, &move);
}

} // namespace vendrel
