#pragma once
// Removal: the Delete command and the removal of the whole selection; each object goes through its
// kind's removal (TObjectKind::Remove).
//
// A kind's removal undoes what building the object made (its drawn objects, its panel, its tab, its
// place in the selection) and then hands the object to the project, which frees it. Before anything is freed,
// ForgetObject takes the object out of every list and field of the editor that may point at it, so no
// later click, menu or key reaches a freed object.
//
// An object is protected when its own lock or its layer's lock is set; Delete spares protected objects
// (they leave the selection, and their selected flag with it). The per-kind routines do not look at
// locks.

#include <vector>

namespace vendrel {

class TEditor;
class TObject;
class TQzControl3D;

class TRemoval {
public:
    explicit TRemoval(TEditor& Editor);

    // Asks "Delete all selected (and not locked) objects? (n)" and removes every unprotected selected
    // object on Yes, recalculating once for all.
    void DeleteActionExecute();
    // The same without the question.
    void RemoveSelectedObjects();
    // Removes every unprotected object of the list by its kind, the last first.
    void RemoveObjectByClass(const std::vector<TObject*>& Objects);

    // Every reference of the editor and its window to Obj is dropped: the object last pressed, the
    // highlighted one, the selection, the copy, lock and duplication lists, the objects in edition and
    // the target of the menus.
    void ForgetObject(TObject* Obj);

    static bool IsProtected(const TQzControl3D& Obj);

private:
    TEditor& ed_;
};

} // namespace vendrel
