// The cabinet, zone and ornament panels against a fake window: a typed text reaches the model through the
// field's setter and the window hears the follow-up; filling records nothing; while the window is
// changing objects no field commits.

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLineEdit>
#include <QTest>

#include <gtest/gtest.h>

#include <cstdio>
#include <functional>
#include <string>
#include <vector>

#include "../acoustics/model_fixture.h"
#include "acoustics/ornament.h"
#include "editor/kinds/zone_kind.h"
#include "editor/units.h"
#include "panels/cabinet_panel.h"
#include "panels/ornament_panel.h"
#include "panels/zone_panel.h"

namespace vendrel {
namespace {

void ensureApplication() {
    if (QApplication::instance() == nullptr) {
        static int argc = 1;
        static char name[] = "test_panels";
        static char* argv[] = {name, nullptr};
        // Never destroyed: widgets of the tests may outlive a static application's teardown.
        new QApplication(argc, argv);
    }
}

// The window as a panel sees it: shared values a test sets, follow-ups recorded by name.
struct FakeHost : IPanelHost {
    bool DisableOnChange() const override { return disableOnChange; }
    bool ClosingApplication() const override { return closing; }
    bool EventsEnabled() const override { return events; }
    const TUnits& Units() const override { return units; }
    float GlobalPosSteps() const override { return 0.5f; }
    float GlobalRotSteps() const override { return 10.0f; }
    TFormatSettings FormatSettings() const override { return {'.'}; }
    const std::vector<std::string>& ExtDSPProcessNames() const override { return processes; }
    void MarkProjectModified() override { ++modified; }
    void RenderButtonNeedsCalc() override { calls.push_back("RenderButtonNeedsCalc"); }
    void PlacementChanged(TQzControl3D&) override { calls.push_back("PlacementChanged"); }
    void AppearanceChanged(TQzControl3D&) override { calls.push_back("AppearanceChanged"); }
    void NameChanged(TQzControl3D&) override { calls.push_back("NameChanged"); }
    void MemoryChanged() override { calls.push_back("MemoryChanged"); }
    void RemoveRequested(TQzControl3D&) override { calls.push_back("RemoveRequested"); }
    void SelectRequested(TQzControl3D& Obj, bool Selected) override {
        Obj.SetIsObjectSelected(Selected);
        calls.push_back("SelectRequested");
    }
    void RepaintView() override {}
    void PopupModels(TObject*) override { calls.push_back("PopupModels"); }
    void PopupChangeLayer(TObject*) override { calls.push_back("PopupChangeLayer"); }

    // The follow-ups other than the render button's, which every typed key asks for.
    std::vector<std::string> followUps() const {
        std::vector<std::string> f;
        for (const std::string& c : calls) {
            if (c != "RenderButtonNeedsCalc") {
                f.push_back(c);
            }
        }
        return f;
    }

    bool disableOnChange = false;
    bool closing = false;
    bool events = true;
    TUnits units;
    std::vector<std::string> processes{"0 : Bypass"};
    std::vector<std::string> calls;
    int modified = 0;
};

// The zone's commands as the zone panel calls them.
struct FakeZoneCommands : IZoneCommands {
    void SetListenLevelOnSelection(const std::string& Text) override {
        calls.push_back("ListenLevel " + Text);
    }
    void SetMappingSidesOnSelection(TMappingSides Value) override {
        calls.push_back("MappingSides " + std::to_string(static_cast<int>(Value)));
    }
    void SetZoneBegin(TMappingZone&, int Axis, double Value) override { record("Begin", Axis, Value); }
    void SetZoneLength(TMappingZone&, double Value) override { record("Length", 0, Value); }
    void SetZoneDepth(TMappingZone&, double Value) override { record("Depth", 0, Value); }
    void SetZoneThickness(TMappingZone&, double Value) override { record("Thickness", 0, Value); }
    void SetTrapeziumLength(TMappingZone&, double Value) override { record("TrapeziumLength", 0, Value); }
    void SetTrapeziumWidth(TMappingZone&, bool Front, double Value) override {
        record("TrapeziumWidth", Front ? 1 : 2, Value);
    }
    void SetTrapeziumHeight(TMappingZone&, double Value) override { record("TrapeziumHeight", 0, Value); }
    void SetZoneRotation(TMappingZone&, const TPoint3D& Value) override { record("Rotation", 0, Value.Z); }
    void record(const char* what, int axis, double value) {
        char text[96];
        std::snprintf(text, sizeof text, "%s %d %.4f", what, axis, value);
        calls.push_back(text);
    }
    std::vector<std::string> calls;
};

struct PanelFixture : testing::ModelFixture {
    PanelFixture() {
        ensureApplication();
        project->SetContinuousRender(false);
    }
    // The user types Text into the field and leaves it.
    static void type(QLineEdit* Edit, const QString& Text) {
        Edit->selectAll();
        QTest::keyClicks(Edit, Text);
        QTest::keyClick(Edit, Qt::Key_Return);
    }
    FakeHost host;
};

TEST(ObjectPanels, ATypedCabinetFieldReachesTheModelAndAsksForItsFollowUp) {
    struct Case {
        const char* field;
        const char* typed;
        std::function<double(const TCabinet&)> model;
        double expected;
        std::vector<std::string> followUps;
    };
    const std::vector<Case> cases = {
        {"XCabBox", "12,5", [](const TCabinet& c) { return c.Position().X; }, 12.5, {"PlacementChanged"}},
        // The height is the negated scene Y.
        {"YCabBox", "3", [](const TCabinet& c) { return c.Position().Y; }, -3.0, {"PlacementChanged"}},
        {"ZCabBox", "2500", [](const TCabinet& c) { return c.Position().Z; }, 2000.0, {"PlacementChanged"}},
        // A typed 190 is -170 shown, a turn of 170 about X.
        {"RotXCabBox", "190", [](const TCabinet& c) { return c.RotX(); }, 170.0, {"PlacementChanged"}},
        {"RotZCabBox",
         "30",
         [](const TCabinet& c) { return c.RotationAngle().Z; },
         -30.0,
         {"PlacementChanged"}},
        // Unreadable text restores the value and commits nothing.
        {"XCabBox", "abc", [](const TCabinet& c) { return c.Position().X; }, 0.0, {}},
    };
    for (const Case& k : cases) {
        PanelFixture f;
        TCabinet& cabinet = f.addCabinet();
        TCabinetsFr row(f.host, nullptr);
        row.AsignedCabinet = &cabinet;
        row.UpdateValues();
        auto* edit = row.findChild<QLineEdit*>(QString::fromLatin1(k.field));
        ASSERT_NE(edit, nullptr) << k.field;
        PanelFixture::type(edit, QString::fromLatin1(k.typed));
        EXPECT_NEAR(k.model(cabinet), k.expected, 1e-5) << k.field << " " << k.typed;
        EXPECT_EQ(f.host.followUps(), k.followUps) << k.field << " " << k.typed;
        EXPECT_EQ(row.Commits(), k.followUps.empty() ? 0 : 1) << k.field << " " << k.typed;
    }
}

TEST(ObjectPanels, TypedZoneFieldsCallTheZonesCommandsWithTheValueAsStored) {
    struct Case {
        const char* field;
        const char* typed;
        const char* call;
    };
    const std::vector<Case> cases = {
        {"PosXBegin", "4", "Begin 0 4.0000"},
        {"PosZBegin", "-2,5", "Begin 2 -2.5000"}, // the "Y" row is the zone's Z
        {"PosYBegin", "7", "Begin 1 7.0000"},     // the "Z" row is its height, not negated
        {"LengthEdit", "300", "Length 0 250.0000"},
        {"DepthEdit", "0", "Depth 0 0.1000"},
        {"HeightEdit", "0.333", "Thickness 0 0.3300"},
        {"RotAngleZEdit", "135", "Rotation 0 90.0000"},
        {"AudienceLevelNB", "1.26", "ListenLevel 1.3"},
    };
    for (const Case& k : cases) {
        PanelFixture f;
        TMappingZone& zone = f.addZone(10, 8);
        FakeZoneCommands commands;
        TZoneFr panel(f.host, commands, nullptr);
        panel.Assign(zone);
        panel.UpdateValues();
        auto* edit = panel.findChild<QLineEdit*>(QString::fromLatin1(k.field));
        ASSERT_NE(edit, nullptr) << k.field;
        PanelFixture::type(edit, QString::fromLatin1(k.typed));
        EXPECT_EQ(commands.calls, std::vector<std::string>{k.call}) << k.field;
    }
}

TEST(ObjectPanels, TheOrnamentPanelShowsItsHeightUpAndItsTurnsWrappedAndCommitsOnlyWhatIsTyped) {
    PanelFixture f;
    TOrnaModel model(&f.medium, f.project.get());
    model.SetModelName("Truss");
    TOrnament& ornament = *f.project->AddOrnament(&model, {1, -3, 2}, {200, 0, 120}, false);
    TOrnamentFr panel(f.host, nullptr);
    panel.AsignedOrna = &ornament;
    panel.UpdateValues();
    EXPECT_EQ(panel.PosY->text(), QStringLiteral("3.000")); // the "Z" row is the height
    EXPECT_EQ(panel.PosZ->text(), QStringLiteral("2.000"));
    EXPECT_EQ(panel.RotAngleXEdit->text(), QStringLiteral("-160.00"));
    EXPECT_EQ(panel.RotAngleZEdit->text(), QStringLiteral("120.00"));
    EXPECT_FALSE(panel.DimmenGroupBox->isEnabled()); // a model of fixed size

    // Leaving the "Y axis" field without typing keeps a 120 degree turn beyond the field's limits.
    panel.RotAngleZEdit->setFocus();
    panel.PosX->setFocus();
    EXPECT_FLOAT_EQ(ornament.RotationAngle().Z, 120);
    EXPECT_TRUE(f.host.followUps().empty());

    PanelFixture::type(panel.PosY, QStringLiteral("4"));
    EXPECT_FLOAT_EQ(ornament.Position().Y, -4);
    PanelFixture::type(panel.RotAngleZEdit, QStringLiteral("120"));
    EXPECT_FLOAT_EQ(ornament.RotationAngle().Z, 90);
    PanelFixture::type(panel.ZoneNameEdit, QStringLiteral("Stage left"));
    EXPECT_EQ(ornament.Name(), "Stage left");
    EXPECT_EQ(f.host.followUps(),
              (std::vector<std::string>{"PlacementChanged", "PlacementChanged", "NameChanged"}));

    model.SetIsSizeable(true);
    panel.UpdateValues();
    ASSERT_TRUE(panel.DimmenGroupBox->isEnabled());
    PanelFixture::type(panel.LengthEdit, QStringLiteral("2500"));
    EXPECT_FLOAT_EQ(ornament.Width(), 2000);
}

TEST(ObjectPanels, FillingReadsOnlyAndTheProgramChangingObjectsBlocksEveryCommit) {
    PanelFixture f;
    TCabinet& cabinet = f.addCabinet();
    cabinet.SetPosition({1, -2, 3});
    TCabinetsFr row(f.host, nullptr);
    row.AsignedCabinet = &cabinet;
    row.UpdateValues();
    row.UpdateValues();
    EXPECT_TRUE(f.host.calls.empty());
    EXPECT_EQ(f.host.modified, 0);
    EXPECT_EQ(row.XCabBox->text(), QStringLiteral("1.000"));
    EXPECT_EQ(row.YCabBox->text(), QStringLiteral("2.000"));
    EXPECT_EQ(row.Commits(), 0);

    // While the window removes or duplicates objects, a typed field, a check box and a list commit
    // nothing, and the box shows the object's state again.
    f.host.disableOnChange = true;
    PanelFixture::type(row.XCabBox, QStringLiteral("9"));
    QTest::mouseClick(row.ActiveCabCheckBox, Qt::LeftButton);
    EXPECT_FLOAT_EQ(cabinet.Position().X, 1);
    EXPECT_TRUE(cabinet.Active());
    EXPECT_TRUE(row.ActiveCabCheckBox->isChecked());
    EXPECT_EQ(row.Commits(), 0);
    EXPECT_TRUE(f.host.followUps().empty());

    f.host.disableOnChange = false;
    QTest::mouseClick(row.ActiveCabCheckBox, Qt::LeftButton);
    EXPECT_FALSE(cabinet.Active());
    EXPECT_EQ(f.host.followUps(), std::vector<std::string>{"AppearanceChanged"});

    // A zone's name commits only what the user typed, once, with its follow-up.
    TMappingZone& zone = f.addZone(10, 8);
    FakeZoneCommands commands;
    TZoneFr panel(f.host, commands, nullptr);
    panel.Assign(zone);
    panel.UpdateValues();
    f.host.calls.clear();
    PanelFixture::type(panel.ZoneNameEdit, QStringLiteral("Stalls"));
    panel.ZoneNameEdit->clearFocus();
    EXPECT_EQ(zone.Name(), "Stalls");
    EXPECT_EQ(f.host.followUps(), std::vector<std::string>{"NameChanged"});
}

} // namespace
} // namespace vendrel
