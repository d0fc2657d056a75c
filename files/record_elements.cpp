#include "files/record_elements.h"

#include "files/record_element_transfer.h"

namespace vendrel {
namespace {

using namespace record_transfer;

#if VENDREL_STATIC_RECORD_SIZES
constexpr auto kTransfer = [](auto& io, auto& r) { Transfer(io, r); };
static_assert(SizeOf<rPRJCabinet>(kTransfer) == kPRJCabinetSize);
static_assert(SizeOf<rPRJArrayItem>(kTransfer) == kPRJArrayItemSize);
static_assert(SizeOf<rPRJArrayItem>([](auto& io, auto& r) { Transfer(io, r, true); }) ==
              kPRJSubArrangementItemSize);
static_assert(SizeOf<rPRJCabArray>(kTransfer) == kPRJCabArraySize);
static_assert(SizeOf<rPRJCluster>(kTransfer) == kPRJClusterSize);
static_assert(SizeOf<rPRJSingleBeam>(kTransfer) == kPRJSingleBeamSize);
static_assert(SizeOf<rPRJBeamSteering>(kTransfer) == kPRJBeamSteeringSize);
static_assert(SizeOf<rPRJMappingZone>(kTransfer) == kPRJMappingZoneSize);
static_assert(SizeOf<rPRJOrnament>(kTransfer) == kPRJOrnamentSize);
static_assert(SizeOf<rPRJLayer>(kTransfer) == kPRJLayerSize);
static_assert(SizeOf<rPRJMeasure>(kTransfer) == kPRJMeasureSize);
static_assert(SizeOf<rPRJLight>(kTransfer) == kPRJLightSize);
static_assert(SizeOf<rPRJSubArrangement>(kTransfer) == kPRJSubArrangementSize);
static_assert(SizeOf<rPRJOverlay>(kTransfer) == kPRJOverlaySize);
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

void WritePRJCabinet(ByteWriter& w, const rPRJCabinet& r) {
    Write(w, r);
}
void ReadPRJCabinet(ByteReader& rd, rPRJCabinet& r) {
    Read(rd, r);
}
void WritePRJCabArray(ByteWriter& w, const rPRJCabArray& r) {
    Write(w, r);
}
void ReadPRJCabArray(ByteReader& rd, rPRJCabArray& r) {
    Read(rd, r);
}
void WritePRJCluster(ByteWriter& w, const rPRJCluster& r) {
    Write(w, r);
}
void ReadPRJCluster(ByteReader& rd, rPRJCluster& r) {
    Read(rd, r);
}
void WritePRJBeamSteering(ByteWriter& w, const rPRJBeamSteering& r) {
    Write(w, r);
}
void ReadPRJBeamSteering(ByteReader& rd, rPRJBeamSteering& r) {
    Read(rd, r);
}
void WritePRJMappingZone(ByteWriter& w, const rPRJMappingZone& r) {
    Write(w, r);
}
void ReadPRJMappingZone(ByteReader& rd, rPRJMappingZone& r) {
    Read(rd, r);
}
void WritePRJOrnament(ByteWriter& w, const rPRJOrnament& r) {
    Write(w, r);
}
void ReadPRJOrnament(ByteReader& rd, rPRJOrnament& r) {
    Read(rd, r);
}
void WritePRJLayer(ByteWriter& w, const rPRJLayer& r) {
    Write(w, r);
}
void ReadPRJLayer(ByteReader& rd, rPRJLayer& r) {
    Read(rd, r);
}
void WritePRJMeasure(ByteWriter& w, const rPRJMeasure& r) {
    Write(w, r);
}
void ReadPRJMeasure(ByteReader& rd, rPRJMeasure& r) {
    Read(rd, r);
}
void WritePRJLight(ByteWriter& w, const rPRJLight& r) {
    Write(w, r);
}
void ReadPRJLight(ByteReader& rd, rPRJLight& r) {
    Read(rd, r);
}
void WritePRJSubArrangement(ByteWriter& w, const rPRJSubArrangement& r) {
    Write(w, r);
}
void ReadPRJSubArrangement(ByteReader& rd, rPRJSubArrangement& r) {
    Read(rd, r);
}
void WritePRJOverlay(ByteWriter& w, const rPRJOverlay& r) {
    Write(w, r);
}
void ReadPRJOverlay(ByteReader& rd, rPRJOverlay& r) {
    Read(rd, r);
}

} // namespace vendrel
