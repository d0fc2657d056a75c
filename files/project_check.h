#pragma once
// Whether a project record read from a file can be opened as a whole, checked before anything of the
// open project is touched: every identifier a loader follows (layers, the active layer, processes,
// cluster cabinets) names an entry of the file, every number the scene or the calculation takes is
// finite and within what they can hold, and every stored process has the parts it says it has. A file
// that fails is refused with the reason, so the project that is open stays as it was.
//
// What the record readers already refuse (enumeration values, counts beyond the file's bytes) is not
// checked again.

#include <string>

namespace vendrel {

struct rProjectFile;
struct TDspCabinet;

// Empty when the record can be opened; otherwise the reason, for the user.
std::string CheckProjectRecord(const rProjectFile& File);

// Empty when a stored process can be loaded (its gain, delay and PEQ bank, as far as present).
std::string CheckProcessRecord(const TDspCabinet& Stored);

// Largest magnitude accepted for a stored position or length (metres) and a stored angle (degrees).
inline constexpr double kMaxStoredLength = 100000.0;
inline constexpr double kMaxStoredAngle = 100000.0;
// Largest stored cluster or beam-steering row or column count, as the panels allow.
inline constexpr int kMaxClusterQuantity = 100;
// Largest number of PEQ sections of a stored process.
inline constexpr int kMaxStoredPeqSections = 256;
// Largest palette of a stored colour map.
inline constexpr int kMaxMappingColorsRes = 300;
// Range of the stored level scale span and maximum, dB.
inline constexpr double kMaxStoredRangedB = 200.0;
inline constexpr double kMaxStoredLevel = 1000.0;

} // namespace vendrel
