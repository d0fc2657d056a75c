#pragma once
// The 3D view of the main window: the OpenGL view of the editor's viewport with the camera scroll bars
// and the zoom box around it. It hands the mouse to the viewport, shows the editor's view cursor and
// mirrors the camera controls.

#include "editor/editor_view.h"
#include "platform/qt/gl_view.h"

#include <QWidget>

class QDoubleSpinBox;
class QScrollBar;

namespace vendrel {

class TEditor;

// The OpenGL view: an exception while drawing goes to the crash handler instead of through Qt.
class TEditorGLView : public TGLView {
    Q_OBJECT
public:
    TEditorGLView(TEditor& Editor, QWidget* Parent);

protected:
    void paintGL() override;
    void resizeGL(int w, int h) override;

private:
    TEditor& ed_;
};

class TViewportPanel : public QWidget {
    Q_OBJECT
public:
    TViewportPanel(TEditor& Editor, QWidget* Parent);

    TEditorGLView* GLView() const { return glView_; }
    QScrollBar* CamXScrollBar() const { return camX_; }
    QScrollBar* CamYScrollBar() const { return camY_; }
    QDoubleSpinBox* ZoomSpinBox() const { return zoom_; }
    // Shows one of the program's cursor numbers over the view.
    void SetViewCursor(TCursor Cursor);
    // The view handles a mouse move at the pointer's present place when the pointer is over it (no
    // event goes to the rest of the system).
    void ReplayMouseMove();

private:
    TEditorGLView* glView_;
    QScrollBar* camX_;
    QScrollBar* camY_;
    QDoubleSpinBox* zoom_;
};

// The Qt cursor of a cursor number: the program's own pictures for 1 to 5, the platform's shapes for
// the standard numbers.
QCursor CursorOfNumber(TCursor Cursor, qreal DevicePixelRatio);

} // namespace vendrel
