// Creation, reset and release of the project.

#include <utility>

#include "acoustics/beam_steering.h"
#include "acoustics/cabinet.h"
#include "acoustics/cluster.h"
#include "acoustics/dsp_process.h"
#include "acoustics/line_array.h"
#include "acoustics/mapping_zone.h"
#include "acoustics/material.h"
#include "acoustics/memory_budget.h"
#include "acoustics/mic_point.h"
#include "acoustics/model_registry.h"
#include "acoustics/ornament.h"
#include "acoustics/overlay.h"
#include "acoustics/physical_space.h"
#include "acoustics/piston.h"
#include "acoustics/project.h"
#include "acoustics/sound_system.h"
#include "dsp/dsp_space.h"
#include "platform/core/worker_thread.h"

namespace vendrel {

namespace {

std::unique_ptr<TDSPSpace> makeGrid(TSampleRate rate, TFreqBands spacing) {
    auto grid = std::make_unique<TDSPSpace>();
    grid->SetSampleRate(rate);
    grid->LogspacePerBand(20, 20000, spacing);
    return grid;
}

} // namespace

TAcousticProject::TAcousticProject(TPhysicalSpace* PhysicalSpace, IDispatcher* Dispatcher)
    : FDispatcher(Dispatcher) {
    SetLastLogString("");
    FIsProjectModified = false;

    ZoneCreationColor = 0xFF7A83AB;
    ReadMemoryFiguresMB(MemInstalled, MemAvailable, MemUsed);
    SetMaxUsagePercent(0.999f);
    ZonasCrecenParriba = true;

    DSPSpace48k = makeGrid(TSampleRate::sr48k, TFreqBands::fbOneTwentyFourOctave);
    DSPSpace96k = makeGrid(TSampleRate::sr96k, TFreqBands::fbOneTwentyFourOctave);
    DSPSpace192k = makeGrid(TSampleRate::sr192k, TFreqBands::fbOneTwentyFourOctave);
    DSPSpaceForMicGraphs = makeGrid(TSampleRate::sr48k, TFreqBands::fbOneFortyEigthOctave);
    NFreqPointsMicGraph = DSPSpaceForMicGraphs->NRealFreqPoints();

    MaxdBPsychoComp = 0.0;
    dBEnergyComp = 0.0;
    dBEnergyCompOld = 0.0;
    NFreqsAverage = 5;

    FPhysicalSpace = PhysicalSpace;
    FPhysicalSpace->SetMyAcousticProject(this);

    ModelsDetected = std::make_unique<TModelsDetected>(FPhysicalSpace);
    FramesDetected = std::make_unique<TFramesDetected>(FPhysicalSpace);
    OrnasDetected = std::make_unique<TOrnasDetected>(FPhysicalSpace);

    FViewType = TViewType::qzaSideView;
    FMappingColorsRes = 100;
    MappingColors.assign(100, 0u);

    AllowRendering = true;
    DontSumAllMaps = false;
    DontCalcMICS = false;
    ForceUseAxisPhase = false;
    UseCabOriginAsRotCenter = true;
    UseOrnaOriginAsRotCenter = true;
    MicSmoothing = TFreqBands::fbOneTwelveOctave;
    WeighteningTable.assign(static_cast<size_t>(NFreqPointsMicGraph), 0.0);
    SetMicWeightening(TWeightening::unWeigthed);

    BypassProcess = std::make_unique<TGenericDSPProcess>(DSPSpace48k.get(), this);
    BypassProcess->NumberID = 0;
    BypassProcess->Name = "Bypass";

    AllMapsThread(); // the summing thread component, set up once for the project's life

    FOnReceibeAllMaps = nullptr;
    FOnProjectModified = nullptr;
    UseSPLMeshforRaycast = false;

    Reset();
}

TAcousticProject::~TAcousticProject() {
    FreeClass();
}

void TAcousticProject::Reset() {
    UniqueID = 0;
    for (auto& cabinet : Cabinets) {
        cabinet->Reset();
    }
    for (auto& array : CabArrays) {
        array->Reset();
    }
    for (auto& cluster : Clusters) {
        cluster->Reset();
    }
    for (auto& beam : Beams) {
        beam->Reset();
    }
    RangedBSPL = 36.0;
    MaxdBSPL = 110.0;
    FSPLNormalized = true;
    FNCabsInProject = 0;
    FOnlyPhase = false;
    FZeroPhaseStart = false;
    FIdealSpeaker = false;
    FContinuousRender = true;
    RefreshTimeMsec = 100;
    ForceCalculation = false;
    FFreqToEvaluate = 1000;
    SetMappingBandsType(TMappingBands::mbOneOctave);
    FRenderQuality = TRenderQuality::qzaMedium;
    FMaxFreqNoAliasing = 115;
    FAvoidPhaseAliasing = true;
    FIsComplexSum = true;
    FGenNoiseType = TGenNoiseType::qzaPinkNoise;
    GenGain = 0.0f;
    FMaxFreqForRealPhase = 1000;
    InstallationName.clear();
    GPSCoordinates.clear();
    PRJCreatedBy.clear();
    PRJDescription.clear();
    AllMapsState = TCalcState::qzaNeedsCalculate;
    EventsEnabled = true;
    CalcHitPointEnabled = true;
}

void TAcousticProject::FreeClass() {
    if (freed_) {
        return;
    }
    freed_ = true;
    // Calls the project queued for the user-interface thread and not yet run do nothing from now on.
    lifetime_.End();
    // Every worker reads the lists below: all of them end before anything is released (a plain wait:
    // no queued call runs from here).
    if (FAllMapsThread != nullptr) {
        FAllMapsThread->CancelAndWait();
        FAllMapsThread.reset();
    }
    ForEachCabinet([](TCabinet& cab) { cab.CancelMapThreadAndWait(); });
    for (TMicPoint* mic : pointsOfProject_) {
        mic->CancelMicThreadAndWait();
    }
    FOnReceibeAllMaps = nullptr;
    FOnProjectModified = nullptr;
    // Cabinets first: they point to zones, processes and models.
    Cabinets.clear();
    for (auto& array : CabArrays) {
        array->FreeClass();
    }
    CabArrays.clear();
    MappingZones.clear();
    Pistons.clear();
    DSPProcessList.clear();
    for (auto& ornament : Ornaments) {
        ornament->FreeClass();
    }
    Ornaments.clear();
    for (auto& system : SoundSystems) {
        system->FreeClass();
    }
    SoundSystems.clear();
    for (auto& cluster : Clusters) {
        cluster->FreeClass();
    }
    Clusters.clear();
    SubArrangements.clear();
    for (auto& material : Materials) {
        material->FreeClass();
    }
    Materials.clear();
    Beams.clear();
    BypassProcess.reset();
    Mics.clear();
    Overlays.clear();
    ModelsDetected.reset();
    FramesDetected.reset();
    OrnasDetected.reset();
    DSPSpace48k.reset();
    DSPSpace96k.reset();
    DSPSpace192k.reset();
    DSPSpaceForMicGraphs.reset();
    if (FPhysicalSpace != nullptr && FPhysicalSpace->MyAcousticProject() == this) {
        FPhysicalSpace->SetMyAcousticProject(nullptr);
    }
}

} // namespace vendrel
