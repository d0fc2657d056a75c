#include "files/dxf_reader.h"

#include <charconv>
#include <fstream>
#include <sstream>

#include <gtest/gtest.h>

#include "dxf_test_util.h"
#include "platform/core/atomic_file.h"

namespace vendrel {
namespace {

using dxf_test::BinaryDxf;
using dxf_test::DxfText;
using Groups = std::vector<std::pair<int, std::string>>;

const std::string kDxfDir = std::string(TEST_DATA_DIR) + "/dxf";

double Real(const std::string& s) {
    double v = 0.0;
    const auto [end, ec] = std::from_chars(s.data(), s.data() + s.size(), v);
    EXPECT_TRUE(ec == std::errc{} && end == s.data() + s.size()) << s;
    return v;
}

template <typename T> const T* As(const std::unique_ptr<TDxfEntity>& e) {
    return dynamic_cast<const T*>(e.get());
}

std::unique_ptr<TDxfFile> Read(const Groups& g, std::string* Reason = nullptr) {
    auto dxf = std::make_unique<TDxfFile>();
    std::istringstream in(DxfText(g));
    const std::string why = LoadDxfStream(in, *dxf);
    if (Reason != nullptr) {
        *Reason = why;
    } else {
        EXPECT_EQ(why, "");
    }
    return dxf;
}

// ---- Drawings written by ezdxf ----------------------------------------------------------------

struct ExpectedDrawing {
    std::string file;
    int32_t units = 0;
    std::vector<std::vector<std::string>> shapes; // LINE or POLYLINE rows of expected.txt
};

std::vector<ExpectedDrawing> ExpectedDrawings() {
    std::ifstream in(kDxfDir + "/ezdxf/expected.txt");
    std::vector<ExpectedDrawing> out;
    std::string row;
    while (std::getline(in, row)) {
        std::istringstream words(row);
        std::vector<std::string> w{std::istream_iterator<std::string>(words), {}};
        if (w.at(0) == "drawing") {
            out.push_back({w.at(1), std::stoi(w.at(2)), {}});
        } else {
            out.back().shapes.push_back(w);
        }
    }
    return out;
}

TEST(DxfReader, EzdxfDrawingsGiveTheCoordinatesTheyWereWrittenWith) {
    const auto drawings = ExpectedDrawings();
    ASSERT_EQ(drawings.size(), 6u);
    for (const ExpectedDrawing& d : drawings) {
        SCOPED_TRACE(d.file);
        TDxfFile dxf;
        EXPECT_EQ(LoadDxfFile(kDxfDir + "/ezdxf/" + d.file, dxf), "");
        EXPECT_EQ(dxf.header.Base.DefaultUnits, d.units);

        // Lines and polylines in file order; the polylines' vertices are not entities of their own.
        std::vector<const TDxfEntity*> shapes;
        for (const auto& e : dxf.entities) {
            ASSERT_NE(e->EntityType, "VERTEX");
            if (e->EntityType == "LINE" || e->EntityType == "POLYLINE") {
                shapes.push_back(e.get());
            }
        }
        ASSERT_EQ(shapes.size(), d.shapes.size());
        for (size_t i = 0; i < shapes.size(); ++i) {
            const auto& w = d.shapes[i];
            SCOPED_TRACE("shape " + std::to_string(i));
            ASSERT_EQ(shapes[i]->EntityType, w[0]);
            EXPECT_EQ(shapes[i]->LayerName, w[1]);
            if (const auto* line = dynamic_cast<const TDxfLine*>(shapes[i])) {
                EXPECT_EQ(line->StartPoint, (TDxfPoint{Real(w[2]), Real(w[3]), Real(w[4])}));
                EXPECT_EQ(line->EndPoint, (TDxfPoint{Real(w[5]), Real(w[6]), Real(w[7])}));
                EXPECT_EQ(line->Extrusion, (TDxfPoint{0, 0, 1}));
            } else {
                const auto* poly = dynamic_cast<const TDxfPolyLine*>(shapes[i]);
                ASSERT_NE(poly, nullptr);
                EXPECT_EQ(poly->PolyFlags, std::stoi(w[2]));
                EXPECT_EQ(poly->ElevPoint, (TDxfPoint{Real(w[3]), Real(w[4]), Real(w[5])}));
            }
        }

        // The block with its line, its placement, and the layer of the lines.
        const auto door = std::find_if(dxf.blocks.begin(), dxf.blocks.end(),
                                       [](const auto& b) { return b->BlockName == "DOOR"; });
        ASSERT_NE(door, dxf.blocks.end());
        ASSERT_EQ((*door)->_entities.size(), 1u);
        EXPECT_EQ(As<TDxfLine>((*door)->_entities[0])->EndPoint, (TDxfPoint{0.9, 0, 0}));
        EXPECT_EQ((*door)->_blockEnd->SubClass, "AcDbEntity");
        const auto* insert = As<TDxfInsert>(dxf.entities.back());
        ASSERT_NE(insert, nullptr);
        EXPECT_EQ(insert->BlockName, "DOOR");
        EXPECT_EQ(insert->InsPoint, (TDxfPoint{1, 2, 0}));
        const TDxfLayerEntry* walls = nullptr;
        for (const auto& t : dxf.tables) {
            for (const auto& e : t->Items_) {
                if (e->DisplayName() == "WALLS") {
                    walls = dynamic_cast<const TDxfLayerEntry*>(e.get());
                }
            }
        }
        ASSERT_NE(walls, nullptr);
        EXPECT_EQ(walls->ColorNum, 3);
        EXPECT_FALSE(dxf.objects.empty());
    }
}

// ---- Hand-made drawings of the text scanner's rules -------------------------------------------

TEST(DxfReader, HandMadeDrawingsReadAlikeWhateverTheirLineEndsAndEncoding) {
    const std::pair<const char*, const char*> cases[] = {
        {"lf.dxf", "STAGE"},
        {"cr.dxf", "STAGE"},
        {"crlf.dxf", "STAGE"},
        {"lfcr.dxf", "STAGE"},
        {"no_eof_group.dxf", "STAGE"},
        {"app_groups.dxf", "STAGE"},
        {"binary.dxf", "STAGE"},
        {"bom_utf8.dxf", "B\xC3\xBChne \xE2\x82\xAC"},
        {"bom_utf16le.dxf", "B\xC3\xBChne \xE2\x82\xAC"},
        {"cp1252.dxf", "B\xC3\xBChne \xE2\x82\xAC"},
    };
    for (const auto& [file, layer] : cases) {
        SCOPED_TRACE(file);
        TDxfFile dxf;
        EXPECT_EQ(LoadDxfFile(kDxfDir + "/handmade/" + file, dxf), "");
        EXPECT_EQ(dxf.header.Base.DefaultUnits, 4);
        ASSERT_EQ(dxf.entities.size(), 1u);
        const auto* line = As<TDxfLine>(dxf.entities[0]);
        ASSERT_NE(line, nullptr);
        EXPECT_EQ(line->LayerName, layer);
        EXPECT_EQ(line->StartPoint, (TDxfPoint{1.5, -2.25, 0.0}));
        EXPECT_EQ(line->EndPoint, (TDxfPoint{1000.0, 4.0, 0.5}));
        ASSERT_EQ(dxf.tables.size(), 1u);
        ASSERT_EQ(dxf.tables[0]->Count(), 1);
        const auto* entry = dynamic_cast<const TDxfLayerEntry*>(dxf.tables[0]->GetObject(0));
        ASSERT_NE(entry, nullptr);
        EXPECT_EQ(entry->LayerName, layer);
        EXPECT_EQ(entry->ColorNum, 3);
    }
}

TEST(DxfReader, ApplicationGroupsAfterAHandleAreSkippedSoTheRecordIsStillRead) {
    TDxfFile dxf;
    EXPECT_EQ(LoadDxfFile(kDxfDir + "/handmade/app_groups.dxf", dxf), "");
    const auto& line = *As<TDxfLine>(dxf.entities.at(0));
    EXPECT_EQ(line.Handle, "2E");
    EXPECT_EQ(line.Owner, "1F");
    EXPECT_EQ(line.Subclass2, "AcDbLine");
    const auto& entry = *dxf.tables.at(0)->GetObject(0);
    EXPECT_EQ(entry.Handle, "10");
    EXPECT_EQ(entry.Owner, "2");
    ASSERT_EQ(dxf.blocks.size(), 1u);
    EXPECT_EQ(dxf.blocks[0]->Handle, "20");
    EXPECT_EQ(dxf.blocks[0]->BlockName, "DOOR");
    EXPECT_EQ(dxf.blocks[0]->_blockEnd->Subclass2, "AcDbBlockEnd");
}

// ---- Records ----------------------------------------------------------------------------------

Groups Entities(const Groups& Body) {
    Groups g{{0, "SECTION"}, {2, "ENTITIES"}};
    g.insert(g.end(), Body.begin(), Body.end());
    g.insert(g.end(), {{0, "ENDSEC"}, {0, "EOF"}});
    return g;
}

TEST(DxfReader, KeepsOnlyTheKnownEntityKindsInFileOrder) {
    const auto dxf = Read(Entities({{0, "LINE"},
                                    {10, "1"},
                                    {0, "line"},
                                    {10, "2"},
                                    {0, "TEXT"},
                                    {10, "3"},
                                    {1, "hello"},
                                    {0, "CIRCLE"},
                                    {40, "0.5"},
                                    {0, "ARC"},
                                    {0, "SOLID"},
                                    {0, "MTEXT"},
                                    {0, "INSERT"},
                                    {0, "POLYLINE"},
                                    {0, "VERTEX"},
                                    {10, "7"},
                                    {0, "SEQEND"}}));
    std::vector<std::string> types;
    for (const auto& e : dxf->entities) {
        types.push_back(e->EntityType);
    }
    EXPECT_EQ(types,
              (std::vector<std::string>{"LINE", "LINE", "CIRCLE", "SOLID", "MTEXT", "INSERT", "POLYLINE"}));
    EXPECT_EQ(As<TDxfLine>(dxf->entities[1])->StartPoint.x, 2.0);
    EXPECT_EQ(As<TDxfCircle>(dxf->entities[2])->Radius, 0.5);
}

TEST(DxfReader, EntityGroupsMissingOrOutOfOrderKeepTheirDefaults) {
    const auto dxf = Read(Entities({{0, "LINE"},
                                    {8, "0"},
                                    {10, "1"},
                                    {20, "2"},
                                    {30, "3"},
                                    {39, "5"},
                                    {11, "4"},
                                    {21, "5"},
                                    {31, "6"},
                                    {0, "MTEXT"},
                                    {0, "INSERT"},
                                    {2, "DOOR"}}));
    const auto& line = *As<TDxfLine>(dxf->entities[0]);
    EXPECT_EQ(line.LineTypeName, "BYLAYER");
    EXPECT_EQ(line.HardPtrId, "BYLAYER");
    EXPECT_EQ(line.ColorNumber, 256);
    EXPECT_EQ(line.LineScale, 1.0);
    EXPECT_EQ(line.Extrusion, (TDxfPoint{0, 0, 1}));
    EXPECT_EQ(line.Subclass2, "");                    // the preset gives way to the absent group
    EXPECT_EQ(line.StartPoint, (TDxfPoint{1, 2, 3})); // the sequence has passed 39 and 11 by then
    EXPECT_EQ(line.Thickness, 0.0);
    EXPECT_EQ(line.EndPoint, (TDxfPoint{0, 0, 0}));
    EXPECT_EQ(As<TDxfMText>(dxf->entities[1])->TextStyle, "STANDARD");
    const auto& insert = *As<TDxfInsert>(dxf->entities[2]);
    EXPECT_EQ(insert.ColCount, 1);
    EXPECT_EQ(insert.RowCount, 1);
    EXPECT_EQ(insert.Scale, (TDxfPoint{0, 0, 0}));
}

TEST(DxfReader, TablesHoldTheirEntriesWithTheirOwnerAndType) {
    const auto dxf =
        Read({{0, "SECTION"}, {2, "TABLES"}, {0, "TABLE"},    {2, "LAYER"},    {70, "2"},     {0, "LAYER"},
              {2, "A"},       {0, "LAYER"},  {2, "B"},        {0, "ENDTAB"},   {0, "LAYER"},  {2, "outside"},
              {0, "TABLE"},   {2, "VPORT"},  {0, "VPORT"},    {2, "*ACTIVE"},  {70, "1"},     {12, "3"},
              {22, "4"},      {70, "5"},     {70, "6"},       {331, "2A"},     {0, "VPORT"},  {441, "2B"},
              {0, "ENDTAB"},  {0, "TABLE"},  {2, "DIMSTYLE"}, {0, "DIMSTYLE"}, {105, "27"},   {2, "ISO"},
              {41, "2.5"},    {176, "7"},    {287, "3"},      {340, "11"},     {0, "ENDTAB"}, {0, "TABLE"},
              {2, "CUSTOM"},  {0, "THING"},  {0, "ENDTAB"},   {0, "ENDSEC"},   {0, "EOF"}});
    ASSERT_EQ(dxf->tables.size(), 4u);
    for (int t = 0; t < 2; ++t) {
        const TDxfTable& table = *dxf->tables[t];
        ASSERT_EQ(table.Count(), 2);
        for (const auto& e : table.Items_) {
            EXPECT_EQ(e->EntryType, table.Name);
            EXPECT_EQ(e->Owner_, &table);
        }
    }
    EXPECT_EQ(dxf->tables[0]->MaxNumber, 2);
    EXPECT_EQ(dxf->tables[0]->GetObject(1)->DisplayName(), "B");
    const auto& vport = dynamic_cast<const TDxfVPortEntry&>(*dxf->tables[1]->GetObject(0));
    EXPECT_EQ(vport.ViewName, "*ACTIVE");
    EXPECT_EQ(vport.Flags, 1);
    EXPECT_EQ(vport.PerspFlag, 5); // the third 70 is passed over
    EXPECT_EQ(vport.ViewCenter, (TDxfPoint{3, 4, 0}));
    EXPECT_EQ(vport.FrozeLayerId, "2A");
    EXPECT_EQ(dynamic_cast<const TDxfVPortEntry&>(*dxf->tables[1]->GetObject(1)).FrozeLayerId, "2B");
    const auto& dim = dynamic_cast<const TDxfDimStyleEntry&>(*dxf->tables[2]->GetObject(0));
    EXPECT_EQ(dim.Handle, "27");
    EXPECT_EQ(dim.DisplayName(), "ISO");
    EXPECT_EQ(dim.Dim.ArrowSize, 2.5);
    EXPECT_EQ(dim.Dim.LineColor, 7);
    EXPECT_EQ(dim.Dim.TextArrowPlace_, 3);
    EXPECT_EQ(dim.Dim.TextStyle, "11");
    EXPECT_EQ(dxf->tables[3]->Count(), 0); // an unknown table keeps no entries
}

TEST(DxfReader, ObjectsReadTheirEntriesAndApplicationGroups) {
    const auto dxf = Read({{0, "SECTION"},
                           {2, "OBJECTS"},
                           {0, "DICTIONARY"},
                           {5, "C"},
                           {102, "{ACAD_REACTORS"},
                           {330, "1A"},
                           {102, "}"},
                           {102, "{ACAD_XDICTIONARY"},
                           {360, "2B"},
                           {102, "}"},
                           {330, "0"},
                           {100, "AcDbDictionary"},
                           {281, "1"},
                           {3, "A"},
                           {350, "1F"},
                           {3, "B"},
                           {360, "2A"},
                           {0, "XRECORD"},
                           {5, "D"},
                           {102, "{ACAD_REACTORS"},
                           {102, "}"},
                           {330, "C"},
                           {100, "AcDbXrecord"},
                           {280, "1"},
                           {1, "text"},
                           {70, "3"},
                           {40, "2.5"},
                           {0, "MLineStyle"},
                           {2, "STANDARD"},
                           {49, "0.5"},
                           {62, "256"},
                           {6, "BYLAYER"},
                           {49, "-0.5"},
                           {0, "LAYOUT"},
                           {100, "AcDbPlotSettings"},
                           {1, "page"},
                           {40, "7.5"},
                           {100, "AcDbLayout"},
                           {1, "Model"},
                           {71, "0"},
                           {0, "GROUP"},
                           {0, "ENDSEC"},
                           {0, "EOF"}});
    ASSERT_EQ(dxf->objects.size(), 4u);
    const auto& dict = dynamic_cast<const TDxfDictionary&>(*dxf->objects[0]);
    ASSERT_NE(dict.Reactors, nullptr);
    ASSERT_EQ(dict.Reactors->Count(), 1);
    EXPECT_EQ(dict.Reactors->values[0]->s, "1A");
    ASSERT_NE(dict.XDict, nullptr);
    EXPECT_EQ(dict.XDict->values.at(0)->s, "2B");
    EXPECT_EQ(dict.Owner, "0");
    EXPECT_EQ(dict.CloneFlag, 1);
    ASSERT_EQ(dict.Entries.size(), 2u);
    EXPECT_EQ(dict.Entries[0]->EntryName, "A");
    EXPECT_EQ(dict.Entries[0]->RefId, "1F");
    EXPECT_EQ(dict.Entries[1]->RefId, "2A");

    const auto& xrec = dynamic_cast<const TDxfXRecord&>(*dxf->objects[1]);
    EXPECT_EQ(xrec.ObjectType, "XRECORD");
    ASSERT_NE(xrec.Reactors, nullptr);
    EXPECT_EQ(xrec.Reactors->Count(), 0);
    EXPECT_EQ(xrec.Owner, "C");
    ASSERT_EQ(xrec.XRec->Count(), 3);
    EXPECT_EQ(xrec.XRec->values[0]->s, "text");
    EXPECT_EQ(xrec.XRec->values[1]->valType, TDxfValueType::dvtInt);
    EXPECT_EQ(xrec.XRec->values[1]->i, 3);
    EXPECT_EQ(xrec.XRec->values[2]->f, 2.5);

    const auto& style = dynamic_cast<const TDxfMLineStyle&>(*dxf->objects[2]);
    EXPECT_EQ(style.ObjectType, "MLineStyle"); // as the file writes it
    ASSERT_EQ(style.Count(), 2);
    EXPECT_EQ(style.Entries_[0]->Color, 256);
    EXPECT_EQ(style.Entries_[1]->Offset, -0.5);

    const auto& layout = dynamic_cast<const TDxfLayout&>(*dxf->objects[3]);
    EXPECT_EQ(layout.ObjectType, "LAYOUT");
    EXPECT_EQ(layout.PageName, "page");
    EXPECT_EQ(layout.MarginLeftMm, 7.5);
    EXPECT_EQ(layout.SubClass3, "AcDbLayout");
    EXPECT_EQ(layout.LayoutName, "Model");
}

TEST(DxfReader, BlockEntitiesGoToTheirBlock) {
    const auto dxf = Read({{0, "SECTION"},
                           {2, "BLOCKS"},
                           {0, "BLOCK"},
                           {2, "DOOR"},
                           {10, "1"},
                           {0, "LINE"},
                           {11, "1"},
                           {0, "ENDBLK"},
                           {5, "E"},
                           {0, "ENDBLK"},
                           {0, "ENDSEC"},
                           {0, "SECTION"},
                           {2, "ENTITIES"},
                           {0, "CIRCLE"},
                           {0, "ENDSEC"},
                           {0, "EOF"}});
    ASSERT_EQ(dxf->blocks.size(), 1u);
    const TDxfFileBlock& door = *dxf->blocks[0];
    EXPECT_EQ(door.BlockName, "DOOR");
    EXPECT_EQ(door.BasePoint, (TDxfPoint{1, 0, 0}));
    ASSERT_EQ(door._entities.size(), 1u);
    EXPECT_EQ(door._blockEnd->Handle, "E");
    ASSERT_EQ(dxf->entities.size(), 1u);
    EXPECT_EQ(dxf->entities[0]->EntityType, "CIRCLE");
}

// ---- Damaged drawings -------------------------------------------------------------------------

TEST(DxfReader, DrawingEndingInsideARecordKeepsWhatWasRead) {
    const auto dxf = Read({{0, "SECTION"},
                           {2, "TABLES"},
                           {0, "TABLE"},
                           {2, "DIMSTYLE"},
                           {0, "DIMSTYLE"},
                           {2, "ISO"},
                           {41, "2.5"}});
    ASSERT_EQ(dxf->tables.size(), 1u);
    ASSERT_EQ(dxf->tables[0]->Count(), 1);
    EXPECT_EQ(dxf->tables[0]->GetObject(0)->DisplayName(), "ISO");
}

TEST(DxfReader, BrokenDrawingStopsAtTheFaultKeepingEverythingBeforeIt) {
    std::istringstream broken(DxfText(Entities({{0, "LINE"}, {10, "1"}})) + "  0 \nLINE\n");
    TDxfFile dxf;
    // The drawing's ENDSEC and EOF come before the broken code line.
    EXPECT_EQ(LoadDxfStream(broken, dxf), "");

    std::istringstream midway(DxfText({{0, "SECTION"}, {2, "ENTITIES"}, {0, "LINE"}, {10, "1"}}) +
                              "  0 \nLINE\n 10\n2\n");
    TDxfFile partial;
    EXPECT_EQ(LoadDxfStream(midway, partial), "scanner error: expecting end of line (line 9)");
    ASSERT_EQ(partial.entities.size(), 1u);
    EXPECT_EQ(As<TDxfLine>(partial.entities[0])->StartPoint.x, 1.0);

    // A binary drawing cut inside its last LINE keeps the lines before it.
    BinaryDxf b;
    b.Str(0, "SECTION").Str(2, "ENTITIES").Str(0, "LINE").Real(10, 1.0).Str(0, "LINE").Real(10, 2.0);
    std::istringstream cut(b.bytes.substr(0, b.bytes.size() - 3));
    TDxfFile bin;
    EXPECT_EQ(LoadDxfStream(cut, bin), "scanner error: unexpected end of file (byte 52 of the binary data)");
    ASSERT_EQ(bin.entities.size(), 2u);
    EXPECT_EQ(As<TDxfLine>(bin.entities[0])->StartPoint.x, 1.0);
}

TEST(DxfReader, EzdxfBinaryDrawingCutAnywhereNeverReadsPastTheCut) {
    const std::string whole = dxf_test::ReadBytes(kDxfDir + "/ezdxf/r2013_ft_bin.dxf");
    TDxfFile full;
    std::istringstream in(whole);
    ASSERT_EQ(LoadDxfStream(in, full), "");
    int cuts = 0;
    int reported = 0;
    for (size_t cut = 22; cut < whole.size(); cut += 97) {
        std::istringstream part(whole.substr(0, cut));
        TDxfFile dxf;
        const std::string reason = LoadDxfStream(part, dxf);
        ++cuts;
        reported += reason.empty() ? 0 : 1;
        // Whatever was read is the start of the whole drawing's entities.
        ASSERT_LE(dxf.entities.size(), full.entities.size());
        for (size_t i = 0; i < dxf.entities.size(); ++i) {
            ASSERT_EQ(dxf.entities[i]->EntityType, full.entities[i]->EntityType) << "cut at " << cut;
        }
    }
    // A cut between two groups reads as the drawing's end; most cuts fall inside a group.
    EXPECT_GT(reported, cuts / 2);
}

TEST(DxfReader, FileThatCannotBeOpenedRaises) {
    TDxfFile dxf;
    EXPECT_THROW(LoadDxfFile(kDxfDir + "/no such drawing.dxf", dxf), EFileError);
    EXPECT_THROW(LoadDxfFile(kDxfDir, dxf), EFileError);
}

} // namespace
} // namespace vendrel
