#pragma once
// The outlines of the zone solids: rectangles with optional cut or rounded corners (also used for
// picture surfaces), trapezia, and free polygons drawn by the user. Outlines lie in the solid's local
// XY plane, centred on its origin; Width runs along X and Height along Y.

#include "scene/extruded_shape.h"
#include "scene/path_data.h"

namespace vendrel {

enum class TCornerType : uint8_t { Round, Bevel, InnerRound, InnerLine };

struct TCorners {
    bool TopLeft = false;
    bool TopRight = false;
    bool BottomLeft = false;
    bool BottomRight = false;
    bool operator==(const TCorners&) const = default;
    static TCorners All() { return {true, true, true, true}; }
};

// One corner's reach along X and along Y from the corner point, and its shape.
struct TCornerShape {
    float XRadius = 2.0f;
    float YRadius = 2.0f;
    TCornerType Type = TCornerType::Bevel;
};

// The closed path of a rectangle R whose corners in Corners are cut or rounded; the corner shapes in
// the order top-left, top-right, bottom-left, bottom-right.
void RoundRectPath(TPathData& Path, const TRectF& R, const TCorners& Corners, const TCornerShape& TopLeft,
                   const TCornerShape& TopRight, const TCornerShape& BottomLeft,
                   const TCornerShape& BottomRight);

// The closed path of a trapezium in R whose left side is W1 long and right side W2 long.
void TrapeziumPath(TPathData& Path, const TRectF& R, float W1, float W2);

class TQzRectangle3D : public TQzExtrudedShape3D {
public:
    explicit TQzRectangle3D(TComponent* AOwner = nullptr);

    // A changed size cuts the radii along it to the new size and rebuilds the outline and meshes.
    void SetWidth(float Value) override;
    void SetHeight(float Value) override;
    void SetDimensions(const TPoint3D& Value) override;

    const TCorners& Corners() const { return FCorners; }
    void SetCorners(const TCorners& Value);

    float TopLeftXRadius() const { return FTL.XRadius; }
    float TopLeftYRadius() const { return FTL.YRadius; }
    float TopRightXRadius() const { return FTR.XRadius; }
    float TopRightYRadius() const { return FTR.YRadius; }
    float BotLeftXRadius() const { return FBL.XRadius; }
    float BotLeftYRadius() const { return FBL.YRadius; }
    float BotRightXRadius() const { return FBR.XRadius; }
    float BotRightYRadius() const { return FBR.YRadius; }
    // A radius is limited to the extent in its direction; when both corners of its edge are in
    // Corners, the partner on that edge is cut so the two fit.
    void SetTopLeftXRadius(float Value);
    void SetTopLeftYRadius(float Value);
    void SetTopRightXRadius(float Value);
    void SetTopRightYRadius(float Value);
    void SetBotLeftXRadius(float Value);
    void SetBotLeftYRadius(float Value);
    void SetBotRightXRadius(float Value);
    void SetBotRightYRadius(float Value);

    TCornerType TopLeftCornerType() const { return FTL.Type; }
    TCornerType TopRightCornerType() const { return FTR.Type; }
    TCornerType BotLeftCornerType() const { return FBL.Type; }
    TCornerType BotRightCornerType() const { return FBR.Type; }
    void SetTopLeftCornerType(TCornerType Value);
    void SetTopRightCornerType(TCornerType Value);
    void SetBotLeftCornerType(TCornerType Value);
    void SetBotRightCornerType(TCornerType Value);

    // For storing components: the corners count as stored only when not all four are set.
    bool CornersStored() const { return !(FCorners == TCorners::All()); }

private:
    void RebuildRectangleOutline(float W, float H);
    void SetRadius(float& Field, float Value, float Limit, float& Partner, bool PartnerApplies);
    void SetType(TCornerType& Field, TCornerType Value);

    TCornerShape FTL, FTR, FBL, FBR;
    TCorners FCorners;
};

class TQzTrapezium3D : public TQzExtrudedShape3D {
public:
    explicit TQzTrapezium3D(TComponent* AOwner = nullptr);

    void SetWidth(float Value) override;
    void SetHeight(float Value) override;
    void SetDimensions(const TPoint3D& Value) override;

    // Lengths of the left side (at X = -Width/2) and of the right side; setting one makes Height the
    // larger of the two.
    float Width1() const { return FWidth1; }
    void SetWidth1(float Value);
    float Width2() const { return FWidth2; }
    void SetWidth2(float Value);
    // Stored only.
    float Height1() const { return FHeight1; }
    void SetHeight1(float Value);

private:
    void RebuildTrapeziumOutline(float W, float H);
    void WidthsChanged();

    float FWidth1 = 2.0f;
    float FWidth2 = 4.0f;
    float FHeight1 = 0.0f;
};

class TQzDrawPath3D : public TQzExtrudedShape3D {
public:
    explicit TQzDrawPath3D(TComponent* AOwner = nullptr) : TQzExtrudedShape3D(AOwner) {}

    const TPolygon& ShapePolygon() const { return FPolyg; }
    // The outline becomes the points closed on the first one and centred on the origin by their
    // bounds. Width and Height stay as they are: callers keep them equal to the polygon's extent.
    void SetShapePolygon(const TPolygon& Value);
};

} // namespace vendrel
