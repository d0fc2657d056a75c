#include "editor/editor_state.h"

#include "platform/core/numeric.h"

#include <algorithm>

namespace vendrel {

TObject* TObjectList::Items(int i) const {
    if (i < 0 || i >= Count()) {
        throw ERangeError();
    }
    return FItems[static_cast<size_t>(i)];
}

int TObjectList::IndexOf(const TObject* Obj) const {
    const auto it = std::find(FItems.begin(), FItems.end(), Obj);
    return it == FItems.end() ? -1 : static_cast<int>(it - FItems.begin());
}

void TObjectList::notify() const {
    if (OnNotify) {
        OnNotify();
    }
}

void TObjectList::Add(TObject* Obj) {
    FItems.push_back(Obj);
    notify();
}

bool TObjectList::Remove(const TObject* Obj) {
    const auto it = std::find(FItems.begin(), FItems.end(), Obj);
    if (it == FItems.end()) {
        return false;
    }
    FItems.erase(it);
    notify();
    return true;
}

void TObjectList::Clear() {
    if (FItems.empty()) {
        return;
    }
    // One notification per entry, as a list that removes its entries one by one reports them.
    while (!FItems.empty()) {
        FItems.pop_back();
        notify();
    }
}

TEditorState::TEditorState() {
    SelectedObjList.OnNotify = [this] { IsSelectionChanged = true; };
}

} // namespace vendrel
