#pragma once
// A placed loudspeaker cabinet: its model, one source point per model source hung under an
// invisible pivot, the processing applied to it, its complex maps on every mapping zone, the worker
// thread that computes them and its calculation state.
//
// The map kernel, its thread handlers and the polar helpers are defined with the prediction; this
// header declares them so that the whole object is in one place.

#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

#include "acoustics/cab_model.h"
#include "platform/core/geometry3d.h"
#include "platform/core/lifetime.h"
#include "platform/core/node3d.h"
#include "platform/core/worker_thread.h"
#include "scene/scene_object.h"

namespace vendrel {

class TPhysicalSpace;
class TAcousticProject;
class TDSPSpace;
class TGenericDSPProcess;
class TZoneData;
class TMappingZone;
class TSingleBeam;
class TSourcePoint;
class TDummySource;
class TUserPreset;
class TCabArray;
class TCluster;
enum class TCalcState : uint8_t;

enum class TCabDirection : uint8_t { qzaNormalDir, qzaInvertedDir };

class TCabinet;
using TOnReceibeMap = std::function<void(TCabinet* Sender)>;

// A scene node without owner: the project's list or the array that holds it frees it.
class TCabinet : public TQzControl3D {
public:
    // Position3D in metres, Rotation3D in degrees. IsActive and ProgBar are accepted and not used:
    // the adding owner sets Active afterwards.
    TCabinet(TPhysicalSpace* PhysicalSpace, TCabModel* CabModel, TAcousticProject* AcousticProjectOwner,
             const TPoint3D& Position3D, const TPoint3D& Rotation3D, bool IsSelect, TCabPlacement Placement,
             bool IsActive, TGenericDSPProcess* theExtProcess, int32_t IntPresetNumber,
             void* ProgBar = nullptr);
    ~TCabinet() override;
    TCabinet(const TCabinet&) = delete;
    TCabinet& operator=(const TCabinet&) = delete;

    void Reset();
    // Stops and frees the map thread and releases the maps, the beam memberships, the source points
    // and the pivot; the holder of the cabinet then deletes it.
    void FreeClass();
    void SetRotationCenter();
    // Where the aiming axis meets the mapped zones (the farthest hit in front of the cabinet).
    void CalcHitPoint();
    void NeedsReCalculate();
    // ZoneIndex -1: all zones.
    void NeedsReCalculateMapInZone(int32_t ZoneIndex);

    // Weighted sum of two phases in radians along the shorter way round, wrapped into [-pi, pi).
    static double PhaseWrappedSUM(double Ph1, double pond1, double Ph2, double pond2);

    // Map computation and its thread (defined with the prediction).
    void ExecuteMapThread(int32_t FromSource);
    bool GetMap3D(int32_t FromSource, int32_t ZoneIndex);
    void GetPolarPointsToInterpolate(double iRadianAngleAzim, double iRadianAngleElev, int32_t& oAzimP1E1,
                                     int32_t& oAzimP2E1, int32_t& oAzimP1E2, int32_t& oAzimP2E2,
                                     int32_t& oDecimalPartAz, int32_t& oDecimalPartElev, int32_t& oElevP1,
                                     int32_t& oElevP2) const;
    void GetSpeakerMagPhaseAtPoint(int32_t iFromSource, int32_t iFreq, int32_t iAzimP1E1, int32_t iAzimP2E1,
                                   int32_t iAzimP1E2, int32_t iAzimP2E2, int32_t iDecimalPartAz,
                                   int32_t iDecimalPartElev, int32_t iElevP1, int32_t iElevP2,
                                   double& oMagSpeaker, double& oPhaseSpeaker) const;
    void GetSpeakerMagPhaseAtPointPercent(int32_t iFromSource, int32_t iFreq, int32_t iAzimP1E1,
                                          int32_t iAzimP2E1, int32_t iAzimP1E2, int32_t iAzimP2E2,
                                          int32_t iDecimalPartAz, int32_t iDecimalPartElev, int32_t iElevP1,
                                          int32_t iElevP2, double& oMagSpeaker, double& oPhaseSpeaker,
                                          float& oPoint1Percent, float& oPoint2Percent, int32_t& oNext) const;
    double GetLinealGainVsDistance(double iGainIni, double iDistanceMeters, double iAirLoss) const;
    double GetDbVsDistance(double dBIni, double DistanceMeters) const;
    double GetPhaseVsDistance(double iPhaseIni, double iDistanceMeters, double iRadiansPerMeter) const;
    void FMapThreadRun(TWorkerThread* Sender);
    // The map thread, created on first use; FreeMapThread cancels a running pass, waits for it and
    // frees the thread (the cabinet's release calls it before anything the thread reads goes away).
    TWorkerThread& MapThread();
    void FreeMapThread();
    void CabinetMapThreadStopped(TWorkerThread* Sender);
    // Default OnReceiveMap handler: asks the project for the summation.
    void CabinetMapReceived(TCabinet* Sender);

    // Properties.
    double XpixAbs() const { return FXpixAbs; }
    double YpixAbs() const { return FYpixAbs; } // height: negated scene Y
    double ZpixAbs() const { return FZpixAbs; }
    double AbsoluteRotationRadX() const { return FAbsoluteRotationRadX; }
    double AbsoluteRotationRadY() const { return FAbsoluteRotationRadY; }
    double AbsoluteRotationRadZ() const { return FAbsoluteRotationRadZ; }
    void SetAbsoluteRotationRadX(double Value);
    void SetAbsoluteRotationRadY(double Value);
    void SetAbsoluteRotationRadZ(double Value);
    double AbsoluteRotationY() const; // degrees
    double AbsoluteRotationZ() const; // degrees
    double RelativeRotationRadX() const { return FRelativeRotationRadX; }
    double RelativeRotationRadY() const { return FRelativeRotationRadY; }
    double RelativeRotationRadZ() const { return FRelativeRotationRadZ; }
    double RotX() const { return FRotX; }
    void SetRotX(double Value);

    bool Active() const { return FActive.load(); }
    void SetActive(bool Value);
    TCabPlacement PlacementType() const { return FPlacementType; }
    void SetPlacementType(TCabPlacement Value);
    TCabDirection CabDirection() const { return FCabDirection; }
    void SetCabDirection(TCabDirection Value);
    TCalcState MapState() const { return FMapState.load(); }
    void SetMapState(TCalcState Value);
    const TOnReceibeMap& OnReceiveMap() const { return FOnReceibeMap; }
    void SetOnReceiveMap(TOnReceibeMap Value) { FOnReceibeMap = std::move(Value); }
    TCabModel* Model() const { return FModel; }
    void SetModel(TCabModel* Value);
    TUserPreset* InternalDSPPreset() const { return FInternalDSPPreset; }
    void SetInternalDSPPreset(TUserPreset* Value);
    TGenericDSPProcess* ExternalDSPProcess() const { return FExternalDSPProcess; }
    void SetExternalDSPProcess(TGenericDSPProcess* Value);
    int32_t HornRotationIndex() const { return FHornRotationIndex; }
    void SetHornRotationIndex(int32_t Value);
    bool IsLineArray() const { return FMyCabArray != nullptr; }
    bool IsCluster() const { return FMyCluster != nullptr; }
    TCabArray* MyCabArray() const { return FMyCabArray; }
    TCluster* MyCluster() const { return FMyCluster; }
    // Number of beams containing this cabinet that are active.
    int32_t ActiveBeams() const;
    TAcousticProject* MyAcousticProject() const { return FMyAcousticProject; }
    TPhysicalSpace* PhysicalSpace() const { return FPhysicalSpace; }

    // Membership, written by the array or cluster that takes the cabinet in (nil: loose).
    void SetMyCabArray(TCabArray* Value) { FMyCabArray = Value; }
    void SetMyCluster(TCluster* Value) { FMyCluster = Value; }
    // Anchor data of the line array's chain (radians and metres).
    double TopAnchorAngleRad() const { return FTopAnchorAngleRad; }
    double BotAnchorAngleRad() const { return FBotAnchorAngleRad; }
    double TopAnchorX() const { return FTopAnchorX; }
    double TopAnchorY() const { return FTopAnchorY; }
    double BotAnchorX() const { return FBotAnchorX; }
    double BotAnchorY() const { return FBotAnchorY; }
    void SetTopAnchor(double AngleRad, double X, double Y) {
        FTopAnchorAngleRad = AngleRad;
        FTopAnchorX = X;
        FTopAnchorY = Y;
    }
    void SetBotAnchor(double AngleRad, double X, double Y) {
        FBotAnchorAngleRad = AngleRad;
        FBotAnchorX = X;
        FBotAnchorY = Y;
    }

    // Stores a calculation state without the setter's requests: the map thread, the removal and
    // resume paths and the summation use it.
    void StoreMapState(TCalcState Value) { FMapState = Value; }
    // The map thread, when one was created: running, stop requested without waiting, and cancelled
    // with a wait (true when a pass was running). None of them runs queued calls.
    bool HasMapThread() const { return FMapThread != nullptr; }
    bool MapThreadActive() const { return FMapThread != nullptr && FMapThread->Active(); }
    void StopMapThread() {
        if (FMapThread != nullptr) {
            FMapThread->Stop();
        }
    }
    bool CancelMapThreadAndWait();
    // The two ends of a TWorkersPause (user-interface thread). The first cancels a running pass and
    // waits for it; an interrupted pass leaves every zone to compute again. The second asks again for
    // the maps of an interrupted pass, or starts a pass requested while the workers were paused.
    void PauseForEdit();
    void ResumeAfterEdit();
    // The cabinet's life as its queued calls see it; it ends with the cabinet.
    const TLifetimeToken& LifetimeToken() const { return lifetime_.Token(); }

    // The node's placement, then the pixel position, invalidated maps and the hit point.
    void RecalcAbsolute() override;

    // The model's grid (taken with the model).
    TDSPSpace* DSPSpace() const { return FDSPSpace; }
    // The invisible pivot the source points hang under, owned.
    TDummySource* DummySource() const { return FDummySource.get(); }
    // One per model source, owned.
    const std::vector<std::unique_ptr<TSourcePoint>>& SourcePoints() const { return FSourcePoints; }
    int32_t NumberID() const { return FNumberID; }
    void SetNumberID(int32_t Value) { FNumberID = Value; }
    double Latency_ms() const { return FLatency_ms; }
    // Where the aiming axis meets the mapped zones (CalcHitPoint): the zone (nil when none), the
    // point in the cabinet's frame and in the scene.
    TMappingZone* HitPointZoneThrow() const { return FHitPointZoneThrow; }
    const TVector3D& HitPointLocalThrow() const { return FHitPointLocalThrow; }
    const TVector3D& HitPointAbsThrow() const { return FHitPointAbsThrow; }
    int32_t OriginCenterIndex() const { return FOriginCenterIndex; }

    // The complex maps, one per project zone in the zones' order. The zones' own paths (a new zone,
    // a grid that shrinks, a removal) change the list, under the workers' pause.
    const std::vector<std::unique_ptr<TZoneData>>& MapData() const { return FMapData; }
    void AppendZoneData(std::unique_ptr<TZoneData> Data);
    // Drops the buffers from Count on.
    void TruncateZoneData(size_t Count);
    void EraseZoneData(size_t Index);

    // The beams containing this cabinet, not owned; kept by the beams' container.
    const std::vector<TSingleBeam*>& SingleBeamList() const { return FSingleBeamList; }
    void AddSingleBeam(TSingleBeam* Beam) { FSingleBeamList.push_back(Beam); }
    void RemoveSingleBeam(TSingleBeam* Beam);

    // The project's render options as the map kernel reads them; the project hands them over
    // (TakeRenderOptions) when its options change and when it adds the cabinet.
    bool OnlyPhase() const { return FOnlyPhase.load(); }
    bool NoPhase() const { return FNoPhase.load(); }
    bool ZeroPhaseStart() const { return FZeroPhaseStart.load(); }
    bool IdealSpeaker() const { return FIdealSpeaker.load(); }
    void TakeRenderOptions(bool OnlyPhaseValue, bool ZeroPhaseStartValue, bool IdealSpeakerValue) {
        FOnlyPhase = OnlyPhaseValue;
        FZeroPhaseStart = ZeroPhaseStartValue;
        FIdealSpeaker = IdealSpeakerValue;
    }

    // Places in the owning array or cluster, numbered by the owner (0 outside them).
    int32_t ArrayCabinetPosID() const { return FArrayCabinetPosID; }
    void SetArrayCabinetPosID(int32_t Value) { FArrayCabinetPosID = Value; }
    int32_t ArrayElementPosID() const { return FArrayElementPosID; }
    void SetArrayElementPosID(int32_t Value) { FArrayElementPosID = Value; }
    // Set while the editor drags the cabinet (or its array or cluster).
    bool IsMovingOBJ3D() const { return FIsMovingOBJ3D; }
    void SetIsMovingOBJ3D(bool Value) { FIsMovingOBJ3D = Value; }

protected:
    // Arrays and clusters pass their own turns on to their cabinets' rotation handlers.
    friend class TCabArray;
    friend class TCluster;

    void MatrixChanged() override;
    void RotationChanged() override;
    void RotateXChanged() override;
    void RotateYChanged() override;
    void RotateZChanged() override;

private:
    TDSPSpace* FDSPSpace = nullptr;                           // the model's grid
    std::unique_ptr<TDummySource> FDummySource;               // owned pivot of the source points
    std::vector<std::unique_ptr<TSourcePoint>> FSourcePoints; // one per model source, owned
    int32_t FNumberID = 0;
    double FLatency_ms = 0.0;
    TMappingZone* FHitPointZoneThrow = nullptr; // zone hit by the aiming axis, nil when none
    TVector3D FHitPointLocalThrow{0, 0, 0};     // the hit point in the cabinet's frame
    TVector3D FHitPointAbsThrow{0, 0, 0};       // the hit point in the scene
    int32_t FOriginCenterIndex = 0;
    std::vector<std::unique_ptr<TZoneData>> FMapData; // one per project zone, same order
    std::vector<TSingleBeam*> FSingleBeamList;        // beams containing this cabinet, not owned
    std::atomic<bool> FOnlyPhase{false}, FNoPhase{false}, FZeroPhaseStart{false}, FIdealSpeaker{false};
    int32_t FArrayCabinetPosID = 0, FArrayElementPosID = 0;
    bool FIsMovingOBJ3D = false;
    TLifetime lifetime_;
    bool resumeAfterPause_ = false; // a pass was interrupted by a pause (user-interface thread)
    bool startAfterPause_ = false;  // a start was requested during a pause (user-interface thread)
    // When the pass now pending was asked for (the wait clock's seconds; 0: not measured).
    std::atomic<double> passRequestedAt_{0.0};
    // Starts the map thread for a pass, noting when it was asked for.
    void startPass();
    int32_t FHornRotationIndex = 0;
    int32_t FActiveBeams = 0;                 // not read by ActiveBeams()
    TPhysicalSpace* FPhysicalSpace = nullptr; // not owned
    std::atomic<bool> FInitialCalc{true};     // true until the first successful map calculation
    double FXpixAbs = 0.0, FYpixAbs = 0.0, FZpixAbs = 0.0;
    double FAbsoluteRotationRadX = 0.0, FAbsoluteRotationRadY = 0.0, FAbsoluteRotationRadZ = 0.0;
    double FRelativeRotationRadX = 0.0, FRelativeRotationRadY = 0.0, FRelativeRotationRadZ = 0.0;
    double FRotX = 0.0; // own X rotation in degrees, applied through the pivot
    std::atomic<bool> FActive{false};
    TCabPlacement FPlacementType = TCabPlacement::qzaVertical;
    TCabDirection FCabDirection = TCabDirection::qzaNormalDir;
    TWorkerThread* FMapThread = nullptr; // owned: "CabinetMapThread", created by MapThread()
    std::atomic<TCalcState> FMapState{};
    TOnReceibeMap FOnReceibeMap;
    TAcousticProject* FMyAcousticProject = nullptr;    // not owned
    TCabArray* FMyCabArray = nullptr;                  // owning line array, nil when loose
    TCluster* FMyCluster = nullptr;                    // owning cluster or beam array, nil when loose
    TUserPreset* FInternalDSPPreset = nullptr;         // preset of the model in use, nil when none
    TGenericDSPProcess* FExternalDSPProcess = nullptr; // the project's BypassProcess by default
    std::atomic<int32_t> FFromSourceTr{-1};            // source index handed to the thread (-1: all)
    double FTopAnchorAngleRad = 0.0, FBotAnchorAngleRad = 0.0, FTopAnchorY = 0.0, FTopAnchorX = 0.0,
           FBotAnchorY = 0.0, FBotAnchorX = 0.0;
    TCabModel* FModel = nullptr; // not owned
    void updateRotations(bool x, bool y, bool z, bool rotateZHandler);
    // A change of the absolute turn the kernel aims the sources by.
    void turnChanged();
    void releaseParts();
};

} // namespace vendrel
