#include "platform/core/component_stream.h"

#include "platform/core/unicode.h"

#include <charconv>
#include <cmath>
#include <cstring>
#include <type_traits>

namespace vendrel {

namespace {

// Nesting of components, lists and collections; a stream deeper than this is refused rather than
// followed down the call stack.
constexpr int kMaxDepth = 64;

[[noreturn]] void fail(const std::string& what) {
    throw EComponentStreamError("Component stream: " + what);
}

// An 80-bit extended value: sign, 15-bit exponent biased by 16383, 64-bit mantissa with its integer
// bit stored.
double extendedToDouble(const uint8_t* p) {
    uint64_t mantissa = 0;
    for (int i = 7; i >= 0; --i) {
        mantissa = (mantissa << 8) | p[i];
    }
    const uint16_t signExp = static_cast<uint16_t>(p[8] | (p[9] << 8));
    const bool negative = (signExp & 0x8000) != 0;
    const int exponent = signExp & 0x7FFF;
    double value;
    if (exponent == 0x7FFF) {
        value = (mantissa << 1) == 0 ? HUGE_VAL : std::nan("");
    } else {
        value = std::ldexp(static_cast<double>(mantissa), exponent - 16383 - 63);
    }
    return negative ? -value : value;
}

bool isSeparator(char c) {
    return c == ' ' || c == ',' || c == '\t' || c == '\r' || c == '\n';
}

// Numbers of a mesh text property, separated by blanks and commas, in the C locale.
template <typename T> std::vector<T> parseNumbers(const std::string& text, const char* property) {
    std::vector<T> values;
    const char* p = text.data();
    const char* end = p + text.size();
    while (p < end) {
        if (isSeparator(*p)) {
            ++p;
            continue;
        }
        T value{};
        // from_chars takes no leading '+'; the writer never puts one, so it is not accepted either.
        const auto [next, ec] = std::from_chars(p, end, value);
        if (ec != std::errc() || (next < end && !isSeparator(*next))) {
            fail(std::string("unreadable number in ") + property);
        }
        values.push_back(value);
        p = next;
    }
    return values;
}

const std::string* textProperty(const TStreamedComponent& c, const char* name) {
    const TStreamedProperty* p = c.FindProperty(name);
    if (p == nullptr) {
        return nullptr;
    }
    switch (p->Value.Type) {
    case TValueType::vaString:
    case TValueType::vaLString:
    case TValueType::vaWString:
    case TValueType::vaUTF8String:
        return &p->Value.Text;
    default:
        fail(std::string(name) + " is not a text value");
    }
}

} // namespace

const TStreamedProperty* TStreamedComponent::FindProperty(const std::string& PropName) const {
    for (const TStreamedProperty& p : Properties) {
        if (p.Name == PropName) {
            return &p;
        }
    }
    return nullptr;
}

uint8_t TComponentStreamReader::readByte() {
    if (Remaining() < 1) {
        fail("unexpected end of data");
    }
    return FBytes[FPos++];
}

template <typename T> T TComponentStreamReader::readLittleEndian() {
    if (Remaining() < sizeof(T)) {
        fail("unexpected end of data");
    }
    std::make_unsigned_t<T> u = 0;
    for (size_t i = 0; i < sizeof(T); ++i) {
        u |= static_cast<std::make_unsigned_t<T>>(FBytes[FPos + i]) << (8 * i);
    }
    FPos += sizeof(T);
    return static_cast<T>(u);
}

uint16_t TComponentStreamReader::ReadUInt16() {
    return readLittleEndian<uint16_t>();
}

std::string TComponentStreamReader::readBytes(size_t count) {
    if (Remaining() < count) {
        fail("a length runs past the end of the data");
    }
    std::string s(reinterpret_cast<const char*>(FBytes.data() + FPos), count);
    FPos += count;
    return s;
}

size_t TComponentStreamReader::readLength() {
    const int32_t n = readLittleEndian<int32_t>();
    if (n < 0) {
        fail("negative length");
    }
    return static_cast<size_t>(n);
}

std::string TComponentStreamReader::readShortString() {
    return readBytes(readByte());
}

TStreamValue TComponentStreamReader::readValue(int depth) {
    if (depth > kMaxDepth) {
        fail("values nested too deeply");
    }
    TStreamValue v;
    const uint8_t tag = readByte();
    if (tag > static_cast<uint8_t>(TValueType::vaDouble)) {
        fail("unknown value type " + std::to_string(tag));
    }
    v.Type = static_cast<TValueType>(tag);
    switch (v.Type) {
    case TValueType::vaNull:
        fail("value missing");
    case TValueType::vaList:
        while (true) {
            if (Remaining() > 0 && FBytes[FPos] == 0) {
                ++FPos;
                break;
            }
            v.List.push_back(readValue(depth + 1));
        }
        break;
    case TValueType::vaInt8:
        v.Int = readLittleEndian<int8_t>();
        break;
    case TValueType::vaInt16:
        v.Int = readLittleEndian<int16_t>();
        break;
    case TValueType::vaInt32:
        v.Int = readLittleEndian<int32_t>();
        break;
    case TValueType::vaInt64:
        v.Int = readLittleEndian<int64_t>();
        break;
    case TValueType::vaExtended: {
        const std::string raw = readBytes(10);
        v.Float = extendedToDouble(reinterpret_cast<const uint8_t*>(raw.data()));
        break;
    }
    case TValueType::vaSingle: {
        const uint32_t bits = readLittleEndian<uint32_t>();
        float f;
        std::memcpy(&f, &bits, sizeof f);
        v.Float = f;
        break;
    }
    case TValueType::vaDouble:
    case TValueType::vaDate: {
        const uint64_t bits = readLittleEndian<uint64_t>();
        std::memcpy(&v.Float, &bits, sizeof v.Float);
        break;
    }
    case TValueType::vaCurrency:
        // A fixed-point amount in units of 1/10000.
        v.Int = readLittleEndian<int64_t>();
        v.Float = static_cast<double>(v.Int) / 10000.0;
        break;
    case TValueType::vaString:
    case TValueType::vaIdent:
        v.Text = readShortString();
        break;
    case TValueType::vaLString:
    case TValueType::vaUTF8String:
    case TValueType::vaBinary:
        v.Text = readBytes(readLength());
        break;
    case TValueType::vaWString: {
        const size_t units = readLength();
        if (units > Remaining() / 2) {
            fail("a length runs past the end of the data");
        }
        v.Text = Utf16ToUtf8(readBytes(units * 2), false);
        break;
    }
    case TValueType::vaFalse:
    case TValueType::vaTrue:
        v.Int = v.Type == TValueType::vaTrue ? 1 : 0;
        break;
    case TValueType::vaNil:
        break;
    case TValueType::vaSet:
        while (true) {
            std::string element = readShortString();
            if (element.empty()) {
                break;
            }
            v.Set.push_back(std::move(element));
        }
        break;
    case TValueType::vaCollection:
        while (true) {
            const uint8_t next = readByte();
            if (next == 0) {
                break;
            }
            TStreamedItem item;
            if (next == static_cast<uint8_t>(TValueType::vaInt8) ||
                next == static_cast<uint8_t>(TValueType::vaInt16) ||
                next == static_cast<uint8_t>(TValueType::vaInt32)) {
                --FPos;
                item.HasIndex = true;
                item.Index = readValue(depth + 1).Int;
                if (readByte() != static_cast<uint8_t>(TValueType::vaList)) {
                    fail("collection item without its list");
                }
            } else if (next != static_cast<uint8_t>(TValueType::vaList)) {
                fail("collection item without its list");
            }
            item.Properties = readProperties(depth + 1);
            v.Items.push_back(std::move(item));
        }
        break;
    }
    return v;
}

std::vector<TStreamedProperty> TComponentStreamReader::readProperties(int depth) {
    std::vector<TStreamedProperty> properties;
    while (true) {
        std::string name = readShortString();
        if (name.empty()) {
            return properties; // the zero length byte ends the list
        }
        TStreamedProperty p;
        p.Name = std::move(name);
        p.Value = readValue(depth);
        properties.push_back(std::move(p));
    }
}

TStreamedComponent TComponentStreamReader::readComponent(int depth) {
    if (depth > kMaxDepth) {
        fail("components nested too deeply");
    }
    TStreamedComponent c;
    if (Remaining() > 0 && (FBytes[FPos] & 0xF0) == 0xF0) {
        c.Flags = FBytes[FPos++] & 0x0F;
        if ((c.Flags & 2) != 0) {
            const TStreamValue pos = readValue(depth + 1);
            if (pos.Type != TValueType::vaInt8 && pos.Type != TValueType::vaInt16 &&
                pos.Type != TValueType::vaInt32) {
                fail("child position is not an integer");
            }
            c.ChildPos = pos.Int;
        }
    }
    c.ClassName = readShortString();
    if (c.ClassName.empty()) {
        fail("component without class name");
    }
    c.Name = readShortString();
    c.Properties = readProperties(depth + 1);
    while (true) {
        if (Remaining() > 0 && FBytes[FPos] == 0) {
            ++FPos;
            break;
        }
        c.Children.push_back(readComponent(depth + 1));
    }
    return c;
}

TStreamedComponent TComponentStreamReader::ReadRootComponent() {
    if (readBytes(4) != "TPF0") {
        fail("signature missing");
    }
    return readComponent(0);
}

TMeshData MeshDataFromComponent(const TStreamedComponent& Component) {
    TMeshData mesh;
    if (const std::string* text = textProperty(Component, "Data.Points")) {
        const std::vector<float> v = parseNumbers<float>(*text, "Data.Points");
        if (v.size() % 3 != 0) {
            fail("Data.Points does not hold whole points");
        }
        mesh.VertexBuffer.resize(v.size() / 3);
        for (size_t i = 0; i < mesh.VertexBuffer.size(); ++i) {
            mesh.VertexBuffer[i].Position = TPoint3D(v[3 * i], v[3 * i + 1], v[3 * i + 2]);
        }
    }
    const size_t vertices = mesh.VertexBuffer.size();
    if (const std::string* text = textProperty(Component, "Data.Normals")) {
        const std::vector<float> v = parseNumbers<float>(*text, "Data.Normals");
        if (v.size() != 3 * vertices) {
            fail("Data.Normals does not hold one normal per point");
        }
        for (size_t i = 0; i < vertices; ++i) {
            mesh.VertexBuffer[i].Normal = TPoint3D(v[3 * i], v[3 * i + 1], v[3 * i + 2]);
        }
    }
    if (const std::string* text = textProperty(Component, "Data.TexCoordinates")) {
        const std::vector<float> v = parseNumbers<float>(*text, "Data.TexCoordinates");
        if (v.size() != 2 * vertices) {
            fail("Data.TexCoordinates does not hold one coordinate per point");
        }
        for (size_t i = 0; i < vertices; ++i) {
            mesh.VertexBuffer[i].TexCoord0 = TTexCoord{v[2 * i], v[2 * i + 1]};
        }
    }
    if (const std::string* text = textProperty(Component, "Data.TriangleIndices")) {
        const std::vector<int64_t> v = parseNumbers<int64_t>(*text, "Data.TriangleIndices");
        if (v.size() % 3 != 0) {
            fail("Data.TriangleIndices does not hold whole triangles");
        }
        mesh.IndexBuffer.reserve(v.size());
        for (const int64_t index : v) {
            if (index < 0 || static_cast<uint64_t>(index) >= vertices) {
                fail("triangle index names no point");
            }
            mesh.IndexBuffer.push_back(static_cast<int32_t>(index));
        }
    }
    return mesh;
}

std::vector<TMeshData> ReadModelMeshStream(std::span<const uint8_t> Bytes) {
    TComponentStreamReader reader(Bytes);
    const uint16_t count = reader.ReadUInt16();
    std::vector<TMeshData> meshes;
    for (uint16_t i = 0; i < count; ++i) {
        meshes.push_back(MeshDataFromComponent(reader.ReadRootComponent()));
    }
    return meshes;
}

void LoadModelMeshes(TModel3D& Model, std::span<const uint8_t> Bytes) {
    Model.ClearMeshes();
    const std::vector<TMeshData> meshes = ReadModelMeshStream(Bytes);
    for (const TMeshData& mesh : meshes) {
        Model.AddMesh(mesh);
    }
}

} // namespace vendrel
