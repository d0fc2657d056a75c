#include "platform/core/geometry3d.h"

#include <algorithm>

namespace vendrel {

TPoint3D TPoint3D::Normalize() const {
    const double len = std::sqrt(double(X) * X + double(Y) * Y + double(Z) * Z);
    if (len == 0) {
        return {};
    }
    return {static_cast<float>(X / len), static_cast<float>(Y / len), static_cast<float>(Z / len)};
}

TMatrix3D TMatrix3D::CreateRotationX(float a) {
    const float c = std::cos(a);
    const float s = std::sin(a);
    TMatrix3D r;
    r.m[1][1] = c;
    r.m[1][2] = s;
    r.m[2][1] = -s;
    r.m[2][2] = c;
    return r;
}

TMatrix3D TMatrix3D::CreateRotationY(float a) {
    const float c = std::cos(a);
    const float s = std::sin(a);
    TMatrix3D r;
    r.m[0][0] = c;
    r.m[0][2] = -s;
    r.m[2][0] = s;
    r.m[2][2] = c;
    return r;
}

TMatrix3D TMatrix3D::CreateRotationZ(float a) {
    const float c = std::cos(a);
    const float s = std::sin(a);
    TMatrix3D r;
    r.m[0][0] = c;
    r.m[0][1] = s;
    r.m[1][0] = -s;
    r.m[1][1] = c;
    return r;
}

TMatrix3D TMatrix3D::CreateTranslation(const TPoint3D& t) {
    TMatrix3D r;
    r.m[3][0] = t.X;
    r.m[3][1] = t.Y;
    r.m[3][2] = t.Z;
    return r;
}

TMatrix3D TMatrix3D::CreateScaling(const TPoint3D& s) {
    TMatrix3D r;
    r.m[0][0] = s.X;
    r.m[1][1] = s.Y;
    r.m[2][2] = s.Z;
    return r;
}

TMatrix3D TMatrix3D::operator*(const TMatrix3D& b) const {
    TMatrix3D r;
    for (int i = 0; i < 4; ++i) {
        for (int j = 0; j < 4; ++j) {
            double sum = 0;
            for (int k = 0; k < 4; ++k) {
                sum += double(m[i][k]) * b.m[k][j];
            }
            r.m[i][j] = static_cast<float>(sum);
        }
    }
    return r;
}

bool TMatrix3D::operator==(const TMatrix3D& o) const {
    for (int i = 0; i < 4; ++i) {
        for (int j = 0; j < 4; ++j) {
            if (m[i][j] != o.m[i][j]) {
                return false;
            }
        }
    }
    return true;
}

TMatrix3D TMatrix3D::Transpose() const {
    TMatrix3D r;
    for (int i = 0; i < 4; ++i) {
        for (int j = 0; j < 4; ++j) {
            r.m[i][j] = m[j][i];
        }
    }
    return r;
}

namespace {

// Inverse and determinant of a 4 x 4 matrix in double by cofactors.
double inverse4(const double a[16], double inv[16]) {
    inv[0] = a[5] * a[10] * a[15] - a[5] * a[11] * a[14] - a[9] * a[6] * a[15] + a[9] * a[7] * a[14] +
             a[13] * a[6] * a[11] - a[13] * a[7] * a[10];
    inv[4] = -a[4] * a[10] * a[15] + a[4] * a[11] * a[14] + a[8] * a[6] * a[15] - a[8] * a[7] * a[14] -
             a[12] * a[6] * a[11] + a[12] * a[7] * a[10];
    inv[8] = a[4] * a[9] * a[15] - a[4] * a[11] * a[13] - a[8] * a[5] * a[15] + a[8] * a[7] * a[13] +
             a[12] * a[5] * a[11] - a[12] * a[7] * a[9];
    inv[12] = -a[4] * a[9] * a[14] + a[4] * a[10] * a[13] + a[8] * a[5] * a[14] - a[8] * a[6] * a[13] -
              a[12] * a[5] * a[10] + a[12] * a[6] * a[9];
    inv[1] = -a[1] * a[10] * a[15] + a[1] * a[11] * a[14] + a[9] * a[2] * a[15] - a[9] * a[3] * a[14] -
             a[13] * a[2] * a[11] + a[13] * a[3] * a[10];
    inv[5] = a[0] * a[10] * a[15] - a[0] * a[11] * a[14] - a[8] * a[2] * a[15] + a[8] * a[3] * a[14] +
             a[12] * a[2] * a[11] - a[12] * a[3] * a[10];
    inv[9] = -a[0] * a[9] * a[15] + a[0] * a[11] * a[13] + a[8] * a[1] * a[15] - a[8] * a[3] * a[13] -
             a[12] * a[1] * a[11] + a[12] * a[3] * a[9];
    inv[13] = a[0] * a[9] * a[14] - a[0] * a[10] * a[13] - a[8] * a[1] * a[14] + a[8] * a[2] * a[13] +
              a[12] * a[1] * a[10] - a[12] * a[2] * a[9];
    inv[2] = a[1] * a[6] * a[15] - a[1] * a[7] * a[14] - a[5] * a[2] * a[15] + a[5] * a[3] * a[14] +
             a[13] * a[2] * a[7] - a[13] * a[3] * a[6];
    inv[6] = -a[0] * a[6] * a[15] + a[0] * a[7] * a[14] + a[4] * a[2] * a[15] - a[4] * a[3] * a[14] -
             a[12] * a[2] * a[7] + a[12] * a[3] * a[6];
    inv[10] = a[0] * a[5] * a[15] - a[0] * a[7] * a[13] - a[4] * a[1] * a[15] + a[4] * a[3] * a[13] +
              a[12] * a[1] * a[7] - a[12] * a[3] * a[5];
    inv[14] = -a[0] * a[5] * a[14] + a[0] * a[6] * a[13] + a[4] * a[1] * a[14] - a[4] * a[2] * a[13] -
              a[12] * a[1] * a[6] + a[12] * a[2] * a[5];
    inv[3] = -a[1] * a[6] * a[11] + a[1] * a[7] * a[10] + a[5] * a[2] * a[11] - a[5] * a[3] * a[10] -
             a[9] * a[2] * a[7] + a[9] * a[3] * a[6];
    inv[7] = a[0] * a[6] * a[11] - a[0] * a[7] * a[10] - a[4] * a[2] * a[11] + a[4] * a[3] * a[10] +
             a[8] * a[2] * a[7] - a[8] * a[3] * a[6];
    inv[11] = -a[0] * a[5] * a[11] + a[0] * a[7] * a[9] + a[4] * a[1] * a[11] - a[4] * a[3] * a[9] -
              a[8] * a[1] * a[7] + a[8] * a[3] * a[5];
    inv[15] = a[0] * a[5] * a[10] - a[0] * a[6] * a[9] - a[4] * a[1] * a[10] + a[4] * a[2] * a[9] +
              a[8] * a[1] * a[6] - a[8] * a[2] * a[5];
    return a[0] * inv[0] + a[1] * inv[4] + a[2] * inv[8] + a[3] * inv[12];
}

void toDoubles(const TMatrix3D& M, double a[16]) {
    for (int i = 0; i < 4; ++i) {
        for (int j = 0; j < 4; ++j) {
            a[i * 4 + j] = M.m[i][j];
        }
    }
}

} // namespace

double TMatrix3D::Determinant() const {
    double a[16];
    double inv[16];
    toDoubles(*this, a);
    return inverse4(a, inv);
}

TMatrix3D TMatrix3D::Inverse() const {
    double a[16];
    double inv[16];
    toDoubles(*this, a);
    const double det = inverse4(a, inv);
    TMatrix3D r;
    for (int i = 0; i < 4; ++i) {
        for (int j = 0; j < 4; ++j) {
            r.m[i][j] = det == 0 ? 0.0f : static_cast<float>(inv[i * 4 + j] / det);
        }
    }
    return r;
}

TPoint3D operator*(const TPoint3D& p, const TMatrix3D& M) {
    const auto& m = M.m;
    return {
        static_cast<float>(double(p.X) * m[0][0] + double(p.Y) * m[1][0] + double(p.Z) * m[2][0] + m[3][0]),
        static_cast<float>(double(p.X) * m[0][1] + double(p.Y) * m[1][1] + double(p.Z) * m[2][1] + m[3][1]),
        static_cast<float>(double(p.X) * m[0][2] + double(p.Y) * m[1][2] + double(p.Z) * m[2][2] + m[3][2])};
}

TVector3D operator*(const TVector3D& v, const TMatrix3D& M) {
    const auto& m = M.m;
    float r[4];
    for (int j = 0; j < 4; ++j) {
        r[j] = static_cast<float>(double(v.X) * m[0][j] + double(v.Y) * m[1][j] + double(v.Z) * m[2][j] +
                                  double(v.W) * m[3][j]);
    }
    return {r[0], r[1], r[2], r[3]};
}

TPoint3D TransformDirection(const TPoint3D& d, const TMatrix3D& M) {
    const auto& m = M.m;
    return {static_cast<float>(double(d.X) * m[0][0] + double(d.Y) * m[1][0] + double(d.Z) * m[2][0]),
            static_cast<float>(double(d.X) * m[0][1] + double(d.Y) * m[1][1] + double(d.Z) * m[2][1]),
            static_cast<float>(double(d.X) * m[0][2] + double(d.Y) * m[1][2] + double(d.Z) * m[2][2])};
}

TBoundingBox TBoundingBox::FromPoints(const TPoint3D& a, const TPoint3D& b) {
    return {{std::min(a.X, b.X), std::min(a.Y, b.Y), std::min(a.Z, b.Z)},
            {std::max(a.X, b.X), std::max(a.Y, b.Y), std::max(a.Z, b.Z)}};
}

TBoundingBox TBoundingBox::Include(const TPoint3D& p) const {
    return {{std::min(Min.X, p.X), std::min(Min.Y, p.Y), std::min(Min.Z, p.Z)},
            {std::max(Max.X, p.X), std::max(Max.Y, p.Y), std::max(Max.Z, p.Z)}};
}

bool TBoundingBox::IsEmpty() const {
    constexpr float kFlat = 0.0001f;
    return Width() <= kFlat || Height() <= kFlat || Depth() <= kFlat;
}

TBoundingBox TBoundingBox::Union(const TBoundingBox& o) const {
    if (o.IsEmpty()) {
        return *this;
    }
    if (IsEmpty()) {
        return o;
    }
    return {{std::min(Min.X, o.Min.X), std::min(Min.Y, o.Min.Y), std::min(Min.Z, o.Min.Z)},
            {std::max(Max.X, o.Max.X), std::max(Max.Y, o.Max.Y), std::max(Max.Z, o.Max.Z)}};
}

} // namespace vendrel
