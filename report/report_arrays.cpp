// The line arrays: a page each with the array's picture from the mechanical view, its mechanical data
// beside it and the table of its elements.

#include <algorithm>
#include <string>
#include <typeinfo>
#include <vector>

#include "acoustics/array_mechanics.h"
#include "acoustics/cab_model.h"
#include "acoustics/cabinet.h"
#include "acoustics/dsp_process.h"
#include "acoustics/line_array.h"
#include "acoustics/project.h"
#include "acoustics/rigging_frame.h"
#include "acoustics/user_preset.h"
#include "dsp/complex.h"
#include "report/report.h"
#include "report/report_pictures.h"

namespace vendrel {

namespace {

constexpr TAlphaColor kSilver = 0xFFC0C0C0;

double absoluteRotationZ(const TControl3D& Element) {
    if (const auto* cabinet = dynamic_cast<const TCabinet*>(&Element)) {
        return cabinet->AbsoluteRotationZ();
    }
    if (const auto* joint = dynamic_cast<const RiggingJoint*>(&Element)) {
        return joint->AbsoluteRotationZ();
    }
    return Element.RotationAngle().Z;
}

} // namespace

void TReport::WriteLineArrays() {
    ProgressStep("Arrays ");
    int i = 0;
    for (const auto& array : FProject.CabArrays()) {
        WriteArray(*array, ++i);
    }
}

void TReport::WriteArray(TCabArray& Array, int Number) {
    NewReportPage();
    SetTitleStyle();
    FLastRect =
        FWriter.DrawText("Line Array " + std::to_string(Number) + " : " + Array.Name(), {FWriteX, FWriteY});
    FWriteY += FLastRect.Height() + 10.0f;

    // An array without cabinets has nothing to show.
    const TBitmap picture = Array.NCabinets() > 0 ? FPictures.ArrayPicture(Array) : TBitmap();
    // The figures printed are those of the array where it stands in the scene.
    Array.RecalcMechanics();

    bool placed = false;
    TReportRect placedRect;
    if (!picture.IsEmpty()) {
        // The left half of the write area, from the left margin to the page's centre line.
        const float right = FPageWidth * 0.5f;
        FImageScale = (FPageRight - right) / static_cast<float>(picture.Width());
        const float titleHeight = TitleLineHeight();
        const float height = std::min(static_cast<float>(picture.Height()) * FImageScale,
                                      FPageBottom - FPageTop - titleHeight);
        if (titleHeight + FWriteY + height > FPageBottom) {
            NewReportPage();
        }
        FImageRect = {FPageLeft, FWriteY, right, FWriteY + height};
        placedRect = FWriter.DrawPicture(picture, kSilver, FImageRect);
        placed = true;
    }

    WriteArrayMechanicsColumn(Array);
    if (placed && placedRect.Bottom > FWriteY) {
        FWriteY = placedRect.Bottom + 20.0f;
    }

    WriteArrayTableHeader();
    FRowHeight = FWriter.MeasureText("   ").Height();
    SetSmallBodyStyle();
    WriteArrayElementRows(Array);
}

void TReport::WriteArrayElementRows(const TCabArray& Array) {
    const std::vector<TControl3D*>& list = Array.ArrayList();
    int n = 0;
    for (size_t k = 1; k < list.size(); ++k) {
        const TControl3D& element = *list[k];
        const bool afterArray = k == 1;
        const std::type_info& kind = typeid(element);
        std::vector<TCell> cells(7);
        if (kind == typeid(TCabinet)) {
            const auto& cabinet = static_cast<const TCabinet&>(element);
            cells[1].Text = "Cabinet " + std::to_string(cabinet.ArrayCabinetPosID());
            cells[2].IsLink = true;
            if (const TCabModel* model = cabinet.Model()) {
                cells[2].Link.Text = model->ModelName();
                if (!model->VariantName().empty()) {
                    cells[2].Link.Text += " (" + model->VariantName() + ")";
                }
                if (IsWebAddress(model->LinkToDataSheet())) {
                    cells[2].Link.Url = model->LinkToDataSheet();
                }
            }
            cells[5].Text = cabinet.InternalDSPPreset() != nullptr ? cabinet.InternalDSPPreset()->Name() : "";
            cells[6].Text =
                cabinet.ExternalDSPProcess() != nullptr ? cabinet.ExternalDSPProcess()->Name() : "";
        } else if (kind == typeid(TRiggingFrame)) {
            const auto& frame = static_cast<const TRiggingFrame&>(element);
            cells[1].Text = afterArray ? "Rig. Frame" : "Adapter";
            cells[2].IsLink = true;
            cells[2].Link.Text = frame.Model() != nullptr ? frame.Model()->ModelName() : std::string();
        } else if (kind == typeid(TQzDummy)) {
            cells[1].Text = afterArray ? "No Rigging" : "Adapter";
            cells[2].IsLink = true;
        } else {
            continue;
        }
        cells[0].Text = std::to_string(++n);
        // Angles are shown with the sign reversed: a splay down is positive.
        cells[3].Text = Fmt("0.0", -element.RotationAngle().Z) + "\u00BA";
        cells[4].Text = Fmt("0.0", -absoluteRotationZ(element)) + "\u00BA";

        BeginTableRow([this] {
            WriteArrayTableHeader();
            SetSmallBodyStyle();
        });
        WriteTableRow(cells, TRuleEnd::LastColumn);
    }
}

void TReport::WriteArrayTableHeader() {
    SetTableHeaderStyle();
    WriteTableHeaderRow({"    ID    ", "      Type        ", "        Model Name       ", "   Rel. Angle   ",
                         "   Abs. Angle   ", "     Internal DSP     ", "      External DSP       "},
                        TRuleEnd::LastColumn, false);
}

void TReport::WriteArrayMechanicsColumn(const TCabArray& Array) {
    const TMechanicalData& m = Array.MechanicalData();
    const auto* frame = dynamic_cast<const TRiggingFrame*>(m.RigFrame);
    const TRigFrameModel* model = m.RigFrameExists && frame != nullptr ? frame->Model() : nullptr;

    SetBodyStyle();
    FLabelX = FPageWidth * 0.5f + 15.0f;
    FValueX = FLabelX + FWriter.MeasureText("Aprox. Cable Weight:      ").Width() + 10.0f;
    const auto heading = [this](const char* Text, const char* Measure) {
        SetSubtitleStyle();
        FLastRect = FWriter.DrawText(Text, {FLabelX, FWriteY});
        FWriteY += FLastRect.Height() + 2.0f;
        if (Measure != nullptr) {
            SetBodyStyle();
            FValueX = FLabelX + FWriter.MeasureText(Measure).Width() + 10.0f;
        }
    };
    const auto line = [this](const std::string& Label, const std::string& Value) {
        WriteLine(Label, Value, 15.0f);
    };
    const auto oneText = [this](const std::string& Text, float Indent) {
        FLastRect = FWriter.DrawText(Text, {FLabelX + Indent, FWriteY});
        FWriteY += FLastRect.Height();
    };
    const auto coordinates = [this](const char* Label, const TPoint3D& p) {
        FWriter.DrawText(Label, {FLabelX + 15.0f, FWriteY});
        FLastRect = FWriter.DrawText("X: " + Len("0.00", p.X), {FValueX, FWriteY});
        FLastRect = FWriter.DrawText("Y: " + Len("0.00", p.Z), {FLastRect.Right + 10.0f, FWriteY});
        FLastRect = FWriter.DrawText("Z: " + Len("0.00", -p.Y), {FLastRect.Right + 10.0f, FWriteY});
        FWriteY += FLastRect.Height();
    };
    const auto degrees = [this](double v) { return Fmt("0.00", v) + " degrees"; };

    heading("CLUSTER MAIN DATA", nullptr);
    SetBodyStyle();
    coordinates("Position:", Array.Position());
    coordinates("Center of Gravity:", m.GravityCenter);
    line("Top Origin:", Len("0.00", m.ElevationOrigin));
    line("Rotation:", degrees(WrapDegrees180(-Array.RotationAngle().Y)));
    line("Tilt:", degrees(Array.Tilt()));
    if (m.RigFrameExists && model != nullptr) {
        line("Array Weight:", Mass("0.0", m.FrameLoad));
    }
    line("Aprox. Cable Weight:",
         Mass("0.0", m.CableWeight) + " (" + Mass("0.0", m.CableWeightPerMeter) + " per meter)");
    oneText(std::string("Included Cable in calc:  ") + (m.IncludeCableInCalculation ? "Yes" : "No"), 15.0f);
    line("Total Weight:", Mass("0.0", m.TotalWeight));
    FWriteY += 10.0f;

    heading("CLUSTER DIMMENSION", "Height:       ");
    line("Height:", Len("0.0", m.ClusterHeight));
    line("Width:", Len("0.0", m.ClusterWidth));
    line("Depth:", Len("0.0", m.ClusterDepth));
    FWriteY += 10.0f;

    heading("MAXIMUM EXTENT", "Most Bottom Point:      ");
    line("Most Top Point:", Len("0.00", m.MostTopPoint));
    line("Most Bottom Point:", Len("0.00", m.MostBottomPoint));
    FWriteY += 10.0f;

    if (!m.RigFrameExists || model == nullptr) {
        heading("RIGGING FRAME", nullptr);
        SetWarningStyle();
        oneText("NO", 15.0f);
        FWriteY += 10.0f;
        return;
    }
    heading("RIGGING FRAME", "Frame Weight:      ");
    if (m.WeightExceded) {
        SetWarningStyle();
        oneText("Maximum weight is exceeded.", 15.0f);
        SetBodyStyle();
    }
    line("Model Name:", model->ModelName());
    line("Frame Tilt:", degrees(Array.Tilt()));
    line("Frame Length:", Len("0.00", model->Width()));
    line("Frame Weight:", Mass("0.0", model->Weight()));
    FWriteY += 10.0f;

    heading("PICK POINTS", nullptr);
    FValueX = FLabelX + FWriter.MeasureText("Adapter fixed at Rigging Points:").Width() + 20.0f;
    if (m.GravityCenterOutOfRange) {
        SetWarningStyle();
        FLastRect = FWriter.DrawText("Center of Gravity is out of range!!!", {FLabelX + 15.0f, FWriteY});
        return;
    }
    if (m.Stacked) {
        // A stack stands on its base: it flies from nothing and loads no pick point.
        return;
    }
    SetBodyStyle();
    const bool oneMotor = m.NMotors == 1;
    const TAdapterTexts adapters = AdapterTexts(m);
    line("Flying with:", oneMotor ? "One motor" : "Two motors");
    if (oneMotor) {
        if (adapters.OneAdapter) {
            line("Fly with adapter in position:", adapters.Position);
            line("Adapter fixed at Rigging Points:", adapters.RigPoints);
        } else {
            line("Fly from Rigging Point:", Fmt("0", m.FlyingPoint));
            line("Load on Rigging Point:", Mass("0.0", m.TotalWeight));
        }
        return;
    }
    if (adapters.TwoAdapters) {
        oneText("Fly with Adapter:", 15.0f);
        oneText("Front Adapter position B, on rigging Points: " + adapters.FrontRigPoints, 30.0f);
        oneText("Rear Adapter position A, on rigging Points:  " + adapters.RearRigPoints, 30.0f);
        FWriteY += 10.0f;
    } else {
        oneText("Fly from Rigging Points:        Front 1, Rear " + std::to_string(m.NPickPoints), 15.0f);
    }
    line("Load on Front Pickup:", Mass("0.0", m.FrontPickupLoad));
    line("Load on Rear Pickup:", Mass("0.0", m.RearPickupLoad));
    FWriteY += 10.0f;
}

} // namespace vendrel
