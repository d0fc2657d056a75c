#include "editor/qt/library_picker_window.h"

#include "editor/library_picker.h"

#include <QCloseEvent>
#include <QHBoxLayout>
#include <QImage>
#include <QListWidget>
#include <QPixmap>
#include <QPushButton>
#include <QVBoxLayout>

namespace vendrel {

namespace {

QImage imageOf(const TBitmap& Picture) {
    QImage image(Picture.Width(), Picture.Height(), QImage::Format_ARGB32);
    const std::vector<TAlphaColor>& pixels = Picture.Pixels();
    for (int y = 0; y < Picture.Height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < Picture.Width(); ++x) {
            line[x] = pixels[static_cast<size_t>(y) * static_cast<size_t>(Picture.Width()) +
                             static_cast<size_t>(x)];
        }
    }
    return image;
}

} // namespace

TLibraryPickerWindow::TLibraryPickerWindow(TLibraryPicker& Picker, QWidget* Parent)
    : QDialog(Parent), picker_(Picker) {
    setObjectName(QStringLiteral("LibPickerForm"));
    setModal(false);
    resize(420, 520);
    auto* column = new QVBoxLayout(this);
    LibListView = new QListWidget(this);
    LibListView->setObjectName(QStringLiteral("LibListView"));
    LibListView->setIconSize(QSize(96, 96));
    column->addWidget(LibListView, 1);
    auto* buttons = new QHBoxLayout();
    buttons->addStretch(1);
    OkButton = new QPushButton(this);
    OkButton->setObjectName(QStringLiteral("OkButton"));
    buttons->addWidget(OkButton);
    column->addLayout(buttons);

    connect(LibListView, &QListWidget::itemClicked, this, [this](QListWidgetItem* item) {
        picker_.LibListViewItemClick(LibListView->row(item));
        OkButton->setEnabled(picker_.OkButtonEnabled);
    });
    connect(OkButton, &QPushButton::clicked, this, [this] {
        picker_.OkButtonClick();
        close();
    });
}

void TLibraryPickerWindow::ShowItems() {
    setWindowTitle(QString::fromStdString(picker_.Caption));
    OkButton->setText(QString::fromStdString(picker_.ButtonText));
    OkButton->setEnabled(picker_.OkButtonEnabled);
    LibListView->clear();
    for (const TLibraryPickerItem& item : picker_.Items) {
        QString text = QString::fromStdString(item.Text);
        if (!item.Detail.empty()) {
            text += QLatin1Char('\n') +
                    QString::fromStdString(item.Detail).replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
        }
        auto* row = new QListWidgetItem(text, LibListView);
        if (item.Picture) {
            row->setIcon(QIcon(QPixmap::fromImage(imageOf(*item.Picture))));
        }
    }
    show();
    raise();
    activateWindow();
}

void TLibraryPickerWindow::closeEvent(QCloseEvent* Event) {
    picker_.FormClose();
    QDialog::closeEvent(Event);
}

} // namespace vendrel
