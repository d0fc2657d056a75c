#include "editor/array_wizard.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

#include "acoustics/cab_model.h"
#include "acoustics/cabinet.h"
#include "acoustics/line_array.h"
#include "acoustics/rigging_frame.h"
#include "documents_fixture.h"
#include "platform/core/node3d.h"

namespace vendrel {
namespace {

using testing::DocumentsFixture;

// The wizard on the sample library's second series: the 60 kg WA8 flies from the 50 kg WA-Frame rated
// 500 kg (at most 8 of it), joined below by the 65 kg WA8S through a spacer or by the 80 kg WB12,
// which has no frame of its own; WA8S lists three joins, WB12, WA9 (not in the library) and the 20 kg
// WA6 through WA-Adapter (12 kg) when more than 6 of it hang, allowed below fewer than 9 cabinets.
struct WizardFixture : DocumentsFixture {
    TCabArray* array = nullptr;
    std::unique_ptr<TArrayWizard> wizard;

    WizardFixture() {
        f.project->AddArray(std::make_unique<TCabArray>(&f.medium, f.project.get()));
        array = f.project->CabArrays().back().get();
        array->SetNumberID(1);
        wizard = std::make_unique<TArrayWizard>(*f.project, library.get());
        wizard->NewArrayInit(array);
    }

    int entry(const std::string& text) const {
        const auto& list = wizard->ModelList();
        const auto it =
            std::find_if(list.begin(), list.end(), [&](const TWizardListItem& i) { return i.Text == text; });
        return it == list.end() ? -1 : static_cast<int>(it - list.begin());
    }
    // Flown, the "Wide Array" series, Quantity of First.
    void firstBlock(int Quantity, const std::string& First = "WA8") {
        wizard->FlownButtonClick();
        const auto& series = wizard->SeriesList();
        const auto it = std::find(series.begin(), series.end(), "Wide Array");
        ASSERT_NE(it, series.end());
        wizard->NextB0Click(static_cast<int>(it - series.begin()));
        wizard->QuantityBoxExit(Quantity);
        ASSERT_GE(entry(First), 0);
        wizard->ArrayListViewItemClick(entry(First));
    }
    // Next on the model page, then "Yes", then Quantity of Model.
    void join(int Quantity, const std::string& Model) {
        wizard->NextB1Click();
        ASSERT_EQ(wizard->ActiveTab(), TWizardTab::AnotherModel);
        wizard->InsertAnotherModelButtonClick();
        ASSERT_EQ(wizard->ActiveTab(), TWizardTab::Model);
        wizard->QuantityBoxExit(Quantity);
        ASSERT_GE(entry(Model), 0) << Model;
        wizard->ArrayListViewItemClick(entry(Model));
    }
    // The array's elements by kind and model: "F:WA-Frame", "C:WA8", "S" for a spacer.
    std::vector<std::string> elements() const {
        std::vector<std::string> out;
        for (size_t i = 1; i < array->ArrayList().size(); ++i) {
            const TControl3D* e = array->ArrayList()[i];
            if (const auto* c = dynamic_cast<const TCabinet*>(e)) {
                out.push_back("C:" + c->Model()->ModelName());
            } else if (const auto* fr = dynamic_cast<const TRiggingFrame*>(e)) {
                out.push_back("F:" + fr->Model()->ModelName());
            } else {
                out.push_back("S");
            }
        }
        return out;
    }
    std::vector<std::string> texts() const {
        std::vector<std::string> out;
        for (const auto& b : f.boxes.shown) {
            out.push_back(b.text);
        }
        return out;
    }
    static std::vector<std::string> repeat(const std::string& s, int n) {
        return std::vector<std::string>(n, s);
    }
    static std::vector<std::string> join(std::vector<std::string> a, const std::vector<std::string>& b) {
        a.insert(a.end(), b.begin(), b.end());
        return a;
    }
};

// The frame takes everything below it, adapters included, up to its rating: a block that would pass
// it gets fewer cabinets (the fewest to leave out), a block that cannot fit at all gets none, also
// when its model has no frame of its own; what is built carries no weight warning.
TEST_F(WizardFixture, BlocksFitTheFlyingFramesRating) {
    struct Case {
        const char* name;
        int first;
        const char* second; // null: one block
        int quantity;
        std::vector<std::string> built;
        std::vector<std::string> messages;
    };
    const Case cases[] = {
        {"10 of the first model: its maximum",
         10,
         nullptr,
         0,
         join({"F:WA-Frame"}, repeat("C:WA8", 8)),
         {"The maximum quantity allowed for this Model is 8"}},
        {"4 x 60 kg then 5 x 65 kg: 4 of them reach 500 kg",
         4,
         "WA8S",
         5,
         join(join(join({"F:WA-Frame"}, repeat("C:WA8", 4)), {"S"}), repeat("C:WA8S", 4)),
         {"The maximum Weight supported by: WA-Frame is 500 kg. Only 4 cabinets will be added"}},
        {"8 x 60 kg then 80 kg cabinets without a frame of their own",
         8,
         "WB12",
         8,
         join({"F:WA-Frame"}, repeat("C:WA8", 8)),
         {"The maximum Weight supported by: WA-Frame is 500 kg. No more cabinets can be added."}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        wizard->FormClose();
        while (array->NObjects() > 0) {
            f.project->RemoveElementFromArray(array->ArrayList().back(), array);
        }
        wizard->NewArrayInit(array);
        firstBlock(c.first);
        if (c.second != nullptr) {
            f.boxes.shown.clear();
            join(c.quantity, c.second);
        }
        EXPECT_EQ(elements(), c.built);
        EXPECT_EQ(texts(), c.messages);
        f.boxes.shown.clear();
        array->RecalcMechanics();
        EXPECT_FALSE(array->MechanicalData().WeightExceded);
        EXPECT_LE(array->MechanicalData().FrameLoad, 500.0);
    }
    EXPECT_DOUBLE_EQ(array->MechanicalData().FrameLoad, 480.0);
}

// A join's adapter, threshold and allowed quantity are those of its place among the parent's joins:
// the second of three is not in the library, so the list's second entry stands for the third join.
TEST_F(WizardFixture, JoinsKeepTheirOwnAdapterThresholdAndLimit) {
    firstBlock(4);
    join(1, "WA8S");
    wizard->NextB1Click();
    wizard->InsertAnotherModelButtonClick();
    const auto& list = wizard->ModelList();
    ASSERT_EQ(list.size(), 2u);
    EXPECT_EQ(list[0].Text, "WB12");
    EXPECT_EQ(list[1].Text, "WA6");
    EXPECT_EQ(list[1].TagString, "WA-Adapter");
    EXPECT_EQ(list[1].Record, 2u);
    EXPECT_NE(list[1].Detail.find("Adapter: WA-Adapter (if Qty > 6)\r\nSerie: Wide Array\r\nWeight: 20 Kg"),
              std::string::npos);

    // Five cabinets hang: the missing join would refuse (fewer than 5), the third allows (fewer than 9).
    const std::vector<std::string> before = elements();
    f.boxes.shown.clear();
    for (const int quantity : {6, 7}) {
        SCOPED_TRACE(quantity);
        wizard->QuantityBoxExit(quantity);
        wizard->ArrayListViewItemClick(1);
        EXPECT_TRUE(texts().empty());
        ASSERT_EQ(array->NObjects(), static_cast<int32_t>(before.size()) + 1 + quantity);
        // More than six: the adapter frame, else a spacer.
        EXPECT_EQ(elements()[before.size()], quantity > 6 ? "F:WA-Adapter" : "S");
    }
}

// Back returns to the page the last Next left and restores the array as it was then; what the array
// gained since goes through the project. Cancel after that leaves nothing behind.
TEST_F(WizardFixture, BackRestoresTheArrayAndCancelLeavesNoTrace) {
    firstBlock(3);
    wizard->NextB1Click();
    const std::vector<TControl3D*> atNext = array->ArrayList();
    const std::vector<TCabinet*> cabinetsAtNext = array->CabinetList();
    wizard->InsertAnotherModelButtonClick();
    wizard->QuantityBoxExit(2);
    wizard->ArrayListViewItemClick(entry("WA8S"));
    ASSERT_EQ(array->NCabinets(), 5);
    EXPECT_EQ(f.project->TotalCabinets(), 5);

    wizard->BackB1Click(); // from the model page to the another-model page
    EXPECT_EQ(wizard->ActiveTab(), TWizardTab::AnotherModel);
    EXPECT_EQ(array->ArrayList(), atNext);
    EXPECT_EQ(array->CabinetList(), cabinetsAtNext);
    EXPECT_EQ(f.project->TotalCabinets(), 3);
    EXPECT_EQ(wizard->QuantityBox(), 3);
    EXPECT_TRUE(wizard->TotalWeightText().ends_with("kg"));
    EXPECT_FALSE(wizard->TotalWeightText().ends_with(" kg"));
    EXPECT_EQ(wizard->TotalWeightText(), "Total Weight = 230.0kg");

    wizard->BackB1Click(); // to the model page of the first model, which stays selected
    EXPECT_EQ(wizard->ActiveTab(), TWizardTab::Model);
    EXPECT_EQ(array->ArrayList(), atNext);
    ASSERT_GE(wizard->SelectedItem(), 0);
    EXPECT_EQ(wizard->ModelList()[static_cast<size_t>(wizard->SelectedItem())].Text, "WA8");
    EXPECT_TRUE(wizard->NextB1Enabled());

    // Cancel: the window removes the array.
    wizard->FormClose();
    f.project->RemoveArray(array);
    EXPECT_EQ(f.project->NCabArrays(), 0);
    EXPECT_EQ(f.project->TotalCabinets(), 0);
}

// The preview stands the array 4 m above its own height and turns and zooms a camera of its own.
TEST_F(WizardFixture, PreviewPlacesTheArrayAndTheCamera) {
    firstBlock(8); // 0.1 m of frame and 8 x 0.3 m: 2.5 m
    EXPECT_EQ(array->Position(), TPoint3D(2.0f, -6.5f, 0.0f));
    ASSERT_NE(wizard->PreviewContainer(), nullptr);
    EXPECT_EQ(wizard->PreviewContainer()->Position(), TPoint3D(0.0f, -5.0f, 0.0f));
    EXPECT_FLOAT_EQ(wizard->Camera().OffsetY, -2.5f);
    // A drawing per frame and cabinet.
    EXPECT_EQ(wizard->PreviewContainer()->ChildrenCount(), 9);

    const float distance = wizard->Camera().Distance;
    wizard->OrthographicRadioButtonClick();
    EXPECT_FLOAT_EQ(wizard->Camera().AngleOfView, 1.0f);
    EXPECT_FLOAT_EQ(wizard->Camera().Distance, distance * 45);
    wizard->PerspectiveRadioButtonClick();
    EXPECT_FLOAT_EQ(wizard->Camera().Distance, distance);
    wizard->PreviewWheel(120);
    EXPECT_FLOAT_EQ(wizard->Camera().Distance, distance + 0.3f);
}

// Eight cabinets of either sample series hang from their frame with the centre of gravity a few
// centimetres beside the pick points' line (their cabinets carry it 5 cm off their mid-plane): within
// range, the two motors' loads adding up to the weight.
TEST_F(WizardFixture, SampleArraysHangWithinTheirPickPoints) {
    for (const char* model : {"WA8", "LA10 (90)"}) {
        SCOPED_TRACE(model);
        wizard->FormClose();
        while (array->NObjects() > 0) {
            f.project->RemoveElementFromArray(array->ArrayList().back(), array);
        }
        wizard->NewArrayInit(array);
        wizard->FlownButtonClick();
        wizard->NextB0Click(-1);
        wizard->QuantityBoxExit(8);
        wizard->ArrayListViewItemClick(entry(model));
        ASSERT_EQ(array->NCabinets(), 8);
        array->RecalcMechanics();
        const TMechanicalData& d = array->MechanicalData();
        EXPECT_FALSE(d.GravityCenterOutOfRange);
        EXPECT_GE(d.FlyingPoint, 1);
        EXPECT_GT(std::abs(d.GravityCenter.Z), 0.04f);
        EXPECT_NEAR(d.FrontPickupLoad + d.RearPickupLoad, d.TotalWeight, 1e-9);
    }
}

} // namespace
} // namespace vendrel
