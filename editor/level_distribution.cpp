#include "editor/level_distribution.h"

#include "acoustics/mapping_zone.h"
#include "acoustics/project.h"
#include "acoustics/zone_data.h"
#include "editor/editor_state.h"
#include "platform/core/numeric.h"

#include <algorithm>
#include <cmath>

namespace vendrel {

namespace {

// "##0.#": at most one decimal, none when it is 0.
std::string shareText(double Percent, const TFormatSettings& Settings) {
    const int64_t tenths = RoundHalfEven(Percent * 10.0);
    std::string text = std::to_string(tenths / 10);
    if (tenths % 10 != 0) {
        text += Settings.DecimalSeparator;
        text += static_cast<char>('0' + tenths % 10);
    }
    return text;
}

} // namespace

double TLevelDistribution::BarX(int32_t k) const {
    return At(Edges, k) - StepdB / 2.0;
}

std::string TLevelDistribution::BarLabel(int32_t k) const {
    double bars = 0.0;
    for (float c : Counts) {
        bars += c;
    }
    const double share = bars > 0 ? At(Counts, k) / bars * 100.0 : 0.0;
    return shareText(share, Format) + " %";
}

double TLevelDistribution::AxisMin() const {
    return Edges.empty() ? 0.0 : Edges.front() - static_cast<double>(StepdB) * NBands();
}

double TLevelDistribution::AxisMax() const {
    return Edges.empty() ? 0.0 : Edges.front();
}

TLevelDistribution LevelDistribution(const TLevelScale& Scale,
                                     const std::vector<std::span<const float>>& Zones,
                                     const TFormatSettings& Settings) {
    TLevelDistribution d;
    const int32_t W = Scale.StepdB;
    if (W <= 0 || !std::isfinite(Scale.MaxdB) || !std::isfinite(Scale.RangedB)) {
        return d;
    }
    d.StepdB = W;
    d.Format = Settings;
    const int32_t n = std::max<int32_t>(RoundHalfEven<int32_t>(Scale.RangedB / W), 0);
    d.Edges.assign(static_cast<size_t>(n) + 1, 0);
    d.Counts.assign(static_cast<size_t>(n), 0.0f);
    d.Colors.assign(static_cast<size_t>(n), 0);
    const int32_t res = std::min<int32_t>(Scale.PaletteRes, static_cast<int32_t>(Scale.Palette.size()));
    for (int32_t i = 0; i < n; ++i) {
        const auto u = static_cast<size_t>(i);
        d.Edges[u] = RoundHalfEven<int32_t>(Scale.MaxdB - static_cast<double>(i) * W);
        if (res > 0) {
            // The palette entry at the band's top level.
            const int32_t c = Trunc<int32_t>(i * static_cast<double>(res) / (Scale.RangedB / W));
            d.Colors[u] = Scale.Palette[static_cast<size_t>(std::clamp(c, 0, res - 1))];
        }
    }

    // One pass counts the bands and sums the levels; the deviation takes a second pass about the mean,
    // which keeps it exact where the levels lie close together.
    double sum = 0.0;
    for (const std::span<const float>& zone : Zones) {
        for (const float level : zone) {
            if (std::isnan(level)) {
                continue;
            }
            ++d.Total;
            sum += level;
            for (int32_t k = 0; k < n; ++k) {
                const auto u = static_cast<size_t>(k);
                if (d.Edges[u] >= level && level > d.Edges[u + 1]) {
                    d.Counts[u] += 1.0f;
                    break;
                }
            }
        }
    }
    if (d.Total == 0) {
        return d;
    }
    d.Mean = sum / static_cast<double>(d.Total);
    if (d.Total > 1) {
        double squares = 0.0;
        for (const std::span<const float>& zone : Zones) {
            for (const float level : zone) {
                if (!std::isnan(level)) {
                    squares += (level - d.Mean) * (level - d.Mean);
                }
            }
        }
        d.Deviation = std::sqrt(squares / static_cast<double>(d.Total - 1));
    }
    d.Visible = true;
    d.AverageText = "Average: " + FormatFloatPattern("0.0", d.Mean, Settings) + " dB";
    d.PlusDeviation = "Av+Std dev: " + FormatFloatPattern("0.0", d.Mean + d.Deviation, Settings) + " dB";
    d.MinusDeviation = "Av-Std dev: " + FormatFloatPattern("0.0", d.Mean - d.Deviation, Settings) + " dB";
    return d;
}

int32_t BarLabelStep(int32_t StepdB, double ChartWidth) {
    return StepdB == 1 && ChartWidth < 1000 ? 2 : 1;
}

std::vector<const TMappingZone*> DistributionZones(const TAcousticProject& Project,
                                                   const TObjectList& Selection) {
    std::vector<const TMappingZone*> zones;
    for (TObject* o : Selection) {
        if (const auto* zone = dynamic_cast<const TMappingZone*>(o)) {
            zones.push_back(zone);
        }
    }
    if (!zones.empty()) {
        return zones;
    }
    for (const auto& zone : Project.MappingZones()) {
        zones.push_back(zone.get());
    }
    return zones;
}

std::vector<std::span<const float>> SummedZoneLevels(const std::vector<const TMappingZone*>& Zones) {
    std::vector<std::span<const float>> levels;
    for (const TMappingZone* zone : Zones) {
        if (zone->MappingSides() == TMappingSides::qzaNoSPLMap ||
            zone->MapState() != TCalcState::qzaIsSumed || zone->MapSum() == nullptr) {
            continue;
        }
        const TMapLayers& map = zone->MapSum()->MapRealFreq();
        const int32_t w = zone->WidthPixels(), depth = zone->DepthPixels();
        if (map.Empty() || map.Width() != w || map.Depth() != depth || w < 1 || depth < 1) {
            continue;
        }
        levels.emplace_back(map.data(), static_cast<size_t>(w) * static_cast<size_t>(depth));
    }
    return levels;
}

TDistributionChart::TDistributionChart(const TAcousticProject& Project, const TObjectList& Selection,
                                       const TFormatSettings& Format)
    : project_(Project), selection_(Selection), format_(Format) {}

void TDistributionChart::ShowDistribution(int32_t StepsdB) {
    TLevelScale scale;
    scale.MaxdB = project_.MaxdBSPL();
    scale.RangedB = project_.RangedBSPL();
    scale.StepdB = StepsdB;
    scale.Palette = project_.MappingColors();
    scale.PaletteRes = project_.MappingColorsRes();
    current_ =
        project_.NMappingZones() == 0
            ? TLevelDistribution{}
            : LevelDistribution(scale, SummedZoneLevels(DistributionZones(project_, selection_)), format_);
    ++drawings_;
    if (OnChanged) {
        OnChanged();
    }
}

int32_t TDistributionChart::StepsOfItem(int32_t Index) {
    switch (Index) {
    case 0:
        return 1;
    case 1:
        return 3;
    case 2:
        return 6;
    default:
        return 0;
    }
}

} // namespace vendrel
