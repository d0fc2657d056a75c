#pragma once
// The root of our object tree and the owner relation.
//
// An owner frees what it owns: a component created with an owner is deleted by that owner's
// destructor, last created first. A component may also be deleted directly; it then leaves its
// owner's list. Components without an owner are freed by whoever created them.

#include <cstdint>
#include <string>
#include <vector>

namespace vendrel {

// Base of every class whose kind code tells apart at run time (dynamic_cast).
class TObject {
public:
    virtual ~TObject() = default;
};

class TComponent : public TObject {
public:
    explicit TComponent(TComponent* AOwner = nullptr);
    ~TComponent() override;
    TComponent(const TComponent&) = delete;
    TComponent& operator=(const TComponent&) = delete;

    TComponent* Owner() const { return FOwner; }
    int ComponentCount() const { return static_cast<int>(FComponents.size()); }
    // The owned component at index i; an index outside the list raises ERangeError.
    TComponent* Components(int i) const;
    // Hands the component over to another owner (nullptr: nobody frees it any more).
    void ChangeOwner(TComponent* NewOwner);

    // Free links for the code that uses the component (a tab index, the object a 3D object shows).
    int64_t Tag = 0;
    TObject* TagObject = nullptr; // not owned
    std::string TagString;
    double TagFloat = 0.0;

private:
    void insertComponent(TComponent* c);
    void removeComponent(TComponent* c);

    TComponent* FOwner = nullptr;
    std::vector<TComponent*> FComponents; // owned
};

} // namespace vendrel
