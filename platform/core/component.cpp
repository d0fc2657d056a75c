#include "platform/core/component.h"

#include "platform/core/numeric.h"

#include <algorithm>

namespace vendrel {

TComponent::TComponent(TComponent* AOwner) {
    if (AOwner != nullptr) {
        AOwner->insertComponent(this);
    }
}

TComponent::~TComponent() {
    while (!FComponents.empty()) {
        TComponent* c = FComponents.back();
        FComponents.pop_back();
        c->FOwner = nullptr;
        delete c;
    }
    if (FOwner != nullptr) {
        FOwner->removeComponent(this);
    }
}

TComponent* TComponent::Components(int i) const {
    return At(FComponents, i);
}

void TComponent::ChangeOwner(TComponent* NewOwner) {
    if (NewOwner == FOwner) {
        return;
    }
    if (FOwner != nullptr) {
        FOwner->removeComponent(this);
    }
    if (NewOwner != nullptr) {
        NewOwner->insertComponent(this);
    }
}

void TComponent::insertComponent(TComponent* c) {
    c->FOwner = this;
    FComponents.push_back(c);
}

void TComponent::removeComponent(TComponent* c) {
    auto it = std::find(FComponents.begin(), FComponents.end(), c);
    if (it != FComponents.end()) {
        FComponents.erase(it);
    }
    c->FOwner = nullptr;
}

} // namespace vendrel
