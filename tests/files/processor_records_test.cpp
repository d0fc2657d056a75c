// The processor records and the processor blob.

#include "record_samples.h"

#include "platform/core/byte_stream.h"
#include "platform/core/numeric.h"

#include <gtest/gtest.h>

namespace vendrel {
namespace {

using namespace samples;

template <class Record, class WriteFn> std::vector<uint8_t> Bytes(const Record& r, WriteFn write) {
    ByteWriter w;
    write(w, r);
    return w.Take();
}

TDspCabinet RoundTrip(const TDspCabinet& blob, std::string_view hardType = "") {
    const auto bytes = Bytes(blob, WriteDspCabinet);
    ByteReader r(bytes);
    TDspCabinet read;
    ReadDspCabinet(r, read, hardType);
    EXPECT_EQ(r.Remaining(), 0u);
    return read;
}

TEST(ProcessorBlob, InputListsHoldOneEntryPerInputWhenWrittenAndWhenRead) {
    TDspCabinet blob;
    blob.Header.NUses = 2;
    blob.Header.NPresets = 5; // not the count of the input lists
    blob.HasUsesGain = blob.HasUsesDelay = blob.HasUsesName = true;
    blob.UsesGain = {{1, 0, -2}, {0, 1, 4}};
    blob.UsesDelay = {3, 9};
    blob.UsesName = {"Left", "Right"};
    EXPECT_TRUE(RoundTrip(blob) == blob);

    blob.UsesDelay = {3};
    EXPECT_THROW(Bytes(blob, WriteDspCabinet), ERangeError);
}

TEST(ProcessorBlob, SpeakerParametersTakeTheirFullImageBothWays) {
    TDspCabinet blob;
    blob.Header.NOutputs = 1;
    blob.HasOutputSpeakerParams = blob.HasOutputType = true;
    blob.OutputSpeakerParams = {{600, 1200, true, 2, 1.5, 3.52, Ord<TSPKImpedance>(7), 6.5, true}};
    blob.OutputType = {{Ord<TWayType>(6), true}};
    EXPECT_EQ(Bytes(blob, WriteDspCabinet).size(), kEmptyDspCabinetSize + kSPKParamsSize + kWayTypeSize);
    // The custom impedance keeps its stored value; the way type after it still reads right.
    EXPECT_TRUE(RoundTrip(blob) == blob);
}

TEST(ProcessorBlob, InputCrossoverTypesOutOfRangeReadAsLinkwitzRileyOutputOnesAreRefused) {
    TDspCabinet blob;
    blob.Header.NUses = 1;
    blob.Header.NOutputs = 1;
    blob.HasUsesXover = blob.HasOutputXover = true;
    blob.UsesXover = {{Xover(true, 0, 80, 2, 1), Xover(true, 2, 900, 2, 0)}};
    blob.OutputXover = {{Xover(true, 0, 80, 2, 1), Xover(true, 0, 900, 2, 0)}};
    auto bytes = Bytes(blob, WriteDspCabinet);
    // Layout: header, isEmpty, 4 clear input flags before the crossover flag, then the pair.
    const size_t inPair = kDSPHeaderStoredSize + 1 + 4 + 1;
    bytes[inPair + 1] = 5;
    bytes[inPair + kXoverIIRSize + 1] = 200;
    {
        ByteReader r(bytes);
        TDspCabinet read;
        ReadDspCabinet(r, read, "");
        EXPECT_EQ(read.UsesXover[0][0].FilterType, Ord<TXoverType>(1));
        EXPECT_EQ(read.UsesXover[0][1].FilterType, Ord<TXoverType>(1));
        EXPECT_EQ(read.UsesXover[0][1].fc, 900);
    }
    // Output: 4 more input flags, 4 clear output flags (name, gain, delay, geq... peq), then the pair.
    const size_t outPair = inPair + 2 * kXoverIIRSize + 4 + 5 + 1;
    ASSERT_EQ(bytes[outPair - 1], 1);
    bytes[outPair + 1] = 5;
    ByteReader r(bytes);
    TDspCabinet read;
    EXPECT_THROW(ReadDspCabinet(r, read, ""), EReadError);
}

TEST(ProcessorBlob, OnlyBlobsOfTheExpectedHardwareAreRead) {
    TDspCabinet blob = ProcessBlob();
    EXPECT_TRUE(RoundTrip(blob) == blob);
    blob.Header.HardType = " DSP-4 ";
    EXPECT_TRUE(RoundTrip(blob, "DSP-4") == blob);
    const auto bytes = Bytes(blob, WriteDspCabinet);
    ByteReader r(bytes);
    TDspCabinet read = ProcessBlob();
    EXPECT_THROW(ReadDspCabinet(r, read, ""), EReadError);
    EXPECT_TRUE(read == ProcessBlob());
}

TEST(ProcessorRecords, NamesAreBlankPaddedToSixCharacters) {
    const struct {
        const char* name;
        std::vector<uint8_t> stored;
        const char* readBack;
    } cases[] = {
        {"NineChars", {6, 'N', 'i', 'n', 'e', 'C', 'h'}, "NineCh"},
        {"ab", {6, 'a', 'b', ' ', ' ', ' ', ' '}, "ab"},
        {"", {6, ' ', ' ', ' ', ' ', ' ', ' '}, ""},
        {"Sub é", {6, 'S', 'u', 'b', ' ', 0xE9, ' '}, "Sub é"},
    };
    for (const auto& c : cases) {
        ByteWriter w;
        WriteProcName6(w, c.name);
        EXPECT_EQ(w.Data(), c.stored) << c.name;
        ByteReader r(w.Data());
        EXPECT_EQ(ReadProcName6(r), c.readBack);
    }
    ByteWriter w;
    WriteText200(w, "Left input");
    EXPECT_EQ(w.Position(), kText200Size);
    ByteReader r(w.Data());
    EXPECT_EQ(ReadText200(r), "Left input");
}

TEST(ProcessorRecords, WhatIsNotStoredReadsBackCleared) {
    rPeqs bank{true, {Peq(true, 3, 1000, 2, 0.7)}};
    const auto bankBytes = Bytes(bank, WritePeqs);
    ByteReader pr(bankBytes);
    rPeqs bankRead;
    ReadPeqs(pr, bankRead);
    EXPECT_FALSE(bankRead.Active);
    EXPECT_EQ(bankRead.Peqs, bank.Peqs);

    rFir fir;
    fir.MaxTaps = 4096;
    fir.Coefs = {1, 2};
    const auto firBytes = Bytes(fir, WriteFir);
    ByteReader fr(firBytes);
    rFir firRead;
    ReadFir(fr, firRead);
    EXPECT_EQ(firRead.MaxTaps, 0);
    EXPECT_EQ(firRead.Coefs, fir.Coefs);
}

TEST(ProcessorRecords, GraphicEqualisersHoldTheGainsOfTheirBandsAndUserBandsAreRefused) {
    rGeq geq{true, Ord<TGeqType>(0), Ord<TGeqBands>(1), std::vector<double>(20, 1.5)};
    const auto bytes = Bytes(geq, WriteGeq);
    ByteReader r(bytes);
    rGeq read;
    ReadGeq(r, read);
    EXPECT_EQ(read, geq);

    geq.Gains.resize(19);
    EXPECT_THROW(Bytes(geq, WriteGeq), ERangeError);
    geq.Bands = Ord<TGeqBands>(4);
    EXPECT_THROW(Bytes(geq, WriteGeq), ERangeError);
    const std::vector<uint8_t> userBands = {1, 0, 4, 0, 0, 0, 0, 0, 0, 0, 0};
    ByteReader ur(userBands);
    EXPECT_THROW(ReadGeq(ur, read), EReadError);
}

TEST(ProcessorRecords, ListsOfAMeasurementOrOfDynamicsMustAgreeInLength) {
    rMeasureSystem m{Ord<TMeasureSystemBrand>(21), 90, {100, 200}, {1, 2}, {3, 4}, {5}};
    EXPECT_THROW(Bytes(m, WriteMeasureSystem), ERangeError);
    m.ResponsePhUnWrappedRad.push_back(6);
    const auto bytes = Bytes(m, WriteMeasureSystem);
    ByteReader r(bytes);
    rMeasureSystem read;
    ReadMeasureSystem(r, read);
    EXPECT_EQ(read, m);

    rMDynPeak dyn{{TXoverPair{}, TXoverPair{}}, {rDynPeak{}}};
    EXPECT_THROW(Bytes(dyn, WriteMDynPeak), ERangeError);
}

} // namespace
} // namespace vendrel
