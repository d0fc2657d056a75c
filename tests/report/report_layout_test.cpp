// The report's sections against the recording writer: what is drawn where, page breaks, pictures,
// progress, and the figures of the mechanics column.

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

#include "acoustics/array_mechanics.h"
#include "acoustics/rigging_frame.h"
#include "dsp/biquad.h"
#include "dsp/gain_delay.h"
#include "dsp/peqs.h"
#include "platform/core/edit_helpers.h"
#include "report_fixture.h"

namespace vendrel {
namespace {

using testing::FakePictures;
using testing::RecordedOp;
using testing::ReportFixture;

constexpr float kPageLeft = 50, kPageBottom = 800;

// Every text, rectangle and picture stays above the write area's bottom; the only lines below it are
// the rules above the footer.
void ExpectNothingBelowTheWriteArea(const testing::RecordingWriter& w) {
    for (const RecordedOp& op : w.ops) {
        switch (op.kind) {
        case RecordedOp::Line:
            if (op.rect.Top > kPageBottom || op.rect.Bottom > kPageBottom) {
                EXPECT_FLOAT_EQ(op.rect.Top, 805.0f) << "a line in the footer on page " << op.page;
                EXPECT_FLOAT_EQ(op.rect.Bottom, 805.0f);
            }
            break;
        case RecordedOp::Begin:
        case RecordedOp::Page:
            break;
        default:
            EXPECT_LE(op.result.Bottom, kPageBottom + 1e-3f) << "\"" << op.text << "\" on page " << op.page;
        }
    }
}

// Pages on which the text is drawn.
std::vector<int> PagesOf(const testing::RecordingWriter& w, const std::string& text) {
    std::vector<int> pages;
    for (const RecordedOp& op : w.ops) {
        if (op.text == text && op.kind != RecordedOp::Line) {
            pages.push_back(op.page);
        }
    }
    return pages;
}

TEST_F(ReportFixture, AnEmptyProjectHasItsInformationFourViewsAndTheZonesHeader) {
    context.Description = "First line\r\nsecond line";
    run();
    const std::vector<std::string> texts = writer.Texts();
    const std::vector<std::string> titles{"Project Information", "3D view",    "Top view",
                                          "Side view",           "Front view", "Zones List"};
    size_t at = 0;
    for (const std::string& t : titles) {
        auto it = std::find(texts.begin() + static_cast<std::ptrdiff_t>(at), texts.end(), t);
        ASSERT_NE(it, texts.end()) << t;
        at = static_cast<size_t>(it - texts.begin());
    }
    EXPECT_EQ(writer.Find("Single Sound Sources"), nullptr);
    EXPECT_EQ(writer.Find("Measure Points "), nullptr);
    EXPECT_NE(writer.Find("  Thick  "), nullptr); // the zones header
    // Two breaks in the description become two blanks; the box is 80 high, the next line 20 below
    // what the writer used.
    const RecordedOp* description = writer.Find("First line  second line");
    ASSERT_NE(description, nullptr);
    EXPECT_EQ(description->kind, RecordedOp::TextInRect);
    EXPECT_FLOAT_EQ(description->rect.Height(), 80.0f);
    EXPECT_FLOAT_EQ(writer.Find("Location Coordinates:")->rect.Top, description->result.Bottom + 20.0f);
    EXPECT_EQ(writer.Find("Yes")->page, 1); // air absorption on

    // Every page starts with its two rules; views keep their width and never pass the page's bottom.
    for (const RecordedOp* page : writer.OfKind(RecordedOp::Page)) {
        const RecordedOp& top = *(page + 1);
        const RecordedOp& bottom = *(page + 2);
        EXPECT_EQ(top.kind, RecordedOp::Line);
        EXPECT_EQ(top.rect, (TReportRect{50, 40, 545, 40}));
        EXPECT_EQ(bottom.rect, (TReportRect{50, 805, 545, 805}));
    }
    for (const RecordedOp* picture : writer.OfKind(RecordedOp::Picture)) {
        EXPECT_FLOAT_EQ(picture->rect.Left, 50.0f);
        EXPECT_FLOAT_EQ(picture->rect.Right, 545.0f);
        EXPECT_EQ(picture->background, 0xFFC0C0C0u);
    }
    ExpectNothingBelowTheWriteArea(writer);
    EXPECT_EQ(writer.info.Title, "Report Hall 2.5");
    EXPECT_EQ(writer.info.Subject, "Hall 2.5 Report");
    EXPECT_EQ(writer.info.Author, "Jos\u00E9");
    EXPECT_EQ(writer.info.Header, "Vendrel 3.1.0 Report");
    EXPECT_EQ(writer.info.Footer, "Report of: Hall.V3DPrj");

    // Eleven steps on a bar of ten: full at the tenth, and it stays full.
    EXPECT_EQ(progress.max, 10);
    EXPECT_EQ(progress.values, (std::vector<double>{0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 10}));
    EXPECT_EQ(status.texts.size(), 12u);
    EXPECT_EQ(status.texts[0], "Generating PDF Report...");
    EXPECT_EQ(status.texts[1], "Generating PDF Report...Project Information");
    EXPECT_EQ(status.texts[7], "Generating PDF Report...Arrays ");
    EXPECT_EQ(status.texts.back(), "Generating PDF Report...Mics ");
}

// A tall model picture is 120 wide and shrunk by 5 % steps to at most 137 high; without a picture the
// labels stand where the widest picture would end, and the cluster's table follows the link line.
TEST_F(ReportFixture, ModelPicturesShrinkToTheirBlockAndLabelsFollowThem) {
    TCabModel& pictured = cabinetModel("Tall");
    pictured.SetHasModelPicture(true);
    TCabModel& plain = cabinetModel("Plain");
    plain.SetHasModelPicture(true); // the library has none for it after all
    pictures.modelSizes["Tall"] = {600, 900};
    project->AddCabinet(&pictured, {}, {}, false, TCabPlacement::qzaVertical, 0, true);
    project->AddCabinet(&plain, {}, {}, false, TCabPlacement::qzaVertical, 0, true);
    project->AddCluster(
        std::make_unique<TCluster>(&medium, project.get(), &pictured, TCabPlacement::qzaVertical));
    project->AddCluster(
        std::make_unique<TCluster>(&medium, project.get(), &plain, TCabPlacement::qzaVertical));
    run();

    std::vector<const RecordedOp*> models;
    for (const RecordedOp* p : writer.OfKind(RecordedOp::Picture)) {
        if (p->pictureWidth == 600) {
            models.push_back(p);
        }
    }
    ASSERT_EQ(models.size(), 2u); // the source block and the cluster page
    for (const RecordedOp* p : models) {
        EXPECT_NEAR(p->rect.Width(), 120.0 * std::pow(0.95, 6), 1e-3);
        EXPECT_NEAR(p->rect.Height(), 180.0 * std::pow(0.95, 6), 1e-3);
        EXPECT_NEAR(p->rect.Width(), 88.2, 0.05);
        EXPECT_NEAR(p->rect.Height(), 132.3, 0.05);
        EXPECT_FLOAT_EQ(p->rect.Left, kPageLeft + 2);
        EXPECT_EQ(p->background, TAlphaColors::White);
    }
    // The source blocks: labels beside the picture, and beside where the widest picture ends.
    const RecordedOp* first = writer.Find("Model Name:");
    const RecordedOp* second = writer.Find("Model Name:", writer.IndexOf(first) + 1);
    ASSERT_NE(second, nullptr);
    EXPECT_NEAR(first->rect.Left, kPageLeft + models[0]->result.Width() + 20, 1e-3);
    EXPECT_FLOAT_EQ(second->rect.Left, kPageLeft + 142);
    EXPECT_EQ(writer.Find("Tall", writer.IndexOf(first))->text, "Tall");

    // The clusters: the table header 40 below a picture that ends below the link line, 20 below the
    // link line without a picture.
    std::vector<const RecordedOp*> headers;
    for (const RecordedOp& op : writer.ops) {
        if (op.text == std::string(27, ' ')) {
            headers.push_back(&op);
        }
    }
    ASSERT_EQ(headers.size(), 2u);
    EXPECT_FLOAT_EQ(headers[0]->rect.Top, models[1]->result.Bottom + 40);
    const RecordedOp* type = writer.Find("Type:", writer.IndexOf(headers[0]));
    const RecordedOp* typeValue = writer.Find("Linear", writer.IndexOf(type));
    EXPECT_FLOAT_EQ(headers[1]->rect.Top, typeValue->result.Bottom + 10 + 20);
}

TEST_F(ReportFixture, ClusterTablesConvertEveryLengthAndPrintItsUnit) {
    context.LengthUnits = 3.2808398950131235;
    context.LengthUnitText = "ft";
    TCabModel& model = cabinetModel("Sub");
    struct Case {
        TClusterDistribution distribution;
        std::vector<std::vector<std::string>> rows; // after QTY
    };
    const Case cases[] = {
        {TClusterDistribution::qzaAngular,
         {{"Distribution", "Angular", "Angular"},
          {"Angle", "12.00", "7.50"},
          {"Radius", "6.56 ft", "6.56 ft"}}},
        {TClusterDistribution::qzaLinear,
         {{"Distribution", "Linear", "Linear"}, {"Separation", "1.64 ft", "0.98 ft"}}},
        {TClusterDistribution::qzaAngHLinV,
         {{"Distribution", "Angular", "Linear"},
          {"Separation", "-", "0.98 ft"},
          {"Angle", "12.00", "-"},
          {"Radius", "6.56 ft", "-"}}},
        {TClusterDistribution::qzaAngVLinH,
         {{"Distribution", "Linear", "Angular"},
          {"Separation", "1.64 ft", "-"},
          {"Angle", "-", "7.50"},
          {"Radius", "-", "6.56 ft"}}},
    };
    for (const Case& c : cases) {
        auto cluster = std::make_unique<TCluster>(&medium, project.get(), &model, TCabPlacement::qzaVertical);
        cluster->SetClusterDistribution(c.distribution);
        cluster->SetAngularHAngle(12.0f);
        cluster->SetAngularVAngle(7.5f);
        cluster->SetAngularRadius(2.0f);
        cluster->SetLinearHSpace(0.5f);
        cluster->SetLinearVSpace(0.3f);
        cluster->SetPosition({2, -8.5, 10});
        cluster->SetRotationAngle({0, -180, 30});
        project->AddCluster(std::move(cluster));
    }
    run();
    int from = 0;
    for (const Case& c : cases) {
        const RecordedOp* qty = writer.Find("QTY", from);
        ASSERT_NE(qty, nullptr);
        // The cells in rectangles from QTY on, three a row.
        std::vector<std::string> cells;
        for (size_t i = static_cast<size_t>(writer.IndexOf(qty)); i < writer.ops.size(); ++i) {
            if (writer.ops[i].kind == RecordedOp::TextInRect) {
                cells.push_back(writer.ops[i].text);
            }
            if (cells.size() == 3 * (c.rows.size() + 1)) {
                break;
            }
        }
        std::vector<std::string> expected{"QTY", "1", "1"};
        for (const auto& row : c.rows) {
            expected.insert(expected.end(), row.begin(), row.end());
        }
        EXPECT_EQ(cells, expected) << static_cast<int>(c.distribution);
        from = writer.IndexOf(qty) + 1;
    }
    // Position and rotations in the shown axes; -180 is shown as 180.
    EXPECT_NE(writer.Find("X: 6.56 ft"), nullptr);
    EXPECT_NE(writer.Find("Y: 32.81 ft"), nullptr);
    EXPECT_NE(writer.Find("Z: 27.89 ft"), nullptr);
    EXPECT_NE(writer.Find("-30.00 degrees"), nullptr);
    EXPECT_NE(writer.Find("180.00 degrees"), nullptr);
}

TEST_F(ReportFixture, LongTablesRepeatTheirHeaderOnTheNextPageAndNothingLandsInTheFooter) {
    for (int i = 0; i < 80; ++i) {
        addZone("Zone " + std::to_string(i));
    }
    const auto bank = [this](int sections) {
        TGenericDSPProcess* p = project->AddDSPProcess();
        p->PEQS()->SetNPeqs(sections);
        return p;
    };
    bank(40); // its table ends near the page's bottom
    bank(45);
    run();

    // Zones: the title once, the header on each page of rows.
    EXPECT_EQ(PagesOf(writer, "Zones List").size(), 1u);
    const std::vector<int> zoneHeaders = PagesOf(writer, "     ID:Name      ");
    ASSERT_EQ(zoneHeaders.size(), 2u);
    EXPECT_EQ(zoneHeaders[1], zoneHeaders[0] + 1);
    EXPECT_EQ(writer.Find("80:Zone 79")->page, zoneHeaders[1]);

    // The EQ banks: the table of 40 ends at the bottom of its page, so the next process starts a new
    // page with its chart under its title; its 45 sections go on over the next page under a repeated
    // header.
    const RecordedOp* second = writer.Find("External DSP Process 2 : No Name 2");
    ASSERT_NE(second, nullptr);
    EXPECT_EQ(second->page, writer.Find("External DSP Process 1 : No Name 1")->page + 1);
    EXPECT_FLOAT_EQ(second->rect.Top, 55.0f);
    const RecordedOp& chart = writer.ops[static_cast<size_t>(writer.IndexOf(second) + 1)];
    EXPECT_EQ(chart.kind, RecordedOp::Picture);
    EXPECT_EQ(chart.page, second->page);
    const std::vector<int> peqHeaders = PagesOf(writer, "      Number      ");
    EXPECT_EQ(peqHeaders, (std::vector<int>{second->page - 1, second->page, second->page + 1}));
    ExpectNothingBelowTheWriteArea(writer);
}

TEST_F(ReportFixture, TheArrayTableStartsFortyBelowAPictureTheColumnEndsAbove) {
    TCabModel& model = cabinetModel("LA", "90");
    model.SetLinkToDataSheet("https://example.com/la.pdf");
    flownArray("Short", model, 2, nullptr);
    run();
    const RecordedOp* picture = nullptr;
    for (const RecordedOp* p : writer.OfKind(RecordedOp::Picture)) {
        if (p->pictureWidth == 742) {
            picture = p;
        }
    }
    ASSERT_NE(picture, nullptr);
    EXPECT_FLOAT_EQ(picture->rect.Left, kPageLeft);
    EXPECT_FLOAT_EQ(picture->rect.Right, 297.5f);
    EXPECT_EQ(picture->background, 0xFFC0C0C0u);
    const RecordedOp* header = writer.Find("    ID    ");
    ASSERT_NE(header, nullptr);
    EXPECT_FLOAT_EQ(header->rect.Top, picture->result.Bottom + 40);
    // Rows by element: no frame, so two cabinets numbered 1 and 2; the model links its datasheet.
    const RecordedOp* cab1 = writer.Find("Cabinet 1");
    ASSERT_NE(cab1, nullptr);
    const RecordedOp& name = *writer.Find("LA (90)", writer.IndexOf(cab1));
    EXPECT_EQ(name.kind, RecordedOp::LinkInRect);
    EXPECT_EQ(name.page, cab1->page);
    EXPECT_FLOAT_EQ(name.rect.Top, cab1->rect.Top);
    EXPECT_EQ(name.text, "LA (90)");
    EXPECT_EQ(name.url, "https://example.com/la.pdf");
    EXPECT_EQ(name.alignment, TReportAlignment::gtaCenter);
    EXPECT_NE(writer.Find("Cabinet 2"), nullptr);
}

TEST_F(ReportFixture, OnlyWebAddressesBecomeLinksAndLibraryTextsPrintAsTyped) {
    TCabModel& model = cabinetModel("A<B & \"C\"");
    model.SetLinkToDataSheet("javascript:alert(1)");
    model.SetLinkToManual("HTTPS://example.com/manual");
    project->AddCabinet(&model, {}, {}, false, TCabPlacement::qzaVertical, 0, true);
    flownArray("Main", model, 1, nullptr);
    run();
    const RecordedOp* datasheet = writer.Find("Datasheet");
    ASSERT_NE(datasheet, nullptr);
    EXPECT_EQ(datasheet->url, "");
    const RecordedOp* manual = writer.Find("Manual");
    EXPECT_EQ(manual->url, "HTTPS://example.com/manual");
    EXPECT_FLOAT_EQ(manual->rect.Left, datasheet->result.Right + 15);
    EXPECT_EQ(writer.Find("Model Name:")->text, "Model Name:");
    EXPECT_NE(writer.Find("A<B & \"C\""), nullptr);
    const RecordedOp* cell = writer.Find("A<B & \"C\"", writer.IndexOf(writer.Find("Cabinet 1")));
    ASSERT_NE(cell, nullptr);
    EXPECT_EQ(cell->url, "");
}

} // namespace
} // namespace vendrel

namespace vendrel {
namespace {

using testing::RecordedOp;
using testing::ReportFixture;

// The text drawn right after the label on its line: the value.
std::string ValueAfter(const testing::RecordingWriter& w, const std::string& label) {
    const RecordedOp* l = w.Find(label);
    if (l == nullptr) {
        return "<no " + label + ">";
    }
    for (size_t i = static_cast<size_t>(w.IndexOf(l)) + 1; i < w.ops.size(); ++i) {
        if (w.ops[i].kind == RecordedOp::Text) {
            return w.ops[i].text;
        }
    }
    return "<no value>";
}

// The mechanics column prints the array's record: every figure in the shown units, the overload line
// exactly when the frame's load exceeds its rating, the range line instead of the flying lines.
TEST_F(ReportFixture, TheMechanicsColumnPrintsTheArraysRecord) {
    struct Case {
        const char* name;
        int pickPoints; // 0: no frame
        int motors;
        double ratingKg;
        bool imperial;
        bool adapters = false;
        bool stacked = false;
        double firstX = -0.4, step = 0.2; // where the frame's pick points are
        double frameLength = 1.0;
    };
    const Case cases[] = {
        {"no frame", 0, 1, 0, true},
        {"one motor", 5, 1, 500, false},
        {"two motors", 5, 2, 500, false},
        {"out of range", 2, 2, 500, false},
        {"below the rating", 5, 1, 150.1, false},
        {"at the rating", 5, 1, 150, false},
        {"above the rating", 5, 1, 149.9, false},
        // Flown from pick point 9, between points 4 and 5.
        {"one adapter", 10, 1, 500, false, true, false, -3.3, 0.4},
        {"two adapters on 5", 5, 2, 500, false, true},
        {"two adapters on 6", 6, 2, 500, false, true},
        {"two adapters on 7", 7, 2, 500, false, true},
        {"two adapters on 8", 8, 2, 500, false, true},
        {"stack", 5, 2, 500, false, false, true},
        {"tipping stack", 5, 2, 500, false, false, true, -0.4, 0.2, 0.1},
    };
    TCabModel& cabinet = cabinetModel("LA");
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        writer = testing::RecordingWriter();
        context.LengthUnits = c.imperial ? 3.2808398950131235 : 1.0;
        context.LengthUnitText = c.imperial ? "ft" : "m";
        context.MassUnits = c.imperial ? 2.2046226218487757 : 1.0;
        context.MassUnitText = c.imperial ? "lbs" : "kg";
        TRigFrameModel* frame =
            c.pickPoints > 0 ? &frameModel("Frame", c.pickPoints, c.ratingKg, c.adapters, c.firstX, c.step)
                             : nullptr;
        TCabArray& a = flownArray("Main", cabinet, c.pickPoints > 0 ? 3 : 2, frame);
        if (frame != nullptr) {
            frame->SetWidth(c.frameLength);
        }
        if (c.stacked) {
            a.SetMountingType(TArrayMounting::qzaStacked);
        }
        a.SetNMotors(c.motors);
        a.SetCableWeightPerMeter(1.5);
        // The array's top 10 m above the floor.
        a.SetPosition({2, -10, 10});
        a.RecalcMechanics();
        const float height = static_cast<float>(10 - (a.MechanicalData().MostTopPoint - 10));
        a.SetPosition({2, -height, 10});
        run();
        const TMechanicalData& m = a.MechanicalData();
        const TFormatSettings dot;
        const auto mass = [&](double kg) {
            return FormatFloatPattern("0.0", kg * context.MassUnits, dot) + " " + context.MassUnitText;
        };
        const auto len = [&](const char* p, double metres) {
            return FormatFloatPattern(p, metres * context.LengthUnits, dot) + " " + context.LengthUnitText;
        };

        EXPECT_EQ(ValueAfter(writer, "Position:"), "X: " + len("0.00", 2));
        const RecordedOp* x = writer.Find("X: " + len("0.00", 2));
        const RecordedOp* y = writer.Find("Y: " + len("0.00", 10));
        const RecordedOp* z = writer.Find("Z: " + len("0.00", height));
        ASSERT_NE(y, nullptr);
        ASSERT_NE(z, nullptr);
        EXPECT_FLOAT_EQ(y->rect.Left, x->result.Right + 10);
        EXPECT_FLOAT_EQ(z->rect.Left, y->result.Right + 10);
        EXPECT_EQ(ValueAfter(writer, "Total Weight:"), mass(m.TotalWeight));
        EXPECT_EQ(ValueAfter(writer, "Most Top Point:"), len("0.00", m.MostTopPoint));
        EXPECT_EQ(ValueAfter(writer, "Most Bottom Point:"), len("0.00", m.MostBottomPoint));
        EXPECT_EQ(ValueAfter(writer, "Height:"), len("0.0", m.ClusterHeight));
        EXPECT_EQ(ValueAfter(writer, "Aprox. Cable Weight:"),
                  mass(m.CableWeight) + " (" + mass(1.5) + " per meter)");
        EXPECT_NEAR(m.CableWeight, 1.5 * m.MostTopPoint, 1e-9);
        EXPECT_NE(writer.Find("Included Cable in calc:  No"), nullptr);

        if (c.pickPoints == 0) {
            // 100 kg and 10 m in imperial units.
            EXPECT_EQ(ValueAfter(writer, "Total Weight:"), "220.5 lbs");
            EXPECT_EQ(ValueAfter(writer, "Most Top Point:"), "32.81 ft");
            const RecordedOp* no = writer.Find("NO");
            ASSERT_NE(no, nullptr);
            EXPECT_EQ(no->font.Color, TAlphaColors::Red);
            EXPECT_TRUE(no->font.Bold);
            EXPECT_EQ(writer.Find("PICK POINTS"), nullptr);
            EXPECT_EQ(writer.Find("Array Weight:"), nullptr);
            project->RemoveArray(&a);
            continue;
        }
        EXPECT_EQ(ValueAfter(writer, "Array Weight:"), mass(m.FrameLoad));
        EXPECT_NEAR(m.FrameLoad, m.TotalWeight - 20, 1e-9);
        EXPECT_EQ(ValueAfter(writer, "Frame Weight:"), mass(20));
        EXPECT_EQ(writer.Find("Maximum weight is exceeded.") != nullptr, m.WeightExceded);
        EXPECT_EQ(m.WeightExceded, RiggingLoadExceeded(150.0, c.ratingKg));
        if (m.GravityCenterOutOfRange) {
            EXPECT_TRUE(std::string(c.name) == "out of range" || std::string(c.name) == "tipping stack");
            const RecordedOp* warning = writer.Find("Center of Gravity is out of range!!!");
            ASSERT_NE(warning, nullptr);
            EXPECT_EQ(warning->font.Color, TAlphaColors::Red);
            EXPECT_EQ(writer.Find("Flying with:"), nullptr);
            project->RemoveArray(&a);
            continue;
        }
        EXPECT_STRNE(c.name, "out of range");
        EXPECT_STRNE(c.name, "tipping stack");
        if (c.stacked) {
            // A stack flies from nothing.
            EXPECT_NE(writer.Find("PICK POINTS"), nullptr);
            EXPECT_EQ(writer.Find("Flying with:"), nullptr);
            EXPECT_EQ(writer.Find("Load on Front Pickup:"), nullptr);
            project->RemoveArray(&a);
            continue;
        }
        const TAdapterTexts adapters = AdapterTexts(m);
        EXPECT_EQ(adapters.OneAdapter || adapters.TwoAdapters, c.adapters);
        if (c.adapters && c.motors == 1) {
            EXPECT_EQ(ValueAfter(writer, "Flying with:"), "One motor");
            EXPECT_EQ(m.FlyingPoint, 9);
            EXPECT_EQ(ValueAfter(writer, "Fly with adapter in position:"), "hole on right");
            EXPECT_EQ(ValueAfter(writer, "Adapter fixed at Rigging Points:"), "5 and 4");
            EXPECT_EQ(writer.Find("Fly from Rigging Point:"), nullptr);
        } else if (c.adapters) {
            const std::string n = std::to_string(c.pickPoints);
            EXPECT_NE(writer.Find("Fly with Adapter:"), nullptr);
            EXPECT_NE(writer.Find("Front Adapter position B, on rigging Points: 3 - 1"), nullptr);
            EXPECT_NE(writer.Find("Rear Adapter position A, on rigging Points:  " + n + " - " +
                                  std::to_string(c.pickPoints - 2)),
                      nullptr);
            EXPECT_EQ(ValueAfter(writer, "Load on Front Pickup:"), mass(m.FrontPickupLoad));
            EXPECT_EQ(ValueAfter(writer, "Load on Rear Pickup:"), mass(m.RearPickupLoad));
        } else if (c.motors == 1) {
            EXPECT_EQ(ValueAfter(writer, "Flying with:"), "One motor");
            EXPECT_EQ(ValueAfter(writer, "Fly from Rigging Point:"), std::to_string(m.FlyingPoint));
            EXPECT_EQ(ValueAfter(writer, "Load on Rigging Point:"), mass(m.TotalWeight));
        } else {
            EXPECT_EQ(ValueAfter(writer, "Flying with:"), "Two motors");
            EXPECT_NE(writer.Find("Fly from Rigging Points:        Front 1, Rear 5"), nullptr);
            EXPECT_EQ(ValueAfter(writer, "Load on Front Pickup:"), mass(m.FrontPickupLoad));
            EXPECT_EQ(ValueAfter(writer, "Load on Rear Pickup:"), mass(m.RearPickupLoad));
            EXPECT_NEAR(m.FrontPickupLoad + m.RearPickupLoad, m.TotalWeight, 1e-9);
        }
        project->RemoveArray(&a);
    }
}

} // namespace
} // namespace vendrel
