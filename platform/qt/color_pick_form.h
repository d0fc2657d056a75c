#pragma once
// The colour picker ("Select Color"): a colour quad (saturation across, brightness down) beside a hue
// bar, and a box showing the colour picked. The colour follows every change of the quad or the bar;
// releasing the mouse on the quad, or the "Set Color" button, closes the picker with OK. Created once
// and reused by every colour button of the program.

#include "platform/core/bitmap.h"

#include <QDialog>

#include <optional>

class QPushButton;

namespace vendrel {

class TColorQuad;
class THueBar;
class TColorPickForm : public QDialog {
    Q_OBJECT
public:
    explicit TColorPickForm(QWidget* Parent = nullptr);
    ~TColorPickForm() override;

    // The colour picked; setting it places the quad and the bar on it (alpha kept).
    TAlphaColor ColorPicked() const { return FColorPicked; }
    void SetColorPicked(TAlphaColor Value);

    // Shows the picker modally on Current, centred on its parent; the colour on OK, nothing on cancel.
    std::optional<TAlphaColor> Pick(TAlphaColor Current);

    QWidget* ColorQuad() const;
    QWidget* HuePicker() const;
    QWidget* ColorBox() const { return box_; }
    QPushButton* SetColorButton() const { return setColor_; }

private:
    void quadOrHueChanged();

    TAlphaColor FColorPicked = 0xFFFFFFFF;
    TColorQuad* quad_;
    THueBar* hue_;
    QWidget* box_;
    QPushButton* setColor_;
};

} // namespace vendrel
