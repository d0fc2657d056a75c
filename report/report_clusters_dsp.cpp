// The clusters (a page each: model, placement and distribution) and the user DSP processes (response
// chart, gain, polarity and delay, and the EQ bank).

#include <string>
#include <vector>

#include "acoustics/cab_model.h"
#include "acoustics/cluster.h"
#include "acoustics/dsp_process.h"
#include "acoustics/project.h"
#include "dsp/biquad.h"
#include "dsp/complex.h"
#include "dsp/gain_delay.h"
#include "dsp/peqs.h"
#include "platform/core/numeric.h"
#include "report/report.h"
#include "report/report_pictures.h"

namespace vendrel {

void TReport::WriteClusters() {
    ProgressStep("Clusters ");
    int n = 0;
    for (const auto& cluster : FProject.Clusters()) {
        ++n;
        NewReportPage();
        SetTitleStyle();
        FLastRect =
            FWriter.DrawText("Cluster " + std::to_string(n) + " : " + cluster->Name(), {FWriteX, FWriteY});
        FWriteY += FLastRect.Height() + 10.0f;
        if (FWriteY + 160.0f > FPageBottom) {
            NewReportPage();
        }
        const TCabModel* model = cluster->Model();
        bool drawn = false;
        const TReportRect picture = PlaceModelPicture(model, drawn);

        SetBodyStyle();
        FLabelX = FPageWidth * 0.5f + 15.0f;
        FValueX = FLabelX + FWriter.MeasureText("Aprox. Cable Weight:      ").Width() + 10.0f;
        SetSubtitleStyle();
        FLastRect = FWriter.DrawText("CLUSTER MAIN DATA", {FLabelX, FWriteY});
        FWriteY += FLastRect.Height() + 2.0f;
        SetBodyStyle();

        WriteLine("Model:", model != nullptr ? model->ModelName() : std::string(), 15.0f);
        const TPoint3D& p = cluster->Position();
        FWriter.DrawText("Position:", {FLabelX + 15.0f, FWriteY});
        FLastRect = FWriter.DrawText("X: " + Len("0.00", p.X), {FValueX, FWriteY});
        FLastRect = FWriter.DrawText("Y: " + Len("0.00", p.Z), {FLastRect.Right + 10.0f, FWriteY});
        FLastRect = FWriter.DrawText("Z: " + Len("0.00", -p.Y), {FLastRect.Right + 10.0f, FWriteY});
        FWriteY += FLastRect.Height();
        const TPoint3D& r = cluster->RotationAngle();
        WriteLine("Rotation Y:", Fmt("0.00", WrapDegrees180(-r.Z)) + " degrees", 15.0f);
        WriteLine("Rotation Z:", Fmt("0.00", WrapDegrees180(-r.Y)) + " degrees", 15.0f);
        WriteLine("Type:", At(ClusterDistributionNames, static_cast<size_t>(cluster->ClusterDistribution())),
                  15.0f);
        FWriteY += 10.0f;
        if (model != nullptr) {
            WriteModelLinks(*model);
        }
        if (drawn && picture.Bottom > FWriteY) {
            FWriteY = picture.Bottom + 20.0f;
        }

        WriteClusterTableHeader();
        SetBodyStyle();
        FRowHeight = FWriter.MeasureText("   ").Height();
        BeginTableRow([this] {
            WriteClusterTableHeader();
            SetBodyStyle();
        });
        FWriter.SetAlignment(TReportAlignment::gtaCenter);
        const auto row = [this](const std::string& Label, const std::string& H, const std::string& V) {
            FWriteX = FPageLeft;
            std::vector<TCell> cells(3);
            cells[0].Text = Label;
            cells[1].Text = H;
            cells[2].Text = V;
            WriteTableRow(cells, TRuleEnd::LastColumn);
        };
        row("QTY", std::to_string(cluster->QuantityH()), std::to_string(cluster->QuantityV()));
        // Every length in the shown unit with its unit; angles in degrees.
        const std::string hSpace = Len("0.00", cluster->LinearHSpace());
        const std::string vSpace = Len("0.00", cluster->LinearVSpace());
        const std::string hAngle = Fmt("0.00", cluster->AngularHAngle());
        const std::string vAngle = Fmt("0.00", cluster->AngularVAngle());
        const std::string radius = Len("0.00", cluster->AngularRadius());
        switch (cluster->ClusterDistribution()) {
        case TClusterDistribution::qzaAngular:
            row("Distribution", "Angular", "Angular");
            row("Angle", hAngle, vAngle);
            row("Radius", radius, radius);
            break;
        case TClusterDistribution::qzaLinear:
            row("Distribution", "Linear", "Linear");
            row("Separation", hSpace, vSpace);
            break;
        case TClusterDistribution::qzaAngHLinV:
            row("Distribution", "Angular", "Linear");
            row("Separation", "-", vSpace);
            row("Angle", hAngle, "-");
            row("Radius", radius, "-");
            break;
        case TClusterDistribution::qzaAngVLinH:
            row("Distribution", "Linear", "Angular");
            row("Separation", hSpace, "-");
            row("Angle", "-", vAngle);
            row("Radius", "-", radius);
            break;
        }
    }
}

void TReport::WriteClusterTableHeader() {
    SetTableHeaderStyle();
    WriteTableHeaderRow({std::string(27, ' '), "     Horizontal     ", "      Vertical      "},
                        TRuleEnd::LastColumn, false);
}

void TReport::WriteDspProcesses() {
    ProgressStep("DSPs ");
    if (FProject.NDSPProcess() == 0) {
        return;
    }
    NewReportPage();
    for (const auto& process : FProject.DSPProcessList()) {
        SetTitleStyle();
        const std::string title =
            "External DSP Process " + std::to_string(process->NumberID()) + " : " + process->Name();
        const TBitmap chart = FPictures.DspProcessChart(*process);
        // The title goes with its chart and the settings line: all three start a new page when they
        // would not fit below.
        const float titleHeight = FWriter.MeasureText(title).Height();
        const float chartHeight =
            chart.IsEmpty()
                ? 0.0f
                : (FPageRight - FPageLeft) * static_cast<float>(chart.Height()) / chart.Width() + 10.0f;
        if (FWriteY > FPageTop && FWriteY + titleHeight + 10.0f + chartHeight + 12.0f > FPageBottom) {
            NewReportPage();
        }
        FLastRect = FWriter.DrawText(title, {FWriteX, FWriteY});
        FWriteY += FLastRect.Height() + 10.0f;
        if (!chart.IsEmpty()) {
            PlaceFullWidthPicture(chart, TAlphaColors::White);
        }

        SetBodyStyle();
        const TGain& gain = *process->Gain();
        const std::string polarity = gain.Polarity == TGainPolarity::qzgmtInverted ? "Negative" : "Positive";
        const std::string settings = "Gain: " + Fmt("0.00", gain.dB()) + " dB           " +
                                     "Polarity: " + polarity + "            " +
                                     "Delay: " + Fmt("0.00", process->Delay()->ms()) + " msec";
        if (FWriteY + 12.0f > FPageBottom) {
            NewReportPage();
        }
        FLastRect = {FPageLeft, FWriteY, FPageRight, FWriteY + 12.0f};
        FWriter.DrawRectangle(FLastRect);
        FLastRect = FWriter.DrawTextInRect(settings, FLastRect);
        FWriteY += FLastRect.Height();
        FWriteX = FPageLeft;

        WritePeqTableHeader();
        SetBodyStyle();
        FRowHeight = FWriter.MeasureText("   ").Height();
        const TPeqs& bank = *process->PEQS();
        for (int32_t k = 0; k < bank.NPeqs(); ++k) {
            const TSOS& section = *At(bank.Peqs, static_cast<size_t>(k));
            BeginTableRow([this] {
                WritePeqTableHeader();
                SetBodyStyle();
            });
            std::vector<TCell> cells(6);
            cells[0].Text = std::to_string(k + 1);
            cells[1].Text = section.Active ? "Yes" : "No";
            cells[2].Text = At(PeqTypeNames, static_cast<size_t>(section.FilterType));
            cells[3].Text = Fmt("0", section.Frequency());
            cells[4].Text = Fmt("0.00", section.Q());
            cells[5].Text = Fmt("0.00", section.Gain()) + " dB";
            WriteTableRow(cells, TRuleEnd::PageRight);
        }
        // The closing rule; at the foot of a page the page's end closes the table instead.
        FWriteY += FLastRect.Height() + 10.0f;
        if (FWriteY <= FPageBottom) {
            FWriter.DrawLine({FPageLeft, FWriteY}, {FPageRight, FWriteY});
        }
        FWriteY += FLastRect.Height() + 10.0f;
    }
}

void TReport::WritePeqTableHeader() {
    SetTableHeaderStyle();
    WriteTableHeaderRow({"      Number      ", "         Active          ", "          Filter Type          ",
                         "       Frequency         ", "             Q              ",
                         "            Gain           "},
                        TRuleEnd::PageRight, false);
}

} // namespace vendrel
