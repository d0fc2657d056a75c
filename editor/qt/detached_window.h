#pragma once
// A window a panel of the main window's tabs can be moved into, to be seen beside the 3D view: the
// response panel ("Frequency Meassurements") and the distribution panel ("% Distribution"). The panel is
// in exactly one place at a time: detaching moves it in, shows the window on top and hides its tab;
// closing the window puts it back, shows the tab and makes it the active one. Keys typed in the window
// reach the main window's key handler, so its commands work there too.

#include <QWidget>

#include <functional>

class QKeyEvent;
class QVBoxLayout;

namespace vendrel {

class TDetachedWindow : public QWidget {
    Q_OBJECT
public:
    // Caption, size and minimum size of the window's client area.
    TDetachedWindow(const QString& Caption, QSize Size, QSize MinimumSize, QWidget* Parent = nullptr);

    // Moves Panel from its place in Home into the window and shows the window on top; OnDetached runs
    // after (the tab and the icon hide).
    void Detach(QWidget* Panel, QWidget* Home);
    bool IsDetached() const { return panel_ != nullptr; }

    std::function<void()> OnDetached;
    // The panel is back in its home: the tab and the icon show again, the tab becomes the active one.
    std::function<void()> OnReturned;
    // Every key pressed in the window (the main window's key handler).
    std::function<void(QKeyEvent*)> OnKey;

protected:
    void closeEvent(QCloseEvent* Event) override;
    void keyPressEvent(QKeyEvent* Event) override;

private:
    QVBoxLayout* layout_ = nullptr; // "Layout1"
    QWidget* panel_ = nullptr;
    QWidget* home_ = nullptr;
};

} // namespace vendrel
