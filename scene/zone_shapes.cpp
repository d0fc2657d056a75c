#include "scene/zone_shapes.h"

#include "scene/color_helpers.h"

#include <algorithm>

namespace vendrel {

void RoundRectPath(TPathData& Path, const TRectF& R, const TCorners& Corners, const TCornerShape& TopLeft,
                   const TCornerShape& TopRight, const TCornerShape& BottomLeft,
                   const TCornerShape& BottomRight) {
    const float L = R.Left, T = R.Top, Rt = R.Right, B = R.Bottom;
    if (Corners == TCorners{}) {
        Path.MoveTo({L, T});
        Path.LineTo({Rt, T});
        Path.LineTo({Rt, B});
        Path.LineTo({L, B});
        Path.ClosePath();
        return;
    }

    if (Corners.TopLeft) {
        const float x = TopLeft.XRadius, y = TopLeft.YRadius;
        switch (TopLeft.Type) {
        case TCornerType::Round:
            Path.MoveTo({L, T + y});
            Path.CurveTo({L, T + y / 2}, {L + x / 2, T}, {L + x, T});
            break;
        case TCornerType::Bevel:
            Path.MoveTo({L, T + y});
            Path.LineTo({L + x, T});
            break;
        case TCornerType::InnerRound:
            Path.MoveTo({L, T + y});
            Path.CurveTo({L + x / 2, T + y}, {L + x, T + y / 2}, {L + x, T});
            break;
        case TCornerType::InnerLine:
            break;
        }
    } else {
        Path.MoveTo({L, T});
    }

    if (Corners.TopRight) {
        const float x = TopRight.XRadius, y = TopRight.YRadius;
        Path.LineTo({Rt - x, T});
        switch (TopRight.Type) {
        case TCornerType::Round:
            Path.CurveTo({Rt - x / 2, T}, {Rt, T + y / 2}, {Rt, T + y});
            break;
        case TCornerType::Bevel:
            Path.LineTo({Rt, T + y});
            break;
        case TCornerType::InnerRound:
            Path.CurveTo({Rt - x, T + y / 2}, {Rt - x / 2, T + y}, {Rt, T + y});
            break;
        case TCornerType::InnerLine:
            break;
        }
    } else {
        Path.LineTo({Rt, T});
    }

    if (Corners.BottomRight) {
        const float x = BottomRight.XRadius, y = BottomRight.YRadius;
        Path.LineTo({Rt, B - y});
        switch (BottomRight.Type) {
        case TCornerType::Round:
            Path.CurveTo({Rt, B - y / 2}, {Rt - x / 2, B}, {Rt - x, B});
            break;
        case TCornerType::Bevel:
            Path.LineTo({Rt - x, B});
            break;
        case TCornerType::InnerRound:
            Path.CurveTo({Rt - x / 2, B - y}, {Rt - x, B - y / 2}, {Rt - x, B});
            break;
        case TCornerType::InnerLine:
            break;
        }
    } else {
        Path.LineTo({Rt, B});
    }

    if (Corners.BottomLeft) {
        const float x = BottomLeft.XRadius, y = BottomLeft.YRadius;
        Path.LineTo({L + x, B});
        switch (BottomLeft.Type) {
        case TCornerType::Round:
            Path.CurveTo({L + x / 2, B}, {L, B - y / 2}, {L, B - y});
            break;
        case TCornerType::Bevel:
            Path.LineTo({L, B - y});
            break;
        case TCornerType::InnerRound:
            Path.CurveTo({L + x, B - y / 2}, {L + x / 2, B - y}, {L, B - y});
            break;
        case TCornerType::InnerLine:
            break;
        }
    } else {
        Path.LineTo({L, B});
    }
    Path.ClosePath();
}

void TrapeziumPath(TPathData& Path, const TRectF& R, float W1, float W2) {
    const float L = R.Left, T = R.Top, Rt = R.Right, B = R.Bottom, H = R.Height();
    if (W2 > W1) {
        const float f = (H - W1) / 2;
        Path.MoveTo({L, T + f});
        Path.LineTo({Rt, T});
        Path.LineTo({Rt, B});
        Path.LineTo({L, B - f});
    } else {
        const float f = (H - W2) / 2;
        Path.MoveTo({Rt, T + f});
        Path.LineTo({Rt, B - f});
        Path.LineTo({L, B});
        Path.LineTo({L, T});
    }
    Path.ClosePath();
}

namespace {

// The flattened path without its closing marker: the marker is no point of the outline (a zero-sized
// rectangle would otherwise reach out to it).
TPolygon FlattenOutline(const TPathData& path, float flatness) {
    TPolygon out = path.FlattenToPolygon(flatness);
    if (!out.empty() && out.back() == kClosePolygonMarker) {
        out.pop_back();
    }
    return out;
}

TRectF CentredRect(float W, float H) {
    return {-W / 2, -H / 2, W / 2, H / 2};
}

} // namespace

// ---- Rectangle ----

TQzRectangle3D::TQzRectangle3D(TComponent* AOwner) : TQzExtrudedShape3D(AOwner) {
    RebuildRectangleOutline(Width(), Height());
}

void TQzRectangle3D::RebuildRectangleOutline(float W, float H) {
    TPathData path;
    RoundRectPath(path, CentredRect(W, H), FCorners, FTL, FTR, FBL, FBR);
    FPolyg = FlattenOutline(path, Flatness());
    Repaint();
}

void TQzRectangle3D::SetWidth(float Value) {
    if (Value == Width()) {
        return;
    }
    for (TCornerShape* c : {&FTL, &FTR, &FBL, &FBR}) {
        c->XRadius = std::min(c->XRadius, Value);
    }
    RebuildRectangleOutline(Value, Height());
    TQzExtrudedShape3D::SetWidth(Value);
}

void TQzRectangle3D::SetHeight(float Value) {
    if (Value == Height()) {
        return;
    }
    for (TCornerShape* c : {&FTL, &FTR, &FBL, &FBR}) {
        c->YRadius = std::min(c->YRadius, Value);
    }
    RebuildRectangleOutline(Width(), Value);
    TQzExtrudedShape3D::SetHeight(Value);
}

void TQzRectangle3D::SetDimensions(const TPoint3D& Value) {
    if (Width() == Value.X && Height() == Value.Z && Depth() == Value.Y) {
        return;
    }
    for (TCornerShape* c : {&FTL, &FTR, &FBL, &FBR}) {
        c->YRadius = std::min(c->YRadius, Value.Z);
        c->XRadius = std::min(c->XRadius, Value.X);
    }
    RebuildRectangleOutline(Value.X, Value.Z);
    TQzExtrudedShape3D::SetDimensions(Value);
}

void TQzRectangle3D::SetCorners(const TCorners& Value) {
    if (Value == FCorners) {
        return;
    }
    FCorners = Value;
    RebuildRectangleOutline(Width(), Height());
    RebuildMesh();
}

void TQzRectangle3D::SetType(TCornerType& Field, TCornerType Value) {
    if (Value == Field) {
        return;
    }
    Field = Value;
    RebuildRectangleOutline(Width(), Height());
    RebuildMesh();
}

void TQzRectangle3D::SetTopLeftCornerType(TCornerType Value) {
    SetType(FTL.Type, Value);
}
void TQzRectangle3D::SetTopRightCornerType(TCornerType Value) {
    SetType(FTR.Type, Value);
}
void TQzRectangle3D::SetBotLeftCornerType(TCornerType Value) {
    SetType(FBL.Type, Value);
}
void TQzRectangle3D::SetBotRightCornerType(TCornerType Value) {
    SetType(FBR.Type, Value);
}

void TQzRectangle3D::SetRadius(float& Field, float Value, float Limit, float& Partner, bool PartnerApplies) {
    if (Value == Field) {
        return;
    }
    Field = Value >= Limit ? Limit : Value;
    if (PartnerApplies && Partner > Limit - Field) {
        Partner = Limit - Field;
    }
    RebuildRectangleOutline(Width(), Height());
    RebuildMesh();
}

void TQzRectangle3D::SetTopLeftXRadius(float Value) {
    SetRadius(FTL.XRadius, Value, Width(), FTR.XRadius, FCorners.TopLeft && FCorners.TopRight);
}
void TQzRectangle3D::SetTopRightXRadius(float Value) {
    SetRadius(FTR.XRadius, Value, Width(), FTL.XRadius, FCorners.TopLeft && FCorners.TopRight);
}
void TQzRectangle3D::SetBotLeftXRadius(float Value) {
    SetRadius(FBL.XRadius, Value, Width(), FBR.XRadius, FCorners.BottomLeft && FCorners.BottomRight);
}
void TQzRectangle3D::SetBotRightXRadius(float Value) {
    SetRadius(FBR.XRadius, Value, Width(), FBL.XRadius, FCorners.BottomLeft && FCorners.BottomRight);
}
void TQzRectangle3D::SetTopLeftYRadius(float Value) {
    SetRadius(FTL.YRadius, Value, Height(), FBL.YRadius, FCorners.TopLeft && FCorners.BottomLeft);
}
void TQzRectangle3D::SetTopRightYRadius(float Value) {
    SetRadius(FTR.YRadius, Value, Height(), FBR.YRadius, FCorners.TopRight && FCorners.BottomRight);
}
void TQzRectangle3D::SetBotLeftYRadius(float Value) {
    SetRadius(FBL.YRadius, Value, Height(), FTL.YRadius, FCorners.TopLeft && FCorners.BottomLeft);
}
void TQzRectangle3D::SetBotRightYRadius(float Value) {
    SetRadius(FBR.YRadius, Value, Height(), FTR.YRadius, FCorners.TopRight && FCorners.BottomRight);
}

// ---- Trapezium ----

TQzTrapezium3D::TQzTrapezium3D(TComponent* AOwner) : TQzExtrudedShape3D(AOwner) {}

void TQzTrapezium3D::RebuildTrapeziumOutline(float W, float H) {
    TPathData path;
    TrapeziumPath(path, CentredRect(W, H), FWidth1, FWidth2);
    FPolyg = FlattenOutline(path, Flatness());
    Repaint();
}

void TQzTrapezium3D::SetWidth(float Value) {
    if (Value == Width()) {
        return;
    }
    RebuildTrapeziumOutline(Value, Height());
    TQzExtrudedShape3D::SetWidth(Value);
}

void TQzTrapezium3D::SetHeight(float Value) {
    if (Value == Height()) {
        return;
    }
    RebuildTrapeziumOutline(Width(), Value);
    TQzExtrudedShape3D::SetHeight(Value);
}

void TQzTrapezium3D::SetDimensions(const TPoint3D& Value) {
    if (Width() == Value.X && Height() == Value.Z && Depth() == Value.Y) {
        return;
    }
    RebuildTrapeziumOutline(Value.X, Value.Z);
    TQzExtrudedShape3D::SetDimensions(Value);
}

void TQzTrapezium3D::WidthsChanged() {
    SetHeight(std::max(FWidth1, FWidth2));
    RebuildTrapeziumOutline(Width(), Height());
    RebuildMesh();
    Repaint();
}

void TQzTrapezium3D::SetWidth1(float Value) {
    if (Value == FWidth1) {
        return;
    }
    FWidth1 = Value;
    WidthsChanged();
}

void TQzTrapezium3D::SetWidth2(float Value) {
    if (Value == FWidth2) {
        return;
    }
    FWidth2 = Value;
    WidthsChanged();
}

void TQzTrapezium3D::SetHeight1(float Value) {
    if (Value == FHeight1) {
        return;
    }
    FHeight1 = Value;
    Repaint();
}

// ---- Drawn path ----

void TQzDrawPath3D::SetShapePolygon(const TPolygon& Value) {
    FPolyg = Value;
    if (!FPolyg.empty()) {
        FPolyg.push_back(FPolyg.front());
        const TRectF b = PolygonBounds(FPolyg);
        const float cx = (b.Left + b.Right) / 2, cy = (b.Top + b.Bottom) / 2;
        for (TPointF& p : FPolyg) {
            p.X -= cx;
            p.Y -= cy;
        }
    }
    RebuildMesh();
}

} // namespace vendrel
