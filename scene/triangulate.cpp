#include "scene/triangulate.h"

namespace vendrel {

namespace {
// Below this doubled area a candidate triangle counts as reflex or degenerate.
constexpr double kEpsilon = 1e-10;
} // namespace

float TTriangulate::Area(const TPolygon& Contour) {
    const int n = static_cast<int>(Contour.size()) - 1;
    float a = 0.0f;
    for (int p = n - 1, q = 0; q < n; p = q++) {
        const TPointF& P = Contour[p];
        const TPointF& Q = Contour[q];
        // Products in double precision, the running sum in single precision.
        a = static_cast<float>(static_cast<double>(a) + static_cast<double>(P.X) * Q.Y -
                               static_cast<double>(Q.X) * P.Y);
    }
    return a * 0.5f;
}

bool TTriangulate::InsideTriangle(float Ax, float Ay, float Bx, float By, float Cx, float Cy, float Px,
                                  float Py) {
    // Every difference and product is rounded to single precision.
    const float ax = Cx - Bx, ay = Cy - By;
    const float bx = Ax - Cx, by = Ay - Cy;
    const float cx = Bx - Ax, cy = By - Ay;
    const float apx = Px - Ax, apy = Py - Ay;
    const float bpx = Px - Bx, bpy = Py - By;
    const float cpx = Px - Cx, cpy = Py - Cy;

    const float p1 = ax * bpy;
    const float p2 = ay * bpx;
    const float p3 = cx * apy;
    const float p4 = cy * apx;
    const float p5 = bx * cpy;
    const float p6 = by * cpx;
    const float aCrossBp = p1 - p2;
    const float cCrossAp = p3 - p4;
    const float bCrossCp = p5 - p6;
    return aCrossBp >= 0.0f && bCrossCp >= 0.0f && cCrossAp >= 0.0f;
}

bool TTriangulate::IsEar(const TPolygon& Contour, int u, int v, int w, int nv, const std::vector<int>& V) {
    const TPointF& A = Contour[V[u]];
    const TPointF& B = Contour[V[v]];
    const TPointF& C = Contour[V[w]];
    const double cross = (static_cast<double>(B.X) - A.X) * (static_cast<double>(C.Y) - A.Y) -
                         (static_cast<double>(B.Y) - A.Y) * (static_cast<double>(C.X) - A.X);
    if (cross < kEpsilon) {
        return false;
    }
    for (int p = 0; p < nv; ++p) {
        if (p == u || p == v || p == w) {
            continue;
        }
        const TPointF& P = Contour[V[p]];
        if (InsideTriangle(A.X, A.Y, B.X, B.Y, C.X, C.Y, P.X, P.Y)) {
            return false;
        }
    }
    return true;
}

bool TTriangulate::Process(const TPolygon& Contour) {
    const int n = static_cast<int>(Contour.size()) - 1;
    if (n < 3) {
        return false;
    }

    // Visit the vertices in the winding for which ears have a positive cross product.
    std::vector<int> V(n);
    const bool positive = static_cast<double>(Area(Contour)) > 0.0;
    for (int i = 0; i < n; ++i) {
        V[i] = positive ? i : n - 1 - i;
    }

    int nv = n;
    int count = 2 * nv; // gives up after this many failed candidates in a row
    OutTriangles.clear();
    TrianglesIndex.clear();

    // The first candidate is the triple at positions (0, 1, 2); after an ear the next one starts at
    // the position that now holds the ear's third vertex, after a failure one position further on.
    int m = nv;
    while (nv > 2) {
        if (count <= 0) {
            return false;
        }
        --count;

        const int u = m >= nv ? 0 : m;
        const int v = u + 1 >= nv ? 0 : u + 1;
        const int w = v + 1 >= nv ? 0 : v + 1;
        m = v;

        if (IsEar(Contour, u, v, w, nv, V)) {
            const int a = V[u], b = V[v], c = V[w];
            OutTriangles.push_back(Contour[a]);
            OutTriangles.push_back(Contour[b]);
            OutTriangles.push_back(Contour[c]);
            TrianglesIndex.push_back(a);
            TrianglesIndex.push_back(b);
            TrianglesIndex.push_back(c);
            V.erase(V.begin() + v);
            --nv;
            count = 2 * nv;
        }
    }
    return true;
}

} // namespace vendrel
