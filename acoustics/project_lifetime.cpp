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

    FZoneCreationColor = 0xFF7A83AB;
    ReadMemoryFiguresMB(FMemInstalled, FMemAvailable, FMemUsed);
    SetMaxUsagePercent(0.999f);
    FZonasCrecenParriba = true;

    FDSPSpace48k = makeGrid(TSampleRate::sr48k, TFreqBands::fbOneTwentyFourOctave);
    FDSPSpace96k = makeGrid(TSampleRate::sr96k, TFreqBands::fbOneTwentyFourOctave);
    FDSPSpace192k = makeGrid(TSampleRate::sr192k, TFreqBands::fbOneTwentyFourOctave);
    FDSPSpaceForMicGraphs = makeGrid(TSampleRate::sr48k, TFreqBands::fbOneFortyEigthOctave);
    FNFreqPointsMicGraph = FDSPSpaceForMicGraphs->NRealFreqPoints();

    FMaxdBPsychoComp = 0.0;
    FdBEnergyComp = 0.0;
    FdBEnergyCompOld = 0.0;
    FNFreqsAverage = 5;

    FPhysicalSpace = PhysicalSpace;
    FPhysicalSpace->SetMyAcousticProject(this);

    FModelsDetected = std::make_unique<TModelsDetected>(FPhysicalSpace);
    FFramesDetected = std::make_unique<TFramesDetected>(FPhysicalSpace);
    FOrnasDetected = std::make_unique<TOrnasDetected>(FPhysicalSpace);

    FViewType = TViewType::qzaSideView;
    FMappingColorsRes = 100;
    FMappingColors.assign(100, 0u);

    FAllowRendering = true;
    FDontSumAllMaps = false;
    FDontCalcMICS = false;
    FForceUseAxisPhase = false;
    FUseCabOriginAsRotCenter = true;
    FUseOrnaOriginAsRotCenter = true;
    FMicSmoothing = TFreqBands::fbOneTwelveOctave;
    FWeighteningTable.assign(static_cast<size_t>(FNFreqPointsMicGraph), 0.0);
    SetMicWeightening(TWeightening::unWeigthed);
    fillMicMagReadIndex();

    FBypassProcess = std::make_unique<TGenericDSPProcess>(FDSPSpace48k.get(), this);
    FBypassProcess->SetNumberID(0);
    FBypassProcess->SetName("Bypass");

    AllMapsThread(); // the summing thread component, set up once for the project's life

    FOnReceibeAllMaps = nullptr;
    FOnProjectModified = nullptr;
    FUseSPLMeshforRaycast = false;

    Reset();
}

TAcousticProject::~TAcousticProject() {
    FreeClass();
}

void TAcousticProject::Reset() {
    FUniqueID = 0;
    for (auto& cabinet : FCabinets) {
        cabinet->Reset();
    }
    for (auto& array : FCabArrays) {
        array->Reset();
    }
    for (auto& cluster : FClusters) {
        cluster->Reset();
    }
    for (auto& beam : FBeams) {
        beam->Reset();
    }
    FRangedBSPL = 36.0;
    FMaxdBSPL = 110.0;
    FSPLNormalized = true;
    FNCabsInProject = 0;
    FOnlyPhase = false;
    FZeroPhaseStart = false;
    FIdealSpeaker = false;
    FContinuousRender = true;
    FRefreshTimeMsec = 100;
    FForceCalculation = false;
    FFreqToEvaluate = 1000;
    SetMappingBandsType(TMappingBands::mbOneOctave);
    FRenderQuality = TRenderQuality::qzaMedium;
    FMaxFreqNoAliasing = 115;
    FAvoidPhaseAliasing = true;
    FIsComplexSum = true;
    FGenNoiseType = TGenNoiseType::qzaPinkNoise;
    FGenGain = 0.0f;
    FMaxFreqForRealPhase = 1000;
    FInstallationName.clear();
    FGPSCoordinates.clear();
    FPRJCreatedBy.clear();
    FPRJDescription.clear();
    FAllMapsState = TCalcState::qzaNeedsCalculate;
    FEventsEnabled = true;
    FCalcHitPointEnabled = true;
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
    FCabinets.clear();
    for (auto& array : FCabArrays) {
        array->FreeClass();
    }
    FCabArrays.clear();
    FMappingZones.clear();
    FPistons.clear();
    FDSPProcessList.clear();
    for (auto& ornament : FOrnaments) {
        ornament->FreeClass();
    }
    FOrnaments.clear();
    for (auto& system : FSoundSystems) {
        system->FreeClass();
    }
    FSoundSystems.clear();
    for (auto& cluster : FClusters) {
        cluster->FreeClass();
    }
    FClusters.clear();
    FSubArrangements.clear();
    for (auto& material : FMaterials) {
        material->FreeClass();
    }
    FMaterials.clear();
    FBeams.clear();
    FBypassProcess.reset();
    FMics.clear();
    FOverlays.clear();
    FModelsDetected.reset();
    FFramesDetected.reset();
    FOrnasDetected.reset();
    FDSPSpace48k.reset();
    FDSPSpace96k.reset();
    FDSPSpace192k.reset();
    FDSPSpaceForMicGraphs.reset();
    if (FPhysicalSpace != nullptr && FPhysicalSpace->MyAcousticProject() == this) {
        FPhysicalSpace->SetMyAcousticProject(nullptr);
    }
}

} // namespace vendrel
