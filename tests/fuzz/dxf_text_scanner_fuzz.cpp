// Feeds arbitrary bytes to the text DXF scanner, then to the whole reader.

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <sstream>
#include <string>

#include "files/dxf_reader.h"
#include "files/dxf_scanner.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace vendrel;
    const std::string bytes(reinterpret_cast<const char*>(data), size);
    {
        std::istringstream in(bytes);
        TDxfAsciiScanner s;
        s.SetSource(&in);
        // Every group takes at least two characters, and decoding at most triples a byte.
        const size_t maxGroups = 3 * size / 2 + 1;
        size_t groups = 0;
        while (s.Next() == TDxfScanResult::scValue) {
            if (++groups > maxGroups || static_cast<size_t>(s.ValBinLen) > s.ValStr.size() / 2 ||
                s.ValStr.size() > 3 * size) {
                std::abort();
            }
        }
        // The end stays the end.
        if (s.LastScan == TDxfScanResult::scEof && s.Next() != TDxfScanResult::scEof) {
            std::abort();
        }
    }
    std::istringstream in(bytes);
    TDxfFile dxf;
    LoadDxfStream(in, dxf);
    return 0;
}
