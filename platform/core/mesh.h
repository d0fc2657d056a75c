#pragma once
// Triangle meshes and the node that draws one.
//
// A mesh is a vertex buffer (position, normal, one texture coordinate per vertex) and an index buffer
// of three indices per triangle. An index that does not name a vertex makes its triangle void: it is
// neither drawn nor hit. Triangles are seen from both sides.

#include "platform/core/geometry3d.h"
#include "platform/core/material.h"
#include "platform/core/node3d.h"

#include <cstdint>
#include <vector>

namespace vendrel {

struct TTexCoord {
    float U = 0;
    float V = 0;
    bool operator==(const TTexCoord&) const = default;
};

struct TMeshVertex {
    TPoint3D Position;
    TPoint3D Normal;
    TTexCoord TexCoord0;
    bool operator==(const TMeshVertex&) const = default;
};

class TMeshData {
public:
    std::vector<TMeshVertex> VertexBuffer;
    std::vector<int32_t> IndexBuffer;

    int VertexCount() const { return static_cast<int>(VertexBuffer.size()); }
    int IndexCount() const { return static_cast<int>(IndexBuffer.size()); }
    int TriangleCount() const { return IndexCount() / 3; }
    bool IsEmpty() const { return VertexBuffer.empty() || IndexBuffer.size() < 3; }
    void Clear();
    // Whether triangle k has three valid indices.
    bool IsValidTriangle(int k) const;

    // Face normals spread to the vertices: for each triangle (i0, i1, i2) in index order,
    // n = normalise((V[i1] - V[i0]) x (V[i1] - V[i2])) is written to its three vertices, a later
    // triangle overwriting an earlier one. Void triangles are skipped.
    void CalcFaceNormals();

    // The box over all vertices (a zero box at the origin without vertices).
    TBoundingBox BoundingBox() const;

    bool operator==(const TMeshData&) const = default;
};

// The nearest crossing of a ray with the mesh's triangles (ahead of the origin, edges included).
// Hit and Distance (in units of RayDir's length) are left untouched without a crossing.
bool RayCastMeshTriangles(const TMeshData& Mesh, const TPoint3D& RayPos, const TPoint3D& RayDir,
                          TPoint3D& Hit, float& Distance);

// How a mesh node fits its data to its Width, Height and Depth.
enum class TMeshWrapMode : uint8_t {
    wmOriginal, // vertices as they are
    wmFit,      // scaled evenly to fit inside the size, centred
    wmStretch,  // the data's box stretched to the size, centred; a flat axis keeps its scale
    wmResize,   // as wmStretch
};

// The matrix that maps data of the given box onto a Width x Height x Depth extent about the origin.
TMatrix3D WrapMatrix(const TBoundingBox& Data, TMeshWrapMode Mode, float Width, float Height, float Depth);

// A node that draws one mesh with one material source.
class TCustomMesh : public TControl3D, private IMaterialClient {
public:
    explicit TCustomMesh(TComponent* AOwner = nullptr);
    ~TCustomMesh() override;

    TMeshData Data;

    // Not owned; the mesh forgets a source that is freed and repaints when it changes.
    TMaterialSource* MaterialSource() const { return FMaterialSource; }
    void SetMaterialSource(TMaterialSource* Value);

    TMeshWrapMode WrapMode() const { return FWrapMode; }
    void SetWrapMode(TMeshWrapMode Value);
    // The matrix from data coordinates to the node's local frame for the wrap mode and size.
    TMatrix3D MeshMatrix() const;

    void Render(TContext3D& Context) override;

protected:
    // The nearest triangle of Data, when the ray crosses it.
    bool DoRayCastIntersect(const TPoint3D& RayPos, const TPoint3D& RayDir, TPoint3D& Intersection) override;

private:
    void MaterialChanged(TMaterialSource*) override { Repaint(); }
    void MaterialFreed(TMaterialSource* Source) override;

    TMaterialSource* FMaterialSource = nullptr;
    TMeshWrapMode FWrapMode = TMeshWrapMode::wmOriginal;
};

using TMesh = TCustomMesh;

// A box filling the node's Width x Height x Depth, each face with its own normal.
class TCube : public TCustomMesh {
public:
    explicit TCube(TComponent* AOwner = nullptr);
};

// The data of a unit box about the origin: 4 vertices and 2 triangles per face, outward normals,
// texture coordinates 0..1 on every face.
TMeshData UnitCubeMesh();

// One mesh of a model with its material source (not owned).
struct TModelMesh {
    TMeshData Data;
    TMaterialSource* MaterialSource = nullptr;
};

// A node that draws several meshes as one object (a library model): the wrap mode fits the box of
// all meshes together to the node's size. Its meshes are hit as one: the nearest triangle of any.
class TModel3D : public TControl3D, private IMaterialClient {
public:
    explicit TModel3D(TComponent* AOwner = nullptr) : TControl3D(AOwner) {}
    ~TModel3D() override;

    int MeshCount() const { return static_cast<int>(FMeshes.size()); }
    // Checked access: an index outside the collection raises ERangeError.
    const TModelMesh& Meshes(int i) const;
    TMeshData& MeshData(int i);
    void AddMesh(const TMeshData& Data, TMaterialSource* Source = nullptr);
    void ClearMeshes();
    void SetMeshMaterial(int i, TMaterialSource* Source);
    // Gives every mesh the same material source.
    void SetAllMaterials(TMaterialSource* Source);
    // The other model's meshes, without their materials.
    void AssignMeshes(const TModel3D& Source);

    TMeshWrapMode WrapMode() const { return FWrapMode; }
    void SetWrapMode(TMeshWrapMode Value);
    // From mesh data to the node's local frame.
    TMatrix3D ModelMatrix() const;

    void Render(TContext3D& Context) override;

protected:
    bool DoRayCastIntersect(const TPoint3D& RayPos, const TPoint3D& RayDir, TPoint3D& Intersection) override;

private:
    void MaterialChanged(TMaterialSource*) override { Repaint(); }
    void MaterialFreed(TMaterialSource* Source) override;
    void release(TMaterialSource* Source);

    std::vector<TModelMesh> FMeshes;
    TMeshWrapMode FWrapMode = TMeshWrapMode::wmFit;
};

} // namespace vendrel
