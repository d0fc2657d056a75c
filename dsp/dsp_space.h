#pragma once
// The frequency grid of the DSP engine and the small types that every DSP object shares.
//
// A grid is a sample rate plus a strictly ascending list of whole-hertz frequencies, with the
// per-point values that filters need (angular frequency and unit delay) and per-hertz tables that
// turn any whole-hertz frequency into a grid point and an interpolation weight in one read.

#include <cstdint>
#include <span>
#include <vector>

namespace vendrel {

// A complex value. Its arithmetic lives in dsp/complex.h.
struct Complex {
    double Re = 0.0;
    double Im = 0.0;
};

// A response on a grid: one magnitude and one phase per grid point; the units are the filler's.
struct rFrequencyResponse {
    std::vector<double> Mg;
    std::vector<double> Ph;
};

enum class TSampleRate : uint8_t { sr44k1, sr48k, sr96k, sr192k };

// Spacing of a grid, and the width of a smoothing band.
enum class TFreqBands : uint8_t {
    fbAlluserPoints,
    fbOneOctave,
    fbTwoThirdOctave,
    fbMediumOctave,
    fbOneThirdOctave,
    fbOneSixOctave,
    fbOneTwelveOctave,
    fbOneTwentyFourOctave,
    fbTwoOctave,
    fbOneThirtySixOctave,
    fbOneFortyEigthOctave
};

enum class TWeightening : uint8_t { unWeigthed, AWeigthed, CWeigthed };

enum class TLevUnit : uint8_t {
    luVrms,
    ludBV,
    ludBu,
    ludBSpl,
    ludBRel,
    luOhm,
    luDeg,
    lums,
    ludB,
    luPerc,
    ludBmet,
    ludBms2,
    ludBPa,
    ludBPaV,
    ludBms,
    ludBamp,
    ludBSplWm,
    lutCels,
    luWatt
};

// Result of DSP and measurement operations.
enum class TQzDspResult : uint8_t {
    qzdOK,
    qzdError,
    qzdReadFileError,
    qzdWrtiteFileError,
    qzdFirTapsError,
    qzdFirCoefsError,
    qzdNotEnoughMemoryError,
    qzdFirFSampleError
};

// Enumerations carried by the processor-preset records of the file formats.
enum class TWayType : uint8_t { qzAnalog, qzAES31, qzAES32, qzDante1, qzDante2, qzDante3, qzDante4 };
enum class TSPKImpedance : uint8_t {
    qzsz2hm,
    qzsz2_67hm,
    qzsz4hm,
    qzsz5_33hm,
    qzsz8Ohm,
    qzsz16Ohm,
    qzsz32Ohm,
    qzszCustom
};
enum class TThresholdType : uint8_t { dttdBu, dttW, dttV };
enum class TDynType : uint8_t { dtCompressor, dtLimiter };
enum class TGeqBands : uint8_t {
    qzBand_1_3_Octave,
    qzBand_1_2_Octave,
    qzBand_2_3_Octave,
    qzBand_1_Octave,
    qzBand_user
};
enum class TGeqType : uint8_t { qzGeq_InteligentQ, qzGeq_ClassicQ };

// 2*pi and pi as the DSP engine writes them (the 2*pi literal is rounded on purpose: every grid and
// filter design depends on its exact value).
inline constexpr double kTwoPi = 6.28318530717959;
inline constexpr double kPi = 3.141592653589793;
// ln(10): 10^x is computed as exp(x * kLn10).
inline constexpr double kLn10 = 2.302585092994046;

// Hertz of a sample-rate value.
int32_t SampleRateHz(TSampleRate sr);

// Width of a spacing in octaves; the all-points spacing has none (0).
double BandOctaves(TFreqBands bands);

class TDSPSpace {
public:
    // The default grid: 400 requested logarithmic points from 20 to 20000 Hz at 48000 Hz.
    TDSPSpace();

    TSampleRate SampleRate() const { return FSR; }
    void SetSampleRate(TSampleRate value);
    int32_t iSampleRate() const { return FiSR; }
    double SecondsPerSample() const { return FSecondsPerSample; }
    int32_t FrequencyMinValue() const { return FFrequencyMinValue; }
    int32_t FrequencyMaxValue() const { return FFrequencyMaxValue; }
    int32_t UserFPoints() const { return FUserFPoints; }
    int32_t NRealFreqPoints() const { return FNFrequencyPoints; }
    TFreqBands BandPerOctave() const { return FBandsPerOctave; }
    void SetBandPerOctave(TFreqBands value);
    double BandPerOctaveDouble() const { return FBandPerOctaveDouble; }
    bool UseParallelFor() const { return FUseParallelFor; }
    void SetUseParallelFor(bool value) { FUseParallelFor = value; }
    double MaxDSPInputdB() const { return FMaxDSPInputdB; }
    void SetMaxDSPInputdB(double value) { FMaxDSPInputdB = value; }
    double MaxDSPOutputdB() const { return FMaxDSPOutputdB; }
    void SetMaxDSPOutputdB(double value) { FMaxDSPOutputdB = value; }
    int32_t FilterGainPrecision() const { return FFilterGainPrecision; }
    int32_t FilterGainPrecisionMultiplier() const { return FFilterGainPrecisionMultiplier; }
    void SetFilterGainPrecision(int32_t value);
    int32_t FilterQPrecision() const { return FFilterQPrecision; }
    int32_t FilterQPrecisionMultiplier() const { return FFilterQPrecisionMultiplier; }
    void SetFilterQPrecision(int32_t value);
    double BandQ() const { return GetBandQ(); }

    // Rebuilds the grid for the spacing in force.
    void CalculateLogSpace();
    // Logarithmic grid of NPoints requested points from Fi to Fo Hz; points that round to an already
    // taken whole hertz are dropped.
    void Logspace(int32_t Fi, int32_t Fo, int32_t NPoints);
    // Stores the range and rebuilds the grid with the spacing Bands.
    void LogspacePerBand(int32_t Fi, int32_t Fo, TFreqBands Bands);
    // The grid on exactly these ascending frequencies.
    void CustomLogspace(std::span<const int32_t> FreqArray);
    void SetNFrequencyPoints(int32_t value);

    // Grid point of a whole-hertz frequency (above the table: the last entry); negative raises.
    int32_t FreqToPoint(int32_t Freq) const;
    // Interpolation weight between points FreqToPoint(Freq) - 1 and FreqToPoint(Freq).
    float FreqToNearPercent(int32_t Freq) const;
    const std::vector<int32_t>& FreqToPointTable() const { return FFreqToPoint; }
    const std::vector<double>& FreqToNearPercentTable() const { return FFreqToNearPercent; }

    double GetBandEdgeInf(double Freq) const;
    double GetBandEdgeSup(double Freq) const;
    double GetBandWidth(double Freq) const;
    double GetBandQ() const;
    // Band centres of the computed fractional-octave spacing; returns their number.
    int32_t CalcFreqBands(std::span<double> Freqs) const;

    static double dBToLin(double value);
    static double LinTodB(double value);
    static void ClearResponse(rFrequencyResponse& Response, bool ClearMg, bool ClearPh);
    // Reference level in dB: the mean from the first to the last value within 10 dB of the maximum.
    static double CalculateReferenceLevel(std::span<const double> Levels);

    // Per grid point: e^(-j*w) (the unit delay on the unit circle) and w in radians per sample.
    std::vector<Complex> Hwz;
    std::vector<double> Hwdibu;
    // Grid frequencies in whole hertz, strictly ascending.
    std::vector<int32_t> FreqDraw;

private:
    void setPointFrequency(size_t j, int32_t f);
    void buildPerHertzTables(bool customWeights);

    TSampleRate FSR = TSampleRate::sr44k1;
    int32_t FiSR = 0;
    double FSecondsPerSample = 0.0;
    int32_t FFrequencyMinValue = 0;
    int32_t FFrequencyMaxValue = 0;
    int32_t FUserFPoints = 0;
    int32_t FNFrequencyPoints = 0;
    TFreqBands FBandsPerOctave = TFreqBands::fbAlluserPoints;
    double FBandPerOctaveDouble = 0.0;
    bool FUseParallelFor = false;
    double FMaxDSPInputdB = 0.0;
    double FMaxDSPOutputdB = 0.0;
    std::vector<int32_t> FFreqToPoint;
    std::vector<double> FFreqToNearPercent;
    int32_t FFilterGainPrecision = 0;
    int32_t FFilterGainPrecisionMultiplier = 1;
    int32_t FFilterQPrecision = 0;
    int32_t FFilterQPrecisionMultiplier = 1;
};

} // namespace vendrel
