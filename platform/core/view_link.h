#pragma once
// The link between a model object and the one panel, row or drawn object that shows it.
//
// The model object holds a TViewLink (the field its design calls GraphicalInterface); the view is an
// IModelView. Both sides are kept consistent by the link: attaching a view detaches the one shown
// before (and takes the view from the object it showed); a model object that goes away detaches its
// view, which is told through ObjectDetached and drops its own pointer to the object; a view that
// closes leaves its object pointing at nothing. Neither side owns the other. User-interface thread
// only.

namespace vendrel {

class TViewLink;

class IModelView {
public:
    IModelView() = default;
    IModelView(const IModelView&) = delete;
    IModelView& operator=(const IModelView&) = delete;
    // A view that closes: the object it showed forgets it.
    virtual ~IModelView();

    // The link of the object shown; null when the view shows nothing.
    TViewLink* ShownLink() const { return shown_; }

protected:
    // The object shown went away or is now shown by another view: the view drops its pointer to it.
    virtual void ObjectDetached() {}

private:
    friend class TViewLink;
    TViewLink* shown_ = nullptr;
};

class TViewLink {
public:
    TViewLink() = default;
    // A copy of a model object is not shown by the original's view: copies start detached, and an
    // assignment keeps the view of the object assigned to.
    TViewLink(const TViewLink&) {}
    TViewLink& operator=(const TViewLink&) { return *this; }
    // The object goes away: its view forgets it.
    ~TViewLink() { Detach(); }

    IModelView* View() const { return view_; }
    template <typename T> T* ViewAs() const { return dynamic_cast<T*>(view_); }
    explicit operator bool() const { return view_ != nullptr; }

    // Shows the object in view (null: in none). The view shown before is detached, and view stops
    // showing the object it showed.
    void Attach(IModelView* view) {
        if (view == view_) {
            return;
        }
        Detach();
        if (view == nullptr) {
            return;
        }
        if (view->shown_ != nullptr) {
            view->shown_->Detach();
        }
        view_ = view;
        view->shown_ = this;
    }

    // The object and its view forget each other; the view is told.
    void Detach() {
        IModelView* view = view_;
        if (view == nullptr) {
            return;
        }
        view_ = nullptr;
        view->shown_ = nullptr;
        view->ObjectDetached();
    }

private:
    friend class IModelView;
    IModelView* view_ = nullptr;
};

inline IModelView::~IModelView() {
    if (shown_ != nullptr) {
        shown_->view_ = nullptr;
    }
}

} // namespace vendrel
