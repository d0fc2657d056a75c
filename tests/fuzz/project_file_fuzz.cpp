// Feeds arbitrary bytes to the project reader. Whatever it accepts must pass the open's whole-record
// check without failing (it may refuse the record), and be written again and read back to the same
// bytes; everything else must be refused with EReadError.

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <span>
#include <vector>

#include "files/project_check.h"
#include "files/project_file.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace vendrel;
    rProjectFile project;
    try {
        if (ReadProjectFile(std::span<const uint8_t>(data, size), "Vendrel Test", project) !=
            TProjectOpen::Opened) {
            return 0;
        }
    } catch (const EReadError&) {
        return 0;
    }
    (void)CheckProjectRecord(project);
    const std::vector<uint8_t> written = WriteProjectFile(project);
    rProjectFile again;
    if (ReadProjectFile(written, "Vendrel Test", again) != TProjectOpen::Opened ||
        WriteProjectFile(again) != written) {
        std::abort();
    }
    return 0;
}
