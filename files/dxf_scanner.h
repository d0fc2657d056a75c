#pragma once
// Scanners that turn a DXF drawing, text or binary, into its sequence of groups (a group code and
// its value), one group per step, and the factory that picks the scanner for a stream.

#include <cstdint>
#include <istream>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include "files/dxf_types.h"

namespace vendrel {

// Result of one scan step. The ordinals follow the design's order.
enum class TDxfScanResult : uint8_t {
    scError,
    scValue,
    scEof,
    scInit,
};

// Raised when the drawing's bytes cannot be read: inside a scan step (truncated or malformed data)
// Next turns it into scError with its message; a stream that fails while SetSource reads it
// raises it to the caller.
class EDxfReadError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// Code of the current group while a step has read none yet.
inline constexpr int32_t kDxfNoGroup = 65536;

class TDxfScanner {
public:
    TDxfScanner() = default;
    TDxfScanner(const TDxfScanner&) = delete;
    TDxfScanner& operator=(const TDxfScanner&) = delete;
    virtual ~TDxfScanner();

    // One scan step: clears the current group, reads the next one and returns LastScan. A failure
    // never raises: it gives scError with the reason in ErrStr.
    TDxfScanResult Next();

    // Attaches the stream the groups come from, read from its current position. The scanner does
    // not own it; a null stream is ignored. Afterwards LastScan is scInit.
    void SetSource(std::istream* ASource);
    // The same, the scanner owning (and freeing) the stream.
    void SetSource(std::unique_ptr<std::istream> ASource);

    // Where the scanner stands, for error reports: the text scanner gives its line and offset 0,
    // the binary scanner line 0 and the bytes read since its source was set.
    virtual void GetLocationInfo(int32_t& LineNum, int32_t& Offset) const = 0;

    // The current group. A new scanner holds scError until a source is set.
    TDxfScanResult LastScan = TDxfScanResult::scError;
    TDxfType DataType = TDxfType::dtUnknown;
    std::string ErrStr;
    int32_t CodeGroup = kDxfNoGroup;
    std::string ValStr;          // text scanner: always; binary scanner: string-typed groups (UTF-8)
    int32_t ValInt = 0;          // 16-bit, 32-bit and boolean groups
    int64_t ValInt64 = 0;        // 64-bit groups (the text scanner also copies ValInt here)
    std::vector<uint8_t> ValBin; // binary chunk; not cleared between steps
    int32_t ValBinLen = 0;       // valid bytes of ValBin from the text scanner; 0 from the binary one
    double ValFloat = 0.0;

protected:
    // Reads one group; on scError the message goes to ErrMsg.
    virtual TDxfScanResult ScanGroup(std::string& ErrMsg) = 0;
    // The variant's part of SetSource, on a stream that is not null.
    virtual void AttachSource(std::istream& ASource) = 0;

private:
    std::unique_ptr<std::istream> fOwnedSrc;
};

// Scanner of the text form: the whole stream is decoded into memory when the source is set.
class TDxfAsciiScanner final : public TDxfScanner {
public:
    // Scans astr (UTF-8) instead of a stream, from its start at line 1; LastScan becomes scInit.
    void SetBuf(std::string astr);

    void GetLocationInfo(int32_t& LineNum, int32_t& Offset) const override;

protected:
    TDxfScanResult ScanGroup(std::string& ErrMsg) override;
    void AttachSource(std::istream& ASource) override;

private:
    void ConvertValue();

    std::string buf;     // the decoded drawing, UTF-8
    size_t idx = 0;      // next byte of buf
    int32_t lineNum = 0; // line of the current position, from 1
};

// Scanner of the binary form: reads the stream directly, positioned after the sentinel.
class TDxfBinaryScanner final : public TDxfScanner {
public:
    void GetLocationInfo(int32_t& LineNum, int32_t& Offset) const override;

protected:
    TDxfScanResult ScanGroup(std::string& ErrMsg) override;
    void AttachSource(std::istream& ASource) override;

private:
    std::istream* src = nullptr; // not owned here (the base holds an owned stream)
    int64_t srcStart = 0;        // stream position when the source was set
    int64_t srcPos = 0;          // stream position after the bytes read so far
    bool isEof = false;          // the "EOF" string has been read
};

// True when the next 22 bytes of Stream are the binary DXF sentinel ("AutoCAD Binary DXF", CR, LF,
// SUB, NUL). The stream is left after the bytes read; false for a null stream.
bool IsBinaryDxfStream(std::istream* Stream);

// The scanner for the drawing at Stream's position: binary (after the sentinel) or text (from the
// position as it was). Null for a null stream. The first form leaves the stream to the caller, the
// second hands it to the scanner.
std::unique_ptr<TDxfScanner> CreateDxfScanner(std::istream* Stream);
std::unique_ptr<TDxfScanner> CreateDxfScanner(std::unique_ptr<std::istream> Stream);

} // namespace vendrel
