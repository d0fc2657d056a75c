#include "editor/line_array_edits.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "acoustics/cab_model.h"
#include "acoustics/cabinet.h"
#include "acoustics/line_array.h"
#include "acoustics/rigging_frame.h"
#include "documents_fixture.h"

namespace vendrel {
namespace {

using testing::DocumentsFixture;

struct ArrayEditsFixture : DocumentsFixture {
    TCabModel* cab(const char* name) const { return library->GetCabModelByName(name, "", "", false); }
    TRigFrameModel* frame(const char* name) const { return library->GetFrameModelByName(name, false); }
    // An array in the project: a frame (or none), then Count cabinets of Model.
    TCabArray* array(const char* Frame, const char* Model, int Count,
                     TArrayMounting Mounting = TArrayMounting::qzaFlown) {
        f.project->AddArray(std::make_unique<TCabArray>(&f.medium, f.project.get()));
        TCabArray* a = f.project->CabArrays().back().get();
        a->SetNumberID(f.project->NCabArrays());
        a->SetMountingType(Mounting);
        if (Frame != nullptr) {
            a->AddFrame(frame(Frame));
        }
        for (int i = 0; i < Count; ++i) {
            a->AddCabinet(cab(Model), true);
        }
        a->SetPositionsInsideArray();
        return a;
    }
};

// The choices follow the element above and the mounting; the fill finds a splay at single precision
// (0.7 stays 0.7) and a stack's splay is the negated angle.
TEST_F(ArrayEditsFixture, SplayChoicesAndTheirFill) {
    TCabArray* hat = array("WA-TopHat", "WA8S", 2);
    EXPECT_EQ(SplayChoices(*hat->CabinetList()[0], TArrayMounting::qzaFlown), (std::vector<double>{0, 2, 4}));
    EXPECT_EQ(SplayChoices(*hat->CabinetList()[1], TArrayMounting::qzaFlown),
              cab("WA8S")->AllowedAnglesFlown());

    cab("WA8")->SetAllowedAnglesFlown({0.0, 0.7, 1.4});
    TCabArray* a = array("WA-Frame", "WA8", 3);
    TCabinet& second = *a->CabinetList()[1];
    ASSERT_TRUE(ChooseCabinetSplay(second, TArrayMounting::qzaFlown, 0.7));
    EXPECT_FALSE(ChooseCabinetSplay(second, TArrayMounting::qzaFlown, 0.7)); // already so
    EXPECT_EQ(ShowCabinetSplay(second, TArrayMounting::qzaFlown), 1);
    EXPECT_FLOAT_EQ(second.RotationAngle().Z, 0.7f);
    EXPECT_EQ(SplayChoiceText(0.7, ','), "0,7");
    EXPECT_EQ(SplayChoiceText(2, '.'), "2");
    // A splay in no choice shows the first one and takes it.
    second.SetRotationAngleZ(0.5f);
    EXPECT_EQ(ShowCabinetSplay(second, TArrayMounting::qzaFlown), 0);
    EXPECT_EQ(second.RotationAngle().Z, 0.0f);

    TCabArray* stack = array("WA-Stack", "WA8", 3, TArrayMounting::qzaStacked);
    TCabinet& upper = *stack->CabinetList()[1];
    ChooseCabinetSplay(upper, TArrayMounting::qzaStacked, 2);
    EXPECT_EQ(upper.RotationAngle().Z, -2.0f);
    EXPECT_EQ(ShowCabinetSplay(upper, TArrayMounting::qzaStacked), 1);
}

// Inverting a middle cabinet turns its joint half round, and the joint of the normal cabinet below it
// too (it differs from the one above); the rest stay.
TEST_F(ArrayEditsFixture, DirectionsAndOnOff) {
    TCabArray* a = array("WA-Frame", "WA8", 4);
    InvertCabinetDirection(*a, *a->CabinetList()[1], true);
    const float expected[] = {0, 180, 180, 0};
    for (size_t k = 0; k < 4; ++k) {
        EXPECT_EQ(a->CabinetList()[k]->Parent()->RotationAngle().Y, expected[k]) << k;
    }

    ToggleArrayActive(*a);
    EXPECT_FALSE(a->Active());
    for (const TCabinet* c : a->CabinetList()) {
        EXPECT_FALSE(c->Active());
    }
    SetArrayCabinetActive(*a, *a->CabinetList()[2], true);
    EXPECT_TRUE(a->Active());
    EXPECT_FALSE(a->CabinetList()[0]->Active());
    SetArrayCabinetActive(*a, *a->CabinetList()[2], false);
    EXPECT_TRUE(a->Active());

    SetArrayTilt(*a, 95);
    EXPECT_EQ(a->Tilt(), 90.0);
    SetArrayTilt(*a, -100);
    EXPECT_EQ(a->Tilt(), -90.0);
    SetArrayDirection(*a, 45.3);
    EXPECT_FLOAT_EQ(a->RotationAngle().Y, -45.3f);
    SetArrayShownPosition(*a, 2, 10, 8.5);
    EXPECT_EQ(a->Position(), TPoint3D(2.0f, -8.5f, 10.0f));
}

// One more cabinet: refused at the model's flown maximum with its number, else numbered with the new
// count; the last cabinet goes with an adapter frame right above it, never the only one.
TEST_F(ArrayEditsFixture, AddingAndRemovingCabinets) {
    TCabArray* full = array("WA-Frame", "WA8", 8);
    EXPECT_EQ(ArrayAddAnotherCabinet(*f.project, *full), nullptr);
    ASSERT_EQ(f.boxes.shown.size(), 1u);
    EXPECT_EQ(f.boxes.shown[0].text, "The maximum quantity allowed for this Model is 8");
    EXPECT_EQ(full->NCabinets(), 8);

    TCabArray* a = array("WA-Frame", "WA8", 6);
    TCabinet* added = ArrayAddAnotherCabinet(*f.project, *a);
    ASSERT_NE(added, nullptr);
    EXPECT_EQ(a->NCabinets(), 7);
    EXPECT_EQ(added->ArrayCabinetPosID(), 7);
    EXPECT_TRUE(added->Active());

    TCabArray* joined = array("WA-Frame", "WA8", 1);
    joined->AddFrame(frame("WA-Adapter"));
    joined->AddCabinet(cab("WA6"), true);
    ASSERT_TRUE(RemoveLastArrayCabinet(*f.project, *joined));
    EXPECT_EQ(joined->NObjects(), 2); // the frame and the first cabinet
    EXPECT_FALSE(RemoveLastArrayCabinet(*f.project, *joined));
    EXPECT_EQ(joined->NCabinets(), 1);
}

// A warning is shown once, when it first comes up; the text stays while it persists.
TEST_F(ArrayEditsFixture, WarningsComeUpOnce) {
    TCabArray* a = array("WA-Frame", "WA8", 8);
    EXPECT_EQ(CheckArrayWarnings(*a, "", true), "");
    a->AddCabinet(cab("WA8"), true); // 540 kg on a frame rated 500 kg
    a->SetPositionsInsideArray();
    const std::string text = CheckArrayWarnings(*a, "", true);
    EXPECT_EQ(text, "Maximum weight is exceeded.");
    ASSERT_EQ(f.boxes.shown.size(), 1u);
    EXPECT_EQ(f.boxes.shown[0].type, TMsgDlgType::mtWarning);
    EXPECT_EQ(CheckArrayWarnings(*a, text, true), text);
    EXPECT_EQ(f.boxes.shown.size(), 1u);

    const std::vector<std::string> lines = ArrayReportLines(*a);
    ASSERT_EQ(lines.size(), 3u + 5u * 10u);
    EXPECT_EQ(lines[0], "Array " + std::to_string(a->NumberID()) + " REPORT  :   pos X:0 Y:0 Z:0");
    EXPECT_EQ(lines[2], std::string(51, '-'));
    EXPECT_EQ(lines[3], "1: TRiggingFrame");
    EXPECT_EQ(lines[8], "2: TCabinet");
}

} // namespace
} // namespace vendrel
