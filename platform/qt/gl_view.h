#pragma once
// The OpenGL view of a scene: a QOpenGLWidget (OpenGL 3.3 core) that hosts a TGLRenderer drawing the
// frame list of a TViewport3D, hands mouse events to the viewport and turns mouse positions into
// rays. What is drawn and how is the renderer's (see gl_renderer.h).
//
// The view does not own the viewport: the viewport must outlive the view or be detached first with
// SetViewport(nullptr).

#include "platform/core/geometry3d.h"

#include <QOpenGLWidget>

#include <memory>

namespace vendrel {

class TGLRenderer;
class TViewport3D;

class TGLView : public QOpenGLWidget {
    Q_OBJECT
public:
    explicit TGLView(QWidget* parent = nullptr);
    ~TGLView() override;

    TViewport3D* Viewport() const { return viewport_; }
    void SetViewport(TViewport3D* viewport);

    // The mouse ray through a widget position, in scene coordinates (unit direction), through the
    // viewport's camera.
    void RayAt(const QPointF& pos, TPoint3D& rayPos, TPoint3D& rayDir) const;

    // True once the view drew with OpenGL 3.3; false before its first frame and when the context
    // could not provide it.
    bool IsReady() const;

    // The view's renderer: its copies live in the view's context, so off-screen images of the scene
    // (screenshots) drawn with it share them.
    TGLRenderer& Renderer() { return *renderer_; }

protected:
    void resizeGL(int w, int h) override;
    void paintGL() override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;

private:
    TViewport3D* viewport_ = nullptr; // not owned
    std::unique_ptr<TGLRenderer> renderer_;
};

} // namespace vendrel
