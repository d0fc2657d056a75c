#include "platform/core/component_stream.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

namespace vendrel {
namespace {

// Writes component streams by hand, tag by tag, so the tests do not lean on the reader's own idea of
// the format.
struct StreamWriter {
    std::vector<uint8_t> b;

    StreamWriter& raw(std::initializer_list<uint8_t> bytes) {
        b.insert(b.end(), bytes);
        return *this;
    }
    StreamWriter& le(uint64_t v, int n) {
        for (int i = 0; i < n; ++i) {
            b.push_back(static_cast<uint8_t>(v >> (8 * i)));
        }
        return *this;
    }
    StreamWriter& shortStr(const std::string& s) {
        b.push_back(static_cast<uint8_t>(s.size()));
        b.insert(b.end(), s.begin(), s.end());
        return *this;
    }
    StreamWriter& begin(const std::string& cls, const std::string& name, bool signature = true) {
        if (signature) {
            raw({'T', 'P', 'F', '0'});
        }
        return shortStr(cls).shortStr(name);
    }
    StreamWriter& str(const std::string& prop, const std::string& text) { // vaLString
        shortStr(prop).raw({12}).le(text.size(), 4);
        b.insert(b.end(), text.begin(), text.end());
        return *this;
    }
    StreamWriter& end() { return raw({0}); }
};

// A unit quad in the XY plane as a mesh component with the text properties of its data, between
// properties of every other kind that the reader must step over.
std::vector<uint8_t> quadComponent(bool signature = true) {
    StreamWriter w;
    w.begin("TMesh", "Mesh1", signature);
    // Width = 1.5 as an 80-bit extended value: mantissa 0xC000..., exponent 16383.
    w.shortStr("Width").raw({5}).le(0xC000000000000000ull, 8).le(16383, 2);
    w.shortStr("Position.X").raw({15}).le(0x40200000u, 4); // single 2.5
    w.shortStr("Visible").raw({8});                        // false
    w.shortStr("HitTest").raw({9});                        // true
    w.shortStr("Tag").raw({3}).le(static_cast<uint16_t>(-7), 2);
    w.shortStr("Opacity").raw({21}).le(0x3FE0000000000000ull, 8); // double 0.5
    w.shortStr("Anchors").raw({11}).shortStr("akLeft").shortStr("akTop").shortStr("");
    w.shortStr("Hint").raw({18}).le(2, 4).le(0x00E9, 2).le(0x20AC, 2); // wide "é€"
    w.shortStr("Items").raw({14}).raw({2, 5, 1}).shortStr("Caption").raw({6}).shortStr("x").end().end();
    w.shortStr("Blob").raw({10}).le(3, 4).raw({1, 2, 3});
    w.shortStr("Cursor").raw({7}).shortStr("crDefault");
    w.shortStr("Nested").raw({1, 2, 4, 1, 13, 0, 0}); // list of 4, (nil), end
    w.str("Data.Points", "-0.5 -0.5 0, 0.5 -0.5 0, 0.5 0.5 0, -0.5 0.5 0");
    w.str("Data.Normals", "0 0 1, 0 0 1, 0 0 1, 0 0 1");
    w.str("Data.TexCoordinates", "0.0 1.0, 1.0 1.0, 1.0 0.0, 0.0 0.0");
    w.str("Data.TriangleIndices", "0 1 2 ,2 3 0");
    w.end();
    // One child with a position flag and no properties.
    w.raw({0xF2, 2, 1}).shortStr("TLight").shortStr("").end().end();
    w.end();
    return w.b;
}

std::vector<uint8_t> meshStream(int count) {
    std::vector<uint8_t> s = {static_cast<uint8_t>(count), 0};
    for (int i = 0; i < count; ++i) {
        const std::vector<uint8_t> one = quadComponent();
        s.insert(s.end(), one.begin(), one.end());
    }
    return s;
}

TEST(ComponentStream, ReadsEveryValueKindOfAComponent) {
    const std::vector<uint8_t> bytes = quadComponent();
    TComponentStreamReader reader(bytes);
    const TStreamedComponent c = reader.ReadRootComponent();
    EXPECT_EQ(reader.Remaining(), 0u);
    EXPECT_EQ(c.ClassName, "TMesh");
    EXPECT_EQ(c.Name, "Mesh1");
    EXPECT_DOUBLE_EQ(c.FindProperty("Width")->Value.Float, 1.5);
    EXPECT_DOUBLE_EQ(c.FindProperty("Position.X")->Value.Float, 2.5);
    EXPECT_EQ(c.FindProperty("Visible")->Value.Int, 0);
    EXPECT_EQ(c.FindProperty("HitTest")->Value.Int, 1);
    EXPECT_EQ(c.FindProperty("Tag")->Value.Int, -7);
    EXPECT_DOUBLE_EQ(c.FindProperty("Opacity")->Value.Float, 0.5);
    EXPECT_EQ(c.FindProperty("Anchors")->Value.Set, (std::vector<std::string>{"akLeft", "akTop"}));
    EXPECT_EQ(c.FindProperty("Hint")->Value.Text, "\xC3\xA9\xE2\x82\xAC");
    const TStreamValue& items = c.FindProperty("Items")->Value;
    ASSERT_EQ(items.Items.size(), 1u);
    EXPECT_EQ(items.Items[0].Index, 5);
    EXPECT_EQ(items.Items[0].Properties.at(0).Value.Text, "x");
    EXPECT_EQ(c.FindProperty("Blob")->Value.Text, std::string("\1\2\3"));
    EXPECT_EQ(c.FindProperty("Cursor")->Value.Text, "crDefault");
    EXPECT_EQ(c.FindProperty("Nested")->Value.List.size(), 2u);
    ASSERT_EQ(c.Children.size(), 1u);
    EXPECT_EQ(c.Children[0].ClassName, "TLight");
    EXPECT_EQ(c.Children[0].ChildPos, 1);
    EXPECT_EQ(c.FindProperty("Missing"), nullptr);
}

TEST(ComponentStream, MeshStreamGivesPointsNormalsCoordinatesAndTriangles) {
    const std::vector<TMeshData> meshes = ReadModelMeshStream(meshStream(2));
    ASSERT_EQ(meshes.size(), 2u);
    const TMeshData& m = meshes[1];
    ASSERT_EQ(m.VertexCount(), 4);
    EXPECT_EQ(m.VertexBuffer[2].Position, TPoint3D(0.5f, 0.5f, 0));
    EXPECT_EQ(m.VertexBuffer[3].Normal, TPoint3D(0, 0, 1));
    EXPECT_EQ(m.VertexBuffer[1].TexCoord0, (TTexCoord{1.0f, 1.0f}));
    EXPECT_EQ(m.IndexBuffer, (std::vector<int32_t>{0, 1, 2, 2, 3, 0}));
    EXPECT_TRUE(ReadModelMeshStream(std::vector<uint8_t>{0, 0}).empty());
}

std::vector<uint8_t> meshWith(const std::string& prop, const std::string& text) {
    StreamWriter w;
    w.raw({1, 0}).begin("TMesh", "");
    w.str("Data.Points", "0 0 0, 1 0 0, 0 1 0");
    w.str(prop, text);
    w.end().end();
    return w.b;
}

TEST(ComponentStream, UndecodableStreamsAreRefused) {
    std::vector<uint8_t> badSignature = meshStream(1);
    badSignature[2] = 'X';
    std::vector<uint8_t> unknownTag = meshStream(1);
    unknownTag[2 + 4 + 6 + 6 + 6] = 22; // the tag of Width
    StreamWriter negative;
    negative.raw({1, 0}).begin("TMesh", "").shortStr("Data.Points").raw({12}).le(0xFFFFFFFF, 4);
    StreamWriter deep;
    deep.raw({1, 0}).begin("TMesh", "").shortStr("L");
    for (int i = 0; i < 100000; ++i) {
        deep.raw({1});
    }
    const std::vector<std::pair<const char*, std::vector<uint8_t>>> cases = {
        {"signature", badSignature},
        {"unknown tag", unknownTag},
        {"negative length", negative.b},
        {"nesting", deep.b},
        {"partial point", meshWith("Data.Normals", "0 0 1, 0 0 1")},
        {"index past the points", meshWith("Data.TriangleIndices", "0 1 3")},
        {"negative index", meshWith("Data.TriangleIndices", "0 -1 2")},
        {"partial triangle", meshWith("Data.TriangleIndices", "0 1")},
        {"coordinates", meshWith("Data.TexCoordinates", "0 0, 1 0")},
        {"unreadable number", meshWith("Data.TriangleIndices", "0 1 2x")},
        {"mesh count beyond the data", std::vector<uint8_t>{2, 0}},
        {"no count", std::vector<uint8_t>{1}},
    };
    for (const auto& [what, bytes] : cases) {
        EXPECT_THROW(ReadModelMeshStream(bytes), EComponentStreamError) << what;
    }
    // Every cut of a good stream is refused, never read past its end.
    const std::vector<uint8_t> good = meshStream(1);
    for (size_t n = 0; n < good.size(); ++n) {
        EXPECT_THROW(ReadModelMeshStream(std::span(good.data(), n)), EComponentStreamError) << n;
    }
}

TEST(ComponentStream, FailedLoadLeavesTheModelWithoutMeshes) {
    TModel3D model;
    LoadModelMeshes(model, meshStream(2));
    EXPECT_EQ(model.MeshCount(), 2);
    std::vector<uint8_t> cut = meshStream(2);
    cut.resize(cut.size() - 3);
    EXPECT_THROW(LoadModelMeshes(model, cut), EComponentStreamError);
    EXPECT_EQ(model.MeshCount(), 0);
}

} // namespace
} // namespace vendrel
