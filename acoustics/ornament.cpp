#include "acoustics/ornament.h"

#include "acoustics/project.h"

namespace vendrel {

TOrnaModel::TOrnaModel(TPhysicalSpace* PhysicalSpace, TAcousticProject* AcousticProjectOwner)
    : FPhysicalSpace(PhysicalSpace), FMyAcousticProject(AcousticProjectOwner) {}

TOrnament::TOrnament(TPhysicalSpace* PhysicalSpace, TOrnaModel* OrnaModel,
                     TAcousticProject* AcousticProjectOwner, const TPoint3D& Position3D,
                     const TPoint3D& Rotation3D, bool /*IsSelect*/)
    : TQzControl3D(nullptr), FPhysicalSpace(PhysicalSpace), FMyAcousticProject(AcousticProjectOwner) {
    SetModel(OrnaModel);
    if (OrnaModel != nullptr) {
        SetWidth(static_cast<float>(OrnaModel->Width()));
        SetHeight(static_cast<float>(OrnaModel->Height()));
        SetDepth(static_cast<float>(OrnaModel->Depth()));
    }
    SetPosition(Position3D);
    SetRotationAngle(Rotation3D);
    const bool aboutOrigin = FMyAcousticProject != nullptr &&
                             FMyAcousticProject->UseOrnaOriginAsRotCenter() && OrnaModel != nullptr;
    SetRotationCenter(aboutOrigin ? OrnaModel->OriginCenter() : TPoint3D());
}

void TOrnament::markModified() {
    if (FMyAcousticProject != nullptr) {
        FMyAcousticProject->SetIsProjectModified(true);
    }
}

void TOrnament::SetWidth(float Value) {
    TQzControl3D::SetWidth(Value);
    markModified();
}

void TOrnament::SetHeight(float Value) {
    TQzControl3D::SetHeight(Value);
    markModified();
}

void TOrnament::SetDepth(float Value) {
    TQzControl3D::SetDepth(Value);
    markModified();
}

void TOrnament::MatrixChanged() {
    TQzControl3D::MatrixChanged();
    markModified();
}

} // namespace vendrel
