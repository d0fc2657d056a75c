#pragma once
// The field lists of the processor records (processor_records.h) and of the processor blob
// (dsp_cabinet.h), for the writers and readers of this
// folder: each Transfer writes, reads or measures one record (files/record_io.h).

#include "files/dsp_cabinet.h"
#include "files/processor_records.h"
#include "files/record_io.h"

#include <string_view>

namespace vendrel::record_transfer {

template <class IO, RecordOf<rGain> R> constexpr void Transfer(IO& io, R& r) {
    io.I32(r.Pol);
    io.I32(r.Mute);
    io.F64(r.Gain);
}

// `correctType`: a filter type other than Butterworth, Linkwitz-Riley or Bessel reads as
// Linkwitz-Riley, as processors store it in their input crossovers.
template <class IO, RecordOf<rXoverIIR> R> constexpr void Transfer(IO& io, R& r, bool correctType = false) {
    io.Bool(r.Active, "Active");
    if constexpr (IO::kReading) {
        if (correctType) {
            uint8_t type = 0;
            io.U8(type);
            constexpr uint8_t kLinkwitzRiley = 1;
            r.FilterType =
                static_cast<TXoverType>(type < kStoredEnumCount<TXoverType> ? type : kLinkwitzRiley);
        } else {
            io.Enum8(r.FilterType, "FilterType");
        }
    } else {
        io.Enum8(r.FilterType, "FilterType");
    }
    io.Pad(2);
    io.I32(r.fc);
    io.I32(r.order);
    io.Enum8(r.hplp, "hplp");
    io.Pad(3);
}

template <class IO, RecordOf<TXoverPair> R> constexpr void Transfer(IO& io, R& r, bool correctType = false) {
    Transfer(io, r[0], correctType);
    Transfer(io, r[1], correctType);
}

template <class IO, RecordOf<rPeq> R> constexpr void Transfer(IO& io, R& r) {
    io.Bool(r.Active, "Active");
    io.Enum8(r.FilterType, "FilterType");
    io.Pad(2);
    io.I32(r.Freq);
    io.F64(r.GdB);
    io.F64(r.Q);
}

template <class IO, RecordOf<rAirComp> R> constexpr void Transfer(IO& io, R& r) {
    io.Bool(r.Active, "Active");
    io.Pad(7);
    io.F64(r.HR);
    io.F64(r.TempC);
    io.F64(r.DistanceMeters);
}

template <class IO, RecordOf<rPhPoint> R> constexpr void Transfer(IO& io, R& r) {
    io.Bool(r.Active, "Active");
    io.Enum8(r.PointType, "PointType");
    io.Pad(2);
    io.I32(r.Freq);
    io.F64(r.Degrees);
    io.F64(r.Q);
    io.Bool(r.activado, "activado");
    io.Pad(7);
}

template <class IO, RecordOf<rDynRMS> R> constexpr void Transfer(IO& io, R& r) {
    const size_t start = io.Position();
    io.Bool(r.Active, "Active");
    io.Enum8(r.DynType, "DynType");
    io.Pad(2);
    io.I32(r.PostGain);
    io.Bool(r.AutoTimeConstant, "AutoTimeConstant");
    io.Pad(3);
    io.I32(r.NoiseGate);
    io.Bool(r.NoiseGateActive, "NoiseGateActive");
    io.Pad(3);
    io.At(start, 20);
    io.I32(r.Watts);
    io.F64(r.Volts);
    io.F64(r.Attack);
    io.F64(r.Hold);
    io.F64(r.Release);
    io.F64(r.Threshold);
    io.At(start, 64);
    io.I32(r.Knee);
    io.I32(r.Ratio);
    io.Enum8(r.ThresholdType, "ThresholdType");
    io.Pad(7);
}

template <class IO, RecordOf<rDynPeak> R> constexpr void Transfer(IO& io, R& r) {
    const size_t start = io.Position();
    io.Bool(r.Active, "Active");
    io.Bool(r.AutoTimeConstant, "AutoTimeConstant");
    io.Pad(2);
    io.I32(r.Watts);
    io.F64(r.Volts);
    io.F64(r.Hold);
    io.F64(r.Release);
    io.F64(r.Threshold);
    io.At(start, 40);
    io.I32(r.Knee);
    io.Enum8(r.ThresholdType, "ThresholdType");
    io.Pad(3);
}

template <class IO, RecordOf<rSPKParams> R> constexpr void Transfer(IO& io, R& r) {
    const size_t start = io.Position();
    io.I32(r.SPKPower);
    io.I32(r.AMPPower);
    io.Bool(r.BalancedSGN, "BalancedSGN");
    io.Pad(3);
    io.I32(r.NAmp);
    io.F64(r.GainLineal);
    io.F64(r.GaindB);
    io.At(start, 32);
    io.Enum8(r.SPKImpedanceID, "SPKImpedanceID");
    io.Pad(7);
    io.F64(r.SPKImpedance);
    io.Bool(r.Bridge, "Bridge");
    io.Pad(7);
}

template <class IO, RecordOf<rWayType> R> constexpr void Transfer(IO& io, R& r) {
    io.Enum8(r.WayType, "WayType");
    io.Bool(r.HasResistor, "HasResistor");
}

template <class IO, RecordOf<rGeq> R> constexpr void Transfer(IO& io, R& r) {
    io.Bool(r.Active, "Active");
    io.Enum8(r.GeqType, "GeqType");
    io.Enum8(r.Bands, "Bands");
    const size_t n = GeqGainCount(r.Bands);
    if (n == 0) {
        io.Refuse("a graphic equaliser with user bands");
    }
    io.ForCount(r.Gains, static_cast<int64_t>(n), 8, "graphic equaliser gains");
    for (auto& g : r.Gains) {
        io.F64(g);
    }
}

template <class IO, RecordOf<rPeqs> R> constexpr void Transfer(IO& io, R& r) {
    if constexpr (IO::kReading) {
        r.Active = false; // not stored
    }
    io.Count(r.Peqs, kPeqSize, "parametric bands");
    for (auto& p : r.Peqs) {
        Transfer(io, p);
    }
}

template <class IO, RecordOf<rFir> R> constexpr void Transfer(IO& io, R& r) {
    if constexpr (IO::kReading) {
        r.MaxTaps = 0; // not stored
    }
    io.Bool(r.Active, "Active");
    io.Enum8(r.FirType, "FirType");
    io.I32(r.fc1);
    io.I32(r.fc2);
    io.I32(r.hplp);
    io.Bool(r.AutoLatency, "AutoLatency");
    io.Count(r.Coefs, 8, "FIR taps"); // UseNTaps
    io.Bool(r.UseAllTaps, "UseAllTaps");
    io.Count(r.MgPoints, kPeqSize, "FIR magnitude points");
    io.Count(r.PhPoints, kPhPointSize, "FIR phase points");
    for (auto& p : r.MgPoints) {
        Transfer(io, p);
    }
    Transfer(io, r.MgXoverHP);
    Transfer(io, r.MgXoverLP);
    for (auto& p : r.PhPoints) {
        Transfer(io, p);
    }
    for (auto& c : r.Coefs) {
        io.F64(c);
    }
}

template <class IO, class R>
requires RecordOf<R, rMDynRMS> || RecordOf<R, rMDynPeak>
constexpr void Transfer(IO& io, R& r) {
    constexpr size_t dynSize = RecordOf<R, rMDynRMS> ? kDynRMSSize : kDynPeakSize;
    io.Count(r.Xovers, 2 * kXoverIIRSize + dynSize, "dynamics ways");
    io.ForCount(r.Dyn, static_cast<int64_t>(r.Xovers.size()), dynSize, "dynamics ways");
    for (auto& x : r.Xovers) {
        Transfer(io, x);
    }
    for (auto& d : r.Dyn) {
        Transfer(io, d);
    }
}

template <class IO, RecordOf<rMeasureSystem> R> constexpr void Transfer(IO& io, R& r) {
    io.Enum8(r.MeaSystem, "MeaSystem");
    io.Count(r.Frequencies, 4 + 3 * 8, "measured points");
    const auto n = static_cast<int64_t>(r.Frequencies.size());
    io.ForCount(r.ResponseMgdB, n, 8, "measured magnitudes");
    io.ForCount(r.ResponsePhRad, n, 8, "measured phases");
    io.ForCount(r.ResponsePhUnWrappedRad, n, 8, "measured unwrapped phases");
    io.F64(r.ReferenceSpl);
    for (auto& f : r.Frequencies) {
        io.I32(f);
    }
    for (auto& v : r.ResponseMgdB) {
        io.F64(v);
    }
    for (auto& v : r.ResponsePhRad) {
        io.F64(v);
    }
    for (auto& v : r.ResponsePhUnWrappedRad) {
        io.F64(v);
    }
}

template <class IO, RecordOf<rDSPHeaderFile> R> constexpr void Transfer(IO& io, R& h) {
    const size_t start = io.Position();
    io.Str(h.HardType, 23, "HardType");
    io.I32(h.FileMajorVer);
    io.I32(h.FileMinorVer);
    io.Str(h.BrandName, 22, "BrandName");
    io.Str(h.ModelName, 22, "ModelName");
    io.Str(h.ProjectName, 22, "ProjectName");
    io.Str(h.Engineer, 22, "Engineer");
    io.Str(h.Comments, 200, "Comments");
    io.At(start, 325);
    io.U8(h.MajorVersion);
    io.U8(h.MinorVersion);
    io.U8(h.ReleaseVersion);
    io.U8(h.BuildVersion);
    io.Pad(3);
    io.I32(h.NUses);
    io.I32(h.NPresets);
    io.I32(h.NOutputs);
    io.I32(h.DefaultPreset);
    io.Enum32(h.SampleRate, "SampleRate");
    io.U8(h.PresetMajorVer);
    io.U8(h.PresetMinorVer);
    io.U8(h.PresetReleaseVern);
    io.U8(h.PresetBuildVer);
    io.Pad(8); // the stored part of NewData
}

// One optional list of the blob: its flag byte, then, when set, `count` entries.
template <class IO, class Flag, class List, class Each>
constexpr void Flagged(IO& io, Flag& flag, const char* flagName, List& list, int32_t count, size_t minSize,
                       const char* what, Each each) {
    io.Bool(flag, flagName);
    if (!flag) {
        if constexpr (IO::kReading) {
            list.clear();
        }
        return;
    }
    io.ForCount(list, count, minSize, what);
    for (auto& entry : list) {
        each(entry);
    }
}

inline std::string_view TrimBlanks(std::string_view s) {
    const size_t first = s.find_first_not_of(' ');
    if (first == std::string_view::npos) {
        return {};
    }
    return s.substr(first, s.find_last_not_of(' ') - first + 1);
}

// The blob; when reading, one whose hardware type is not `expectedHardType` is refused.
template <class IO, RecordOf<TDspCabinet> R>
constexpr void Transfer(IO& io, R& b, std::string_view expectedHardType = {}) {
    Transfer(io, b.Header);
    if constexpr (IO::kReading) {
        if (TrimBlanks(b.Header.HardType) != TrimBlanks(expectedHardType)) {
            io.Refuse("the processor settings are for the hardware \"" + b.Header.HardType +
                      "\", not for this program");
        }
    }
    const int32_t nIn = b.Header.NUses;
    const int32_t nOut = b.Header.NOutputs;
    auto each = [&io](auto& e) { Transfer(io, e); };
    auto name6 = [&io](auto& s) { io.Padded(s, 6, "name"); };
    auto xoverIn = [&io](auto& x) { Transfer(io, x, true); };
    auto delay = [&io](auto& d) { io.I32(d); };
    io.Bool(b.isEmpty, "isEmpty");
    Flagged(io, b.HasUsesName, "HasUsesName", b.UsesName, nIn, kProcName6Size, "input names", name6);
    Flagged(io, b.HasUsesInfo, "HasUsesInfo", b.UsesInfo, nIn, kText200Size, "input descriptions",
            [&io](auto& s) { io.Padded(s, 200, "description"); });
    Flagged(io, b.HasUsesGain, "HasUsesGain", b.UsesGain, nIn, kGainSize, "input gains", each);
    Flagged(io, b.HasUsesDelay, "HasUsesDelay", b.UsesDelay, nIn, 4, "input delays", delay);
    Flagged(io, b.HasUsesXover, "HasUsesXover", b.UsesXover, nIn, 2 * kXoverIIRSize, "input crossovers",
            xoverIn);
    Flagged(io, b.HasUsesGeq, "HasUsesGeq", b.UsesGeq, nIn, 3 + 10 * 8, "input graphic equalisers", each);
    Flagged(io, b.HasUsesPeq, "HasUsesPeq", b.UsesPeq, nIn, 4, "input parametric banks", each);
    Flagged(io, b.HasUsesAirComp, "HasUsesAirComp", b.UsesAirComp, nIn, kAirCompSize,
            "input air compensations", each);
    Flagged(io, b.HasUsesFir, "HasUsesFir", b.UsesFir, nIn, kFirHeadSize + 2 * kXoverIIRSize,
            "input FIR filters", each);
    Flagged(io, b.HasOutputName, "HasOutputName", b.OutputName, nOut, kProcName6Size, "output names", name6);
    Flagged(io, b.HasOutputGain, "HasOutputGain", b.OutputGain, nOut, kGainSize, "output gains", each);
    Flagged(io, b.HasOutputDelay, "HasOutputDelay", b.OutputDelay, nOut, 4, "output delays", delay);
    Flagged(io, b.HasOutputGeq, "HasOutputGeq", b.OutputGeq, nOut, 3 + 10 * 8, "output graphic equalisers",
            each);
    Flagged(io, b.HasOutputPeq, "HasOutputPeq", b.OutputPeq, nOut, 4, "output parametric banks", each);
    Flagged(io, b.HasOutputXover, "HasOutputXover", b.OutputXover, nOut, 2 * kXoverIIRSize,
            "output crossovers", each);
    Flagged(io, b.HasOutputAirComp, "HasOutputAirComp", b.OutputAirComp, nOut, kAirCompSize,
            "output air compensations", each);
    Flagged(io, b.HasOutputFir, "HasOutputFir", b.OutputFir, nOut, kFirHeadSize + 2 * kXoverIIRSize,
            "output FIR filters", each);
    Flagged(io, b.HasOutputDynRMS, "HasOutputDynRMS", b.OutputDynRMS, nOut, 4, "output RMS dynamics", each);
    Flagged(io, b.HasOutputDynPeak, "HasOutputDynPeak", b.OutputDynPeak, nOut, 4, "output peak dynamics",
            each);
    Flagged(io, b.HasOutputType, "HasOutputType", b.OutputType, nOut, kWayTypeSize, "output types", each);
    Flagged(io, b.HasOutputSpeakerParams, "HasOutputSpeakerParams", b.OutputSpeakerParams, nOut,
            kSPKParamsSize, "output speaker parameters", each);
    Flagged(io, b.HasOutputMeasureSystem, "HasOutputMeasureSystem", b.OutputMeasureSystems, nOut, 13,
            "output measurements", each);
    io.I32(b.ReferenceChannel);
    io.Bool(b.OpenClosePswAct, "OpenClosePswAct");
    for (auto& c : b.OpenClosePsw) {
        io.U8(c);
    }
    io.I32(b.EndUserAllowInputDspControl);
    io.I32(b.EndUserAllowOutputDspControl);
    io.Pad(128); // NewData
}

} // namespace vendrel::record_transfer
