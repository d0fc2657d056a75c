// Feeds arbitrary bytes to the QZTF transfer-function reader.

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <span>

#include "dsp/measure_files.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace vendrel;
    rQZTFFile file;
    if (!ReadQZTFBytes(std::span<const uint8_t>(data, size), file)) {
        return 0;
    }
    // Every preset announced is there, each at most as long as the header's point count, and no
    // more presets than the input has room for.
    const auto& h = file.Header;
    if (file.Presets.size() != static_cast<size_t>(h.NPresets) * static_cast<size_t>(h.NSources) ||
        kQZTFHeaderSize + kQZTFPresetHeaderSize * file.Presets.size() > size) {
        std::abort();
    }
    for (const rQZTFPreset& p : file.Presets) {
        if (p.TFLength < 0 || p.TFLength > h.NFrequencyPoints ||
            p.Fr.size() != static_cast<size_t>(h.NFrequencyPoints) || p.Mg.size() != p.Fr.size() ||
            p.Ph.size() != p.Fr.size() || p.PresetName.size() > 44 || p.SourceName.size() > 44) {
            std::abort();
        }
    }
    return 0;
}
