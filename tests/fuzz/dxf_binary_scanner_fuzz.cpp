// Feeds arbitrary bytes, behind the binary DXF sentinel, to the binary scanner, then to the whole
// reader.

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <sstream>
#include <string>

#include "files/dxf_reader.h"
#include "files/dxf_scanner.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace vendrel;
    static const std::string sentinel("AutoCAD Binary DXF\r\n\x1a\0", 22);
    // Seeds are whole binary drawings; other inputs get the sentinel in front.
    std::string bytes(reinterpret_cast<const char*>(data), size);
    if (bytes.compare(0, sentinel.size(), sentinel) != 0) {
        bytes.insert(0, sentinel);
    }
    {
        std::istringstream in(bytes);
        auto s = CreateDxfScanner(&in);
        if (dynamic_cast<TDxfBinaryScanner*>(s.get()) == nullptr) {
            std::abort();
        }
        // Every group takes at least its two code bytes; no value holds more than the input.
        size_t groups = 0;
        while (s->Next() == TDxfScanResult::scValue) {
            int32_t line = 0, offset = 0;
            s->GetLocationInfo(line, offset);
            if (++groups > bytes.size() / 2 || s->ValBin.size() > 255 ||
                s->ValStr.size() > 2 * bytes.size() ||
                static_cast<size_t>(offset) > bytes.size() - sentinel.size()) {
                std::abort();
            }
        }
        if (s->LastScan == TDxfScanResult::scEof && s->Next() != TDxfScanResult::scEof) {
            std::abort();
        }
    }
    std::istringstream in(bytes);
    TDxfFile dxf;
    LoadDxfStream(in, dxf);
    return 0;
}
