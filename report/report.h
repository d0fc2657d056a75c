#pragma once
// The project's PDF report: an A4 document with the project information, the four standard views,
// the single sources by model, every line array with its mechanics, every cluster, the DSP processes,
// the zones and the measurement points, with a header, a footer and a page number on every page.
//
// The sections read each kind from the model, take their pictures from IReportPictures and draw
// through IReportWriter. One run of the report (TReport) keeps the write position and the table
// columns that every section reads and moves on; positions are points from the page's top-left
// corner. Sections start a new page where their table row, picture or block would not fit above
// the page's write area bottom.

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "platform/core/bitmap.h"
#include "platform/core/edit_helpers.h"
#include "platform/core/report_writer.h"

namespace vendrel {

class TAcousticProject;
class TCabArray;
class TCabinet;
class TCabModel;
class IReportPictures;
class IProgressBar;
class IStatusLabel;

// What the report reads beside the project: the preferences' texts, the window's caption, file name,
// units and number format, and the window's progress bar and status label.
struct TReportContext {
    TAcousticProject* Project = nullptr; // not owned
    // The project information as the preferences show it.
    std::string InstallName;
    std::string CreatedBy;
    std::string Description;
    std::string Coordinates;
    std::string Temperature;
    std::string Humidity;
    std::string TempUnitText = "\u00BAC";
    std::string HumidityUnitText = "%";
    // The window caption formed at start-up (application caption and version).
    std::string PreCaption;
    // The project file's path; empty for a project never saved.
    std::string ActiveProjectFileName;
    // Shown units: metres x LengthUnits in LengthUnitText, kilograms x MassUnits in MassUnitText.
    double LengthUnits = 1.0;
    std::string LengthUnitText = "m";
    double MassUnits = 1.0;
    std::string MassUnitText = "kg";
    TFormatSettings Format;
    // Not owned; may be null.
    IProgressBar* ProgressBar = nullptr;
    IStatusLabel* StatusLabel = nullptr;
};

// The Save Report command: asks for the file (proposing "Report " and the installation name), applies
// the extension rule (the name with ".pdf" as its extension), asks before it replaces another file
// than the one the dialog asked about, writes the document through Writer, and saves the file so that
// a failure leaves any older file as it was. Progress and status show each step and are cleared on
// every path; a failure tells the user which step failed and why. True when the file was written.
bool GeneratePdfReport(const TReportContext& Context, IReportPictures& Pictures, IReportWriter& Writer);

// The file the report is written to for the name chosen in the dialog: no extension gives the name
// followed by ".pdf", ".pdf" stays, any other extension (".PDF" too) is replaced by ".pdf".
std::string ReportFileNameFor(const std::string& Chosen);

// One run of the report on one writer.
class TReport {
public:
    TReport(const TReportContext& Context, IReportPictures& Pictures, IReportWriter& Writer);

    // Every section in its order, from the document's set-up to the measurement points; Title is the
    // document's title. The document is then ready for the writer's EndDocument.
    void Write(const std::string& Title);
    // The name of the step running (or that failed), as the status line shows it.
    const std::string& CurrentStep() const { return FCurrentStep; }

    void SetupReportDocument(const std::string& Title);
    void NewReportPage();

    void SetTitleStyle();
    void SetSubtitleStyle();
    void SetTableHeaderStyle();
    void SetSmallTableHeaderStyle();
    void SetSmallBodyStyle();
    void SetBodyStyle();
    void SetZoneRowStyle();
    void SetWarningStyle();

    void WriteProjectInformation();
    void WriteViewPages();
    void WriteSingleSources();
    void WriteLineArrays();
    void WriteClusters();
    void WriteDspProcesses();
    void WriteZonesList();
    void WriteMeasurePoints();

    void WriteSourceTableHeader();
    void WriteArrayTableHeader();
    void WriteClusterTableHeader();
    void WritePeqTableHeader();
    void WriteZoneTableHeader();
    void WriteMicTableHeader();
    void WriteArrayMechanicsColumn(const TCabArray& Array);

    // The write position and the write area, points.
    float WriteX() const { return FWriteX; }
    float WriteY() const { return FWriteY; }
    float PageLeft() const { return FPageLeft; }
    float PageRight() const { return FPageRight; }
    float PageTop() const { return FPageTop; }
    float PageBottom() const { return FPageBottom; }

private:
    // One table cell: text, a link, or a number on a rectangle filled with a colour.
    struct TCell {
        std::string Text;
        TReportLinkRun Link;
        bool IsLink = false;
        bool Filled = false;
        TAlphaColor Fill = TAlphaColors::White;
    };
    // Whether a table's top and bottom rules end with its last column or at the write area's right.
    enum class TRuleEnd : uint8_t { LastColumn, PageRight };

    void ProgressStep(const std::string& Name);
    void AddProgressMax(int Count);
    void AdvanceProgress();

    // The header row procedure: labels at the write position, their rectangles as the columns.
    void WriteTableHeaderRow(const std::vector<std::string>& Labels, TRuleEnd RuleEnd, bool TopRuleFirst);
    // Rule 2 of the page breaks: a new page and the table's header again when the row does not fit.
    void BeginTableRow(const std::function<void()>& RepeatHeader);
    void WriteTableRow(const std::vector<TCell>& Cells, TRuleEnd RuleEnd);
    void VerticalRule(float X);

    float TitleLineHeight();
    // The picture at the full text width at the write position (on a new page when its bottom would
    // pass the write area's bottom), then the write position 10 below it.
    void PlaceFullWidthPicture(const TBitmap& Picture, TAlphaColor Background);
    // A model's picture at the left of a 145-point block whose top is the write position less 5: 120
    // points wide at most, shrunk by 5 % steps to at most 137 high. The rectangle drawn, or an empty
    // one at the block's top-left corner without a picture.
    TReportRect PlaceModelPicture(const TCabModel* Model, bool& Drawn);
    // "Datasheet" and "Manual" links of a model at (ValueX, WriteY).
    void WriteModelLinks(const TCabModel& Model);

    void WriteSourceGroup(const std::vector<const TCabinet*>& Group);
    void WriteArray(TCabArray& Array, int Number);
    void WriteArrayElementRows(const TCabArray& Array);

    // A text with several lines as one paragraph: every line break character becomes a blank.
    static std::string OneParagraph(std::string Text);
    std::string Fmt(const char* Pattern, double Value) const;
    std::string Len(const char* Pattern, double Metres) const;
    std::string Mass(const char* Pattern, double Kilograms) const;
    // A label and its value on one line of the label/value column, then down by the value's height.
    void WriteLine(const std::string& Label, const std::string& Value, float LabelIndent);

    const TReportContext& FContext;
    TAcousticProject& FProject;
    IReportPictures& FPictures;
    IReportWriter& FWriter;

    std::string FCurrentStep;
    int FProgressMax = 10;
    int FProgressValue = 0;

    float FPageWidth = 595.0f, FPageHeight = 842.0f;
    float FHeaderSize = 50.0f, FFooterSize = 42.0f;
    float FPageLeft = 0.0f, FPageRight = 0.0f, FPageTop = 0.0f, FPageBottom = 0.0f;
    float FWriteX = 0.0f, FWriteY = 0.0f;
    TReportRect FLastRect;
    TReportRect FImageRect;
    float FImageScale = 1.0f;
    float FRowHeight = 0.0f;
    std::vector<TReportRect> FColumnRects;
    float FLabelX = 0.0f, FValueX = 0.0f;
    int FPages = 0;
};

} // namespace vendrel
