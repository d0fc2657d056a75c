#include "editor/qt/detached_window.h"

#include <QCloseEvent>
#include <QKeyEvent>
#include <QLayout>
#include <QVBoxLayout>

namespace vendrel {

TDetachedWindow::TDetachedWindow(const QString& Caption, QSize Size, QSize MinimumSize, QWidget* Parent)
    : QWidget(Parent, Qt::Window | Qt::WindowSystemMenuHint | Qt::WindowMaximizeButtonHint |
                          Qt::WindowCloseButtonHint) {
    setWindowTitle(Caption);
    resize(Size);
    setMinimumSize(MinimumSize);
    layout_ = new QVBoxLayout(this);
    layout_->setContentsMargins(0, 0, 0, 0);
}

void TDetachedWindow::Detach(QWidget* Panel, QWidget* Home) {
    if (Panel == nullptr || panel_ != nullptr) {
        return;
    }
    panel_ = Panel;
    home_ = Home;
    Panel->setUpdatesEnabled(false);
    layout_->addWidget(Panel);
    Panel->setUpdatesEnabled(true);
    Panel->show();
    setWindowFlag(Qt::WindowStaysOnTopHint, true);
    show();
    raise();
    if (OnDetached) {
        OnDetached();
    }
}

void TDetachedWindow::closeEvent(QCloseEvent* Event) {
    if (panel_ != nullptr) {
        QWidget* panel = panel_;
        panel_ = nullptr;
        panel->setUpdatesEnabled(false);
        if (home_ != nullptr && home_->layout() != nullptr) {
            home_->layout()->addWidget(panel);
        } else {
            panel->setParent(home_);
        }
        panel->setUpdatesEnabled(true);
        panel->show();
        if (OnReturned) {
            OnReturned();
        }
    }
    QWidget::closeEvent(Event);
}

void TDetachedWindow::keyPressEvent(QKeyEvent* Event) {
    if (OnKey) {
        OnKey(Event);
        return;
    }
    QWidget::keyPressEvent(Event);
}

} // namespace vendrel
