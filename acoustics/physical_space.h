#pragma once
// The propagation medium and map scale shared by every object of a project: the air (temperature,
// humidity, speed of sound, absorption), the constants of the evaluation frequency, the frequencies
// maps can be computed at, the nominal venue size and the edge of one map pixel.
//
// Written on the user-interface thread only; map and measurement-point threads read it through
// GetFreqConstants and CalculateAirLoss.

#include <cstdint>
#include <vector>

namespace vendrel {

class TAcousticProject;

// The constants of one frequency.
struct TFreqConstants {
    double TwoPiFreq = 0.0;       // rad/s
    double WaveLength = 0.0;      // m
    double RadiansPerMeter = 0.0; // rad/m
    double dBPerMeter = 0.0;      // air absorption, dB/m
};

class TPhysicalSpace {
public:
    TPhysicalSpace();
    TPhysicalSpace(const TPhysicalSpace&) = delete;
    TPhysicalSpace& operator=(const TPhysicalSpace&) = delete;

    // Restores the defaults; calls no project operation, so it is safe before the project exists.
    void Reset();

    int32_t Freq() const { return FFreq; }
    void SetFreq(int32_t Value);
    bool AirLoss() const { return FAirLoss; }
    void SetAirLoss(bool Value);
    double TempCelsius() const { return FTempCelsius; }
    void SetTempCelsius(double Value);
    double TempFahrenheit();
    void SetTempFahrenheit(double Value);
    double SpeedOfSound() const { return FSpeedOfSound; }
    double TwoPiFreq() const { return FTwoPiFreq; }
    double RadiansPerMeter() const { return FRadiansPerMeter; }
    double WaveLength() const { return FWaveLength; }
    double dbHumid() const { return Fdb_humid; }
    int32_t RelHumid() const { return FRelHumid; }
    void SetRelHumid(int32_t Value);
    int32_t VenueLength() const { return FVenueLength; }
    void SetVenueLength(int32_t Value);
    int32_t VenueHeightVer() const { return FVenueHeightVer; }
    void SetVenueHeightVer(int32_t Value);
    int32_t VenueWidthHor() const { return FVenueWidthHor; }
    void SetVenueWidthHor(int32_t Value);
    double PixelToMeters() const { return FPixelToMeters; }
    // A new map pixel size: releases the maps and lets the project's memory check store the size
    // (possibly a coarser one), then re-dimensions every zone.
    void SetPixelToMeters(double Value);

    TAcousticProject* MyAcousticProject() const { return FMyAcousticProject; }
    void SetMyAcousticProject(TAcousticProject* project) { FMyAcousticProject = project; }

    // The four constants of frequency Freq (whole Hz) at the current air, without touching the
    // medium's own fields.
    TFreqConstants GetFreqConstants(int32_t Freq) const;
    void GetFreqConstants(int32_t Freq, double& TwoPiFreq, double& WaveLength, double& RadiansPerMeter,
                          double& dBPerMeter) const;
    // Propagation phase in radians relative to 1 m.
    double GetPhaseVsDistanceAndFreq(double Freq, double DistanceMeters) const;
    // Pure-tone air absorption in dB/m at the reference pressure, current temperature and humidity.
    double CalculateAirLoss(int32_t Freq) const;

    int32_t MaxFreq() const { return FMaxFreq; }
    int32_t MinFreq() const { return FMinFreq; }
    // The map frequency the window's frequency list shows.
    int32_t SelectedFreqPoint() const { return FSelectedFreqPoint; }
    void SetSelectedFreqPoint(int32_t Value) { FSelectedFreqPoint = Value; }
    // The map frequencies, whole Hz, ascending; the project sets them with its mapping band.
    const std::vector<int32_t>& FreqsNormalized() const { return FFreqsNormalized; }
    void SetFreqsNormalized(std::vector<int32_t> Value) { FFreqsNormalized = std::move(Value); }

    // Stores the pixel size without the setter's memory check and re-dimensioning: the project's
    // memory checks settle the size this way, and project loading assigns it with events off.
    void StorePixelToMeters(double Value) { FPixelToMeters = Value; }

private:
    int32_t FMaxFreq = 20000;
    int32_t FMinFreq = 20;
    int32_t FSelectedFreqPoint = 0;
    std::vector<int32_t> FFreqsNormalized;
    int32_t FFreq = 0;
    bool FAirLoss = true;
    double FTempCelsius = 0.0;
    double FTempFahrenheit = 0.0;
    double FSpeedOfSound = 0.0;
    double FWaveLength = 0.0;
    double FTwoPiFreq = 0.0;
    double FRadiansPerMeter = 0.0;
    int32_t FRelHumid = 0;
    double Fdb_humid = 0.0;
    TAcousticProject* FMyAcousticProject = nullptr; // the owning project, not owned
    int32_t FVenueLength = 0;
    int32_t FVenueHeightVer = 0;
    int32_t FVenueWidthHor = 0;
    double FPixelToMeters = 0.0;
};

} // namespace vendrel
