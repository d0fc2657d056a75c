#include "editor/qt/map_bar.h"

#include "editor/editor.h"
#include "editor/qt/ui_bindings.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDoubleSpinBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QPointer>
#include <QProgressBar>
#include <QToolButton>
#include <QVBoxLayout>

#include <algorithm>
#include <cmath>

namespace vendrel {

namespace {

constexpr int kBarWidth = 17;
constexpr QRgb kScaleInk = 0xBBFFFFFF;

// The button's colour for each style of the Render button.
QString renderButtonSheet(const std::string& style) {
    if (style == "CornerButtonRenderRedStyle") {
        return QStringLiteral("QToolButton { background: #8C2E2E; color: white; font-weight: bold; }");
    }
    if (style == "CornerButtonRenderGreenStyle") {
        return QStringLiteral("QToolButton { background: #2E7D3E; color: white; font-weight: bold; }");
    }
    return QStringLiteral("QToolButton { font-weight: bold; }");
}

} // namespace

// ---- TPaletteScale ----

TPaletteScale::TPaletteScale(TEditor& Editor, QWidget* Parent) : QWidget(Parent), ed_(Editor) {
    setObjectName(QStringLiteral("PaletteAxisImage"));
    setMinimumSize(62, 120);
    setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Expanding);
}

QRect TPaletteScale::BarRect() const {
    const int pad = static_cast<int>(ed_.Colors.PaletteAxisTopPadding);
    return {0, pad, kBarWidth, std::max(height() - 2 * pad, 1)};
}

void TPaletteScale::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    ed_.Colors.PaletteAxisImageResized(BarRect().height());
}

QFont TPaletteScale::scaleFont() const {
    QFont f = font();
    f.setPixelSize(11);
    return f;
}

std::vector<TPaletteScale::TLabel> TPaletteScale::Labels() const {
    const QFontMetrics metrics(scaleFont());
    const std::vector<TPaletteAxisTick>& ticks = ed_.Colors.PaletteAxisTicks();
    // Every tick is labelled when the labels fit between the ticks; otherwise every second, third ...
    size_t stride = 1;
    if (ticks.size() > 1) {
        const double spacing = std::abs(ticks[1].Y - ticks[0].Y);
        while (stride < ticks.size() && stride * spacing < metrics.height() + 1) {
            ++stride;
        }
    }
    std::vector<TLabel> labels;
    for (size_t i = 0; i < ticks.size(); i += stride) {
        const int y = static_cast<int>(ticks[i].Y) - 1;
        const int left = kBarWidth + 1 + static_cast<int>(ticks[i].Length) / 3 + 3;
        const QString text = QString::fromStdString(ticks[i].Text);
        // Centred on its tick, kept inside the scale at its two ends.
        const int top = std::clamp(y - metrics.height() / 2, 0, std::max(height() - metrics.height(), 0));
        labels.push_back({text, QRect(left, top, metrics.horizontalAdvance(text), metrics.height())});
    }
    return labels;
}

void TPaletteScale::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    const TBitmap& palette = ed_.Colors.ColorPaletteBMP;
    if (!palette.IsEmpty()) {
        const QImage column(reinterpret_cast<const uchar*>(palette.Pixels().data()), palette.Width(),
                            palette.Height(), palette.Width() * 4, QImage::Format_ARGB32);
        painter.drawImage(BarRect(), column);
    }
    painter.setPen(QPen(QColor::fromRgba(kScaleInk), 1));
    painter.setFont(scaleFont());
    for (const TPaletteAxisTick& tick : ed_.Colors.PaletteAxisTicks()) {
        const int y = static_cast<int>(tick.Y) - 1;
        const int x0 = kBarWidth + 1;
        const int length = static_cast<int>(tick.Length) / 3; // the bar holds most of the tick
        painter.drawLine(x0, y, x0 + length, y);
    }
    for (const TLabel& label : Labels()) {
        painter.drawText(label.Box, Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine, label.Text);
    }
}

// ---- TMapBarPanel ----

TMapBarPanel::TMapBarPanel(TEditor& Editor, QWidget* Parent) : QWidget(Parent), ed_(Editor) {
    TColorMapping& c = Editor.Colors;
    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(4, 4, 4, 4);
    column->setSpacing(3);

    renderB_ = new QToolButton(this);
    renderB_->setObjectName(QStringLiteral("RenderB"));
    renderB_->setText(QStringLiteral("Render"));
    renderB_->setToolTip(QString::fromStdString(Editor.Render.RenderB.Hint));
    renderB_->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    renderB_->setMinimumHeight(34);
    renderB_->setFocusPolicy(Qt::NoFocus);
    column->addWidget(renderB_);
    renderLabel_ = new QLabel(this);
    renderLabel_->setObjectName(QStringLiteral("RenderBLabel"));
    renderLabel_->setAlignment(Qt::AlignCenter);
    column->addWidget(renderLabel_);
    indicator_ = new QProgressBar(this);
    indicator_->setObjectName(QStringLiteral("RenderingIndicator"));
    indicator_->setRange(0, 0); // busy
    indicator_->setTextVisible(false);
    indicator_->setMaximumHeight(6);
    column->addWidget(indicator_);
    connect(renderB_, &QToolButton::clicked, this, [&Editor] { Editor.Render.RenderBClick(); });
    Editor.Render.RenderB.OnMirror = [self = QPointer<TMapBarPanel>(this)] {
        if (self) {
            self->mirrorRenderButton();
        }
    };
    mirrorRenderButton();

    auto* caption = new QLabel(QStringLiteral("Pressure\ndB SPL"), this);
    caption->setAlignment(Qt::AlignCenter);
    column->addWidget(caption);
    maxdB_ = new QDoubleSpinBox(this);
    maxdB_->setObjectName(QStringLiteral("MaxdBuEdit"));
    maxdB_->setToolTip(QStringLiteral("Set the dB value for the maximum color"));
    maxdB_->setKeyboardTracking(false);
    BindRange(maxdB_, c.MaxdBuEdit, 0);
    column->addWidget(maxdB_);

    scale_ = new TPaletteScale(Editor, this);
    column->addWidget(scale_, 1);
    c.OnPaletteChanged = [s = QPointer<TPaletteScale>(scale_)] {
        if (s) {
            s->update();
        }
    };

    auto* rangeRow = new QHBoxLayout();
    rangeRow->addWidget(new QLabel(QStringLiteral("Range"), this));
    range_ = new QDoubleSpinBox(this);
    range_->setObjectName(QStringLiteral("SPLRangeBox"));
    range_->setToolTip(QStringLiteral("Quantity of dB to represent all Mapping, from minimum to maximum"));
    range_->setKeyboardTracking(false);
    BindRange(range_, c.SPLRangeBox, 0);
    rangeRow->addWidget(range_, 1);
    rangeRow->addWidget(new QLabel(QStringLiteral("dB"), this));
    column->addLayout(rangeRow);

    autoScale_ = new QCheckBox(QStringLiteral("Auto"), this);
    autoScale_->setObjectName(QStringLiteral("AutoScaleCheckBox"));
    BindAction(autoScale_, c.AutoScaleCheckBox);
    column->addWidget(autoScale_);

    column->addWidget(new QLabel(QStringLiteral("Color Steps"), this));
    steps_ = new QComboBox(this);
    steps_->setObjectName(QStringLiteral("ColorStepsComboBox"));
    BindChoice(steps_, c.ColorStepsComboBox);
    column->addWidget(steps_);
}

void TMapBarPanel::mirrorRenderButton() {
    const TRenderButton& b = ed_.Render.RenderB;
    renderB_->setStyleSheet(renderButtonSheet(b.StyleLookup()));
    renderB_->setProperty("imageIndex", b.ImageIndex());
    renderB_->setProperty("styleLookup", QString::fromStdString(b.StyleLookup()));
    renderLabel_->setText(QString::fromStdString(b.Label()));
    renderLabel_->setVisible(b.IndicatorVisible());
    indicator_->setVisible(b.IndicatorVisible());
    indicator_->setEnabled(b.IndicatorEnabled());
}

} // namespace vendrel
