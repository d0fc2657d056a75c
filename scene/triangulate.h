#pragma once
// Ear-clipping triangulation of a simple closed outline. The zone solids fill their flat faces with
// the triangles it cuts; the order in which candidate ears are tried is fixed, so the index buffers
// built from it are reproducible.

#include "platform/core/planar.h"

#include <vector>

namespace vendrel {

class TTriangulate {
public:
    // Cuts the closed outline (last point repeating the first) into triangles. True when all n - 2
    // triangles were cut. Fewer than three points leaves the previous results untouched; an outline
    // on which no ear is found (self-intersecting, degenerate) returns false with the triangles cut
    // so far.
    bool Process(const TPolygon& Contour);

    // Signed area of the closed outline; positive for counter-clockwise points in a Y-up frame.
    static float Area(const TPolygon& Contour);

    // P inside triangle ABC or on its border (for ABC with a positive winding).
    static bool InsideTriangle(float Ax, float Ay, float Bx, float By, float Cx, float Cy, float Px,
                               float Py);

    int NTriangles() const { return static_cast<int>(OutTriangles.size() / 3); }

    // Three points per triangle, in the order they were cut.
    std::vector<TPointF> OutTriangles;
    // Three outline indices per triangle, parallel to OutTriangles.
    std::vector<int> TrianglesIndex;

private:
    static bool IsEar(const TPolygon& Contour, int u, int v, int w, int nv, const std::vector<int>& V);
};

} // namespace vendrel
