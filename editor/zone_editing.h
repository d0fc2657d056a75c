#pragma once
// Editing a zone's shape: moving one point of a drawn polygon's outline (the zone's begin corner, size
// and drawing follow all points), the rule that keeps a rectangle's corner radii within its sides, and
// the size a picture gives a zone at a scale.

#include <cstdint>
#include <optional>
#include <string>

namespace vendrel {

class TAcousticProject;
class TMappingZone;
class TKindRegistry;

// A corner radius typed for a side of length Side (metres): the radius is at most the side, and the
// partner radius on the same edge is cut so that the two fit.
struct TCornerRadii {
    double Radius = 0.0;
    double Partner = 0.0;
    bool PartnerCut = false;
};
TCornerRadii CutCornerRadius(double Value, double Side, double Partner);

// The largest length and width of a zone, metres.
inline constexpr double kMaxZoneSize = 250.0;
// The message shown when a picture's scale would make a zone larger than that.
std::string MaxZoneSizeMessage();

// The length and width (metres, single precision) of a zone showing a picture of Width x Height
// pixels at MetersPerPixel. A scale that is not a positive finite number (two reference points in one
// place) gives no size; a side above kMaxZoneSize is too large.
struct TPictureZoneSize {
    enum class TCheck : uint8_t { Ok, NoScale, TooLarge };
    TCheck Check = TCheck::NoScale;
    float Length = 0.0f;
    float Width = 0.0f;
};
TPictureZoneSize PictureZoneSize(double MetersPerPixel, int32_t Width, int32_t Height);

class TZoneEditing {
public:
    TZoneEditing(TAcousticProject& Project, TKindRegistry& Kinds);

    // Moves point PointNumber (1 for the first; a negative number moves none) of a polygon zone's
    // outline to (X, Y, Z) in the zone's plane, then recomputes the zone from all its points: the
    // outline's winding made positive (the rows of the panel renumbered when it was reversed), begin
    // corner (plus the listening level of a mapped zone), width, depth, drawing and panel. False, and
    // nothing changed, for a zone of another type or a point number outside 1..n.
    bool ChangePolygonPoints(TMappingZone& Zone, int32_t PointNumber, double X, double Y, double Z);

private:
    TAcousticProject& project_;
    TKindRegistry& kinds_;
};

} // namespace vendrel
