#pragma once
// What the window's controls show, kept by the editor: a number with range and step (spin box, scroll
// bar, track bar), a command or switch (menu item, action, stay-pressed button) and a text (label,
// read-only field). The widgets of editor/qt only mirror these and forward the user's changes, so the
// editor runs and is tested without a window.
//
// A value set by the editor runs its change event just as a user change does, because the editor's
// chains rely on it (the zoom box drives the camera). A range change only clamps the value, without
// the event: code that depends on the clamped value sets it again deliberately.

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace vendrel {

class TObject;

class TUIRange {
public:
    TUIRange(double Min, double Max, double Value, double Step = 1.0);

    double Value() const { return FValue; }
    double Min() const { return FMin; }
    double Max() const { return FMax; }
    double Step() const { return FStep; }
    // The thumb size of a scroll bar (0 for other controls).
    double PageSize() const { return FPageSize; }
    bool Enabled() const { return FEnabled; }

    // Clamps to the range; a changed value refreshes the widget, then runs OnChange.
    void SetValue(double Value);
    // Clamps the value to the new range without running OnChange; the widget is refreshed.
    void SetMin(double Value);
    void SetMax(double Value);
    void SetRange(double Min, double Max);
    void SetStep(double Value);
    void SetPageSize(double Value);
    void SetEnabled(bool Value);

    std::function<void()> OnChange; // the control's change event
    std::function<void()> OnMirror; // the widget refreshes itself from the value

private:
    void mirror() const;

    double FMin;
    double FMax;
    double FValue;
    double FStep;
    double FPageSize = 0.0;
    bool FEnabled = true;
};

class TUIAction {
public:
    explicit TUIAction(std::string Caption = {}, std::string ShortCut = {});

    const std::string& Caption() const { return FCaption; }
    void SetCaption(const std::string& Value);
    bool Enabled() const { return FEnabled; }
    void SetEnabled(bool Value);
    // The check mark of a menu item, the pressed state of a stay-pressed button.
    bool Checked() const { return FChecked; }
    void SetChecked(bool Value);
    bool Visible() const { return FVisible; }
    void SetVisible(bool Value);

    // Runs the command; a disabled action does nothing. A checkable item the user clicks has its mark
    // flipped first (SetChecked) when AutoCheck is set.
    void Execute();
    // A click by the user: flips the mark of an AutoCheck item, then Execute.
    void Click();

    std::string ShortCut; // as the menu shows it ("F1", "Ctrl+L")
    std::string Hint;
    bool Checkable = false;
    bool AutoCheck = false;
    std::function<void()> OnExecute;
    std::function<void()> OnMirror;

private:
    void mirror() const;

    std::string FCaption;
    bool FEnabled = true;
    bool FChecked = false;
    bool FVisible = true;
};

class TUIText {
public:
    explicit TUIText(std::string Text = {}) : FText(std::move(Text)) {}

    const std::string& Text() const { return FText; }
    void SetText(const std::string& Value);
    bool Visible() const { return FVisible; }
    void SetVisible(bool Value);

    std::function<void()> OnMirror;

private:
    std::string FText;
    bool FVisible = true;
};

// A list of texts with one chosen (combo box). The editor sets the list and the choice without the
// change event (a deliberate call follows where the design chains one); a user's choice in the widget
// comes through UserSelect, which runs OnChange.
class TUIChoice {
public:
    explicit TUIChoice(std::vector<std::string> Items = {}, int ItemIndex = -1);

    const std::vector<std::string>& Items() const { return FItems; }
    int Count() const { return static_cast<int>(FItems.size()); }
    // The chosen entry, -1 for none.
    int ItemIndex() const { return FItemIndex; }
    // The chosen text, empty for none.
    std::string Selected() const;
    // The index of a text, -1 when absent.
    int IndexOf(const std::string& Text) const;
    bool Visible() const { return FVisible; }
    bool Enabled() const { return FEnabled; }

    // A new list; the choice is kept when it still lies within it, else it becomes -1.
    void SetItems(std::vector<std::string> Items);
    // Indexes outside the list choose none.
    void SetItemIndex(int Value);
    void SetVisible(bool Value);
    void SetEnabled(bool Value);
    // The user chose an entry: stored, then OnChange.
    void UserSelect(int Value);

    std::string Hint;
    std::function<void()> OnChange;
    std::function<void()> OnMirror;

private:
    void mirror() const;

    std::vector<std::string> FItems;
    int FItemIndex = -1;
    bool FVisible = true;
    bool FEnabled = true;
};

// A tab control whose strip may be hidden: its tabs in order, each with a caption, the object it
// carries (not owned) and a visibility, and the active tab (-1: none). The window keeps one page per
// tab: OnAdded and OnDeleted tell it where a page comes or goes, OnMirror that captions, visibility or
// the active tab changed.
class TUITabs {
public:
    struct TItem {
        std::string Text;
        TObject* TagObject = nullptr;
        bool Visible = true;
    };

    int Count() const { return static_cast<int>(FItems.size()); }
    // The tab at index i; an index outside the control raises ERangeError.
    const TItem& Items(int i) const;
    int IndexOfObject(const TObject* Obj) const;
    // Appends a tab; returns its index.
    int Add(const std::string& Text, TObject* TagObject);
    // Removes a tab; the active tab stays on the same tab, or becomes none when it was this one.
    void Delete(int Index);
    void SetText(int Index, const std::string& Text);
    void SetVisible(int Index, bool Visible);
    int TabIndex() const { return FTabIndex; }
    // -1 or an index of the control; anything else raises ERangeError.
    void SetTabIndex(int Value);
    // The object of the active tab, or null.
    TObject* ActiveObject() const;

    std::function<void(int Index)> OnAdded;
    std::function<void(int Index)> OnDeleted;
    std::function<void()> OnMirror;

private:
    void mirror() const;
    TItem& item(int i);

    std::vector<TItem> FItems;
    int FTabIndex = -1;
};

// A list of texts, each with a whole-number tag, and the selected item (-1: none).
class TUIListBox {
public:
    struct TItem {
        std::string Text;
        int64_t Tag = 0;
    };

    int Count() const { return static_cast<int>(FItems.size()); }
    const TItem& Items(int i) const;
    void Clear();
    // Appends an item; returns its index.
    int Add(const std::string& Text, int64_t Tag);
    void SetText(int Index, const std::string& Text);
    int ItemIndex() const { return FItemIndex; }
    void SetItemIndex(int Value);

    std::function<void()> OnMirror;

private:
    void mirror() const;

    std::vector<TItem> FItems;
    int FItemIndex = -1;
};

} // namespace vendrel
