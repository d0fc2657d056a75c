#include "editor/kind_registry.h"

#include <algorithm>

namespace vendrel {

TKindRegistry::TKindRegistry() = default;
TKindRegistry::~TKindRegistry() = default;

TObjectKind& TKindRegistry::Register(std::unique_ptr<TObjectKind> Kind) {
    for (auto& k : kinds_) {
        if (k->ClassName() == Kind->ClassName()) {
            k = std::move(Kind);
            return *k;
        }
    }
    kinds_.push_back(std::move(Kind));
    return *kinds_.back();
}

TObjectKind* TKindRegistry::KindOf(const TObject* Obj) const {
    if (Obj == nullptr) {
        return nullptr;
    }
    for (const auto& k : kinds_) {
        if (k->IsKindOf(Obj)) {
            return k.get();
        }
    }
    return nullptr;
}

TObjectKind* TKindRegistry::Find(const std::string& ClassName) const {
    for (const auto& k : kinds_) {
        if (k->ClassName() == ClassName) {
            return k.get();
        }
    }
    return nullptr;
}

std::vector<TObjectKind*> TKindRegistry::All() const {
    std::vector<TObjectKind*> all;
    all.reserve(kinds_.size());
    for (const auto& k : kinds_) {
        all.push_back(k.get());
    }
    return all;
}

std::vector<TObjectKind*> TKindRegistry::InOrder(TKindOrder Order) const {
    std::vector<TObjectKind*> all = All();
    std::stable_sort(all.begin(), all.end(), [Order](const TObjectKind* a, const TObjectKind* b) {
        return a->Rank(Order) < b->Rank(Order);
    });
    return all;
}

} // namespace vendrel
