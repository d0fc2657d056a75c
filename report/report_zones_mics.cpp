// The zones list and the measure points: a table of every mapping zone, the response chart and a
// table of every measurement point.

#include <string>
#include <vector>

#include "acoustics/mapping_zone.h"
#include "acoustics/mic_point.h"
#include "acoustics/project.h"
#include "report/report.h"
#include "report/report_pictures.h"

namespace vendrel {

namespace {

const char* zoneTypeText(TSurfaceType Type) {
    switch (Type) {
    case TSurfaceType::qzaRectangle:
        return "Rectangle";
    case TSurfaceType::qzaTrapezium:
        return "Trapezium";
    case TSurfaceType::qzaPolygon:
        return "Drawn";
    case TSurfaceType::qzaPicture:
        return "Picture";
    }
    return "";
}

} // namespace

void TReport::WriteZonesList() {
    ProgressStep("Zones");
    NewReportPage();
    SetTitleStyle();
    FLastRect = FWriter.DrawText("Zones List", {FWriteX, FWriteY});
    FWriteY += FLastRect.Height();
    WriteZoneTableHeader();

    // Zones are listed as stored: the scene's second and third axes swapped, no sign change and
    // rotations with one decimal.
    const double u = FContext.LengthUnits;
    int i = 0;
    for (const auto& zone : FProject.MappingZones()) {
        BeginTableRow([this] { WriteZoneTableHeader(); });
        SetZoneRowStyle();
        const TPoint3D& r = zone->RotationAngle();
        std::vector<TCell> cells(13);
        cells[0].Text = std::to_string(++i) + ":" + zone->Name();
        cells[1].Text = zoneTypeText(zone->SurfaceType());
        cells[2].Text = zone->MappingSides() == TMappingSides::qzaNoSPLMap ? "Disabled" : "Enabled";
        cells[3].Text = Len("0.00", zone->ListenLevel());
        cells[4].Text = Fmt("0.00", zone->XBegin() * u);
        cells[5].Text = Fmt("0.00", zone->ZBegin() * u);
        cells[6].Text = Fmt("0.00", zone->YBegin() * u);
        cells[7].Text = Fmt("0.0", r.X);
        cells[8].Text = Fmt("0.0", r.Z);
        cells[9].Text = Fmt("0.0", r.Y);
        cells[10].Text = Fmt("0.00", zone->Width() * u);
        cells[11].Text = Fmt("0.00", zone->Depth() * u);
        cells[12].Text = Fmt("0.00", zone->Height() * u);
        WriteTableRow(cells, TRuleEnd::LastColumn);
    }
}

void TReport::WriteZoneTableHeader() {
    SetSmallTableHeaderStyle();
    const std::string& u = FContext.LengthUnitText;
    WriteTableHeaderRow({"     ID:Name      ", "  ZoneType   ", " Mapping ", " List. Height ",
                         " PosX [" + u + "]", " PosY [" + u + "]", " PosZ [" + u + "]", "  Rot X ",
                         "  Rot Y ", "  Rot Z ", "  Lenght ", "  Width  ", "  Thick  "},
                        TRuleEnd::LastColumn, false);
}

void TReport::WriteMeasurePoints() {
    ProgressStep("Mics ");
    if (FProject.NMics() == 0) {
        return;
    }
    NewReportPage();
    SetTitleStyle();
    FLastRect = FWriter.DrawText("Measure Points ", {FWriteX, FWriteY});
    FWriteY += FLastRect.Height() + 10.0f;

    const TBitmap chart = FPictures.ResponseChart();
    if (!chart.IsEmpty()) {
        PlaceFullWidthPicture(chart, TAlphaColors::White);
    }

    WriteMicTableHeader();
    SetBodyStyle();
    FRowHeight = FWriter.MeasureText("   ").Height();
    int i = 0;
    for (const auto& mic : FProject.Mics()) {
        BeginTableRow([this] {
            WriteMicTableHeader();
            SetBodyStyle();
        });
        const TPoint3D& p = mic->Position();
        std::vector<TCell> cells(5);
        cells[0].Text = std::to_string(++i);
        cells[0].Filled = true;
        cells[0].Fill = mic->Color();
        cells[1].Text = mic->Visible() ? "Yes" : "No";
        cells[2].Text = Len("0.00", p.X);
        cells[3].Text = Len("0.00", p.Z);
        cells[4].Text = Len("0.00", -p.Y);
        WriteTableRow(cells, TRuleEnd::PageRight);
    }
}

void TReport::WriteMicTableHeader() {
    SetTableHeaderStyle();
    WriteTableHeaderRow({"        Number/Color       ", "          Visible          ",
                         "          Position X           ", "          Position Y           ",
                         "   Position Z (height)    "},
                        TRuleEnd::PageRight, true);
}

} // namespace vendrel
