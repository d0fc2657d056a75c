#include "panels/array_wizard_dialog.h"

#include "editor/array_wizard.h"
#include "files/library_scan.h"
#include "platform/core/bitmap.h"
#include "platform/core/viewport3d.h"
#include "platform/qt/gl_view.h"

#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QImage>
#include <QLabel>
#include <QListWidget>
#include <QPixmap>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QSpinBox>
#include <QStackedWidget>
#include <QToolButton>
#include <QVBoxLayout>

#include <cmath>
#include <memory>

namespace vendrel {

namespace {

QString qstr(const std::string& s) {
    return QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size()));
}

// The arrow colour of a Next button: pale green while it can be pressed, salmon while not.
void showNext(QPushButton* button, bool enabled) {
    button->setEnabled(enabled);
    button->setStyleSheet(enabled ? "QPushButton { color: #98FB98; }" : "QPushButton { color: #FA8072; }");
}

QLabel* heading(const QString& text, QWidget* parent) {
    auto* label = new QLabel(text, parent);
    QFont f = label->font();
    f.setPointSize(12);
    f.setBold(true);
    label->setFont(f);
    return label;
}

// Scroll bar steps: hundredths of a metre.
constexpr int kScroll = 100;

} // namespace

TArrayWizardDialog::TArrayWizardDialog(TArrayWizard& Wizard, TModelLibrary* Library, QWidget* Parent)
    : QDialog(Parent), wizard_(Wizard), library_(Library) {
    setWindowTitle("Array Setup Wizard");
    setMinimumSize(800, 600);
    setObjectName("WizardArrayForm");
    auto* layout = new QHBoxLayout(this);
    pages_ = new QStackedWidget(this);
    pages_->addWidget(mountingPage());
    pages_->addWidget(modelPage());
    pages_->addWidget(anotherPage());
    pages_->addWidget(finishPage());
    pages_->setMinimumSize(480, 447);
    layout->addWidget(pages_, 1);
    layout->addWidget(previewArea(), 1);
    wizard_.OnChanged = [this] { Refresh(); };
}

TArrayWizardDialog::~TArrayWizardDialog() {
    wizard_.OnChanged = nullptr;
    if (view_ != nullptr) {
        view_->SetViewport(nullptr);
    }
}

QWidget* TArrayWizardDialog::mountingPage() {
    auto* page = new QWidget(this);
    auto* v = new QVBoxLayout(page);
    v->addWidget(heading("1. -  How will the array be mounted?", page));
    auto* buttons = new QHBoxLayout;
    flown_ = new QToolButton(page);
    flown_->setText("Flown");
    flown_->setObjectName("FlownButton");
    flown_->setCheckable(true);
    stacked_ = new QToolButton(page);
    stacked_->setText("Stacked");
    stacked_->setObjectName("StackedButton");
    stacked_->setCheckable(true);
    buttons->addWidget(flown_);
    buttons->addWidget(stacked_);
    buttons->addStretch();
    v->addLayout(buttons);
    v->addWidget(heading("2. - What series do you want to assemble??", page));
    auto* row = new QHBoxLayout;
    row->addWidget(new QLabel("Series:", page));
    series_ = new QComboBox(page);
    series_->setObjectName("ArraySeriesComboBox");
    row->addWidget(series_, 1);
    v->addLayout(row);
    v->addStretch();
    next0_ = new QPushButton("Next", page);
    next0_->setObjectName("NextB0");
    v->addWidget(next0_, 0, Qt::AlignRight);
    connect(flown_, &QToolButton::clicked, this, [this] { wizard_.FlownButtonClick(); });
    connect(stacked_, &QToolButton::clicked, this, [this] { wizard_.StackedButtonClick(); });
    connect(next0_, &QPushButton::clicked, this, [this] { wizard_.NextB0Click(series_->currentIndex()); });
    return page;
}

QWidget* TArrayWizardDialog::modelPage() {
    auto* page = new QWidget(this);
    auto* v = new QVBoxLayout(page);
    v->addWidget(heading("1. -  How many Cabinets do you want to insert?", page));
    auto* row = new QHBoxLayout;
    dec_ = new QToolButton(page);
    dec_->setText("-");
    dec_->setObjectName("decB");
    quantity_ = new QSpinBox(page);
    quantity_->setObjectName("QuantityBox");
    quantity_->setRange(1, 99);
    quantity_->setValue(4);
    quantity_->setKeyboardTracking(false);
    inc_ = new QToolButton(page);
    inc_->setText("+");
    inc_->setObjectName("incB");
    row->addWidget(dec_);
    row->addWidget(quantity_);
    row->addWidget(inc_);
    row->addWidget(new QLabel("Cabinets", page));
    row->addStretch();
    v->addLayout(row);
    v->addWidget(heading("2. -  Select a Cabinet Model", page));
    list_ = new QListWidget(page);
    list_->setObjectName("ArrayListView");
    list_->setIconSize(QSize(200, 120));
    list_->setWordWrap(true);
    v->addWidget(list_, 1);
    auto* nav = new QHBoxLayout;
    back1_ = new QPushButton("Back", page);
    back1_->setObjectName("BackB1");
    next1_ = new QPushButton("Next", page);
    next1_->setObjectName("NextB1");
    nav->addWidget(back1_);
    nav->addStretch();
    nav->addWidget(next1_);
    v->addLayout(nav);
    connect(quantity_, &QSpinBox::editingFinished, this, [this] { quantityExit(); });
    connect(inc_, &QToolButton::clicked, this, [this] { wizard_.IncBClick(); });
    connect(dec_, &QToolButton::clicked, this, [this] { wizard_.DecBClick(); });
    connect(list_, &QListWidget::itemClicked, this,
            [this](QListWidgetItem* item) { wizard_.ArrayListViewItemClick(list_->row(item)); });
    connect(next1_, &QPushButton::clicked, this, [this] { wizard_.NextB1Click(); });
    connect(back1_, &QPushButton::clicked, this, [this] { wizard_.BackB1Click(); });
    return page;
}

QWidget* TArrayWizardDialog::anotherPage() {
    auto* page = new QWidget(this);
    auto* v = new QVBoxLayout(page);
    auto* memo = new QPlainTextEdit(page);
    memo->setReadOnly(true);
    memo->setPlainText(
        "The selected cabinet permits to join another model to it.\n\nDo you want to insert another "
        "cabinet Model?");
    v->addWidget(memo, 1);
    auto* row = new QHBoxLayout;
    yes_ = new QPushButton("Yes", page);
    yes_->setObjectName("Button1");
    no_ = new QPushButton("No", page);
    no_->setObjectName("Button2");
    row->addWidget(yes_);
    row->addWidget(no_);
    v->addLayout(row);
    back2_ = new QPushButton("Back", page);
    back2_->setObjectName("BackB2");
    v->addWidget(back2_, 0, Qt::AlignLeft);
    connect(yes_, &QPushButton::clicked, this, [this] { wizard_.InsertAnotherModelButtonClick(); });
    connect(no_, &QPushButton::clicked, this, [this] { accept(); });
    connect(back2_, &QPushButton::clicked, this, [this] { wizard_.BackB1Click(); });
    return page;
}

QWidget* TArrayWizardDialog::finishPage() {
    auto* page = new QWidget(this);
    auto* v = new QVBoxLayout(page);
    v->addWidget(new QLabel("Cool !  You have a beautifull array ready to Rock the stage!", page));
    finish_ = new QPushButton("Insert Array In Project", page);
    finish_->setObjectName("FinishButton");
    v->addWidget(finish_);
    v->addStretch();
    back3_ = new QPushButton("Back", page);
    back3_->setObjectName("BackB3");
    v->addWidget(back3_, 0, Qt::AlignLeft);
    connect(finish_, &QPushButton::clicked, this, [this] { accept(); });
    connect(back3_, &QPushButton::clicked, this, [this] { wizard_.BackB1Click(); });
    return page;
}

QWidget* TArrayWizardDialog::previewArea() {
    auto* area = new QWidget(this);
    auto* grid = new QGridLayout(area);
    view_ = new TGLView(area);
    view_->setObjectName("WizardPreview");
    view_->SetViewport(&wizard_.PreviewView());
    camY_ = new QScrollBar(Qt::Vertical, area);
    camY_->setRange(-8 * kScroll, 0);
    camX_ = new QScrollBar(Qt::Horizontal, area);
    camX_->setRange(-3 * kScroll, 3 * kScroll);
    grid->addWidget(view_, 0, 0);
    grid->addWidget(camY_, 0, 1);
    grid->addWidget(camX_, 1, 0);
    auto* options = new QHBoxLayout;
    perspective_ = new QRadioButton("Perspective", area);
    orthographic_ = new QRadioButton("Ortographic", area);
    perspective_->setChecked(true);
    options->addWidget(perspective_);
    options->addWidget(orthographic_);
    options->addStretch();
    grid->addLayout(options, 2, 0);
    weight_ = new QLabel("TotalWeight = 0", area);
    weight_->setObjectName("TotalWeightL");
    grid->addWidget(weight_, 3, 0);
    grid->setRowStretch(0, 1);

    connect(camX_, &QScrollBar::valueChanged, this, [this](int v) {
        if (!refreshing_) {
            wizard_.CamXScrollBarChange(static_cast<float>(v) / kScroll);
        }
    });
    connect(camY_, &QScrollBar::valueChanged, this, [this](int v) {
        if (!refreshing_) {
            wizard_.CamYScrollBarChange(static_cast<float>(v) / kScroll);
        }
    });
    connect(perspective_, &QRadioButton::clicked, this, [this] { wizard_.PerspectiveRadioButtonClick(); });
    connect(orthographic_, &QRadioButton::clicked, this, [this] { wizard_.OrthographicRadioButtonClick(); });

    // A drag over the preview turns the view (pans with Shift); the wheel moves the camera.
    TViewport3D& v = wizard_.PreviewView();
    struct Drag {
        bool on = false;
        float x = 0, y = 0;
    };
    auto drag = std::make_shared<Drag>();
    v.OnViewportMouseDown = [drag](TObject*, TMouseButton, TShiftState, float X, float Y) {
        drag->on = true;
        drag->x = X;
        drag->y = Y;
    };
    v.OnViewportMouseUp = [drag](TObject*, TMouseButton, TShiftState, float, float) { drag->on = false; };
    v.OnViewportMouseMove = [this, drag](TObject*, TShiftState Shift, float X, float Y) {
        if (!drag->on || !Shift.Left) {
            return;
        }
        wizard_.PreviewDrag(X - drag->x, Y - drag->y, Shift.Shift);
        drag->x = X;
        drag->y = Y;
    };
    v.OnViewportMouseWheel = [this](TObject*, TShiftState, int WheelDelta, bool& Handled) {
        wizard_.PreviewWheel(WheelDelta);
        Handled = true;
    };
    return area;
}

QPushButton* TArrayWizardDialog::BackButton() const {
    switch (wizard_.ActiveTab()) {
    case TWizardTab::Model:
        return back1_;
    case TWizardTab::AnotherModel:
        return back2_;
    case TWizardTab::Finish:
        return back3_;
    default:
        return nullptr;
    }
}

void TArrayWizardDialog::quantityExit() {
    if (!refreshing_) {
        wizard_.QuantityBoxExit(quantity_->value());
    }
}

bool TArrayWizardDialog::Run(TCabArray* Array) {
    wizard_.NewArrayInit(Array);
    Refresh();
    const bool ok = exec() == QDialog::Accepted;
    wizard_.FormClose();
    return ok;
}

void TArrayWizardDialog::Refresh() {
    refreshing_ = true;
    const QSignalBlocker b1(series_), b2(quantity_), b3(list_), b4(camX_), b5(camY_);
    pages_->setCurrentIndex(static_cast<int>(wizard_.ActiveTab()));
    flown_->setChecked(wizard_.FlownPressed());
    stacked_->setChecked(wizard_.StackedPressed());
    showNext(next0_, wizard_.NextB0Enabled());
    showNext(next1_, wizard_.NextB1Enabled());

    QStringList series;
    for (const std::string& s : wizard_.SeriesList()) {
        series << qstr(s);
    }
    QStringList shown;
    for (int i = 0; i < series_->count(); ++i) {
        shown << series_->itemText(i);
    }
    if (shown != series) {
        series_->clear();
        series_->addItems(series);
        series_->setCurrentIndex(-1);
    }
    quantity_->setValue(wizard_.QuantityBox());

    const auto& items = wizard_.ModelList();
    bool same = list_->count() == static_cast<int>(items.size());
    for (int i = 0; same && i < list_->count(); ++i) {
        same = list_->item(i)->data(Qt::UserRole).toString() ==
               qstr(items[static_cast<size_t>(i)].Text + "|" + items[static_cast<size_t>(i)].TagString);
    }
    if (!same) {
        list_->clear();
        for (const TWizardListItem& item : items) {
            auto* entry = new QListWidgetItem(qstr(item.Text + "\n" + item.Detail), list_);
            entry->setData(Qt::UserRole, qstr(item.Text + "|" + item.TagString));
            entry->setSizeHint(QSize(list_->width() - 20, 150));
            if (library_ != nullptr && item.Tag >= 0 &&
                static_cast<size_t>(item.Tag) < library_->FCabImagesImported.size()) {
                if (const auto& picture = library_->FCabImagesImported[static_cast<size_t>(item.Tag)]) {
                    const QImage image(reinterpret_cast<const uchar*>(picture->Pixels().data()),
                                       picture->Width(), picture->Height(), QImage::Format_ARGB32);
                    entry->setIcon(QPixmap::fromImage(image.copy().scaled(200, 120, Qt::KeepAspectRatio)));
                }
            }
        }
    }
    list_->setCurrentRow(wizard_.SelectedItem());
    weight_->setText(qstr(wizard_.TotalWeightText()));
    camX_->setValue(static_cast<int>(std::lround(wizard_.Camera().OffsetX * kScroll)));
    camY_->setValue(static_cast<int>(std::lround(wizard_.Camera().OffsetY * kScroll)));
    perspective_->setChecked(wizard_.Camera().Perspective());
    orthographic_->setChecked(!wizard_.Camera().Perspective());
    refreshing_ = false;
    if (view_ != nullptr) {
        view_->update();
    }
}

} // namespace vendrel
