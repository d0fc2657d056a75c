// The single sound sources: the loose cabinets grouped by model, a block per model and a table of
// its cabinets.

#include <string>
#include <vector>

#include "acoustics/cab_model.h"
#include "acoustics/cabinet.h"
#include "acoustics/dsp_process.h"
#include "acoustics/project.h"
#include "acoustics/user_preset.h"
#include "dsp/complex.h"
#include "report/report.h"

namespace vendrel {

namespace {

struct ModelKey {
    std::string ModelName, VariantName, Manufacturer;
    bool operator==(const ModelKey&) const = default;
};

ModelKey keyOf(const TCabinet& Cabinet) {
    const TCabModel* m = Cabinet.Model();
    return m == nullptr ? ModelKey{} : ModelKey{m->ModelName(), m->VariantName(), m->Manufacturer()};
}

} // namespace

void TReport::WriteSingleSources() {
    ProgressStep("Cabinets");
    if (FProject.NCabinets() == 0) {
        return;
    }
    NewReportPage();
    SetTitleStyle();
    FLastRect = FWriter.DrawText("Single Sound Sources", {FWriteX, FWriteY});
    FWriteY += FLastRect.Height() + 10.0f;

    // Groups of cabinets of one model (name, variant and maker), in the order of their first cabinets.
    std::vector<ModelKey> keys;
    std::vector<std::vector<const TCabinet*>> groups;
    for (const auto& cabinet : FProject.Cabinets()) {
        const ModelKey key = keyOf(*cabinet);
        size_t g = 0;
        while (g < keys.size() && !(keys[g] == key)) {
            ++g;
        }
        if (g == keys.size()) {
            keys.push_back(key);
            groups.emplace_back();
        }
        groups[g].push_back(cabinet.get());
    }
    AddProgressMax(static_cast<int>(groups.size()));
    for (size_t g = 0; g < groups.size(); ++g) {
        AdvanceProgress();
        if (g > 0) {
            NewReportPage();
        }
        WriteSourceGroup(groups[g]);
    }
}

void TReport::WriteSourceGroup(const std::vector<const TCabinet*>& Group) {
    // The block shows the model the cabinets use, whatever the library holds now.
    const TCabModel* model = Group.front()->Model();
    if (FWriteY + 160.0f > FPageBottom) {
        NewReportPage();
    }
    const TReportRect frame{FPageLeft, FWriteY - 5.0f, FPageRight, FWriteY + 140.0f};
    FWriter.DrawRectangle(frame);
    bool drawn = false;
    const TReportRect picture = PlaceModelPicture(model, drawn);
    if (drawn) {
        FLastRect = picture;
    }

    SetBodyStyle();
    // Without a picture the labels stand where they stand beside the widest picture.
    FLabelX = FPageLeft + (drawn ? picture.Width() : 122.0f) + 20.0f;
    FValueX = FLabelX + FWriter.MeasureText("Description: ").Width() + 10.0f;
    const auto line = [this](const std::string& Label, const std::string& Value) {
        WriteLine(Label, Value, 0.0f);
        FWriteY += 10.0f;
    };
    std::string name, manufacturer, serie, comments;
    double weight = 0.0;
    if (model != nullptr) {
        name = model->ModelName();
        if (!model->VariantName().empty()) {
            name += " (" + model->VariantName() + ")";
        }
        manufacturer = model->Manufacturer();
        serie = model->SerieName();
        comments = model->Comments();
        weight = model->Weight();
    }
    line("Model Name:", name);
    line("Manufacturer: ", manufacturer);
    line("Serie: ", serie);
    line("Weight: ", Mass("0.0", weight));
    FWriter.DrawText("Description: ", {FLabelX, FWriteY});
    FImageRect = {FValueX, FWriteY, FPageRight, FWriteY + 80.0f};
    FLastRect = FWriter.DrawTextInRect(OneParagraph(comments), FImageRect);
    FWriteY += FLastRect.Height() + 10.0f;
    if (model != nullptr) {
        WriteModelLinks(*model);
    }
    FWriteY = frame.Bottom;

    WriteSourceTableHeader();
    SetBodyStyle();
    FRowHeight = FWriter.MeasureText("   ").Height();
    for (const TCabinet* cabinet : Group) {
        BeginTableRow([this] {
            WriteSourceTableHeader();
            SetBodyStyle();
        });
        const TPoint3D& p = cabinet->Position();
        const TPoint3D& r = cabinet->RotationAngle();
        std::vector<TCell> cells(10);
        cells[0].Text = std::to_string(cabinet->NumberID());
        cells[1].Text = Fmt("0.00", p.X * FContext.LengthUnits);
        cells[2].Text = Fmt("0.00", p.Z * FContext.LengthUnits);
        cells[3].Text = Fmt("0.00", -p.Y * FContext.LengthUnits);
        cells[4].Text = Fmt("0", WrapDegrees180(-r.X));
        cells[5].Text = Fmt("0", WrapDegrees180(-r.Z));
        cells[6].Text = Fmt("0", WrapDegrees180(-r.Y));
        cells[7].Text = cabinet->PlacementType() == TCabPlacement::qzaVertical ? "Vertical" : "Horizontal";
        cells[8].Text = cabinet->InternalDSPPreset() != nullptr ? cabinet->InternalDSPPreset()->Name() : "";
        cells[9].Text = cabinet->ExternalDSPProcess() != nullptr ? cabinet->ExternalDSPProcess()->Name() : "";
        WriteTableRow(cells, TRuleEnd::LastColumn);
    }
}

void TReport::WriteSourceTableHeader() {
    SetTableHeaderStyle();
    const std::string& u = FContext.LengthUnitText;
    WriteTableHeaderRow({"  ID    ", "  Pos X [" + u + "] ", "  Pos Y [" + u + "] ", "  Pos Z [" + u + "] ",
                         "    Rot X   ", "    Rot Y   ", "    Rot Z   ", "  Mounting   ",
                         "   Internal DSP   ", "   External DSP   "},
                        TRuleEnd::LastColumn, false);
}

} // namespace vendrel
