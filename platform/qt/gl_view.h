#pragma once
// The OpenGL view of a scene: a QOpenGLWidget (OpenGL 3.3 core) that draws the frame list of a
// TViewport3D and hands mouse events to it.
//
// Drawing: opaque requests first with depth testing and writing, then translucent ones (opacity or
// material alpha below 1, or a texture with transparent pixels) from the farthest to the nearest with
// blending and without depth writing. Triangles are lit per pixel by the viewport's lights (up to
// eight; a scene without lights gets a white light from the eye) when their material is a light
// material; they are seen from both sides. Lines are one pixel
// wide. Text requests are drawn as textured quads.
//
// The view does not own the viewport: the viewport must outlive the view or be detached first with
// SetViewport(nullptr).

#include "platform/core/geometry3d.h"

#include <QImage>
#include <QOpenGLFunctions_3_3_Core>
#include <QOpenGLWidget>

#include <memory>

namespace vendrel {

class TViewport3D;

class TGLView : public QOpenGLWidget, protected QOpenGLFunctions_3_3_Core {
    Q_OBJECT
public:
    explicit TGLView(QWidget* parent = nullptr);
    ~TGLView() override;

    TViewport3D* Viewport() const { return viewport_; }
    void SetViewport(TViewport3D* viewport);

    // The mouse ray through a widget position, in scene coordinates (unit direction), through the
    // viewport's camera.
    void RayAt(const QPointF& pos, TPoint3D& rayPos, TPoint3D& rayDir) const;

    // True once OpenGL 3.3 was set up; false when the context could not provide it.
    bool IsReady() const { return ready_; }

protected:
    void initializeGL() override;
    void resizeGL(int w, int h) override;
    void paintGL() override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;

private:
    struct Gpu;
    void releaseGpu();

    TViewport3D* viewport_ = nullptr; // not owned
    std::unique_ptr<Gpu> gpu_;
    bool ready_ = false;
};

} // namespace vendrel
