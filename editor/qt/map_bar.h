#pragma once
// The map bar beside the 3D view: the Render button with its activity indicator, the level colour bar
// with its dB scale, the maximum box at the top of the bar, and the range, auto-scale and colour-step
// controls under it. Every control mirrors the editor's value and forwards the user's changes.

#include <QWidget>

#include <vector>

class QCheckBox;
class QComboBox;
class QDoubleSpinBox;
class QLabel;
class QProgressBar;
class QToolButton;

namespace vendrel {

class TEditor;

// The colour bar and its dB scale in one image: the bar on the left, the ticks and their labels to
// its right. Its height less the padding above and below is the bar's height the editor scales to.
class TPaletteScale : public QWidget {
    Q_OBJECT
public:
    TPaletteScale(TEditor& Editor, QWidget* Parent);
    // Where the bar lies in the widget.
    QRect BarRect() const;
    // The dB labels the scale draws, each with the box of its text: every tick's, or on a bar too short
    // for that every second, third ... tick's (the ticks stay), so that numbers never overlap.
    struct TLabel {
        QString Text;
        QRect Box;
    };
    std::vector<TLabel> Labels() const;

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    QFont scaleFont() const;

    TEditor& ed_;
};

class TMapBarPanel : public QWidget {
    Q_OBJECT
public:
    TMapBarPanel(TEditor& Editor, QWidget* Parent);

    QToolButton* RenderB() const { return renderB_; }
    QLabel* RenderBLabel() const { return renderLabel_; }
    QProgressBar* RenderingIndicator() const { return indicator_; }
    QDoubleSpinBox* MaxdBuEdit() const { return maxdB_; }
    QDoubleSpinBox* SPLRangeBox() const { return range_; }
    QCheckBox* AutoScaleCheckBox() const { return autoScale_; }
    QComboBox* ColorStepsComboBox() const { return steps_; }
    TPaletteScale* PaletteScale() const { return scale_; }

private:
    void mirrorRenderButton();

    TEditor& ed_;
    QToolButton* renderB_;
    QLabel* renderLabel_;
    QProgressBar* indicator_;
    QDoubleSpinBox* maxdB_;
    QDoubleSpinBox* range_;
    QCheckBox* autoScale_;
    QComboBox* steps_;
    TPaletteScale* scale_;
};

} // namespace vendrel
