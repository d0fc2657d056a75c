#include "files/dxf_document.h"

#include <gtest/gtest.h>

namespace vendrel {
namespace {

TEST(DxfDocument, TableHandsOutEntriesOnlyInsideItsRange) {
    TDxfTable table;
    EXPECT_EQ(table.AddItem(nullptr), -1);
    EXPECT_EQ(table.Count(), 0);
    EXPECT_EQ(table.AddItem(std::make_unique<TDxfLayerEntry>()), 0);
    EXPECT_EQ(table.AddItem(std::make_unique<TDxfLayerEntry>()), 1);
    EXPECT_EQ(table.GetObject(-1), nullptr);
    EXPECT_EQ(table.GetObject(table.Count()), nullptr);
    ASSERT_EQ(table.GetObject(table.Count() - 1), table.Items_.back().get());
    EXPECT_EQ(table.GetObject(1)->Owner_, &table);
    table.Clear();
    EXPECT_EQ(table.Count(), 0);
}

TEST(DxfDocument, DictionaryEntryReferenceMakesTheDictionaryTheOwner) {
    TDxfDictionary dict("DICTIONARY");
    TDxfDictionaryEntry* e = dict.AddEntry("ACAD_GROUP", "D");
    EXPECT_EQ(e->Owner_, &dict);
    EXPECT_EQ(e->EntryName, "ACAD_GROUP");
    EXPECT_EQ(e->RefId, "D");
    TDxfXRecord target("XRECORD");
    e->SetRef_(&target);
    EXPECT_EQ(e->Ref_(), &target);
    EXPECT_EQ(target.Owner_, &dict);
    e->SetRef_(nullptr);
    EXPECT_EQ(e->Ref_(), nullptr);
}

TEST(DxfDocument, ConstructorsPresetTheirClassNames) {
    const TDxfLine line("LINE");
    EXPECT_EQ(line.EntityType, "LINE");
    EXPECT_EQ(line.SubClass, "AcDbEntity");
    EXPECT_EQ(line.Subclass2, "AcDbLine");
    const TDxfPolyLine poly("AcDb3dPolyline", "POLYLINE");
    EXPECT_EQ(poly.Subclass2, "AcDb3dPolyline");
    EXPECT_EQ(poly.Extrusion, (TDxfPoint{0, 0, 1}));
    const TDxfVertex vertex("AcDb2dVertex", "VERTEX");
    EXPECT_EQ(vertex.Subclass2, "AcDbVertex");
    EXPECT_EQ(vertex.SubClass3, "AcDb2dVertex");
    EXPECT_EQ(TDxfMText("MTEXT").Subclass2, "AcDbMText");
    EXPECT_EQ(TDxfTable().SubClass, "AcDbSymbolTable");
    EXPECT_EQ(TDxfDictionary("DICTIONARY").SubClass2, "AcDbDictionary");
    EXPECT_EQ(TDxfDictionary("DICTIONARY").ObjectType, "DICTIONARY");
    // Style and extension records leave their type to the reader.
    EXPECT_EQ(TDxfMLineStyle("MLINESTYLE").ObjectType, "");
    EXPECT_EQ(TDxfTableStyle("TABLESTYLE").ObjectType, "");
    EXPECT_EQ(TDxfXRecord("XRECORD").ObjectType, "");
    EXPECT_NE(TDxfXRecord("XRECORD").XRec, nullptr);
    EXPECT_NE(TDxfFileBlock()._blockEnd, nullptr);
}

TEST(DxfDocument, EntryDisplayNamesComeFromTheirNameField) {
    TDxfLayerEntry layer;
    layer.EntryType = "LAYER";
    layer.LayerName = "WALLS";
    TDxfDimStyleEntry dim;
    dim.Dim.StyleName = "ISO-25";
    TDxfTableEntry plain;
    plain.EntryType = "LAYER";
    const TDxfTableEntry* entries[] = {&layer, &dim, &plain};
    EXPECT_EQ(entries[0]->DisplayName(), "WALLS");
    EXPECT_EQ(entries[1]->DisplayName(), "ISO-25");
    EXPECT_EQ(entries[2]->DisplayName(), "LAYER");
}

TEST(DxfDocument, ClearFreesTablesAndEntitiesOnly) {
    TDxfFile dxf;
    dxf.header.Base.DefaultUnits = 4;
    dxf.AddTable()->AddItem(std::make_unique<TDxfLayerEntry>());
    auto line = std::make_unique<TDxfLine>("LINE");
    TDxfTable stranger;
    line->Owner_ = &stranger;
    dxf.AddEntity(std::move(line));
    EXPECT_EQ(dxf.entities.back()->Owner_, nullptr);
    dxf.AddEntity(nullptr);
    dxf.AddObject(nullptr);
    dxf.AddBlock()->AddEntity(std::make_unique<TDxfCircle>("CIRCLE"));
    dxf.AddClass();
    auto dict = std::make_unique<TDxfDictionary>("DICTIONARY");
    dict->AddEntry("A", "1");
    dxf.AddObject(std::move(dict));
    EXPECT_EQ(dxf.entities.size(), 1u);

    dxf.Clear();
    EXPECT_TRUE(dxf.tables.empty());
    EXPECT_TRUE(dxf.entities.empty());
    EXPECT_EQ(dxf.header.Base.DefaultUnits, 4);
    EXPECT_EQ(dxf.blocks.size(), 1u);
    EXPECT_EQ(dxf.blocks[0]->_entities.size(), 1u);
    EXPECT_EQ(dxf.classes.size(), 1u);
    EXPECT_EQ(dxf.objects.size(), 1u);
}

} // namespace
} // namespace vendrel
