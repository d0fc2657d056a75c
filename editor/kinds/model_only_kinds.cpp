#include "editor/kinds/model_only_kinds.h"

#include "acoustics/beam_steering.h"
#include "acoustics/cluster.h"
#include "acoustics/project.h"
#include "editor/editor.h"
#include "editor/units.h"

#include <functional>
#include <memory>

namespace vendrel {

namespace {

// How typed offsets turn a kind's objects about the group's centre.
enum class TTurnRule : uint8_t {
    Group, // clusters, steered columns: about their position, angles added
    Point, // points: about their rotation centre, the Y angle falling
};

template <typename T> class TModelOnlyKind : public TKindOf<T> {
public:
    using TList = const std::vector<std::unique_ptr<T>>& (TAcousticProject::*)() const;

    TModelOnlyKind(TEditor& Editor, std::string ClassName, std::string StatusWord, TKindRanks Ranks,
                   TList List, std::function<void(T*)> Remover, std::string Pattern, TTurnRule Turn)
        : TKindOf<T>(Editor, std::move(ClassName), std::move(StatusWord)), list_(List),
          remover_(std::move(Remover)), pattern_(std::move(Pattern)), turn_(Turn) {
        this->Ranks = Ranks;
        this->Placement.ShownOnSelection = false;
        this->Mouse.Insertion = TInsertionStep::None;
        this->Mouse.InsertionOnMove = false;
    }

    void ForEachObject(const std::function<void(TQzControl3D&)>& Visit) const override {
        for (const auto& o : (this->ed_.Project.*list_)()) {
            Visit(*o);
        }
    }
    TQzControl3D* ObjectOf3D(const TObject* Drawn) const override {
        const auto* component = dynamic_cast<const TComponent*>(Drawn);
        return component != nullptr ? TKindOf<T>::Cast(component->TagObject) : nullptr;
    }
    // The container stands at the object's position: the drawn models follow the object itself.
    void Place(TQzControl3D& Obj) override {
        if (Obj.GraphicalObject != nullptr) {
            Obj.GraphicalObject->SetPosition(Obj.Position());
        }
    }
    void WriteBack(TQzControl3D& Obj) override {
        const TControl3D* drawn = Obj.GraphicalObject;
        if (drawn == nullptr) {
            return;
        }
        const double u = this->ed_.State.Units.LengthUnits;
        const TPoint3D p = drawn->Position();
        Obj.SetPosition({static_cast<float>(ShownAndReadBack(p.X, u, pattern_)),
                         static_cast<float>(-ShownAndReadBack(-p.Y, u, pattern_)),
                         static_cast<float>(ShownAndReadBack(p.Z, u, pattern_))});
    }
    void MoveBy(TQzControl3D& Obj, const TPoint3D& D) override {
        Obj.SetPosition(Obj.Position() + D);
        Place(Obj);
    }
    void MoveAndRotate(TQzControl3D& Obj, const TMoveAndRotate& M) override {
        const TPoint3D r = Obj.RotationAngle();
        if (turn_ == TTurnRule::Group) {
            const TPoint3D a = M.Turned(Obj.Position() - M.Centre);
            Obj.SetPosition(a + M.Offset + M.Centre);
            Obj.SetRotationAngle(r + M.Rotation);
        } else {
            const TPoint3D rc = Obj.RotationCenter();
            const TPoint3D a = M.Turned(Obj.Position() - M.Centre + rc);
            Obj.SetPosition(a + M.Offset + M.Centre - rc);
            Obj.SetRotationAngle({r.X + M.Rotation.X, r.Y - M.Rotation.Y, r.Z + M.Rotation.Z});
        }
        Place(Obj);
    }
    void Remove(TQzControl3D& Obj) override { remover_(static_cast<T*>(&Obj)); }

private:
    TList list_;
    std::function<void(T*)> remover_;
    std::string pattern_;
    TTurnRule turn_;
};

} // namespace

void RegisterModelOnlyKinds(TEditor& Editor, TKindRegistry& Kinds) {
    TModelOnlyObjects& m = Editor.ModelOnly;
    Kinds.Register(std::make_unique<TModelOnlyKind<TCluster>>(
        Editor, "TCluster", " Clusters", TKindRanks{4, 4, 4}, &TAcousticProject::Clusters,
        [&m](TCluster* o) { m.RemoveCluster(o); }, "0.000", TTurnRule::Group));
    Kinds.Register(std::make_unique<TModelOnlyKind<TBeamContainer>>(
        Editor, "TBeamContainer", " Beam Steerings", TKindRanks{5, 5, 5}, &TAcousticProject::Beams,
        [&m](TBeamContainer* o) { m.RemoveBeamSteering(o); }, "0.000", TTurnRule::Group));
}

} // namespace vendrel
