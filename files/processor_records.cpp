#include "files/processor_records.h"

#include "files/processor_transfer.h"

#include "dsp/dsp_space.h"

namespace vendrel {
namespace {

using namespace record_transfer;

#if VENDREL_STATIC_RECORD_SIZES
constexpr auto kTransfer = [](auto& io, auto& r) { Transfer(io, r); };
static_assert(SizeOf<rGain>(kTransfer) == kGainSize);
static_assert(SizeOf<rXoverIIR>(kTransfer) == kXoverIIRSize);
static_assert(SizeOf<rPeq>(kTransfer) == kPeqSize);
static_assert(SizeOf<rAirComp>(kTransfer) == kAirCompSize);
static_assert(SizeOf<rPhPoint>(kTransfer) == kPhPointSize);
static_assert(SizeOf<rDynRMS>(kTransfer) == kDynRMSSize);
static_assert(SizeOf<rDynPeak>(kTransfer) == kDynPeakSize);
static_assert(SizeOf<rSPKParams>(kTransfer) == kSPKParamsSize);
static_assert(SizeOf<rWayType>(kTransfer) == kWayTypeSize);
static_assert(SizeOf<rPeqs>(kTransfer) == 4);
static_assert(SizeOf<rFir>(kTransfer) == kFirHeadSize + 2 * kXoverIIRSize);
static_assert(SizeOf<rMDynRMS>(kTransfer) == 4);
static_assert(SizeOf<rMDynPeak>(kTransfer) == 4);
static_assert(SizeOf<rMeasureSystem>(kTransfer) == 13);
#endif

template <class Record> void Write(ByteWriter& w, const Record& r) {
    RecordWriter io(w);
    Transfer(io, r);
}

// Reads into a fresh record and hands it over whole, so a refused read leaves the caller's as it was.
template <class Record> void Read(ByteReader& rd, Record& r) {
    RecordReader io(rd);
    Record read;
    Transfer(io, read);
    r = std::move(read);
}

} // namespace

size_t GeqGainCount(TGeqBands bands) {
    switch (bands) {
    case TGeqBands::qzBand_1_3_Octave:
        return 31;
    case TGeqBands::qzBand_1_2_Octave:
        return 20;
    case TGeqBands::qzBand_2_3_Octave:
        return 15;
    case TGeqBands::qzBand_1_Octave:
        return 10;
    default: // user bands
        return 0;
    }
}

void WriteGain(ByteWriter& w, const rGain& r) {
    Write(w, r);
}
void ReadGain(ByteReader& rd, rGain& r) {
    Read(rd, r);
}
void WriteXoverIIR(ByteWriter& w, const rXoverIIR& r) {
    Write(w, r);
}
void ReadXoverIIR(ByteReader& rd, rXoverIIR& r) {
    Read(rd, r);
}
void WritePeq(ByteWriter& w, const rPeq& r) {
    Write(w, r);
}
void ReadPeq(ByteReader& rd, rPeq& r) {
    Read(rd, r);
}
void WriteAirComp(ByteWriter& w, const rAirComp& r) {
    Write(w, r);
}
void ReadAirComp(ByteReader& rd, rAirComp& r) {
    Read(rd, r);
}
void WritePhPoint(ByteWriter& w, const rPhPoint& r) {
    Write(w, r);
}
void ReadPhPoint(ByteReader& rd, rPhPoint& r) {
    Read(rd, r);
}
void WriteDynRMS(ByteWriter& w, const rDynRMS& r) {
    Write(w, r);
}
void ReadDynRMS(ByteReader& rd, rDynRMS& r) {
    Read(rd, r);
}
void WriteDynPeak(ByteWriter& w, const rDynPeak& r) {
    Write(w, r);
}
void ReadDynPeak(ByteReader& rd, rDynPeak& r) {
    Read(rd, r);
}
void WriteSPKParams(ByteWriter& w, const rSPKParams& r) {
    Write(w, r);
}
void ReadSPKParams(ByteReader& rd, rSPKParams& r) {
    Read(rd, r);
}
void WriteWayType(ByteWriter& w, const rWayType& r) {
    Write(w, r);
}
void ReadWayType(ByteReader& rd, rWayType& r) {
    Read(rd, r);
}
void WriteGeq(ByteWriter& w, const rGeq& r) {
    Write(w, r);
}
void ReadGeq(ByteReader& rd, rGeq& r) {
    Read(rd, r);
}
void WritePeqs(ByteWriter& w, const rPeqs& r) {
    Write(w, r);
}
void ReadPeqs(ByteReader& rd, rPeqs& r) {
    Read(rd, r);
}
void WriteFir(ByteWriter& w, const rFir& r) {
    Write(w, r);
}
void ReadFir(ByteReader& rd, rFir& r) {
    Read(rd, r);
}
void WriteMDynRMS(ByteWriter& w, const rMDynRMS& r) {
    Write(w, r);
}
void ReadMDynRMS(ByteReader& rd, rMDynRMS& r) {
    Read(rd, r);
}
void WriteMDynPeak(ByteWriter& w, const rMDynPeak& r) {
    Write(w, r);
}
void ReadMDynPeak(ByteReader& rd, rMDynPeak& r) {
    Read(rd, r);
}
void WriteMeasureSystem(ByteWriter& w, const rMeasureSystem& r) {
    Write(w, r);
}
void ReadMeasureSystem(ByteReader& rd, rMeasureSystem& r) {
    Read(rd, r);
}

void WriteProcName6(ByteWriter& w, const std::string& name) {
    RecordWriter(w).Padded(name, 6, "name");
}
std::string ReadProcName6(ByteReader& rd) {
    std::string s;
    RecordReader(rd).Padded(s, 6, "name");
    return s;
}
void WriteText200(ByteWriter& w, const std::string& text) {
    RecordWriter(w).Padded(text, 200, "text");
}
std::string ReadText200(ByteReader& rd) {
    std::string s;
    RecordReader(rd).Padded(s, 200, "text");
    return s;
}

} // namespace vendrel
