#include "files/record_elements.h"

#include "files/record_element_transfer.h"

namespace vendrel {
namespace {

using namespace record_transfer;

constexpr auto kTransfer = [](auto& io, auto& r) { Transfer(io, r); };

#if VENDREL_STATIC_RECORD_SIZES
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

} // namespace

void WritePRJCabinet(ByteWriter& w, const rPRJCabinet& r) {
    WriteRecord(w, r, kTransfer);
}
void ReadPRJCabinet(ByteReader& rd, rPRJCabinet& r) {
    ReadRecord(rd, r, kTransfer);
}
void WritePRJCabArray(ByteWriter& w, const rPRJCabArray& r) {
    WriteRecord(w, r, kTransfer);
}
void ReadPRJCabArray(ByteReader& rd, rPRJCabArray& r) {
    ReadRecord(rd, r, kTransfer);
}
void WritePRJCluster(ByteWriter& w, const rPRJCluster& r) {
    WriteRecord(w, r, kTransfer);
}
void ReadPRJCluster(ByteReader& rd, rPRJCluster& r) {
    ReadRecord(rd, r, kTransfer);
}
void WritePRJBeamSteering(ByteWriter& w, const rPRJBeamSteering& r) {
    WriteRecord(w, r, kTransfer);
}
void ReadPRJBeamSteering(ByteReader& rd, rPRJBeamSteering& r) {
    ReadRecord(rd, r, kTransfer);
}
void WritePRJMappingZone(ByteWriter& w, const rPRJMappingZone& r) {
    WriteRecord(w, r, kTransfer);
}
void ReadPRJMappingZone(ByteReader& rd, rPRJMappingZone& r) {
    ReadRecord(rd, r, kTransfer);
}
void WritePRJOrnament(ByteWriter& w, const rPRJOrnament& r) {
    WriteRecord(w, r, kTransfer);
}
void ReadPRJOrnament(ByteReader& rd, rPRJOrnament& r) {
    ReadRecord(rd, r, kTransfer);
}
void WritePRJLayer(ByteWriter& w, const rPRJLayer& r) {
    WriteRecord(w, r, kTransfer);
}
void ReadPRJLayer(ByteReader& rd, rPRJLayer& r) {
    ReadRecord(rd, r, kTransfer);
}
void WritePRJMeasure(ByteWriter& w, const rPRJMeasure& r) {
    WriteRecord(w, r, kTransfer);
}
void ReadPRJMeasure(ByteReader& rd, rPRJMeasure& r) {
    ReadRecord(rd, r, kTransfer);
}
void WritePRJLight(ByteWriter& w, const rPRJLight& r) {
    WriteRecord(w, r, kTransfer);
}
void ReadPRJLight(ByteReader& rd, rPRJLight& r) {
    ReadRecord(rd, r, kTransfer);
}
void WritePRJSubArrangement(ByteWriter& w, const rPRJSubArrangement& r) {
    WriteRecord(w, r, kTransfer);
}
void ReadPRJSubArrangement(ByteReader& rd, rPRJSubArrangement& r) {
    ReadRecord(rd, r, kTransfer);
}
void WritePRJOverlay(ByteWriter& w, const rPRJOverlay& r) {
    WriteRecord(w, r, kTransfer);
}
void ReadPRJOverlay(ByteReader& rd, rPRJOverlay& r) {
    ReadRecord(rd, r, kTransfer);
}

} // namespace vendrel
