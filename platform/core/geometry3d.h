#pragma once
// Single-precision 3D arithmetic of the scene.
//
// Points are row vectors: a point p is transformed by a 4 x 4 matrix M as p x M, and a product A x B
// applies A first. The translation of a matrix sits in its last row (m[3][0..2]). The rotations about
// the three axes, for an angle a in radians, have the rows
//   RotX(a): (1, 0, 0), (0, cos a, sin a), (0, -sin a, cos a)
//   RotY(a): (cos a, 0, -sin a), (0, 1, 0), (sin a, 0, cos a)
//   RotZ(a): (cos a, sin a, 0), (-sin a, cos a, 0), (0, 0, 1)
// The scene's vertical axis points down (+Y is down).

#include <cmath>
#include <cstdint>

namespace vendrel {

// Degrees to radians and back, with the program's constants.
constexpr double kDegToRad = 0.017453292519943295;
constexpr double kRadToDeg = 57.29577951308232;

struct TPoint3D {
    float X = 0;
    float Y = 0;
    float Z = 0;

    constexpr TPoint3D() = default;
    constexpr TPoint3D(float x, float y, float z) : X(x), Y(y), Z(z) {}

    constexpr TPoint3D operator+(const TPoint3D& o) const { return {X + o.X, Y + o.Y, Z + o.Z}; }
    constexpr TPoint3D operator-(const TPoint3D& o) const { return {X - o.X, Y - o.Y, Z - o.Z}; }
    constexpr TPoint3D operator-() const { return {-X, -Y, -Z}; }
    constexpr TPoint3D operator*(float s) const { return {X * s, Y * s, Z * s}; }
    constexpr TPoint3D operator/(float s) const { return {X / s, Y / s, Z / s}; }
    TPoint3D& operator+=(const TPoint3D& o) { return *this = *this + o; }
    TPoint3D& operator-=(const TPoint3D& o) { return *this = *this - o; }
    constexpr bool operator==(const TPoint3D& o) const = default;

    // Dot and cross products are summed in double and rounded to single.
    float DotProduct(const TPoint3D& o) const {
        return static_cast<float>(double(X) * o.X + double(Y) * o.Y + double(Z) * o.Z);
    }
    TPoint3D CrossProduct(const TPoint3D& o) const {
        return {static_cast<float>(double(Y) * o.Z - double(Z) * o.Y),
                static_cast<float>(double(Z) * o.X - double(X) * o.Z),
                static_cast<float>(double(X) * o.Y - double(Y) * o.X)};
    }
    float Length() const {
        return static_cast<float>(std::sqrt(double(X) * X + double(Y) * Y + double(Z) * Z));
    }
    float Distance(const TPoint3D& o) const { return (*this - o).Length(); }
    // The unit vector of the same direction; the zero vector stays zero.
    TPoint3D Normalize() const;
    // Component-wise product (scaling by a per-axis factor).
    constexpr TPoint3D Scale(const TPoint3D& s) const { return {X * s.X, Y * s.Y, Z * s.Z}; }
};

// A homogeneous 4-component vector; W is 1 for a point and 0 for a direction.
struct TVector3D {
    float X = 0;
    float Y = 0;
    float Z = 0;
    float W = 1;

    constexpr TVector3D() = default;
    constexpr TVector3D(float x, float y, float z, float w = 1) : X(x), Y(y), Z(z), W(w) {}
    constexpr TVector3D(const TPoint3D& p, float w = 1) : X(p.X), Y(p.Y), Z(p.Z), W(w) {}

    constexpr TPoint3D ToPoint3D() const { return {X, Y, Z}; }
    constexpr TVector3D operator+(const TVector3D& o) const { return {X + o.X, Y + o.Y, Z + o.Z, W + o.W}; }
    constexpr TVector3D operator-(const TVector3D& o) const { return {X - o.X, Y - o.Y, Z - o.Z, W - o.W}; }
    constexpr TVector3D operator*(float s) const { return {X * s, Y * s, Z * s, W * s}; }
    constexpr bool operator==(const TVector3D& o) const = default;
    // Length over all four components.
    float Length() const {
        return static_cast<float>(std::sqrt(double(X) * X + double(Y) * Y + double(Z) * Z + double(W) * W));
    }
};

struct TMatrix3D {
    float m[4][4] = {{1, 0, 0, 0}, {0, 1, 0, 0}, {0, 0, 1, 0}, {0, 0, 0, 1}};

    static TMatrix3D Identity() { return {}; }
    static TMatrix3D CreateRotationX(float angleRad);
    static TMatrix3D CreateRotationY(float angleRad);
    static TMatrix3D CreateRotationZ(float angleRad);
    static TMatrix3D CreateTranslation(const TPoint3D& t);
    static TMatrix3D CreateScaling(const TPoint3D& s);

    // Product applying *this first, then b (row vectors).
    TMatrix3D operator*(const TMatrix3D& b) const;
    bool operator==(const TMatrix3D& o) const;

    TMatrix3D Transpose() const;
    double Determinant() const;
    // The inverse, computed in double and rounded to single; a singular matrix gives the zero matrix.
    TMatrix3D Inverse() const;

    // The translation part (last row).
    TPoint3D Translation() const { return {m[3][0], m[3][1], m[3][2]}; }
};

// p x M for a point (W = 1, affine: the last column is ignored).
TPoint3D operator*(const TPoint3D& p, const TMatrix3D& M);
// The full homogeneous product v x M.
TVector3D operator*(const TVector3D& v, const TMatrix3D& M);
// d x M for a direction (W = 0: the translation does not apply).
TPoint3D TransformDirection(const TPoint3D& d, const TMatrix3D& M);

// An axis-aligned box.
struct TBoundingBox {
    TPoint3D Min;
    TPoint3D Max;

    TPoint3D Center() const { return (Min + Max) * 0.5f; }
    float Width() const { return Max.X - Min.X; }
    float Height() const { return Max.Y - Min.Y; }
    float Depth() const { return Max.Z - Min.Z; }
    // The box spanned by two corners given in any order.
    static TBoundingBox FromPoints(const TPoint3D& a, const TPoint3D& b);
    // The smallest box holding this one and p.
    TBoundingBox Include(const TPoint3D& p) const;
    // A box whose extent along any axis is negative or zero within 0.0001 is empty.
    bool IsEmpty() const;
    // The smallest box holding both; an empty box contributes nothing (the union of two empty boxes
    // is this one).
    TBoundingBox Union(const TBoundingBox& o) const;
};

} // namespace vendrel
