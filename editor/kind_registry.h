#pragma once
// The table of object kinds the editor knows (see object_kind.h for how a kind plugs in). The editor
// registers the built-in kinds when it is created (editor/kinds/builtin_kinds.cpp); a test may register
// a kind of its own. A kind registered for a class that has one already replaces it.

#include "editor/object_kind.h"

#include <memory>
#include <vector>

namespace vendrel {

class TKindRegistry {
public:
    TKindRegistry();
    ~TKindRegistry();
    TKindRegistry(const TKindRegistry&) = delete;
    TKindRegistry& operator=(const TKindRegistry&) = delete;

    TObjectKind& Register(std::unique_ptr<TObjectKind> Kind);

    // The kind of an object (its exact class), or null.
    TObjectKind* KindOf(const TObject* Obj) const;
    // The kind of a class name ("TCabinet"), or null.
    TObjectKind* Find(const std::string& ClassName) const;
    // The kind of a given type, or null.
    template <typename K> K* Get() const {
        for (const auto& k : kinds_) {
            if (auto* kind = dynamic_cast<K*>(k.get())) {
                return kind;
            }
        }
        return nullptr;
    }

    // Every kind in the order of registration.
    std::vector<TObjectKind*> All() const;
    // Every kind in the order an operation visits them (equal ranks keep the order of registration).
    std::vector<TObjectKind*> InOrder(TKindOrder Order) const;

private:
    std::vector<std::unique_ptr<TObjectKind>> kinds_;
};

} // namespace vendrel
