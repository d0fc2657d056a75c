#pragma once
// Steered column arrays. A beam-steering array (TBeamContainer) is a cluster of identical cabinets in
// one column whose sources are driven through filters of their own; it holds one or more beams
// (TSingleBeam), each taking a consecutive slice of the column's sources. A beam designs, per source,
// a filter that delays the source to steer the beam (Angle), adds a symmetric curvature that widens it
// (CurvatureAngle) and, optionally, low-passes and attenuates the outer sources against side lobes
// (LobesOptimize). The filter responses are stored in the source points, where the map kernel and
// the measurement points multiply them into every source's pressure.
//
// A model is steerable only with at least two sources spaced apart (EBeamSteeringError otherwise).
// Every redesign changes what the prediction's workers read, so it runs with the workers paused.

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "acoustics/cab_model.h"
#include "acoustics/cluster.h"
#include "platform/core/geometry3d.h"
#include "scene/scene_object.h"

namespace vendrel {

class TAcousticProject;
class TBeamContainer;
class TCabinet;
class TDSPSpace;
class TFIR;
class TMappingZone;
class TPhysicalSpace;
class TSourcePoint;

// One steered beam: a scene child of its container, which owns it.
class TSingleBeam : public TQzControl3D {
public:
    // Active, angle 0, curvature 0, no side-lobe optimisation, alpha 50, no grid and no cabinet yet;
    // counts one more object in the project.
    TSingleBeam(TPhysicalSpace* PhysicalSpace, TAcousticProject* AcousticProjectOwner);
    ~TSingleBeam() override;
    TSingleBeam(const TSingleBeam&) = delete;
    TSingleBeam& operator=(const TSingleBeam&) = delete;

    // Frees the filters and empties the cabinet list.
    void FreeClass();
    // Takes the cabinet in (nothing when it is already in): the beam's grid becomes its model's, the
    // source spacing its model's first two sources' distance. An unsteerable model raises
    // EBeamSteeringError before anything changes.
    void AddCabinetToBeam(TCabinet* Cabinet);
    // Designs every source's filter from the steering, curvature and shading delays, stores the
    // responses in the source points, and invalidates every map and measurement point.
    void CalcBeamProcess();
    // Where the beam's axis, from its emission point, meets the mapped zones (the farthest hit ahead).
    void CalcHitPoint();

    // Degrees. A changed value is checked (EBeamSteeringError, nothing stored), stored, and the beam
    // redesigned and aimed again.
    float Angle() const { return FAngle; }
    void SetAngle(float Value);
    float CurvatureAngle() const { return FCurvatureAngle; }
    void SetCurvatureAngle(float Value);
    bool LobesOptimize() const { return FLobesOptimize; }
    void SetLobesOptimize(bool Value);
    double Alpha() const { return FAlpha; }
    void SetAlpha(double Value);
    // Switches the beam's sources on or off and invalidates its cabinets' maps.
    bool Active() const { return FActive; }
    void SetActive(bool Value);
    // The number of sources; a change creates the filters anew (only for FIR processing).
    int32_t NSources() const { return FNSources; }
    void SetNSources(int32_t Value);

    float SourceSeparation() const { return FSourceSeparation; }
    int32_t FIRTapsPerSource() const { return FFIRTapsPerSource; }
    void SetFIRTapsPerSource(int32_t Value) { FFIRTapsPerSource = Value; }
    TBeamProcessType BeamProcessType() const { return FBeamProcessType; }
    void SetBeamProcessType(TBeamProcessType Value) { FBeamProcessType = Value; }
    TDSPSpace* DSPSpace() const { return FDSPSpace; }
    const std::vector<TCabinet*>& CabinetList() const { return FCabinetList; }
    int32_t NCabinets() const { return static_cast<int32_t>(FCabinetList.size()); }
    int32_t NumberID() const { return FNumberID; }
    void SetNumberID(int32_t Value) { FNumberID = Value; }
    const std::string& Name() const { return FName; }
    void SetName(const std::string& Value) { FName = Value; }
    TBeamContainer* MyBeamContainer() const { return FMyBeamContainer; }
    void SetMyBeamContainer(TBeamContainer* Value) { FMyBeamContainer = Value; }
    TAcousticProject* MyAcousticProject() const { return FMyAcousticProject; }
    void SetMyAcousticProject(TAcousticProject* Value) { FMyAcousticProject = Value; }
    // The beam's sources (not owned), as its container assigns them.
    const std::vector<TSourcePoint*>& pSourcePoints() const { return FSourcePoints; }
    // The filters, one per source (FIR processing only).
    const std::vector<std::unique_ptr<TFIR>>& FIRprocess() const { return FFIRprocess; }
    // Latency of the filters in samples of the beam's grid (0 without FIR processing).
    double BeamFIRSampleLatency() const { return FBeamFIRSampleLatency; }
    // Centre of the beam's sources in its container's frame (Y counted upwards).
    const TPoint3D& EmisionPoint() const { return FEmisionPoint; }
    TMappingZone* HitPointZoneThrow() const { return FHitPointZoneThrow; }
    const TVector3D& HitPointLocalThrow() const { return FHitPointLocalThrow; }
    const TVector3D& HitPointAbsThrow() const { return FHitPointAbsThrow; }

    // A copy's settings taken over as they are (on/off, angle, curvature, side-lobe optimisation,
    // alpha), without a redesign: the copy's container designs its beams once they hold their sources.
    void CopySettings(const TSingleBeam& Source);
    // For the container: the sources of the beam, and its emission point.
    void AssignSources(std::vector<TSourcePoint*> Sources);
    void SetEmisionPoint(const TPoint3D& Value) { FEmisionPoint = Value; }
    // A cabinet being released leaves the beam (its sources with it); a beam left without cabinets
    // is released by its container.
    void CabinetReleased(TCabinet* Cabinet);

private:
    void redesign();
    void invalidateMaps();

    TPhysicalSpace* FPhysicalSpace = nullptr; // not owned
    float FAngle = 0.0f;
    float FCurvatureAngle = 0.0f;
    bool FLobesOptimize = false;
    TAcousticProject* FMyAcousticProject = nullptr; // not owned
    int32_t FNSources = 0;
    float FSourceSeparation = 0.0f;
    int32_t FFIRTapsPerSource = 0;
    TBeamProcessType FBeamProcessType = TBeamProcessType::qzaFIRProcess;
    bool FActive = true;
    double FAlpha = 50.0;
    TDSPSpace* FDSPSpace = nullptr; // the cabinets' model grid, not owned
    std::vector<TCabinet*> FCabinetList;
    int32_t FNumberID = 0;
    std::vector<std::unique_ptr<TFIR>> FFIRprocess;
    std::vector<TSourcePoint*> FSourcePoints;
    double FBeamFIRSampleLatency = 0.0;
    TPoint3D FEmisionPoint;
    TBeamContainer* FMyBeamContainer = nullptr;
    std::string FName;
    TMappingZone* FHitPointZoneThrow = nullptr;
    TVector3D FHitPointLocalThrow{0, 0, 0};
    TVector3D FHitPointAbsThrow{0, 0, 0};
};

// A steered column array: a cluster that also owns its beams.
class TBeamContainer : public TCluster {
public:
    // The cluster of one cabinet of theModel, with no gaps between cabinets and no beam.
    TBeamContainer(TPhysicalSpace* PhysicalSpace, TAcousticProject* AcousticProjectOwner, TCabModel* theModel,
                   TCabPlacement Placement);
    // The cabinets go while the beams they name still exist; then the beams.
    ~TBeamContainer() override;

    // Releases the cabinets (each leaves its beams), then the beams.
    void FreeClass();

    // The sources of every cabinet (also stored for TotalSourcesStored).
    int32_t TotalSources();
    int32_t TotalSourcesStored() const { return FTotalSources; }
    // A beam for about every four sources.
    int32_t MaxSingleBeams();
    // Adds a beam holding every cabinet and shares the sources again; nothing (null) when the column
    // already has MaxSingleBeams beams. An unsteerable model raises EBeamSteeringError first.
    TSingleBeam* AddSingleBeam();
    // Shares the column's sources among the beams in consecutive slices, then places and redesigns them.
    void AssignSourcesOnBeams();
    // Every beam's emission point (the centre of its sources), its sources' on/off, its filters and
    // its hit point.
    void CalcBeamEmisionPoints();
    // Rows: the cluster's, then every new cabinet joins every beam, and the sources are shared again.
    void SetQuantityV(int32_t Value) override;
    // Stored and copied into every beam (no redesign).
    int32_t FIRTapsPerSource() const { return FFIRTapsPerSource; }
    void SetFIRTapsPerSource(int32_t Value);
    TBeamProcessType BeamProcessType() const { return FBeamProcessType; }

    const std::vector<std::unique_ptr<TSingleBeam>>& SingleBeams() const { return FSingleBeams; }
    int32_t NSingleBeams() const { return static_cast<int32_t>(FSingleBeams.size()); }
    // Appends a beam built by the caller (duplication): the container owns it and it becomes its
    // scene child.
    TSingleBeam* AppendSingleBeam(std::unique_ptr<TSingleBeam> Beam);
    // Takes a beam out of the list and hands it over (the project's RemoveSingleBeam frees it).
    std::unique_ptr<TSingleBeam> TakeSingleBeam(TSingleBeam* Beam);

protected:
    void MatrixChanged() override;

private:
    int32_t FTotalSources = 0;
    int32_t FFIRTapsPerSource = 0;
    TBeamProcessType FBeamProcessType = TBeamProcessType::qzaFIRProcess;
    std::vector<std::unique_ptr<TSingleBeam>> FSingleBeams;
    bool freeing_ = false;
};

} // namespace vendrel
