#include "editor/ui_values.h"

#include <algorithm>

namespace vendrel {

TUIRange::TUIRange(double Min, double Max, double Value, double Step)
    : FMin(Min), FMax(std::max(Min, Max)), FValue(std::clamp(Value, Min, std::max(Min, Max))), FStep(Step) {}

void TUIRange::mirror() const {
    if (OnMirror) {
        OnMirror();
    }
}

void TUIRange::SetValue(double Value) {
    Value = std::clamp(Value, FMin, FMax);
    if (Value == FValue) {
        return;
    }
    FValue = Value;
    mirror();
    if (OnChange) {
        OnChange();
    }
}

void TUIRange::SetMin(double Value) {
    SetRange(Value, std::max(Value, FMax));
}

void TUIRange::SetMax(double Value) {
    SetRange(std::min(FMin, Value), Value);
}

void TUIRange::SetRange(double Min, double Max) {
    FMin = Min;
    FMax = std::max(Min, Max);
    FValue = std::clamp(FValue, FMin, FMax);
    mirror();
}

void TUIRange::SetStep(double Value) {
    if (Value == FStep) {
        return;
    }
    FStep = Value;
    mirror();
}

void TUIRange::SetPageSize(double Value) {
    if (Value == FPageSize) {
        return;
    }
    FPageSize = Value;
    mirror();
}

void TUIRange::SetEnabled(bool Value) {
    if (Value == FEnabled) {
        return;
    }
    FEnabled = Value;
    mirror();
}

TUIAction::TUIAction(std::string Caption, std::string ShortCut)
    : ShortCut(std::move(ShortCut)), FCaption(std::move(Caption)) {}

void TUIAction::mirror() const {
    if (OnMirror) {
        OnMirror();
    }
}

void TUIAction::SetCaption(const std::string& Value) {
    if (Value != FCaption) {
        FCaption = Value;
        mirror();
    }
}

void TUIAction::SetEnabled(bool Value) {
    if (Value != FEnabled) {
        FEnabled = Value;
        mirror();
    }
}

void TUIAction::SetChecked(bool Value) {
    if (Value != FChecked) {
        FChecked = Value;
        mirror();
    }
}

void TUIAction::SetVisible(bool Value) {
    if (Value != FVisible) {
        FVisible = Value;
        mirror();
    }
}

void TUIAction::Execute() {
    if (FEnabled && OnExecute) {
        OnExecute();
    }
}

void TUIAction::Click() {
    if (!FEnabled) {
        return;
    }
    if (AutoCheck) {
        SetChecked(!FChecked);
    }
    Execute();
}

void TUIText::SetText(const std::string& Value) {
    if (Value != FText) {
        FText = Value;
        if (OnMirror) {
            OnMirror();
        }
    }
}

void TUIText::SetVisible(bool Value) {
    if (Value != FVisible) {
        FVisible = Value;
        if (OnMirror) {
            OnMirror();
        }
    }
}

TUIChoice::TUIChoice(std::vector<std::string> Items, int ItemIndex) : FItems(std::move(Items)) {
    FItemIndex = ItemIndex >= 0 && ItemIndex < Count() ? ItemIndex : -1;
}

void TUIChoice::mirror() const {
    if (OnMirror) {
        OnMirror();
    }
}

std::string TUIChoice::Selected() const {
    return FItemIndex >= 0 ? FItems[static_cast<size_t>(FItemIndex)] : std::string();
}

int TUIChoice::IndexOf(const std::string& Text) const {
    const auto it = std::find(FItems.begin(), FItems.end(), Text);
    return it == FItems.end() ? -1 : static_cast<int>(it - FItems.begin());
}

void TUIChoice::SetItems(std::vector<std::string> Items) {
    FItems = std::move(Items);
    if (FItemIndex >= Count()) {
        FItemIndex = -1;
    }
    mirror();
}

void TUIChoice::SetItemIndex(int Value) {
    Value = Value >= 0 && Value < Count() ? Value : -1;
    if (Value != FItemIndex) {
        FItemIndex = Value;
        mirror();
    }
}

void TUIChoice::SetVisible(bool Value) {
    if (Value != FVisible) {
        FVisible = Value;
        mirror();
    }
}

void TUIChoice::SetEnabled(bool Value) {
    if (Value != FEnabled) {
        FEnabled = Value;
        mirror();
    }
}

void TUIChoice::UserSelect(int Value) {
    SetItemIndex(Value);
    if (OnChange) {
        OnChange();
    }
}

} // namespace vendrel
