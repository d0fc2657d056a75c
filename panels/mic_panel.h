#pragma once
// The rows of the response page: one per measurement point (its shown flag, colour and number, its
// position, its delay with "Find delay", its selection box and "Set Overlay") and one per overlay (its
// shown flag, colour, name and the box the remove command reads).
//
// Shown axes as everywhere: X is the scene's X, Y the scene's Z and Z (the height) the scene's negated Y.
// A point row's box shows the point's selection and ticks the row for removal; the page's header box
// ticks every row without selecting anything.

#include "panels/object_panel.h"

class QCheckBox;
class QLabel;
class QLineEdit;
class QToolButton;

namespace vendrel {

class TMicPoint;
class TOverlay;
class TMeasureResponses;

class TSingleMicFr : public TObjectPanel {
    Q_OBJECT
public:
    // The row shows no point until AsignedMic is set and UpdateValues runs.
    TSingleMicFr(IPanelHost& Host, TMeasureResponses& Responses, QWidget* Parent);

    TMicPoint* AsignedMic = nullptr; // not owned

    // IObjectPanel
    void UpdateValues() override;
    void UpdateLockUnlock() override {}
    void ObjectDetached() override;
    void ShowSelected(bool Selected) override;
    void SetRowVisible(bool Visible) override;
    void ScrollIntoView() override;
    TQzControl3D* ShownObject() const override;

    // The colour swatch and the row's tick follow the point and the responses' ticks.
    void ShowColor();
    void ShowTick();
    std::vector<QWidget*> TitledFields() const;

    QCheckBox* ActiveCheckBox = nullptr;
    QLabel* ColorRect = nullptr; // with the point's number
    QLineEdit* MicXBox = nullptr;
    QLineEdit* MicZBox = nullptr;
    QLineEdit* MicYBox = nullptr;
    QLineEdit* MicDistanceBox = nullptr;
    QToolButton* AlignDelayB = nullptr;
    QCheckBox* SelCheckBox = nullptr;
    QToolButton* CaptureCurveB = nullptr;

protected:
    bool eventFilter(QObject* Watched, QEvent* Event) override;

private:
    void paintBackground(bool Selected);
    void pickColor();

    TMeasureResponses& responses_;
};

class TOverlayFr : public TObjectPanel {
    Q_OBJECT
public:
    TOverlayFr(IPanelHost& Host, TMeasureResponses& Responses, QWidget* Parent);

    TOverlay* AsignedOverlay = nullptr; // not owned

    void UpdateValues() override;
    void UpdateLockUnlock() override {}
    void ObjectDetached() override;
    TQzControl3D* ShownObject() const override;
    void ShowTick();

    QCheckBox* OverlayCB = nullptr;
    QLabel* ColorRect = nullptr;
    QLineEdit* NameEdit = nullptr;
    QCheckBox* SelCheckBox = nullptr;

protected:
    bool eventFilter(QObject* Watched, QEvent* Event) override;

private:
    void paintBackground(bool Ticked);
    void pickColor();

    TMeasureResponses& responses_;
};

} // namespace vendrel
