#pragma once
// A named acoustic material with absorption and transmission loss per map frequency. The project
// lists its materials; the prediction does not use them.

#include <cstdint>
#include <string>
#include <vector>

namespace vendrel {

class TPhysicalSpace;
class TAcousticProject;
class TQzControl3D;

class TAcousticMaterial {
public:
    // Both loss tables get one zero per map frequency of the medium.
    TAcousticMaterial(TPhysicalSpace* PhysicalSpace, TAcousticProject* AcousticProjectOwner);
    TAcousticMaterial(const TAcousticMaterial&) = delete;
    TAcousticMaterial& operator=(const TAcousticMaterial&) = delete;

    // Kept for the release path that the other placed objects share; the owner deletes the material.
    void FreeClass() {}

    TPhysicalSpace* PhysicalSpace() const { return FPhysicalSpace; }
    TAcousticProject* MyAcousticProject() const { return FMyAcousticProject; }
    const std::string& MaterialName() const { return FMaterialName; }
    void SetMaterialName(const std::string& Value) { FMaterialName = Value; }
    int32_t NumberID() const { return FNumberID; }
    void SetNumberID(int32_t Value) { FNumberID = Value; }
    float Thickness() const { return FThickness; } // metres
    void SetThickness(float Value) { FThickness = Value; }
    // The objects made of the material; not owned.
    const std::vector<TQzControl3D*>& ObjListInMaterial() const { return FObjListInMaterial; }
    std::vector<TQzControl3D*>& ObjListInMaterial() { return FObjListInMaterial; }
    // dB per map frequency, in the order of the medium's map frequencies.
    const std::vector<double>& AbsorptionLossdB() const { return FAbsorptionLossdB; }
    std::vector<double>& AbsorptionLossdB() { return FAbsorptionLossdB; }
    const std::vector<double>& TransmissionLossdB() const { return FTransmissionLossdB; }
    std::vector<double>& TransmissionLossdB() { return FTransmissionLossdB; }

private:
    TPhysicalSpace* FPhysicalSpace = nullptr;       // not owned
    TAcousticProject* FMyAcousticProject = nullptr; // not owned
    std::string FMaterialName;
    int32_t FNumberID = 0;
    float FThickness = 0.02f;
    std::vector<TQzControl3D*> FObjListInMaterial;
    std::vector<double> FAbsorptionLossdB;
    std::vector<double> FTransmissionLossdB;
};

} // namespace vendrel
