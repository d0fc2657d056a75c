// Feeds arbitrary text to the update-list reader. Whatever it accepts must hold only well-formed entries
// (compatible with the running program, linked under the service's address) and compare its newest
// version without raising; everything else must be refused without raising.

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "files/update_list.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace vendrel;
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    const TProgramVersion running{3, 1, 0};
    const auto list = ParseUpdateList(text, "https://updates.invalid/", running);
    if (!list) {
        return 0;
    }
    if (list->InternetLibFiles().size() > size) {
        std::abort();
    }
    (void)list->OffersNewerProgram(running);
    for (const rInternetLibFile& entry : list->InternetLibFiles()) {
        if (entry.UpdateLink.rfind("https://updates.invalid/", 0) != 0 ||
            !IsLibFileCompatible(entry.CompatibleSinceVendrelVer, running)) {
            std::abort();
        }
    }
    (void)ExtractFileNameURL(text.empty() ? std::string() : std::string(text));
    return 0;
}
