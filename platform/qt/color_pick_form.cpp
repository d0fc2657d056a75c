#include "platform/qt/color_pick_form.h"

#include <QColor>
#include <QHBoxLayout>
#include <QLinearGradient>
#include <QMouseEvent>
#include <QPainter>
#include <QPushButton>
#include <QVBoxLayout>

#include <algorithm>
#include <functional>

namespace vendrel {

namespace {

QColor qcolor(TAlphaColor c) {
    return QColor::fromRgba(c);
}

double clamp01(double v) {
    return std::clamp(v, 0.0, 1.0);
}

} // namespace

// Saturation from left (0) to right (1), brightness from top (1) to bottom (0), at one hue.
class TColorQuad : public QWidget {
public:
    explicit TColorQuad(QWidget* Parent) : QWidget(Parent) {
        setObjectName(QStringLiteral("ColorQuad"));
        setCursor(Qt::CrossCursor);
    }

    double Hue = 0.0;
    double Saturation = 0.0;
    double Brightness = 1.0;
    std::function<void()> OnChange;
    std::function<void()> OnReleased;

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter painter(this);
        QLinearGradient across(0, 0, width(), 0);
        across.setColorAt(0, Qt::white);
        across.setColorAt(1, QColor::fromHsvF(static_cast<float>(Hue), 1.0f, 1.0f));
        painter.fillRect(rect(), across);
        QLinearGradient down(0, 0, 0, height());
        down.setColorAt(0, QColor(0, 0, 0, 0));
        down.setColorAt(1, Qt::black);
        painter.fillRect(rect(), down);
        const QPointF at(Saturation * (width() - 1), (1.0 - Brightness) * (height() - 1));
        painter.setPen(QPen(Brightness > 0.5 ? Qt::black : Qt::white, 1.5));
        painter.drawEllipse(at, 5, 5);
    }
    void mousePressEvent(QMouseEvent* event) override { follow(event->position()); }
    void mouseMoveEvent(QMouseEvent* event) override {
        if (event->buttons() & Qt::LeftButton) {
            follow(event->position());
        }
    }
    void mouseReleaseEvent(QMouseEvent* event) override {
        if (event->button() == Qt::LeftButton && OnReleased) {
            OnReleased();
        }
    }

private:
    void follow(const QPointF& p) {
        Saturation = clamp01(p.x() / std::max(width() - 1, 1));
        Brightness = 1.0 - clamp01(p.y() / std::max(height() - 1, 1));
        update();
        if (OnChange) {
            OnChange();
        }
    }
};

// The hue from top (0) to bottom (1).
class THueBar : public QWidget {
public:
    explicit THueBar(QWidget* Parent) : QWidget(Parent) {
        setObjectName(QStringLiteral("HuePicker"));
        setFixedWidth(24);
    }

    double Hue = 0.0;
    std::function<void()> OnChange;

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter painter(this);
        QLinearGradient down(0, 0, 0, height());
        for (int i = 0; i <= 6; ++i) {
            down.setColorAt(i / 6.0,
                            QColor::fromHsvF(static_cast<float>(std::min(i / 6.0, 0.9999)), 1.0f, 1.0f));
        }
        painter.fillRect(rect(), down);
        const int y = static_cast<int>(Hue * (height() - 1));
        painter.setPen(QPen(Qt::white, 2));
        painter.drawLine(0, y, width(), y);
    }
    void mousePressEvent(QMouseEvent* event) override { follow(event->position()); }
    void mouseMoveEvent(QMouseEvent* event) override {
        if (event->buttons() & Qt::LeftButton) {
            follow(event->position());
        }
    }

private:
    void follow(const QPointF& p) {
        Hue = clamp01(p.y() / std::max(height() - 1, 1));
        update();
        if (OnChange) {
            OnChange();
        }
    }
};

TColorPickForm::TColorPickForm(QWidget* Parent) : QDialog(Parent) {
    setObjectName(QStringLiteral("ColorPickForm"));
    setWindowTitle(QStringLiteral("Select Color"));
    setFixedSize(366, 325);
    auto* column = new QVBoxLayout(this);
    auto* row = new QHBoxLayout();
    quad_ = new TColorQuad(this);
    hue_ = new THueBar(this);
    row->addWidget(quad_, 1);
    row->addWidget(hue_);
    column->addLayout(row, 1);
    auto* bottom = new QHBoxLayout();
    box_ = new QWidget(this);
    box_->setObjectName(QStringLiteral("ColorBox"));
    box_->setFixedSize(60, 28);
    box_->setAutoFillBackground(true);
    setColor_ = new QPushButton(QStringLiteral("Set Color"), this);
    setColor_->setObjectName(QStringLiteral("SetColorButton"));
    bottom->addWidget(box_);
    bottom->addStretch(1);
    bottom->addWidget(setColor_);
    column->addLayout(bottom);

    quad_->OnChange = [this] { quadOrHueChanged(); };
    quad_->OnReleased = [this] { accept(); };
    hue_->OnChange = [this] {
        quad_->Hue = hue_->Hue;
        quad_->update();
        quadOrHueChanged();
    };
    connect(setColor_, &QPushButton::clicked, this, &QDialog::accept);
    SetColorPicked(FColorPicked);
}

TColorPickForm::~TColorPickForm() = default;

QWidget* TColorPickForm::ColorQuad() const {
    return quad_;
}

QWidget* TColorPickForm::HuePicker() const {
    return hue_;
}

void TColorPickForm::quadOrHueChanged() {
    const QColor c =
        QColor::fromHsvF(static_cast<float>(std::min(quad_->Hue, 0.9999)),
                         static_cast<float>(quad_->Saturation), static_cast<float>(quad_->Brightness));
    FColorPicked = (FColorPicked & 0xFF000000u) | (c.rgba() & 0x00FFFFFFu);
    QPalette pal = box_->palette();
    pal.setColor(QPalette::Window, qcolor(FColorPicked | 0xFF000000u));
    box_->setPalette(pal);
}

void TColorPickForm::SetColorPicked(TAlphaColor Value) {
    FColorPicked = Value;
    const QColor c = qcolor(Value);
    float h = 0, s = 0, v = 0;
    c.getHsvF(&h, &s, &v);
    quad_->Hue = h < 0 ? hue_->Hue : h;
    quad_->Saturation = s;
    quad_->Brightness = v;
    hue_->Hue = quad_->Hue;
    quad_->update();
    hue_->update();
    QPalette pal = box_->palette();
    pal.setColor(QPalette::Window, qcolor(Value | 0xFF000000u));
    box_->setPalette(pal);
}

std::optional<TAlphaColor> TColorPickForm::Pick(TAlphaColor Current) {
    SetColorPicked(Current);
    if (parentWidget() != nullptr) {
        const QPoint centre = parentWidget()->window()->geometry().center();
        move(centre - QPoint(width() / 2, height() / 2));
    }
    if (exec() != QDialog::Accepted) {
        return std::nullopt;
    }
    return FColorPicked;
}

} // namespace vendrel
