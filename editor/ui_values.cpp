#include "editor/ui_values.h"

#include "platform/core/numeric.h"

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

// ---------------------------------------------------------------------------------------------------
// Tabs

void TUITabs::mirror() const {
    if (OnMirror) {
        OnMirror();
    }
}

const TUITabs::TItem& TUITabs::Items(int i) const {
    if (i < 0 || i >= Count()) {
        throw ERangeError();
    }
    return FItems[static_cast<size_t>(i)];
}

TUITabs::TItem& TUITabs::item(int i) {
    if (i < 0 || i >= Count()) {
        throw ERangeError();
    }
    return FItems[static_cast<size_t>(i)];
}

int TUITabs::IndexOfObject(const TObject* Obj) const {
    for (int i = 0; i < Count(); ++i) {
        if (FItems[static_cast<size_t>(i)].TagObject == Obj) {
            return i;
        }
    }
    return -1;
}

int TUITabs::Add(const std::string& Text, TObject* TagObject) {
    FItems.push_back({Text, TagObject, true});
    const int index = Count() - 1;
    if (OnAdded) {
        OnAdded(index);
    }
    mirror();
    return index;
}

void TUITabs::Delete(int Index) {
    item(Index);
    FItems.erase(FItems.begin() + Index);
    if (FTabIndex == Index) {
        FTabIndex = -1;
    } else if (FTabIndex > Index) {
        --FTabIndex;
    }
    if (OnDeleted) {
        OnDeleted(Index);
    }
    mirror();
}

void TUITabs::SetText(int Index, const std::string& Text) {
    TItem& t = item(Index);
    if (t.Text != Text) {
        t.Text = Text;
        mirror();
    }
}

void TUITabs::SetVisible(int Index, bool Visible) {
    TItem& t = item(Index);
    if (t.Visible != Visible) {
        t.Visible = Visible;
        mirror();
    }
}

void TUITabs::SetTabIndex(int Value) {
    if (Value != -1) {
        item(Value);
    }
    if (Value != FTabIndex) {
        FTabIndex = Value;
        mirror();
    }
}

TObject* TUITabs::ActiveObject() const {
    return FTabIndex < 0 ? nullptr : FItems[static_cast<size_t>(FTabIndex)].TagObject;
}

// ---------------------------------------------------------------------------------------------------
// List box

void TUIListBox::mirror() const {
    if (OnMirror) {
        OnMirror();
    }
}

const TUIListBox::TItem& TUIListBox::Items(int i) const {
    if (i < 0 || i >= Count()) {
        throw ERangeError();
    }
    return FItems[static_cast<size_t>(i)];
}

void TUIListBox::Clear() {
    FItems.clear();
    FItemIndex = -1;
    mirror();
}

int TUIListBox::Add(const std::string& Text, int64_t Tag) {
    FItems.push_back({Text, Tag});
    mirror();
    return Count() - 1;
}

void TUIListBox::SetText(int Index, const std::string& Text) {
    if (Index < 0 || Index >= Count()) {
        throw ERangeError();
    }
    FItems[static_cast<size_t>(Index)].Text = Text;
    mirror();
}

void TUIListBox::SetItemIndex(int Value) {
    if (Value < -1 || Value >= Count()) {
        throw ERangeError();
    }
    if (Value != FItemIndex) {
        FItemIndex = Value;
        mirror();
    }
}

} // namespace vendrel
