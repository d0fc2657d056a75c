#pragma once
// Pieces shared by the whole-file writers and readers of this folder: lists of elements driven by a
// count of the static block, the DSP process section, and messages that name the file.

#include "files/processor_transfer.h"
#include "files/record_element_transfer.h"
#include "platform/core/atomic_file.h"

#include <filesystem>
#include <vector>

namespace vendrel::record_transfer {

// A section of `count` elements, each at least minSize bytes.
template <class IO, class List>
void Section(IO& io, List& list, int64_t count, size_t minSize, const char* what) {
    io.ForCount(list, count, minSize, what);
    for (auto& element : list) {
        Transfer(io, element);
    }
}

// The DSP processes: per process its active byte, then its processor blob (of this program: no
// hardware type). The reader refuses a blob of some hardware, so the writer does not store one.
template <class IO, class Active, class Blobs>
void ProcessSection(IO& io, Active& active, Blobs& blobs, int64_t count) {
    io.ForCount(active, count, 1 + kEmptyDspCabinetSize, "DSP processes");
    io.ForCount(blobs, count, kEmptyDspCabinetSize, "DSP processes");
    for (size_t i = 0; i < blobs.size(); ++i) {
        bool isActive = false;
        if constexpr (!IO::kReading) {
            isActive = active[i];
            if (!TrimBlanks(blobs[i].Header.HardType).empty()) {
                io.Refuse("processor settings for the hardware \"" + blobs[i].Header.HardType +
                          "\" in this file");
            }
        }
        io.Bool(isActive, "ProcessActive");
        if constexpr (IO::kReading) {
            active[i] = isActive;
        }
        Transfer(io, blobs[i]);
    }
}

// A reader's refusal with the file's name in front.
inline EReadError Named(const std::filesystem::path& fileName, const EReadError& e) {
    return EReadError("Cannot read \"" + fileName.filename().string() + "\". " + e.what(), e);
}

} // namespace vendrel::record_transfer
