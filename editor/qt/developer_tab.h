#pragma once
// The developer tab of the main tab control (shown in developer mode only): camera, light and axis
// label knobs, the render knobs and the state of the input planes.

#include <QWidget>

class QLabel;

namespace vendrel {

class TEditor;

class TDeveloperTab : public QWidget {
    Q_OBJECT
public:
    TDeveloperTab(TEditor& Editor, QWidget* Parent);
    // Shows whether the top input plane takes the mouse.
    void ShowInputHitTest();

private:
    QWidget* buildRenderKnobs(QWidget* Parent);

    TEditor& ed_;
    QLabel* label_ = nullptr;
};

} // namespace vendrel
