// The project's requests that invalidate maps and start the calculation again, its averaged
// frequencies and the level-map options.

#include "acoustics/beam_steering.h"
#include "acoustics/cabinet.h"
#include "acoustics/cluster.h"
#include "acoustics/line_array.h"
#include "acoustics/mapping_bands.h"
#include "acoustics/mapping_zone.h"
#include "acoustics/material.h"
#include "acoustics/mic_point.h"
#include "acoustics/ornament.h"
#include "acoustics/overlay.h"
#include "acoustics/physical_space.h"
#include "acoustics/project.h"
#include "acoustics/sound_system.h"
#include "acoustics/vector_math.h"
#include "platform/core/numeric.h"
#include "platform/core/worker_thread.h"

#include <cmath>

namespace vendrel {

namespace {

// First and last zone of a zone argument: -1 for all, otherwise that zone (verified).
void zoneRange(const TAcousticProject& project, int32_t zoneIndex, int32_t& first, int32_t& last) {
    if (zoneIndex == -1) {
        first = 0;
        last = project.NMappingZones() - 1;
        return;
    }
    (void)At(project.MappingZones(), zoneIndex);
    first = last = zoneIndex;
}

} // namespace

void TAcousticProject::ClearAllMaps() {
    for (auto& zone : FMappingZones) {
        zone->ClearMap();
    }
}

void TAcousticProject::ClearMapsLength() {
    const TWorkersPause pause(*this);
    for (int32_t z = 0; z < NMappingZones(); ++z) {
        ClearZoneMapLengthToAllCabs(z);
        TMappingZone& zone = *FMappingZones[static_cast<size_t>(z)];
        zone.SetMapBMPSize(0, 0);
        if (zone.MapSum()) {
            zone.MapSum()->MapRealFreq().Release();
            zone.MapSum()->MapImagFreq().Release();
        }
    }
}

void TAcousticProject::ClearZoneMapLengthToAllCabs(int32_t Zone) {
    const TWorkersPause pause(*this);
    ForEachCabinet([Zone](TCabinet& cab) {
        TZoneData& data = *At(cab.MapData(), Zone);
        data.MapRealFreq().Release();
        data.MapImagFreq().Release();
    });
}

void TAcousticProject::SetZoneMapLengthToAllCabs(int32_t Zone) {
    const TWorkersPause pause(*this);
    const TMappingZone& zone = *At(FMappingZones, Zone);
    const int32_t w = zone.WidthPixels(), d = zone.DepthPixels(), nf = FNFreqsAverage;
    ForEachCabinet([&](TCabinet& cab) { At(cab.MapData(), Zone)->SetZoneLength(nf, w, d); });
}

void TAcousticProject::SetAllCabsNeedsCalculateMapsInZone(int32_t ZoneIndex) {
    if (!HasSources()) {
        return;
    }
    // The summing thread and the cabinets' passes stop here and start again when the pause ends.
    const TWorkersPause pause(*this);
    int32_t first = 0, last = -1;
    zoneRange(*this, ZoneIndex, first, last);
    ForEachCabinet([&](TCabinet& cab) {
        for (int32_t z = first; z <= last; ++z) {
            At(cab.MapData(), z)->SetZoneCalculated(false);
        }
        cab.SetMapState(TCalcState::qzaNeedsCalculate);
        cab.CalcHitPoint();
    });
    for (auto& beam : FBeams) {
        for (auto& single : beam->SingleBeams()) {
            single->CalcHitPoint();
        }
    }
    // The cabinets' maps of these zones are being recomputed: their sums are stale too, or a summed
    // zone would hand its old levels over as the result of this run.
    for (int32_t z = first; z <= last; ++z) {
        TMappingZone& zone = *FMappingZones[static_cast<size_t>(z)];
        if (zone.HasLevelMap() && zone.MapState() == TCalcState::qzaIsSumed) {
            zone.StoreMapState(TCalcState::qzaNeedsSum);
        }
    }
    FAllMapsState = TCalcState::qzaNeedsCalculate;
    ExecuteAllMapsThread();
}

void TAcousticProject::SetAllCabsCalculated() {
    if (!HasSources()) {
        return;
    }
    const TWorkersPause pause(*this);
    ForEachCabinet([&](TCabinet& cab) { cab.SetMapState(TCalcState::qzaCalculated); });
    FAllMapsState = TCalcState::qzaCalculated;
}

void TAcousticProject::ReCalculateZones(int32_t ZoneIndex) {
    if (!HasSources()) {
        return;
    }
    const TWorkersPause pause(*this);
    int32_t first = 0, last = -1;
    zoneRange(*this, ZoneIndex, first, last);
    for (int32_t z = first; z <= last; ++z) {
        At(FMappingZones, z)->SetMapState(TCalcState::qzaNeedsCalculate);
    }
}

void TAcousticProject::ReCalculateAllMics() {
    SetIsProjectModified(true);
    if (!FEventsEnabled || FDontCalcMICS) {
        return;
    }
    for (const auto& mic : FMics) {
        mic->StopMicThread();
        mic->SetMicState(TCalcState::qzaNeedsCalculate);
    }
}

// ---- Averaged frequencies ----

void TAcousticProject::GetBandEdges(int32_t Fc, int32_t& Fl, int32_t& Fh) const {
    vendrel::GetBandEdges(FMappingBandsType, Fc, Fl, Fh);
}

bool TAcousticProject::CalcAverageFreqs() {
    // Every map buffer is re-sized and the kernel reads the list it replaces.
    const TWorkersPause pause(*this);
    const int32_t oldCount = FNFreqsAverage;
    const double pixel = FPhysicalSpace->PixelToMeters();
    const double allMaps = CalcMemoryInAllMaps(pixel);
    const double cabinetMaps = CalcMemoryInMapsNCabinets(pixel, TotalCabinets());
    // Bands are cut from the whole 61-value series, not from the shorter list offered for selection.
    FFreqsAverage = AverageFrequencies(FMappingBandsType, FFreqToEvaluate, MapFrequencySeries());
    FNFreqsAverage = static_cast<int32_t>(FFreqsAverage.size());
    bool changed = false;
    if (!FIsCheckingMemory) {
        changed = CheckMemoryOnChangeBandWidth(
            allMaps, cabinetMaps, static_cast<double>(FNFreqsAverage) / static_cast<double>(oldCount), pixel);
    }
    if (changed) {
        return true;
    }
    sizeBuffersForFreqsAverage();
    return false;
}

void TAcousticProject::sizeBuffersForFreqsAverage() {
    const TWorkersPause pause(*this);
    for (int32_t z = 0; z < NMappingZones(); ++z) {
        TMappingZone& zone = *FMappingZones[static_cast<size_t>(z)];
        zone.SetMapBMPSize(zone.WidthPixels(), zone.DepthPixels());
        if (zone.MapSum()) {
            zone.MapSum()->SetZoneLength(FNFreqsAverage, zone.WidthPixels(), zone.DepthPixels());
        }
        SetZoneMapLengthToAllCabs(z);
    }
}

void TAcousticProject::SetFreqsAverage(std::vector<int32_t> Value) {
    const TWorkersPause pause(*this);
    FFreqsAverage = std::move(Value);
    FNFreqsAverage = static_cast<int32_t>(FFreqsAverage.size());
    sizeBuffersForFreqsAverage();
    ClearAllMaps();
    ReCalculateZones(-1);
}

void TAcousticProject::SetMappingBandsType(TMappingBands Value) {
    if (Value == FMappingBandsType) {
        return;
    }
    const TWorkersPause pause(*this);
    FMappingBandsType = Value;
    FPhysicalSpace->SetFreqsNormalized(SelectableCentreFrequencies(Value, FPhysicalSpace->FreqsNormalized()));
    const bool changed = CalcAverageFreqs();
    ClearAllMaps();
    if (!changed) {
        ReCalculateZones(-1);
    }
}

// ---- Level maps and render options ----

void TAcousticProject::MagnitudeToDB3D(int32_t ZoneIndex) {
    int32_t first = 0, last = -1;
    zoneRange(*this, ZoneIndex, first, last);
    for (int32_t z = first; z <= last; ++z) {
        TMappingZone& zone = *FMappingZones[static_cast<size_t>(z)];
        TMapLayers& level = zone.MapSum()->MapRealFreq();
        const int32_t w = zone.MapSum()->WidthPixels(), d = zone.MapSum()->DepthPixels();
        for (int32_t x = 0; x < w; ++x) {
            LevelsFromMagnitudes(level.Row(0, x), 1.0f, level.Row(0, x), d);
        }
    }
}

void TAcousticProject::UpdateRenderOptions() {
    ForEachCabinet(
        [this](TCabinet& cab) { cab.TakeRenderOptions(FOnlyPhase, FZeroPhaseStart, FIdealSpeaker); });
}

void TAcousticProject::SetAvoidPhaseAliasing(bool Value) {
    if (Value == FAvoidPhaseAliasing) {
        return;
    }
    const TWorkersPause pause(*this);
    FAvoidPhaseAliasing = Value;
    FMaxFreqNoAliasing =
        RoundHalfEven<int32_t>(FPhysicalSpace->SpeedOfSound() / (2 * FPhysicalSpace->PixelToMeters()));
    ClearAllMaps();
    ReCalculateZones(-1);
}

} // namespace vendrel
