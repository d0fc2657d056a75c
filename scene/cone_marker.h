#pragma once
// The upside-down cone that marks a measurement point (tip at +Y, which is down in the scene). The
// mesh is built in a unit cube and drawn scaled to the node's Width, Height and Depth.

#include "platform/core/mesh.h"

namespace vendrel {

class TConeInv : public TCustomMesh {
public:
    explicit TConeInv(TComponent* AOwner = nullptr);

    int SubdivisionsAxes() const { return FSubdivisionsAxes; }
    void SetSubdivisionsAxes(int Value); // at least 3
    int SubdivisionsCap() const { return FSubdivisionsCap; }
    void SetSubdivisionsCap(int Value); // at least 1
    int SubdivisionsHeight() const { return FSubdivisionsHeight; }
    void SetSubdivisionsHeight(int Value); // at least 1
    // All tip vertices share one normal.
    bool JoinPeakNormals() const { return FJoinPeakNormals; }
    void SetJoinPeakNormals(bool Value);

    // Number of times the cone was built (for code that must not rebuild needlessly).
    int BuildCount() const { return FBuildCount; }

    void Render(TContext3D& Context) override;

protected:
    bool DoRayCastIntersect(const TPoint3D& RayPos, const TPoint3D& RayDir, TPoint3D& Intersection) override;

private:
    void RebuildConeMesh();
    TMatrix3D SizeMatrix() const;

    TMeshData FData;
    int FSubdivisionsAxes = 6;
    int FSubdivisionsCap = 1;
    int FSubdivisionsHeight = 1;
    bool FJoinPeakNormals = true;
    int FBuildCount = 0;
};

} // namespace vendrel
