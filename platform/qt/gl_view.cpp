#include "platform/qt/gl_view.h"

#include "platform/core/camera.h"
#include "platform/core/viewport3d.h"
#include "platform/qt/gl_renderer.h"

#include <QMouseEvent>
#include <QSurfaceFormat>
#include <QWheelEvent>

#include <algorithm>
#include <cmath>

namespace vendrel {

namespace {

TShiftState shiftOf(Qt::KeyboardModifiers mods, Qt::MouseButtons buttons) {
    TShiftState s;
    s.Shift = mods.testFlag(Qt::ShiftModifier);
    s.Alt = mods.testFlag(Qt::AltModifier);
    s.Ctrl = mods.testFlag(Qt::ControlModifier);
    s.Left = buttons.testFlag(Qt::LeftButton);
    s.Right = buttons.testFlag(Qt::RightButton);
    s.Middle = buttons.testFlag(Qt::MiddleButton);
    return s;
}

bool buttonOf(Qt::MouseButton b, TMouseButton& out) {
    switch (b) {
    case Qt::LeftButton:
        out = TMouseButton::mbLeft;
        return true;
    case Qt::RightButton:
        out = TMouseButton::mbRight;
        return true;
    case Qt::MiddleButton:
        out = TMouseButton::mbMiddle;
        return true;
    default:
        return false;
    }
}

} // namespace

TGLView::TGLView(QWidget* parent) : QOpenGLWidget(parent), renderer_(std::make_unique<TGLRenderer>()) {
    QSurfaceFormat format;
    format.setVersion(3, 3);
    format.setProfile(QSurfaceFormat::CoreProfile);
    format.setDepthBufferSize(24);
    format.setAlphaBufferSize(8);
    setFormat(format);
    // Screenshots sample as the view does.
    renderer_->SetSamples(std::max(format.samples(), 0));
    setMouseTracking(true);
}

TGLView::~TGLView() {
    SetViewport(nullptr);
    // The renderer frees its copies in the view's context.
    if (context() != nullptr) {
        makeCurrent();
        renderer_.reset();
        doneCurrent();
    }
}

void TGLView::SetViewport(TViewport3D* viewport) {
    if (viewport_ != nullptr) {
        viewport_->OnInvalidate = nullptr;
    }
    viewport_ = viewport;
    if (viewport_ != nullptr) {
        viewport_->SetViewSize(static_cast<float>(width()), static_cast<float>(height()));
        viewport_->OnInvalidate = [this] { update(); };
    }
    update();
}

void TGLView::RayAt(const QPointF& pos, TPoint3D& rayPos, TPoint3D& rayDir) const {
    if (viewport_ == nullptr) {
        rayPos = {};
        rayDir = {0, 0, 1};
        return;
    }
    viewport_->Camera()->ScreenToRay(static_cast<float>(pos.x()), static_cast<float>(pos.y()),
                                     static_cast<float>(width()), static_cast<float>(height()), rayPos,
                                     rayDir);
}

bool TGLView::IsReady() const {
    return renderer_->IsReady();
}

void TGLView::resizeGL(int w, int h) {
    if (viewport_ != nullptr) {
        viewport_->SetViewSize(static_cast<float>(w), static_cast<float>(h));
    }
}

void TGLView::paintGL() {
    if (viewport_ != nullptr) {
        viewport_->SetViewSize(static_cast<float>(width()), static_cast<float>(height()));
    }
    const qreal ratio = devicePixelRatioF();
    renderer_->Render(viewport_, QSize(static_cast<int>(std::lround(width() * ratio)),
                                       static_cast<int>(std::lround(height() * ratio))));
}

void TGLView::mousePressEvent(QMouseEvent* event) {
    TMouseButton button;
    if (viewport_ == nullptr || !buttonOf(event->button(), button)) {
        return;
    }
    const QPointF p = event->position();
    viewport_->MouseDown(button, shiftOf(event->modifiers(), event->buttons()), static_cast<float>(p.x()),
                         static_cast<float>(p.y()));
}

void TGLView::mouseMoveEvent(QMouseEvent* event) {
    if (viewport_ == nullptr) {
        return;
    }
    const QPointF p = event->position();
    viewport_->MouseMove(shiftOf(event->modifiers(), event->buttons()), static_cast<float>(p.x()),
                         static_cast<float>(p.y()));
}

void TGLView::mouseReleaseEvent(QMouseEvent* event) {
    TMouseButton button;
    if (viewport_ == nullptr || !buttonOf(event->button(), button)) {
        return;
    }
    const QPointF p = event->position();
    viewport_->MouseUp(button, shiftOf(event->modifiers(), event->buttons()), static_cast<float>(p.x()),
                       static_cast<float>(p.y()));
}

void TGLView::wheelEvent(QWheelEvent* event) {
    if (viewport_ == nullptr) {
        return;
    }
    const QPointF p = event->position();
    viewport_->MouseWheel(shiftOf(event->modifiers(), event->buttons()), event->angleDelta().y(),
                          static_cast<float>(p.x()), static_cast<float>(p.y()));
}

} // namespace vendrel
