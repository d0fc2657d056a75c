#pragma once
// Triangle meshes and the node that draws one.
//
// A mesh is a vertex buffer (position, normal, one texture coordinate per vertex) and an index buffer
// of three indices per triangle. An index that does not name a vertex makes its triangle void: it is
// neither drawn nor hit. Triangles are seen from both sides.
//
// Change tracking: a renderer keeps a copy of each mesh on the graphics card and writes it again only
// when the mesh's Version() has changed. Every access that can write a buffer (assignment, the
// non-const operator[], begin(), data(), assign, insert, resize ...) counts as a change, so code that
// edits a mesh needs no extra call; only a write through a reference, pointer or iterator kept from
// before a drawn frame goes unseen. Reading through a const mesh never counts. Meshes belong to the
// user-interface thread: Version() updates its stamp lazily and is not safe to call from two threads.

#include "platform/core/geometry3d.h"
#include "platform/core/material.h"
#include "platform/core/node3d.h"

#include <cstdint>
#include <initializer_list>
#include <memory>
#include <utility>
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

// A stamp that no earlier call returned (from 1 up, shared by all meshes).
uint64_t NewMeshStamp();

// One buffer of a mesh: a std::vector whose writing accesses mark it changed (see the header comment).
template <typename T> class TMeshBuffer {
public:
    using value_type = T;
    using size_type = typename std::vector<T>::size_type;
    using iterator = typename std::vector<T>::iterator;
    using const_iterator = typename std::vector<T>::const_iterator;

    TMeshBuffer() = default;
    TMeshBuffer(std::initializer_list<T> Items) : FItems(Items) {}
    TMeshBuffer(const TMeshBuffer& Other) : FItems(Other.FItems) {}
    TMeshBuffer(TMeshBuffer&& Other) noexcept : FItems(std::move(Other.FItems)) { Other.Touch(); }
    TMeshBuffer& operator=(const TMeshBuffer& Other) {
        FItems = Other.FItems;
        Touch();
        return *this;
    }
    TMeshBuffer& operator=(TMeshBuffer&& Other) noexcept {
        if (this != &Other) {
            FItems = std::move(Other.FItems);
            Other.Touch();
        }
        Touch();
        return *this;
    }
    TMeshBuffer& operator=(std::initializer_list<T> Items) {
        FItems = Items;
        Touch();
        return *this;
    }
    TMeshBuffer& operator=(std::vector<T> Items) {
        FItems = std::move(Items);
        Touch();
        return *this;
    }

    // --- Reading ---
    const std::vector<T>& Items() const { return FItems; }
    size_type size() const { return FItems.size(); }
    bool empty() const { return FItems.empty(); }
    const T& operator[](size_type i) const { return FItems[i]; }
    const T& at(size_type i) const { return FItems.at(i); }
    const_iterator begin() const { return FItems.begin(); }
    const_iterator end() const { return FItems.end(); }
    const_iterator cbegin() const { return FItems.cbegin(); }
    const_iterator cend() const { return FItems.cend(); }
    const T* data() const { return FItems.data(); }
    const T& front() const { return FItems.front(); }
    const T& back() const { return FItems.back(); }

    // --- Writing (each marks the buffer changed) ---
    T& operator[](size_type i) { return Touch()[i]; }
    T& at(size_type i) { return Touch().at(i); }
    iterator begin() { return Touch().begin(); }
    iterator end() { return Touch().end(); }
    T* data() { return Touch().data(); }
    T& front() { return Touch().front(); }
    T& back() { return Touch().back(); }
    void assign(size_type Count, const T& Value) { Touch().assign(Count, Value); }
    void assign(std::initializer_list<T> Items) { Touch().assign(Items); }
    template <typename It> void assign(It First, It Last) { Touch().assign(First, Last); }
    void resize(size_type Count) { Touch().resize(Count); }
    void resize(size_type Count, const T& Value) { Touch().resize(Count, Value); }
    void clear() { Touch().clear(); }
    void reserve(size_type Count) { FItems.reserve(Count); }
    void push_back(const T& Value) { Touch().push_back(Value); }
    void push_back(T&& Value) { Touch().push_back(std::move(Value)); }
    template <typename... A> T& emplace_back(A&&... Args) {
        return Touch().emplace_back(std::forward<A>(Args)...);
    }
    iterator insert(const_iterator Pos, const T& Value) { return Touch().insert(Pos, Value); }
    iterator insert(const_iterator Pos, std::initializer_list<T> Items) { return Touch().insert(Pos, Items); }
    template <typename It> iterator insert(const_iterator Pos, It First, It Last) {
        return Touch().insert(Pos, First, Last);
    }
    iterator erase(const_iterator Pos) { return Touch().erase(Pos); }
    iterator erase(const_iterator First, const_iterator Last) { return Touch().erase(First, Last); }

    bool operator==(const TMeshBuffer& Other) const { return FItems == Other.FItems; }
    bool operator==(const std::vector<T>& Other) const { return FItems == Other; }

    // The buffer's change stamp: a new stamp after every change since the last call.
    uint64_t Version() const {
        if (FChanged) {
            FVersion = NewMeshStamp();
            FChanged = false;
        }
        return FVersion;
    }

private:
    std::vector<T>& Touch() {
        FChanged = true;
        return FItems;
    }

    std::vector<T> FItems;
    mutable uint64_t FVersion = 0;
    mutable bool FChanged = true; // a new buffer has no stamp yet
};

class TMeshData {
public:
    TMeshData() = default;
    // A copy is a mesh of its own: same buffers, its own lifetime token.
    TMeshData(const TMeshData& Other) : VertexBuffer(Other.VertexBuffer), IndexBuffer(Other.IndexBuffer) {}
    TMeshData(TMeshData&& Other) noexcept
        : VertexBuffer(std::move(Other.VertexBuffer)), IndexBuffer(std::move(Other.IndexBuffer)) {}
    TMeshData& operator=(const TMeshData& Other);
    TMeshData& operator=(TMeshData&& Other) noexcept;

    TMeshBuffer<TMeshVertex> VertexBuffer;
    TMeshBuffer<int32_t> IndexBuffer;

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

    // Same buffers (the change stamps and lifetime tokens do not take part).
    bool operator==(const TMeshData& Other) const {
        return VertexBuffer == Other.VertexBuffer && IndexBuffer == Other.IndexBuffer;
    }

    // Changes whenever either buffer may have changed, to a value no mesh had before (so a new mesh
    // at the address of a freed one never shows the old mesh's stamp).
    uint64_t Version() const;
    // A token that lives exactly as long as this mesh object (copies get their own): a renderer holds
    // it weakly to free its copy of a freed mesh.
    std::weak_ptr<const void> Lifetime() const;

private:
    mutable std::shared_ptr<const void> FLifetime; // made on first request
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
