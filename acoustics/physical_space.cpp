#include "acoustics/physical_space.h"

#include <cmath>

#include "acoustics/mapping_bands.h"
#include "acoustics/mapping_zone.h"
#include "acoustics/project.h"
#include "platform/core/numeric.h"

namespace vendrel {

namespace {

// 2π as the single-precision value the frequency constants have always used.
constexpr double kTwoPiSingle = 6.2831854820251465;

// Below this an absorption figure is noise, not a loss.
constexpr double kAirLossFloor = 1e-6;

double speedOfSound(double tempCelsius) {
    return 20.06 * std::sqrt(tempCelsius + 273.0);
}

} // namespace

TPhysicalSpace::TPhysicalSpace() {
    Reset();
}

void TPhysicalSpace::Reset() {
    SetTempCelsius(25.0);
    FSpeedOfSound = speedOfSound(FTempCelsius);
    FRelHumid = 50;
    FAirLoss = true;
    Fdb_humid = CalculateAirLoss(1000);
    FVenueLength = 50;
    FVenueHeightVer = 20;
    FVenueWidthHor = 20;
    FFreqsNormalized = MapFrequencySeries();
    FPixelToMeters = 0.08;
}

void TPhysicalSpace::SetFreq(int32_t Value) {
    if (Value == FFreq) {
        return;
    }
    Value = std::min(std::max(Value, FMinFreq), FMaxFreq);
    FFreq = Value;
    double dB = 0.0;
    GetFreqConstants(FFreq, FTwoPiFreq, FWaveLength, FRadiansPerMeter, dB);
    Fdb_humid = dB;
}

void TPhysicalSpace::SetAirLoss(bool Value) {
    if (Value == FAirLoss) {
        return;
    }
    // The map threads read the medium through its frequency constants.
    const TWorkersPause pause(FMyAcousticProject);
    FAirLoss = Value;
    TAcousticProject* project = FMyAcousticProject;
    if (project == nullptr || !project->EventsEnabled()) {
        return;
    }
    project->ReCalculateZones(-1);
    project->SetAllCabsNeedsCalculateMapsInZone(-1);
    project->ReCalculateAllMics();
}

void TPhysicalSpace::SetTempCelsius(double Value) {
    if (Value == FTempCelsius) {
        return;
    }
    const TWorkersPause pause(FMyAcousticProject);
    FTempCelsius = Value;
    FSpeedOfSound = speedOfSound(FTempCelsius);
}

double TPhysicalSpace::TempFahrenheit() {
    FTempFahrenheit = FTempCelsius * 9.0 / 5.0 + 32.0;
    return FTempFahrenheit;
}

void TPhysicalSpace::SetTempFahrenheit(double Value) {
    FTempFahrenheit = Value;
    SetTempCelsius((Value - 32.0) * 5.0 / 9.0);
}

void TPhysicalSpace::SetRelHumid(int32_t Value) {
    if (Value == FRelHumid) {
        return;
    }
    const TWorkersPause pause(FMyAcousticProject);
    FRelHumid = std::min(std::max(Value, 1), 100);
}

void TPhysicalSpace::SetVenueLength(int32_t Value) {
    if (Value != FVenueLength) {
        FVenueLength = std::min(std::max(Value, 2), 2000);
    }
}

void TPhysicalSpace::SetVenueHeightVer(int32_t Value) {
    if (Value != FVenueHeightVer) {
        FVenueHeightVer = std::min(std::max(Value, 2), 200);
    }
}

void TPhysicalSpace::SetVenueWidthHor(int32_t Value) {
    if (Value != FVenueWidthHor) {
        FVenueWidthHor = std::min(std::max(Value, 2), 2000);
    }
}

void TPhysicalSpace::SetPixelToMeters(double Value) {
    if (Value == FPixelToMeters) {
        return;
    }
    // Every map buffer is released and sized again for the new grid: no worker runs meanwhile.
    const TWorkersPause pause(FMyAcousticProject);
    TAcousticProject* project = FMyAcousticProject;
    if (project == nullptr) {
        FPixelToMeters = Value;
        return;
    }
    const double memoryNow = project->CalcMemoryInAllMaps(FPixelToMeters);
    project->ClearMapsLength();
    // The check stores the size it allows; it also runs the re-dimensioning when it coarsened.
    if (!project->IsCheckingMemory()) {
        project->CheckMemoryOnChangeResolution(memoryNow, Value);
    }
    project->RescaleObjectsToPixelSize();
    for (auto& zone : project->MappingZones()) {
        zone->SetDimensions(zone->Width(), zone->Depth());
        // A grid that kept its pixel counts would otherwise keep the released buffers.
        zone->RestoreReleasedBuffers();
        zone->RecalcPosBeginPx();
    }
    project->StoreMaxFreqNoAliasing(RoundHalfEven<int32_t>(FSpeedOfSound / (2.0 * FPixelToMeters)));
}

void TPhysicalSpace::GetFreqConstants(int32_t Freq, double& TwoPiFreq, double& WaveLength,
                                      double& RadiansPerMeter, double& dBPerMeter) const {
    TwoPiFreq = kTwoPiSingle * Freq;
    WaveLength = FSpeedOfSound / Freq;
    RadiansPerMeter = kTwoPiSingle / WaveLength;
    dBPerMeter = CalculateAirLoss(Freq);
}

TFreqConstants TPhysicalSpace::GetFreqConstants(int32_t Freq) const {
    TFreqConstants c;
    GetFreqConstants(Freq, c.TwoPiFreq, c.WaveLength, c.RadiansPerMeter, c.dBPerMeter);
    return c;
}

double TPhysicalSpace::GetPhaseVsDistanceAndFreq(double Freq, double DistanceMeters) const {
    return (DistanceMeters - 1.0) * kTwoPiSingle / (FSpeedOfSound / Freq);
}

double TPhysicalSpace::CalculateAirLoss(int32_t Freq) const {
    // Pure-tone absorption of the atmosphere at the reference pressure (pa / pr = 1).
    constexpr double paOverPr = 101325.0 / 101325.0;
    const double T = FTempCelsius + 273.15;
    const double C = std::pow(273.16 / T, 1.261);
    const double psatOverPr = std::pow(10.0, 4.6151 - 6.8346 * C);
    const double h = FRelHumid * psatOverPr * paOverPr;
    const double Tr = T / 293.15;
    const double frO = paOverPr * (24.0 + 40400.0 * h * (0.02 + h) / (0.391 + h));
    const double frN = paOverPr * std::pow(Tr, -0.5) *
                       (9.0 + 280.0 * h * std::exp(-4.17 * (std::pow(Tr, -1.0 / 3.0) - 1.0)));
    const double f = Freq;
    const double f2 = CheckedMul<int32_t>(Freq, Freq);
    const double alpha = 8.686 * f * f *
                         (1.84e-11 * (1.0 / paOverPr) * std::sqrt(Tr) +
                          std::pow(Tr, -2.5) * (0.01275 * std::exp(-2239.1 / T) / (frO + f2 / frO) +
                                                0.1068 * std::exp(-3352.0 / T) / (frN + f2 / frN)));
    return alpha < kAirLossFloor ? 0.0 : alpha;
}

} // namespace vendrel
