#pragma once
// The binary component stream that library model files carry their 3D models in.
//
// A component is written as the signature "TPF0" (only before the outermost one), an optional flag
// byte ($F0 | flags, followed by the child position when flag 2 is set), its class name and its own
// name as short strings, its properties (a short-string name followed by a tagged value) up to a zero
// byte, then its child components up to a zero byte. Every value starts with a one-byte type tag
// (TValueType); lists and collections nest values up to their own zero byte.
//
// A model's mesh stream is a 16-bit little-endian mesh count followed by that many components, each
// a mesh whose vertices, normals, texture coordinates and triangle indices are text properties
// ("Data.Points" and its siblings) of numbers separated by blanks or commas.
//
// The reader never reads past the bytes it is given and never allocates more than they can hold;
// anything it cannot decode raises EComponentStreamError.

#include <cstddef>
#include <cstdint>
#include <span>
#include <stdexcept>
#include <string>
#include <vector>

#include "platform/core/mesh.h"

namespace vendrel {

class EComponentStreamError : public std::runtime_error {
public:
    explicit EComponentStreamError(const std::string& what) : std::runtime_error(what) {}
};

enum class TValueType : uint8_t {
    vaNull,
    vaList,
    vaInt8,
    vaInt16,
    vaInt32,
    vaExtended,
    vaString,
    vaIdent,
    vaFalse,
    vaTrue,
    vaBinary,
    vaSet,
    vaLString,
    vaNil,
    vaCollection,
    vaSingle,
    vaCurrency,
    vaDate,
    vaWString,
    vaInt64,
    vaUTF8String,
    vaDouble
};

struct TStreamedProperty;

// One item of a collection value: its optional order index and its properties.
struct TStreamedItem {
    bool HasIndex = false;
    int64_t Index = 0;
    std::vector<TStreamedProperty> Properties;
};

// A decoded value. Integers, booleans (0 or 1) land in Int; floating kinds (extended, single,
// double, date, currency as its amount) in Float; strings, identifiers and binary blocks in Text
// (single-byte and UTF-8 strings as stored, wide strings as UTF-8); sets in Set; lists in List;
// collections in Items.
struct TStreamValue {
    TValueType Type = TValueType::vaNull;
    int64_t Int = 0;
    double Float = 0.0;
    std::string Text;
    std::vector<std::string> Set;
    std::vector<TStreamValue> List;
    std::vector<TStreamedItem> Items;
};

struct TStreamedProperty {
    std::string Name;
    TStreamValue Value;
};

struct TStreamedComponent {
    uint8_t Flags = 0; // 1 inherited, 2 child position given, 4 inline
    int64_t ChildPos = 0;
    std::string ClassName;
    std::string Name;
    std::vector<TStreamedProperty> Properties;
    std::vector<TStreamedComponent> Children;

    // The property of that exact name, or nullptr.
    const TStreamedProperty* FindProperty(const std::string& PropName) const;
};

class TComponentStreamReader {
public:
    explicit TComponentStreamReader(std::span<const uint8_t> Bytes) : FBytes(Bytes) {}

    // The signature "TPF0", then one component with its children.
    TStreamedComponent ReadRootComponent();
    uint16_t ReadUInt16();
    size_t Position() const { return FPos; }
    size_t Remaining() const { return FBytes.size() - FPos; }

private:
    TStreamedComponent readComponent(int depth);
    std::vector<TStreamedProperty> readProperties(int depth);
    TStreamValue readValue(int depth);
    std::string readShortString();
    std::string readBytes(size_t count);
    uint8_t readByte();
    template <typename T> T readLittleEndian();
    size_t readLength(); // a 32-bit byte or element count, checked against what remains

    std::span<const uint8_t> FBytes;
    size_t FPos = 0;
};

// The mesh held by a streamed mesh component: vertices from "Data.Points", normals from
// "Data.Normals", texture coordinates from "Data.TexCoordinates" and triangles from
// "Data.TriangleIndices". Raises EComponentStreamError for numbers that do not parse, lists whose
// length does not fit (three values per point and normal, two per texture coordinate, three indices
// per triangle, as many normals and coordinates as points when present) and indices that name no
// vertex.
TMeshData MeshDataFromComponent(const TStreamedComponent& Component);

// Every mesh of a model's mesh stream.
std::vector<TMeshData> ReadModelMeshStream(std::span<const uint8_t> Bytes);

// Replaces the model's meshes by those of the stream (without materials). The stream is decoded
// whole first: when it fails, the model is left without meshes and EComponentStreamError is raised.
void LoadModelMeshes(TModel3D& Model, std::span<const uint8_t> Bytes);

} // namespace vendrel
