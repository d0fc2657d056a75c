#pragma once
// The project: root of the document model and owner of the prediction. It holds every placed object,
// the calculation and display options, the DSP grids, the loaded model libraries, the memory figures
// of the map budget and the summing thread. Option setters turn a change into invalidated maps and
// new calculation requests.
//
// ---- Edits and the prediction threads: the contract ----
//
// Who owns what. The user-interface thread owns the model: the object lists, every setter, every map
// buffer's size and every allocation. Two kinds of worker read it while they run:
//  - a cabinet's map thread reads the project's averaged frequencies and options, the zones (frame,
//    pixel grid, state), the medium, its model, source points, presets and processes; it writes only
//    its own MapData cells, their counters and its own state (and, on abort, the states of the zone
//    it was computing and of the project);
//  - the summing thread reads the object lists, the maps of calculated cabinets and the zones; it
//    writes the zones' MapSum, maxima and states and the project's summation results
//    (MaxFreqNoAliasing, dBEnergyComp, dBEnergyCompOld, MaxdBSPL, AllMapsState).
// Flags, states and the summation results shared with workers are atomics. Nothing else is written
// by a worker, and no worker ever waits for the user-interface thread.
//
// How an edit reaches running workers: through one guard, TWorkersPause. While any TWorkersPause is
// held, no worker runs: the outermost one cancels the summing thread and every cabinet's map thread
// and waits for them (without running queued calls), and every request that would start a worker is
// only recorded. When the outermost one ends, the cabinets whose pass it interrupted are asked for
// their maps again and the recorded starts run. Every path that resizes, releases, replaces or
// appends something a worker reads (zone grids and buffers, the pixel size, the averaged
// frequencies, the object lists, a cabinet's model, preset or process) and every setter that
// changes an input of the maps holds one; guards nest, so a setter holds one whatever its caller
// does. An interrupted pass leaves nothing counted as done: its cabinet computes every zone again.
// The pause reaches every cabinet created on the project, in its lists or not yet (an array being
// built), so a cabinet must not outlive its project. A guard taken on a worker thread throws
// std::logic_error.
//
// Why a guard: the map kernel reads a great deal of model state (zone frames, polar tables,
// processes, presets, beams) that it would otherwise have to copy per pass; edits are rare next to
// passes, and a cancelled pass loses at most one pixel column.
//
// Where a generation fits: results handed to the user-interface thread. The summing thread numbers
// its runs; its all-maps call is delivered only when no later run has started meanwhile (that run
// delivers its own), so the window never colours from maps a newer run is writing.
//
// Queued calls. A call queued for the user-interface thread carries the lifetime token of the object
// it reports on (platform/core/lifetime.h), never an address to compare: a call for a removed
// cabinet reaches no object, also when a new cabinet takes the same address, and freeing the project
// ends the project's token, so every call it queued does nothing.
//
// No setter runs queued calls. Waiting for a worker is a plain wait: a queued call run from inside a
// setter could start the workers again or re-enter the model halfway through an edit. (Where the
// calculation design asks a setter to "process pending messages" while it waits for the summing
// thread, the guard's wait takes its place.)

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "acoustics/mapping_bands.h"
#include "acoustics/zone_data.h"
#include "dsp/dsp_space.h"
#include "platform/core/bitmap.h"
#include "platform/core/lifetime.h"

namespace vendrel {

class IDispatcher;
class TWorkerThread;
class TPhysicalSpace;
class TDSPSpace;
class TGenericDSPProcess;
class TMappingZone;
class TCabinet;
class TControl3D;
class TCabArray;
class TCluster;
class TBeamContainer;
class TSingleBeam;
class TMicPoint;
class TOverlay;
class TSystem;
class TOrnament;
class TAcousticMaterial;
class TPiston;
class TModelsDetected;
class TFramesDetected;
class TCabModel;
struct TPoint3D;
enum class TCabPlacement : uint8_t;
enum class TSurfaceType : uint8_t;
class TOrnasDetected;
class TOrnaModel;

// Map resolution: pixel edges 1.0, 0.5, 0.2, 0.1 and 0.05 m.
enum class TRenderQuality : uint8_t { qzaVeryLow, qzaLow, qzaMedium, qzaHigh, qzaVeryHigh };

enum class TPressureSumType : uint8_t { qzaComplexSum, qzaEnergySum };

enum class TViewType : uint8_t { qzaSideView, qzaTopView, qzaThreeDView, qzaFrontView };

enum class TGenNoiseType : uint8_t { qzaPinkNoise, qzaBandLimitPink };

// How a copy of a placed object is placed: moved by the offsets, mirrored across X or across Y, or
// pasted (placed as an offset copy).
enum class TDuplicationType : uint8_t { qzaDupOffset, qzaDupXsym, qzaDupYsym, qzaPaste };

// The main window's progress bar and status label, as the queued progress reports use them.
class IProgressBar {
public:
    virtual ~IProgressBar() = default;
    virtual void SetMax(double v) = 0;
    virtual void SetValue(double v) = 0;
    virtual double Value() const = 0;
    virtual void SetStyleLookup(const std::string& style) = 0;
};

class IStatusLabel {
public:
    virtual ~IStatusLabel() = default;
    virtual void SetText(const std::string& text) = 0;
};

class TAcousticProject;
// Events of the project; the sender is the project.
using TOnReceibeAllMaps = std::function<void(TAcousticProject& Sender)>;
using TOnProjectModified = std::function<void(TAcousticProject& Sender)>;

class TAcousticProject {
public:
    // Links the medium both ways and resets. The medium is not owned and must outlive the project.
    // Dispatcher (not owned, may be null) carries queued calls to the user-interface thread.
    explicit TAcousticProject(TPhysicalSpace* PhysicalSpace, IDispatcher* Dispatcher = nullptr);
    ~TAcousticProject();
    TAcousticProject(const TAcousticProject&) = delete;
    TAcousticProject& operator=(const TAcousticProject&) = delete;

    void Reset();
    // Stops the summing thread and releases everything the project owns (the destructor runs it too).
    void FreeClass();

    TPhysicalSpace* PhysicalSpace() const { return FPhysicalSpace; }
    IDispatcher* Dispatcher() const { return FDispatcher; }
    void SetDispatcher(IDispatcher* d) { FDispatcher = d; }
    // Runs pending user-interface calls (for the window's own waits; the model never calls it).
    void ProcessMessages();
    // Tells the summing thread to stop and waits until it has stopped, without running queued calls.
    void StopAllMapsThreadAndWait();
    // Queues fn for the user-interface thread; it is dropped once the project is freed.
    void QueueUI(std::function<void()> fn);
    // True while a TWorkersPause is held (user-interface thread).
    bool WorkersPaused() const { return pauseDepth_ > 0; }
    // The project's life as its queued calls see it; FreeClass ends it.
    const TLifetimeToken& LifetimeToken() const { return lifetime_.Token(); }

    // ---- Object lists (the project owns every entry) ----
    // Read-only: the registry functions below add and remove entries.
    const std::vector<std::unique_ptr<TCabinet>>& Cabinets() const { return FCabinets; } // loose only
    const std::vector<std::unique_ptr<TCabArray>>& CabArrays() const { return FCabArrays; }
    const std::vector<std::unique_ptr<TCluster>>& Clusters() const { return FClusters; }
    const std::vector<std::unique_ptr<TBeamContainer>>& Beams() const { return FBeams; }
    // A zone's index here is its ZoneIndexID.
    const std::vector<std::unique_ptr<TMappingZone>>& MappingZones() const { return FMappingZones; }
    const std::vector<std::unique_ptr<TCluster>>& SubArrangements() const { return FSubArrangements; }
    const std::vector<std::unique_ptr<TSystem>>& SoundSystems() const { return FSoundSystems; }
    const std::vector<std::unique_ptr<TOrnament>>& Ornaments() const { return FOrnaments; }
    const std::vector<std::unique_ptr<TAcousticMaterial>>& Materials() const { return FMaterials; }
    const std::vector<std::unique_ptr<TMicPoint>>& Mics() const { return FMics; }
    const std::vector<std::unique_ptr<TOverlay>>& Overlays() const { return FOverlays; }
    const std::vector<std::unique_ptr<TPiston>>& Pistons() const { return FPistons; }
    const std::vector<std::unique_ptr<TGenericDSPProcess>>& DSPProcessList() const { return FDSPProcessList; }

    // ---- Owned single objects ----
    // NumberID 0, "Bypass", on DSPSpace48k: the process of new cabinets.
    TGenericDSPProcess* BypassProcess() const { return FBypassProcess.get(); }
    TDSPSpace* DSPSpace48k() const { return FDSPSpace48k.get(); }
    TDSPSpace* DSPSpace96k() const { return FDSPSpace96k.get(); }
    TDSPSpace* DSPSpace192k() const { return FDSPSpace192k.get(); }
    // 48 kHz, 1/48 octave: the grid of measurement-point responses, NFreqPointsMicGraph points.
    TDSPSpace* DSPSpaceForMicGraphs() const { return FDSPSpaceForMicGraphs.get(); }
    int32_t NFreqPointsMicGraph() const { return FNFreqPointsMicGraph; }
    TModelsDetected* ModelsDetected() const { return FModelsDetected.get(); }
    TFramesDetected* FramesDetected() const { return FFramesDetected.get(); }
    TOrnasDetected* OrnasDetected() const { return FOrnasDetected.get(); }

    // Not owned; assigned by the main window and used by the queued progress reports only.
    IProgressBar* ProgressBar() const { return FProgressBar; }
    void SetProgressBar(IProgressBar* Value) { FProgressBar = Value; }
    IStatusLabel* StatusLabel() const { return FStatusLabel; }
    void SetStatusLabel(IStatusLabel* Value) { FStatusLabel = Value; }

    // ---- Counters ----
    int32_t NCabinets() const { return static_cast<int32_t>(FCabinets.size()); }
    int32_t NCabArrays() const { return static_cast<int32_t>(FCabArrays.size()); }
    int32_t NClusters() const { return static_cast<int32_t>(FClusters.size()); }
    int32_t NBeamSteerings() const { return static_cast<int32_t>(FBeams.size()); }
    int32_t NMappingZones() const { return static_cast<int32_t>(FMappingZones.size()); }
    int32_t NMics() const { return static_cast<int32_t>(FMics.size()); }
    int32_t NOverlays() const { return static_cast<int32_t>(FOverlays.size()); }
    int32_t NSubArrangements() const { return static_cast<int32_t>(FSubArrangements.size()); }
    int32_t NOrnaments() const { return static_cast<int32_t>(FOrnaments.size()); }
    int32_t NMaterials() const { return static_cast<int32_t>(FMaterials.size()); }
    int32_t NDSPProcess() const { return static_cast<int32_t>(FDSPProcessList.size()); }
    // Loose cabinets plus the cabinets of every line array, cluster and beam-steering array.
    int32_t TotalCabinets() const;
    // Loose cabinets, line arrays, clusters or beam-steering arrays exist.
    bool HasSources() const { return NCabinets() + NCabArrays() + NClusters() + NBeamSteerings() > 0; }
    // Cabinets created on the project and not yet released, in its lists or not yet (an array being
    // built).
    int32_t NCabinetsCreated() const { return static_cast<int32_t>(cabinetsOfProject_.size()); }
    // Every cabinet: loose ones, then those of every line array, cluster and beam-steering array.
    void ForEachCabinet(const std::function<void(TCabinet&)>& fn) const;

    // ---- Calculation options ----
    TPressureSumType PressureSumType() const { return FPressureSumType; }
    void SetPressureSumType(TPressureSumType Value);
    bool IsComplexSum() const { return FIsComplexSum; }
    bool AvoidPhaseAliasing() const { return FAvoidPhaseAliasing; }
    void SetAvoidPhaseAliasing(bool Value);
    int32_t MaxFreqNoAliasing() const { return FMaxFreqNoAliasing.load(); }
    int32_t MaxFreqforRealPhase() const { return FMaxFreqForRealPhase; }
    void SetMaxFreqforRealPhase(int32_t Value);
    // The alias-free frequency for the current pixel size, as the medium's pixel-size setter
    // computes it (no recalculation).
    void StoreMaxFreqNoAliasing(int32_t Value) { FMaxFreqNoAliasing = Value; }
    int32_t FreqToEvaluate() const { return FFreqToEvaluate; }
    void SetFreqToEvaluate(int32_t Value);
    TMappingBands MappingBandsType() const { return FMappingBandsType; }
    void SetMappingBandsType(TMappingBands Value);
    TRenderQuality RenderQuality() const { return FRenderQuality; }
    void SetRenderQuality(TRenderQuality Value);
    bool ContinuousRender() const { return FContinuousRender; }
    void SetContinuousRender(bool Value);
    bool OnlyPhase() const { return FOnlyPhase; }
    void SetOnlyPhase(bool Value);
    bool ZeroPhaseStart() const { return FZeroPhaseStart; }
    void SetZeroPhaseStart(bool Value);
    bool IdealSpeaker() const { return FIdealSpeaker; }
    void SetIdealSpeaker(bool Value);
    TGenNoiseType GenNoiseType() const { return FGenNoiseType; }
    void SetGenNoiseType(TGenNoiseType Value);
    // Plain values of the generator setting and the refresh period, kept in project files.
    float GenGain() const { return FGenGain; }
    void SetGenGain(float Value) { FGenGain = Value; }
    float MaxUsagePercent() const { return FMaxUsagePercent; }
    void SetMaxUsagePercent(float Value);
    int32_t RefreshTimeMsec() const { return FRefreshTimeMsec; }
    void SetRefreshTimeMsec(int32_t Value) { FRefreshTimeMsec = Value; }
    double ProcessingTimeMs() const { return FProcessingTimeMs; }

    // ---- Display options ----
    TViewType ViewType() const { return FViewType; }
    void SetViewType(TViewType Value);
    int32_t MappingColorsRes() const { return FMappingColorsRes; }
    // Values below 1 are ignored.
    void SetMappingColorsRes(int32_t Value);
    // The palette steps the colour mapping builds and paints with (user-interface thread only).
    const std::vector<TAlphaColor>& MappingColors() const { return FMappingColors; }
    void SetMappingColors(std::vector<TAlphaColor> Value) { FMappingColors = std::move(Value); }
    bool SPLNormalized() const { return FSPLNormalized; }
    void SetSPLNormalized(bool Value);
    // The top of the level scale, dB; the summing thread writes it too when the scale is normalised.
    double MaxdBSPL() const { return FMaxdBSPL.load(); }
    void SetMaxdBSPL(double Value) { FMaxdBSPL = Value; }
    // The span of the level scale, dB.
    double RangedBSPL() const { return FRangedBSPL; }
    void SetRangedBSPL(double Value) { FRangedBSPL = Value; }
    // Kept in project files.
    double MaxPhase() const { return FMaxPhase; }
    void SetMaxPhase(double Value) { FMaxPhase = Value; }
    double MinPhase() const { return FMinPhase; }
    void SetMinPhase(double Value) { FMinPhase = Value; }

    // ---- Calculation state, shared with the worker threads ----
    // Flags and states the workers read (and the summing thread partly writes) while they run: each
    // is one atomic, stored as it is set. ForceUseAxisPhase is an input of the maps instead.
    TCalcState AllMapsState() const { return FAllMapsState.load(); }
    void SetAllMapsState(TCalcState Value) { FAllMapsState = Value; }
    bool ForceCalculation() const { return FForceCalculation.load(); }
    void SetForceCalculation(bool Value) { FForceCalculation = Value; }
    bool AbortCalculation() const { return FAbortCalculation.load(); }
    // Setting it also wakes the summing thread's wait for the cabinets.
    void SetAbortCalculation(bool Value);
    // Off: zone state changes are ignored.
    bool AllowRendering() const { return FAllowRendering.load(); }
    void SetAllowRendering(bool Value) { FAllowRendering = Value; }
    // Off: recalculation requests and state changes are silenced (bulk changes). A summation that
    // met the events off summed nothing; turning them on again asks for it.
    bool EventsEnabled() const { return FEventsEnabled.load(); }
    void SetEventsEnabled(bool Value);
    // Off: the aiming hit-point search does nothing.
    bool CalcHitPointEnabled() const { return FCalcHitPointEnabled.load(); }
    void SetCalcHitPointEnabled(bool Value) { FCalcHitPointEnabled = Value; }
    bool DontSumAllMaps() const { return FDontSumAllMaps.load(); }
    void SetDontSumAllMaps(bool Value) { FDontSumAllMaps = Value; }
    // Set: measurement points are not recalculated.
    bool DontCalcMICS() const { return FDontCalcMICS.load(); }
    void SetDontCalcMICS(bool Value) { FDontCalcMICS = Value; }
    // The map kernel and the point responses use the on-axis phase. A change holds the workers'
    // pause and asks for every zone and point again.
    bool ForceUseAxisPhase() const { return FForceUseAxisPhase.load(); }
    void SetForceUseAxisPhase(bool Value);
    // The frequencies averaged into a map (Hz, ascending; layer m of every map belongs to entry m),
    // computed by CalcAverageFreqs.
    int32_t NFreqsAverage() const { return FNFreqsAverage; }
    const std::vector<int32_t>& FreqsAverage() const { return FFreqsAverage; }
    // Replaces them without the band's memory check: every map buffer takes the new count under the
    // workers' pause, and every zone is asked for again.
    void SetFreqsAverage(std::vector<int32_t> Value);
    // The energy-sum level compensation, written by the summation.
    double MaxdBPsychoComp() const { return FMaxdBPsychoComp.load(); }
    double dBEnergyComp() const { return FdBEnergyComp.load(); }
    double dBEnergyCompOld() const { return FdBEnergyCompOld.load(); }
    // The summing thread's pause before it sums, ms.
    int32_t AllMapsWaitingMsec() const { return FAllMapsWaitingMsec.load(); }
    void SetAllMapsWaitingMsec(int32_t Value) { FAllMapsWaitingMsec = Value; }
    // The counter every added object raises.
    int32_t UniqueID() const { return FUniqueID; }
    void SetUniqueID(int32_t Value) { FUniqueID = Value; }
    // Raises UniqueID by one (an overflow raises).
    void RaiseUniqueID();

    // ---- Memory figures (MB) for the map budget ----
    // The process's own use at start-up, and the machine's installed, available and used memory.
    double MemInitial() const { return FMemInitial; }
    void SetMemInitial(double Value) { FMemInitial = Value; }
    double MemInstalled() const { return FMemInstalled; }
    double MemAvailable() const { return FMemAvailable; }
    double MemUsed() const { return FMemUsed; }
    // Reads the machine's figures again (they stay as they were when the query fails).
    void RefreshMemoryFigures();
    // The budget's guaranteed reserve; 0 makes the budget compute it again.
    double MemMinGuaranteed() const { return FMemMinGuaranteed; }
    void SetMemMinGuaranteed(double Value) { FMemMinGuaranteed = Value; }
    double MemUsedbyTheApp() const { return FMemUsedbyTheApp; }
    // Set while a memory check runs: checks started meanwhile are skipped.
    bool IsCheckingMemory() const { return FIsCheckingMemory; }
    void SetIsCheckingMemory(bool Value) { FIsCheckingMemory = Value; }
    double MaxMemoryToUse() const { return FMemAvailable - FMemMinGuaranteed; }
    double MemTotal() const;

    // ---- Measurement points ----
    TFreqBands MicSmoothing() const { return FMicSmoothing; }
    void SetMicSmoothing(TFreqBands Value) { FMicSmoothing = Value; }
    TWeightening MicWeightening() const { return FMicWeightening; }
    // Fills WeighteningTable with the weighting curve on the mic-graph grid.
    void SetMicWeightening(TWeightening Value);
    // dB per mic-graph point.
    const std::vector<double>& WeighteningTable() const { return FWeighteningTable; }
    // The spacing of the mic-graph grid by the response-resolution index: 0 1/48, 1 1/24, 2 1/12
    // octave; other indexes change nothing. Everything sized from the grid follows in one step, with
    // the workers paused: NFreqPointsMicGraph, the weighting table, every user process's responses,
    // PEQ bank and FIR slot, every measurement point's curves (zeroed, and a response still on its
    // way for the old grid is dropped) and MicMagReadIndex. Zones of cabinets that use a user
    // process are recalculated (their processing is read off the grid); measurement points are left
    // to the caller.
    void SetMagResolution(int32_t Index);
    // Per mic-graph point i, the position that the grid's bisection search returns for the point's
    // own frequency (FreqDraw[i]): where the response chart reads a smoothed curve.
    const std::vector<int32_t>& MicMagReadIndex() const { return FMicMagReadIndex; }

    // The allowed splay angle of the cabinet's model nearest to inSplayDegrees (the first on a tie),
    // from the first-cabinet list when IsFirstCabinet. Returns its index, or -1 with the outputs
    // unchanged when the model allows no angle.
    int32_t GetNearestSplayAngleInCabinet(const TCabinet& theCabinet, bool IsFirstCabinet,
                                          double inSplayDegrees, double& outSplayDegrees,
                                          double& deviation) const;

    // ---- Project information (fixed capacity in the project file) ----
    // At most 25 characters each (the description 200): the project file keeps no more.
    const std::string& InstallationName() const { return FInstallationName; }
    void SetInstallationName(std::string Value) { FInstallationName = std::move(Value); }
    const std::string& GPSCoordinates() const { return FGPSCoordinates; }
    void SetGPSCoordinates(std::string Value) { FGPSCoordinates = std::move(Value); }
    const std::string& PRJCreatedBy() const { return FPRJCreatedBy; }
    void SetPRJCreatedBy(std::string Value) { FPRJCreatedBy = std::move(Value); }
    const std::string& PRJDescription() const { return FPRJDescription; }
    void SetPRJDescription(std::string Value) { FPRJDescription = std::move(Value); }

    // ---- Editor preferences ----
    // The fill colour of new zones.
    TAlphaColor ZoneCreationColor() const { return FZoneCreationColor; }
    void SetZoneCreationColor(TAlphaColor Value) { FZoneCreationColor = Value; }
    // A zone's listening point is measured from its top face. Zones take it when their listening
    // point is computed: set it before the zones are built.
    bool ZonasCrecenParriba() const { return FZonasCrecenParriba; }
    void SetZonasCrecenParriba(bool Value) { FZonasCrecenParriba = Value; }
    bool UseCabOriginAsRotCenter() const { return FUseCabOriginAsRotCenter; }
    void SetUseCabOriginAsRotCenter(bool Value) { FUseCabOriginAsRotCenter = Value; }
    bool UseOrnaOriginAsRotCenter() const { return FUseOrnaOriginAsRotCenter; }
    void SetUseOrnaOriginAsRotCenter(bool Value) { FUseOrnaOriginAsRotCenter = Value; }
    bool UseSPLMeshforRaycast() const { return FUseSPLMeshforRaycast; }
    void SetUseSPLMeshforRaycast(bool Value) { FUseSPLMeshforRaycast = Value; }

    // ---- Breadcrumb and events ----
    std::string LastLogString() const;
    void SetLastLogString(std::string s);
    // Raised on the user-interface thread when all maps are summed.
    const TOnReceibeAllMaps& OnReceiveAllMaps() const { return FOnReceibeAllMaps; }
    void SetOnReceiveAllMaps(TOnReceibeAllMaps Value) { FOnReceibeAllMaps = std::move(Value); }
    // Raised by the IsProjectModified setter.
    const TOnProjectModified& OnProjectModified() const { return FOnProjectModified; }
    void SetOnProjectModified(TOnProjectModified Value) { FOnProjectModified = std::move(Value); }
    bool IsProjectModified() const { return FIsProjectModified; }
    void SetIsProjectModified(bool Value);

    // ---- Prediction: recalculation, memory budget, averaged frequencies, summation, threads ----
    // Recalculation control.
    void ClearAllMaps();
    void ClearMapsLength();
    void ClearZoneMapLengthToAllCabs(int32_t Zone);
    void SetZoneMapLengthToAllCabs(int32_t Zone);
    void SetAllCabsNeedsCalculateMapsInZone(int32_t ZoneIndex);
    void ReCalculateZones(int32_t ZoneIndex);
    void ReCalculateAllMics();
    void SetAllCabsCalculated();
    // Memory budget.
    double CalcMemoryInMapsNCabinets(double PxToMeters, int32_t NCabs) const;
    double CalcMemoryInSumMaps(double PxToMeters) const;
    double CalcMemoryInAllMaps(double PxToMeters) const;
    double CalcMemoryIncrementAllMaps(int64_t PixelsQty) const;
    bool CheckMemoryForNCabinets(double PxToMeters, int32_t NCabs);
    bool CheckMemoryOnChangeBandWidth(double IniCalcMemory, double IniCalcCabinetsMemory, double NFreqsRatio,
                                      double PxToMeters);
    bool CheckMemoryOnChangeResolution(double IniCalcMemory, double PxToMeters);
    bool CheckMemoryOnImportZones(double PxToMeters);
    // Averaged frequencies.
    void GetBandEdges(int32_t Fc, int32_t& Fl, int32_t& Fh) const;
    bool CalcAverageFreqs();
    // Summation and level maps.
    // The summation of a zone (-1: every zone) for the summing thread; false when the events were
    // off, so that nothing was summed.
    bool GetMap3D(int32_t ZoneIndex);
    void SumAllCabinetsInProject3D(int32_t ZoneIndex);
    // The summation run on the calling (user-interface) thread, as the OnlyPhase setter and a zone's
    // Active setter ask for it: the workers are paused meanwhile. While a cabinet still needs its maps
    // the sum cannot complete here without blocking this thread: the zones are marked for summing and
    // the summing thread is asked instead.
    void SumAllCabinetsNow(int32_t ZoneIndex);
    void CompensateEnergySum(int32_t ZoneIndex, double dBComp);
    void SumAllCalculatedMaps();
    double GetMaxdBSPL() const;
    void MagnitudeToDB3D(int32_t ZoneIndex);
    void UpdateRenderOptions();
    // Summing thread and registry.
    void ExecuteAllMapsThread();
    // A cabinet's maps arrived (its map-received call): the summing thread is asked unless a run is
    // under way, which waits for every cabinet and so sums these maps already.
    void CabinetMapsArrived();
    // The summing thread, created on first use (the constructor creates it; FreeClass releases it).
    TWorkerThread& AllMapsThread();
    const TWorkerThread& AllMapsThread() const { return *FAllMapsThread; }
    void FAllMapsThreadRun(TWorkerThread& Sender);
    void AllMapsThreadStopped(TWorkerThread& Sender);
    void RescaleObjectsToPixelSize();
    // The aiming hit point of every cabinet (loose, arrays, clusters, beam containers) and beam.
    void RecalcHitPoints();

    // Registry of placed objects. The project owns what it registers; a removal stops every worker
    // that reads the object before releasing it.
    TCabinet* AddCabinet(TCabModel* CabModel, const TPoint3D& Position3D, const TPoint3D& Rotation3D,
                         bool IsSelected, TCabPlacement PlacementType, int32_t HornRotationIndex,
                         bool IsActive, void* ProgBar = nullptr);
    void AddArray(std::unique_ptr<TCabArray> CabArray);
    void AddCluster(std::unique_ptr<TCluster> Cluster);
    void AddBeamSteering(std::unique_ptr<TBeamContainer> BeamContainer);
    TMappingZone* AddMappingZone(const std::string& Name, const TPoint3D& Position3D,
                                 const TPoint3D& Rotation3D, double Width, double Depth, double Height,
                                 bool IsSelected, TSurfaceType ZoneType, bool IsActive);
    TGenericDSPProcess* AddDSPProcess();
    // Named after its model, numbered by the count of ornaments after the append.
    TOrnament* AddOrnament(TOrnaModel* OrnaModel, const TPoint3D& Position3D, const TPoint3D& Rotation3D,
                           bool IsSelected);
    // The remaining ornaments are numbered again by their position (from 0).
    void RemoveOrnament(TOrnament* theOrnament);
    void RemoveCabinet(TCabinet* Cabinet);
    void RemoveCabinets(const std::vector<TCabinet*>& CabinetList, int32_t c);
    void RemoveDSPProcess(const std::vector<TGenericDSPProcess*>& ProcessList, int32_t c);
    void RemoveArray(TCabArray* CabArray);
    // A cabinet of the array leaves its chain (with the rigging frame right above it, when there is
    // one below the first place); the zones are summed again when asked.
    void RemoveCabinetFromArray(TCabinet* Cabinet, TCabArray* CabArray);
    // An element (cabinet, rigging frame or spacer) leaves the array's chain; the zones are summed
    // again.
    void RemoveElementFromArray(TControl3D* theObject, TCabArray* CabArray);
    void RemoveCluster(TCluster* Cluster);
    void RemoveBeamSteering(TBeamContainer* Beam);
    void RemoveMappingZone(TMappingZone* theMappingZone);
    // A beam leaves its container and its cabinets; the container shares its sources again.
    void RemoveSingleBeam(TSingleBeam* SingleBeam);
    // Measurement points numbered by the count of points before the append (from 0); the caller
    // assigns the point's event and then starts its first computation. A removal stops the point's
    // worker first; a result it queued is dropped.
    TMicPoint* AddMeasurePoint(const TPoint3D& Position3D, TAlphaColor MyColor, bool AutoColor,
                               float MicDelay_ms);
    void RemoveMic(TMicPoint* Mic);
    // Response overlays named "Overlay" and numbered by the count before the append (from 0).
    TOverlay* AddOverlay(TAlphaColor MyColor, bool AutoColor);
    void RemoveOverlay(TOverlay* Overlay);

    // Copies of placed objects, registered like any other and placed by the offsets (metres, degrees)
    // or mirrored; the copy owns its cabinets, elements, beams and filters anew. A type the
    // enumeration does not hold raises ERangeError.
    TCabinet* DuplicateCabinet(const TCabinet& SourceCabinet, const TPoint3D& PosOffset,
                               const TPoint3D& RotOffset, TDuplicationType DupType);
    TCabArray* DuplicateArray(const TCabArray& SourceCabArray, const TPoint3D& PosOffset,
                              const TPoint3D& RotOffset);
    TCluster* DuplicateCluster(const TCluster& SourceCluster, const TPoint3D& PosOffset,
                               const TPoint3D& RotOffset, TDuplicationType DupType);
    TBeamContainer* DuplicateBeam(const TBeamContainer& SourceBeam, const TPoint3D& PosOffset,
                                  const TPoint3D& RotOffset, TDuplicationType DupType);
    TOrnament* DuplicateOrnament(const TOrnament& SourceOrnament, const TPoint3D& PosOffset,
                                 const TPoint3D& RotOffset);
    // Registry helpers (called under a TWorkersPause): a cabinet's release; the zone tail of group
    // removals.
    void ReleaseCabinet(std::unique_ptr<TCabinet> cabinet);
    void ZoneTailAfterRemoval();
    int32_t FreqToPoint(int32_t Freq) const;

private:
    // ---- Fields behind the properties ----
    std::vector<std::unique_ptr<TCabinet>> FCabinets; // loose cabinets only
    std::vector<std::unique_ptr<TCabArray>> FCabArrays;
    std::vector<std::unique_ptr<TCluster>> FClusters;
    std::vector<std::unique_ptr<TBeamContainer>> FBeams;
    std::vector<std::unique_ptr<TMappingZone>> FMappingZones;
    std::vector<std::unique_ptr<TCluster>> FSubArrangements;
    std::vector<std::unique_ptr<TSystem>> FSoundSystems;
    std::vector<std::unique_ptr<TOrnament>> FOrnaments;
    std::vector<std::unique_ptr<TAcousticMaterial>> FMaterials;
    std::vector<std::unique_ptr<TMicPoint>> FMics;
    std::vector<std::unique_ptr<TOverlay>> FOverlays;
    std::vector<std::unique_ptr<TPiston>> FPistons;
    std::vector<std::unique_ptr<TGenericDSPProcess>> FDSPProcessList;
    std::unique_ptr<TGenericDSPProcess> FBypassProcess;
    std::unique_ptr<TDSPSpace> FDSPSpace48k;
    std::unique_ptr<TDSPSpace> FDSPSpace96k;
    std::unique_ptr<TDSPSpace> FDSPSpace192k;
    std::unique_ptr<TDSPSpace> FDSPSpaceForMicGraphs;
    int32_t FNFreqPointsMicGraph = 0;
    std::unique_ptr<TModelsDetected> FModelsDetected;
    std::unique_ptr<TFramesDetected> FFramesDetected;
    std::unique_ptr<TOrnasDetected> FOrnasDetected;
    IProgressBar* FProgressBar = nullptr; // not owned
    IStatusLabel* FStatusLabel = nullptr; // not owned
    float FGenGain = 0.0f;
    int32_t FRefreshTimeMsec = 100;
    std::vector<TAlphaColor> FMappingColors;
    std::atomic<double> FMaxdBSPL{110.0}; // also written by the summing thread
    double FRangedBSPL = 36.0;
    double FMaxPhase = 0.0;
    double FMinPhase = 0.0;
    std::atomic<TCalcState> FAllMapsState{TCalcState::qzaNeedsCalculate};
    std::atomic<bool> FForceCalculation{false};
    std::atomic<bool> FAbortCalculation{false};
    std::atomic<bool> FAllowRendering{true};
    std::atomic<bool> FEventsEnabled{true};
    std::atomic<bool> FCalcHitPointEnabled{true};
    std::atomic<bool> FDontSumAllMaps{false};
    std::atomic<bool> FDontCalcMICS{false};
    std::atomic<bool> FForceUseAxisPhase{false};
    int32_t FNFreqsAverage = 5;
    std::vector<int32_t> FFreqsAverage; // Hz, ascending; layer m of every map belongs to FreqsAverage[m]
    std::atomic<double> FMaxdBPsychoComp{0.0};
    std::atomic<double> FdBEnergyComp{0.0}; // written by the summation
    std::atomic<double> FdBEnergyCompOld{0.0};
    std::atomic<int32_t> FAllMapsWaitingMsec{0};
    std::vector<int32_t> FFreqToPoint; // mic-graph grid index per whole hertz
    int32_t FUniqueID = 0;
    int32_t FNCabsInProject = 0;

    double FMemInitial = 0.0;
    double FMemInstalled = 0.0;
    double FMemAvailable = 0.0;
    double FMemUsed = 0.0;
    double FMemMinGuaranteed = 0.0;
    double FMemUsedbyTheApp = 0.0;
    bool FIsCheckingMemory = false;
    TFreqBands FMicSmoothing = TFreqBands::fbOneTwelveOctave;
    std::vector<double> FWeighteningTable; // dB per mic-graph point
    std::vector<int32_t> FMicMagReadIndex; // per mic-graph point
    std::string FInstallationName;         // at most 25 characters
    std::string FGPSCoordinates;           // at most 25 characters
    std::string FPRJCreatedBy;             // at most 25 characters
    std::string FPRJDescription;           // at most 200 characters

    TAlphaColor FZoneCreationColor = 0xFF7A83AB;
    bool FZonasCrecenParriba = true; // a zone's listening point is measured from its top face
    bool FUseCabOriginAsRotCenter = true;
    bool FUseOrnaOriginAsRotCenter = true;
    bool FUseSPLMeshforRaycast = false;

    // The summing thread "SumAllMapsThread": one pass per start, lowest priority, ends when stopped.
    std::unique_ptr<TWorkerThread> FAllMapsThread;
    TOnReceibeAllMaps FOnReceibeAllMaps;
    TOnProjectModified FOnProjectModified;
    TPhysicalSpace* FPhysicalSpace = nullptr; // not owned
    IDispatcher* FDispatcher = nullptr;       // not owned
    TPressureSumType FPressureSumType = TPressureSumType::qzaComplexSum;
    bool FIsComplexSum = true;
    bool FAvoidPhaseAliasing = true;
    std::atomic<int32_t> FMaxFreqNoAliasing{115}; // also written by the summation
    int32_t FMaxFreqForRealPhase = 1000;
    int32_t FFreqToEvaluate = 0;
    // The first value in ordinal order, so that the reset's band setter always runs.
    TMappingBands FMappingBandsType = TMappingBands::mbFullBand;
    TRenderQuality FRenderQuality = TRenderQuality::qzaMedium;
    std::atomic<bool> FContinuousRender{true};
    bool FOnlyPhase = false;
    bool FZeroPhaseStart = false;
    bool FIdealSpeaker = false;
    TGenNoiseType FGenNoiseType = TGenNoiseType::qzaPinkNoise;
    float FMaxUsagePercent = 0.0f;
    double FProcessingTimeMs = 0.0;
    TViewType FViewType = TViewType::qzaSideView;
    int32_t FMappingColorsRes = 0;
    bool FSPLNormalized = true;
    bool FIsProjectModified = false;
    TWeightening FMicWeightening = TWeightening::unWeigthed;

    friend class TWorkersPause;
    friend class TCabinet;
    friend class TMappingZone;
    friend class TMicPoint;
    void beginPause();
    void endPause();
    // A zone under construction enters the list (it reads its index from it) and leaves it again
    // when its construction fails.
    TMappingZone* appendMappingZone(std::unique_ptr<TMappingZone> zone);
    void dropLastMappingZone();
    // Every zone's bitmap and sum and every cabinet's buffers sized for NFreqsAverage layers.
    void sizeBuffersForFreqsAverage();
    void fillMicMagReadIndex();
    // The summing thread should run: continuous or forced rendering, events on, sums not held back,
    // sources and a zone present, and the summed maps not current (or a forced run).
    bool summingWanted() const;
    // Starts the summing thread as a new run (or records the start while the workers are paused).
    void startSumming();
    void deliverAllMaps(uint64_t generation, bool statusText);
    // How a summation ended: summed (or found nothing to do), skipped because the events were off,
    // or stopped short (an abort, a cancelled summing run, a cabinet that never finished).
    enum class TSumOutcome : uint8_t { Summed, EventsOff, Stopped };
    TSumOutcome sumZones(int32_t ZoneIndex);
    // Steps of sumZones: the wait for every cabinet's maps, the zones' plan, the pass over every
    // column of them, and the energy compensation.
    enum class TCabinetWait : uint8_t { Ready, Aborted, Cancelled, TimedOut };
    TCabinetWait waitForCabinet(const TCabinet& Cabinet, const char* Message);
    bool waitForEveryCabinet();
    void compensateEnergy(int32_t First, int32_t Last);
    // Steps of the summing thread's run.
    bool coalesceEdits(TWorkerThread& Sender);
    bool sumEveryZone(TWorkerThread& Sender, uint64_t Generation);
    bool sumUntilSettled(TWorkerThread& Sender, uint64_t Generation, int32_t ZoneIndex);
    void publishAllMaps(TWorkerThread& Sender, uint64_t Generation);
    // Wakes the summing thread's waits: a cabinet's pass ended, an abort, a cancelled run.
    void signalWaiters();

    TLifetime lifetime_;
    int32_t pauseDepth_ = 0; // nesting of TWorkersPause (user-interface thread)
    // Every cabinet created on the project, in its lists or not yet (an array being built): the pause
    // reaches each one's thread. A cabinet enters at its creation and leaves at its release.
    std::vector<TCabinet*> cabinetsOfProject_;
    // Likewise every measurement point created on the project: the pause reaches its worker.
    std::vector<TMicPoint*> pointsOfProject_;
    bool sumStartPending_ = false; // a summing run to start when the pause ends
    // A summation met the events off and summed nothing: the events' return asks for it again.
    std::atomic<bool> sumSkippedForEvents_{false};
    // Runs of the summing thread started so far: a run's result is delivered only while current.
    std::atomic<uint64_t> sumGeneration_{0};
    // When the summing run now pending was asked for (the wait clock's seconds; 0: not measured).
    std::atomic<double> sumRequestedAt_{0.0};
    bool sumRanPass_ = false; // the summing thread's run summed something (summing thread only)
    // The summing thread waits on it for cabinets' maps and its coalescing delay.
    std::mutex signalMutex_;
    std::condition_variable signal_;

    mutable std::mutex logMutex_;
    std::string lastLogString_;
    bool freed_ = false;
};

// The guard of the contract at the top of this file: while one is held, no worker of the project runs.
// Construct it on the user-interface thread before an edit that changes what a worker reads; the
// outermost one cancels and waits for the workers, and its end asks again for what it interrupted.
class TWorkersPause {
public:
    explicit TWorkersPause(TAcousticProject& project) : TWorkersPause(&project) {}
    // A null project (an object placed in none) pauses nothing.
    explicit TWorkersPause(TAcousticProject* project);
    ~TWorkersPause();
    TWorkersPause(const TWorkersPause&) = delete;
    TWorkersPause& operator=(const TWorkersPause&) = delete;

private:
    TAcousticProject* project_;
};

} // namespace vendrel
