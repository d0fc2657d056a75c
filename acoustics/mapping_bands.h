#pragma once
// The frequencies a coverage map is averaged over: the band type and the centre frequency give the
// list of averaged frequencies; the band type also gives the centre frequencies a user may choose.
// Pure functions of their arguments; the project (`CalcAverageFreqs`, `MappingBandsType`) applies them.

#include <cstdint>
#include <vector>

namespace vendrel {

enum class TMappingBands : uint8_t {
    mbFullBand,
    mbTwoOctave,
    mbOneOctave,
    mbTwoThirdOctave,
    mbOneThirdOctave,
    mbOneSixOctave,
};

// The medium's 61 map frequencies: the sixth-octave nominal series, 20 Hz to 20 kHz.
const std::vector<int32_t>& MapFrequencySeries();

// The 14 fixed frequencies averaged by a full-band map.
const std::vector<int32_t>& FullBandFrequencies();

// Band edges around Fc: 20 and 20000 for the full band; otherwise Fl = Round(Fc / sqrt(r)) and
// Fh = Round(Fl * r) with r the band's edge ratio (halves to even).
void GetBandEdges(TMappingBands band, int32_t fc, int32_t& fl, int32_t& fh);

// The averaged frequencies for a band around fc: the 14 full-band values, [fc] itself for a sixth
// octave, otherwise every series value within the band edges, ascending.
std::vector<int32_t> AverageFrequencies(TMappingBands band, int32_t fc, const std::vector<int32_t>& series);

// The centre frequencies offered for a band type. For the full band the current list is cut to its
// first entry (0 when it was empty).
std::vector<int32_t> SelectableCentreFrequencies(TMappingBands band, const std::vector<int32_t>& current);

} // namespace vendrel
