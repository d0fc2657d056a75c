#pragma once
// The settings of one processing channel of a loudspeaker processor as stored in files: gain, delay,
// crossover, graphic and parametric equalisers, air-absorption compensation, FIR, dynamics, output
// type, speaker parameters and a measured response. They make up the processor blob (dsp_cabinet.h).
//
// Fixed records are stored as their memory image (fields at their natural alignment, zeros in the
// padding); records with lists are stored field by field, each list after its int32 count. In memory a
// list's length is its count. Enumerations are stored as their ordinals (files/record_enums.h).

#include "files/record_enums.h"
#include "platform/core/byte_stream.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace vendrel {

struct rGain {
    int32_t Pol = 0;  // polarity
    int32_t Mute = 0; // mute
    double Gain = 0;  // dB

    bool operator==(const rGain&) const = default;
};

struct rXoverIIR {
    bool Active = false;
    TXoverType FilterType{};
    int32_t fc = 0; // cut-off frequency, Hz
    int32_t order = 0;
    TXoverHPLP hplp{};

    bool operator==(const rXoverIIR&) const = default;
};

// A crossover: the high-pass filter, then the low-pass filter.
using TXoverPair = std::array<rXoverIIR, 2>;

// One parametric band.
struct rPeq {
    bool Active = false;
    TPeqType FilterType{};
    int32_t Freq = 0; // Hz
    double GdB = 0;
    double Q = 0;

    bool operator==(const rPeq&) const = default;
};

// Air-absorption compensation.
struct rAirComp {
    bool Active = false;
    double HR = 0;             // relative humidity
    double TempC = 0;          // temperature, degrees C
    double DistanceMeters = 0; // compensated distance, m

    bool operator==(const rAirComp&) const = default;
};

// One phase point of a FIR design.
struct rPhPoint {
    bool Active = false;
    TPointFirType PointType{};
    int32_t Freq = 0; // Hz
    double Degrees = 0;
    double Q = 0;
    bool activado = false;

    bool operator==(const rPhPoint&) const = default;
};

// An RMS compressor or limiter.
struct rDynRMS {
    bool Active = false;
    TDynType DynType{};
    int32_t PostGain = 0;
    bool AutoTimeConstant = false;
    int32_t NoiseGate = 0;
    bool NoiseGateActive = false;
    int32_t Watts = 0;
    double Volts = 0;
    double Attack = 0;
    double Hold = 0;
    double Release = 0;
    double Threshold = 0;
    int32_t Knee = 0;
    int32_t Ratio = 0;
    TThresholdType ThresholdType{};

    bool operator==(const rDynRMS&) const = default;
};

// A peak limiter.
struct rDynPeak {
    bool Active = false;
    bool AutoTimeConstant = false;
    int32_t Watts = 0;
    double Volts = 0;
    double Hold = 0;
    double Release = 0;
    double Threshold = 0;
    int32_t Knee = 0;
    TThresholdType ThresholdType{};

    bool operator==(const rDynPeak&) const = default;
};

// Speaker and amplifier parameters, stored as their 56-byte image both ways.
struct rSPKParams {
    int32_t SPKPower = 0; // W
    int32_t AMPPower = 0; // W
    bool BalancedSGN = false;
    int32_t NAmp = 0;
    double GainLineal = 0;
    double GaindB = 0;
    TSPKImpedance SPKImpedanceID{};
    double SPKImpedance = 0; // ohm
    bool Bridge = false;

    bool operator==(const rSPKParams&) const = default;
};

struct rWayType {
    TWayType WayType{};
    bool HasResistor = false;

    bool operator==(const rWayType&) const = default;
};

// A graphic equaliser: 31 gains for 1/3-octave bands, 20 for 1/2-octave, 15 for 2/3-octave, 10 for
// 1-octave bands. User bands have no stored form: they are refused both ways.
struct rGeq {
    bool Active = false;
    TGeqType GeqType{};
    TGeqBands Bands{};
    std::vector<double> Gains; // dB

    bool operator==(const rGeq&) const = default;
};

// A bank of parametric bands. The bank's own Active flag is not stored: a bank read back has it false.
struct rPeqs {
    bool Active = false;
    std::vector<rPeq> Peqs; // stored count: NPeqs

    bool operator==(const rPeqs&) const = default;
};

struct rFir {
    bool Active = false;
    TFIRType FirType{};
    int32_t fc1 = 0;
    int32_t fc2 = 0;
    int32_t hplp = 0;
    bool AutoLatency = false;
    bool UseAllTaps = false;
    int32_t MaxTaps = 0;        // not stored: a FIR read back has it 0
    std::vector<rPeq> MgPoints; // stored count: NMgPoints
    rXoverIIR MgXoverHP;
    rXoverIIR MgXoverLP;
    std::vector<rPhPoint> PhPoints; // stored count: NPhPoints
    std::vector<double> Coefs;      // stored count: UseNTaps

    bool operator==(const rFir&) const = default;
};

// Multi-way RMS dynamics: per way a crossover and a compressor or limiter (NWays = Xovers' length).
struct rMDynRMS {
    std::vector<TXoverPair> Xovers;
    std::vector<rDynRMS> Dyn; // as many as Xovers

    bool operator==(const rMDynRMS&) const = default;
};

// Multi-way peak dynamics.
struct rMDynPeak {
    std::vector<TXoverPair> Xovers;
    std::vector<rDynPeak> Dyn; // as many as Xovers

    bool operator==(const rMDynPeak&) const = default;
};

// A measured response (NPoints = the length of the four lists).
struct rMeasureSystem {
    TMeasureSystemBrand MeaSystem{};
    double ReferenceSpl = 0;
    std::vector<int32_t> Frequencies; // Hz
    std::vector<double> ResponseMgdB;
    std::vector<double> ResponsePhRad;
    std::vector<double> ResponsePhUnWrappedRad;

    bool operator==(const rMeasureSystem&) const = default;
};

// Stored sizes of the fixed records and of the fixed parts of the others.
inline constexpr size_t kGainSize = 16;
inline constexpr size_t kXoverIIRSize = 16;
inline constexpr size_t kPeqSize = 24;
inline constexpr size_t kAirCompSize = 32;
inline constexpr size_t kPhPointSize = 32;
inline constexpr size_t kDynRMSSize = 80;
inline constexpr size_t kDynPeakSize = 48;
inline constexpr size_t kSPKParamsSize = 56;
inline constexpr size_t kWayTypeSize = 2;
inline constexpr size_t kProcName6Size = 7;
inline constexpr size_t kText200Size = 201;
inline constexpr size_t kFirHeadSize = 28; // rFir before its lists

// Stored gains of a graphic equaliser of the given bands; 0 for user bands, which cannot be stored.
size_t GeqGainCount(TGeqBands bands);

// Writers and readers of the records, and of the blank-padded 6- and 200-character text fields
// (trailing blanks are removed when read). Readers refuse (EReadError) what the record cannot hold;
// writers refuse (ERangeError) what would not read back.
void WriteGain(ByteWriter& w, const rGain& r);
void ReadGain(ByteReader& rd, rGain& r);
void WriteXoverIIR(ByteWriter& w, const rXoverIIR& r);
void ReadXoverIIR(ByteReader& rd, rXoverIIR& r);
void WritePeq(ByteWriter& w, const rPeq& r);
void ReadPeq(ByteReader& rd, rPeq& r);
void WriteAirComp(ByteWriter& w, const rAirComp& r);
void ReadAirComp(ByteReader& rd, rAirComp& r);
void WritePhPoint(ByteWriter& w, const rPhPoint& r);
void ReadPhPoint(ByteReader& rd, rPhPoint& r);
void WriteDynRMS(ByteWriter& w, const rDynRMS& r);
void ReadDynRMS(ByteReader& rd, rDynRMS& r);
void WriteDynPeak(ByteWriter& w, const rDynPeak& r);
void ReadDynPeak(ByteReader& rd, rDynPeak& r);
void WriteSPKParams(ByteWriter& w, const rSPKParams& r);
void ReadSPKParams(ByteReader& rd, rSPKParams& r);
void WriteWayType(ByteWriter& w, const rWayType& r);
void ReadWayType(ByteReader& rd, rWayType& r);
void WriteGeq(ByteWriter& w, const rGeq& r);
void ReadGeq(ByteReader& rd, rGeq& r);
void WritePeqs(ByteWriter& w, const rPeqs& r);
void ReadPeqs(ByteReader& rd, rPeqs& r);
void WriteFir(ByteWriter& w, const rFir& r);
void ReadFir(ByteReader& rd, rFir& r);
void WriteMDynRMS(ByteWriter& w, const rMDynRMS& r);
void ReadMDynRMS(ByteReader& rd, rMDynRMS& r);
void WriteMDynPeak(ByteWriter& w, const rMDynPeak& r);
void ReadMDynPeak(ByteReader& rd, rMDynPeak& r);
void WriteMeasureSystem(ByteWriter& w, const rMeasureSystem& r);
void ReadMeasureSystem(ByteReader& rd, rMeasureSystem& r);
void WriteProcName6(ByteWriter& w, const std::string& name);
std::string ReadProcName6(ByteReader& rd);
void WriteText200(ByteWriter& w, const std::string& text);
std::string ReadText200(ByteReader& rd);

} // namespace vendrel
