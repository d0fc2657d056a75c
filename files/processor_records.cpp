#include "files/processor_records.h"

#include "files/processor_transfer.h"

#include "dsp/dsp_space.h"

namespace vendrel {
namespace {

using namespace record_transfer;

constexpr auto kTransfer = [](auto& io, auto& r) { Transfer(io, r); };

#if VENDREL_STATIC_RECORD_SIZES
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
    WriteRecord(w, r, kTransfer);
}
void ReadGain(ByteReader& rd, rGain& r) {
    ReadRecord(rd, r, kTransfer);
}
void WriteXoverIIR(ByteWriter& w, const rXoverIIR& r) {
    WriteRecord(w, r, kTransfer);
}
void ReadXoverIIR(ByteReader& rd, rXoverIIR& r) {
    ReadRecord(rd, r, kTransfer);
}
void WritePeq(ByteWriter& w, const rPeq& r) {
    WriteRecord(w, r, kTransfer);
}
void ReadPeq(ByteReader& rd, rPeq& r) {
    ReadRecord(rd, r, kTransfer);
}
void WriteAirComp(ByteWriter& w, const rAirComp& r) {
    WriteRecord(w, r, kTransfer);
}
void ReadAirComp(ByteReader& rd, rAirComp& r) {
    ReadRecord(rd, r, kTransfer);
}
void WritePhPoint(ByteWriter& w, const rPhPoint& r) {
    WriteRecord(w, r, kTransfer);
}
void ReadPhPoint(ByteReader& rd, rPhPoint& r) {
    ReadRecord(rd, r, kTransfer);
}
void WriteDynRMS(ByteWriter& w, const rDynRMS& r) {
    WriteRecord(w, r, kTransfer);
}
void ReadDynRMS(ByteReader& rd, rDynRMS& r) {
    ReadRecord(rd, r, kTransfer);
}
void WriteDynPeak(ByteWriter& w, const rDynPeak& r) {
    WriteRecord(w, r, kTransfer);
}
void ReadDynPeak(ByteReader& rd, rDynPeak& r) {
    ReadRecord(rd, r, kTransfer);
}
void WriteSPKParams(ByteWriter& w, const rSPKParams& r) {
    WriteRecord(w, r, kTransfer);
}
void ReadSPKParams(ByteReader& rd, rSPKParams& r) {
    ReadRecord(rd, r, kTransfer);
}
void WriteWayType(ByteWriter& w, const rWayType& r) {
    WriteRecord(w, r, kTransfer);
}
void ReadWayType(ByteReader& rd, rWayType& r) {
    ReadRecord(rd, r, kTransfer);
}
void WriteGeq(ByteWriter& w, const rGeq& r) {
    WriteRecord(w, r, kTransfer);
}
void ReadGeq(ByteReader& rd, rGeq& r) {
    ReadRecord(rd, r, kTransfer);
}
void WritePeqs(ByteWriter& w, const rPeqs& r) {
    WriteRecord(w, r, kTransfer);
}
void ReadPeqs(ByteReader& rd, rPeqs& r) {
    ReadRecord(rd, r, kTransfer);
}
void WriteFir(ByteWriter& w, const rFir& r) {
    WriteRecord(w, r, kTransfer);
}
void ReadFir(ByteReader& rd, rFir& r) {
    ReadRecord(rd, r, kTransfer);
}
void WriteMDynRMS(ByteWriter& w, const rMDynRMS& r) {
    WriteRecord(w, r, kTransfer);
}
void ReadMDynRMS(ByteReader& rd, rMDynRMS& r) {
    ReadRecord(rd, r, kTransfer);
}
void WriteMDynPeak(ByteWriter& w, const rMDynPeak& r) {
    WriteRecord(w, r, kTransfer);
}
void ReadMDynPeak(ByteReader& rd, rMDynPeak& r) {
    ReadRecord(rd, r, kTransfer);
}
void WriteMeasureSystem(ByteWriter& w, const rMeasureSystem& r) {
    WriteRecord(w, r, kTransfer);
}
void ReadMeasureSystem(ByteReader& rd, rMeasureSystem& r) {
    ReadRecord(rd, r, kTransfer);
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
