// The project's memory checks: estimate what the maps need at a pixel size and coarsen the map
// resolution until it fits the memory the system can still give.

#include "acoustics/cabinet.h"
#include "acoustics/mapping_zone.h"
#include "acoustics/memory_budget.h"
#include "acoustics/physical_space.h"
#include "acoustics/project.h"
#include "platform/core/numeric.h"

namespace vendrel {

namespace {

std::vector<TZoneMemoryExtent> zoneExtents(const TAcousticProject& project) {
    std::vector<TZoneMemoryExtent> out;
    out.reserve(project.MappingZones().size());
    for (const auto& zone : project.MappingZones()) {
        TZoneMemoryExtent e;
        e.Width = zone->Width();
        e.Depth = zone->Depth();
        e.Picture = zone->SurfaceType() == TSurfaceType::qzaPicture;
        e.NoSPLMap = zone->MappingSides() == TMappingSides::qzaNoSPLMap;
        e.BitmapBytesPerPixel = 4;
        out.push_back(e);
    }
    return out;
}

void refreshFigures(TAcousticProject& p) {
    p.RefreshMemoryFigures();
}

// Zones re-dimensioned for the size now stored; with rescale, models and cabinets follow it first.
void redimension(TAcousticProject& p, bool rescale) {
    if (rescale) {
        p.RescaleObjectsToPixelSize();
    }
    const double s = p.PhysicalSpace()->PixelToMeters();
    for (auto& zone : p.MappingZones()) {
        const int32_t w = RoundHalfEven<int32_t>(zone->Width() / s);
        const int32_t d = RoundHalfEven<int32_t>(zone->Depth() / s);
        const bool unchanged = zone->WidthPixels() == w && zone->DepthPixels() == d;
        zone->SetDimensions(zone->Width(), zone->Depth());
        if (unchanged && p.EventsEnabled()) {
            zone->UpdateMapLength(); // the buffers were released and would stay empty
        }
        zone->RecalcPosBeginPx();
    }
    const int index = RenderQualityIndexOf(s);
    if (index >= 0) {
        p.SetRenderQuality(static_cast<TRenderQuality>(index));
    }
}

// Holds IsCheckingMemory for the length of a check, whatever way it ends.
struct CheckingMemory {
    TAcousticProject& p;
    explicit CheckingMemory(TAcousticProject& project) : p(project) { p.SetIsCheckingMemory(true); }
    ~CheckingMemory() { p.SetIsCheckingMemory(false); }
};

} // namespace

double TAcousticProject::CalcMemoryInMapsNCabinets(double PxToMeters, int32_t NCabs) const {
    return BytesToMB(CabinetMapsBytes(zoneExtents(*this), PxToMeters, FNFreqsAverage, NCabs));
}

double TAcousticProject::CalcMemoryInSumMaps(double PxToMeters) const {
    return BytesToMB(SumMapsBytes(zoneExtents(*this), PxToMeters));
}

double TAcousticProject::CalcMemoryInAllMaps(double PxToMeters) const {
    return CalcMemoryInMapsNCabinets(PxToMeters, TotalCabinets()) + CalcMemoryInSumMaps(PxToMeters);
}

double TAcousticProject::CalcMemoryIncrementAllMaps(int64_t PixelsQty) const {
    return BytesToMB(IncrementAllMapsBytes(PixelsQty, FNFreqsAverage, TotalCabinets()));
}

bool TAcousticProject::CheckMemoryForNCabinets(double PxToMeters, int32_t NCabs) {
    if (!FEventsEnabled) {
        return false;
    }
    const TWorkersPause pause(*this);
    CheckingMemory guard(*this);
    const double existing = CalcMemoryInAllMaps(PxToMeters);
    refreshFigures(*this);
    const double need = CalcMemoryInMapsNCabinets(PxToMeters, NCabs);
    if (MaxMemoryToUse() > need) {
        FPhysicalSpace->StorePixelToMeters(PxToMeters);
        return false;
    }
    ClearMapsLength();
    ShowLowMemoryMessage();
    const double current = FPhysicalSpace->PixelToMeters();
    const auto needAt = [&](double s) {
        const double r = current / s;
        return CalcMemoryInMapsNCabinets(s, NCabs) - (existing - existing * r * r);
    };
    FPhysicalSpace->StorePixelToMeters(
        CoarsenResolution(PxToMeters, need, needAt, [this] { return MaxMemoryToUse(); }));
    redimension(*this, true);
    return true;
}

bool TAcousticProject::CheckMemoryOnChangeBandWidth(double IniCalcMemory, double IniCalcCabinetsMemory,
                                                    double NFreqsRatio, double PxToMeters) {
    if (!FEventsEnabled) {
        return false;
    }
    const TWorkersPause pause(*this);
    CheckingMemory guard(*this);
    refreshFigures(*this);
    const double need = IniCalcCabinetsMemory * NFreqsRatio - IniCalcCabinetsMemory;
    if (MaxMemoryToUse() > need) {
        FPhysicalSpace->StorePixelToMeters(PxToMeters);
        return false;
    }
    ClearMapsLength();
    ShowLowMemoryMessage();
    const double current = FPhysicalSpace->PixelToMeters();
    const auto needAt = [&](double s) {
        const double r = current / s;
        return IniCalcMemory * r * r - IniCalcMemory;
    };
    FPhysicalSpace->StorePixelToMeters(
        CoarsenResolution(PxToMeters, need, needAt, [this] { return MaxMemoryToUse(); }));
    redimension(*this, true);
    for (int32_t z = 0; z < NMappingZones(); ++z) {
        TMappingZone& zone = *FMappingZones[static_cast<size_t>(z)];
        zone.SetMapBMPSize(zone.WidthPixels(), zone.DepthPixels());
        if (zone.MapSum()) {
            zone.MapSum()->SetZoneLength(zone.MapSum()->NFreqs(), zone.WidthPixels(), zone.DepthPixels());
        }
        SetZoneMapLengthToAllCabs(z);
    }
    return true;
}

bool TAcousticProject::CheckMemoryOnChangeResolution(double IniCalcMemory, double PxToMeters) {
    if (!FEventsEnabled) {
        return false;
    }
    const TWorkersPause pause(*this);
    CheckingMemory guard(*this);
    const double current = FPhysicalSpace->PixelToMeters();
    const auto needAt = [&](double s) {
        const double r = current / s;
        return IniCalcMemory * r * r - IniCalcMemory;
    };
    refreshFigures(*this);
    const double need = needAt(PxToMeters);
    if (MaxMemoryToUse() > need) {
        FPhysicalSpace->StorePixelToMeters(PxToMeters);
        return false;
    }
    ClearMapsLength();
    ShowLowMemoryMessage();
    FPhysicalSpace->StorePixelToMeters(
        CoarsenResolution(PxToMeters, need, needAt, [this] { return MaxMemoryToUse(); }));
    redimension(*this, false);
    return true;
}

bool TAcousticProject::CheckMemoryOnImportZones(double PxToMeters) {
    const TWorkersPause pause(*this);
    CheckingMemory guard(*this);
    ClearMapsLength();
    refreshFigures(*this);
    // The estimate is recomputed at every size tried (never compounded from the previous step).
    const auto needAt = [this](double s) { return CalcMemoryInAllMaps(s); };
    const double need = needAt(PxToMeters);
    bool changed = false;
    if (MaxMemoryToUse() > need) {
        FPhysicalSpace->StorePixelToMeters(PxToMeters);
    } else {
        ShowLowMemoryMessage();
        FPhysicalSpace->StorePixelToMeters(
            CoarsenResolution(PxToMeters, need, needAt, [this] { return MaxMemoryToUse(); }));
        changed = true;
    }
    RescaleObjectsToPixelSize();
    for (auto& zone : FMappingZones) {
        zone->SetDimensions(zone->Width(), zone->Depth());
        zone->UpdateMapLength();
        zone->RecalcPosBeginPx();
    }
    if (changed) {
        const int index = RenderQualityIndexOf(FPhysicalSpace->PixelToMeters());
        if (index >= 0) {
            SetRenderQuality(static_cast<TRenderQuality>(index));
        }
    }
    return changed;
}

} // namespace vendrel
