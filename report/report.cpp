// The report's entry, its document and page frame, its text styles, tables and picture placement.

#include "report/report.h"

#include <algorithm>
#include <exception>
#include <filesystem>

#include "acoustics/cab_model.h"
#include "acoustics/project.h"
#include "platform/core/atomic_file.h"
#include "platform/core/file_dialog.h"
#include "platform/core/message_box.h"
#include "report/report_pictures.h"

namespace vendrel {

namespace {

constexpr const char* kGenerating = "Generating PDF Report...";
constexpr TAlphaColor kSteelBlue = 0xFF4682B4;
constexpr TAlphaColor kNavy = 0xFF000080;

std::string fileNamePart(const std::string& Path) {
    return std::filesystem::path(Path).filename().string();
}

std::string trimmed(const std::string& s) {
    const size_t end = s.find_last_not_of(' ');
    return end == std::string::npos ? std::string() : s.substr(0, end + 1);
}

TReportFont font(const char* Name, float Size, TAlphaColor Color, bool Bold, bool Underline) {
    TReportFont f;
    f.Name = Name;
    f.Size = Size;
    f.Color = Color;
    f.Bold = Bold;
    f.Underline = Underline;
    return f;
}

// The window's progress bar and status line during one run, cleared on every way out.
class TProgressScope {
public:
    explicit TProgressScope(const TReportContext& Context) : FContext(Context) {}
    ~TProgressScope() { Clear(); }
    TProgressScope(const TProgressScope&) = delete;
    TProgressScope& operator=(const TProgressScope&) = delete;

    void Clear() noexcept {
        try {
            if (FContext.StatusLabel != nullptr) {
                FContext.StatusLabel->SetText("");
            }
            if (FContext.ProgressBar != nullptr) {
                FContext.ProgressBar->SetValue(0);
            }
        } catch (...) {
            // A status line that cannot be cleared must not hide the report's own outcome.
        }
    }

private:
    const TReportContext& FContext;
};

} // namespace

std::string ReportFileNameFor(const std::string& Chosen) {
    const std::filesystem::path path(Chosen);
    const std::string name = path.filename().string();
    const size_t dot = name.rfind('.');
    if (dot == std::string::npos) {
        return Chosen + ".pdf";
    }
    if (name.compare(dot, std::string::npos, ".pdf") == 0) {
        return Chosen;
    }
    return Chosen.substr(0, Chosen.size() - (name.size() - dot)) + ".pdf";
}

bool GeneratePdfReport(const TReportContext& Context, IReportPictures& Pictures, IReportWriter& Writer) {
    TFileDialogRequest request;
    request.Kind = TFileDialogKind::fdSave;
    request.Filter = "PDF |*.pdf";
    request.FileName = Context.InstallName.empty() ? std::string("Report") : "Report " + Context.InstallName;
    const std::optional<std::string> chosen = FileDialogService().Execute(request);
    if (!chosen) {
        return false;
    }
    const std::string reportFileName = ReportFileNameFor(*chosen);
    // The dialog asked about the name as typed; the file written may be another one.
    std::error_code ec;
    if (reportFileName != *chosen && std::filesystem::exists(reportFileName, ec)) {
        const TModalResult answer = MessageBoxService().MessageDlg(
            fileNamePart(reportFileName) + " already exists.\nDo you want to replace it?",
            TMsgDlgType::mtConfirmation, {TMsgDlgBtn::mbYes, TMsgDlgBtn::mbNo});
        if (answer != TModalResult::mrYes) {
            return false;
        }
    }

    TProgressScope progress(Context);
    TReport report(Context, Pictures, Writer);
    std::string step;
    try {
        report.Write(fileNamePart(*chosen));
        step = "Writing the file";
        const std::vector<uint8_t> bytes = Writer.EndDocument();
        WriteFileAtomically(reportFileName, bytes);
    } catch (const std::exception& e) {
        if (step.empty()) {
            step = trimmed(report.CurrentStep());
        }
        progress.Clear();
        MessageBoxService().MessageDlg("The PDF report could not be written.\nFailed at: " + step + "\n" +
                                           e.what(),
                                       TMsgDlgType::mtError, {TMsgDlgBtn::mbOK});
        return false;
    }
    return true;
}

TReport::TReport(const TReportContext& Context, IReportPictures& Pictures, IReportWriter& Writer)
    : FContext(Context), FProject(*Context.Project), FPictures(Pictures), FWriter(Writer) {}

void TReport::Write(const std::string& Title) {
    FCurrentStep = "Document";
    FProgressMax = 10;
    FProgressValue = 0;
    if (FContext.StatusLabel != nullptr) {
        FContext.StatusLabel->SetText(kGenerating);
    }
    if (FContext.ProgressBar != nullptr) {
        FContext.ProgressBar->SetMax(FProgressMax);
        FContext.ProgressBar->SetValue(0);
    }
    SetupReportDocument(Title);
    NewReportPage();
    WriteProjectInformation();
    WriteViewPages();
    WriteSingleSources();
    WriteLineArrays();
    WriteClusters();
    WriteDspProcesses();
    WriteZonesList();
    WriteMeasurePoints();
}

// ---- Progress ----

void TReport::ProgressStep(const std::string& Name) {
    FCurrentStep = Name;
    AdvanceProgress();
    if (FContext.StatusLabel != nullptr) {
        FContext.StatusLabel->SetText(kGenerating + Name);
    }
}

void TReport::AddProgressMax(int Count) {
    FProgressMax += Count;
    if (FContext.ProgressBar != nullptr) {
        FContext.ProgressBar->SetMax(FProgressMax);
    }
}

void TReport::AdvanceProgress() {
    // A bar already at its maximum stays full.
    FProgressValue = std::min(FProgressValue + 1, FProgressMax);
    if (FContext.ProgressBar != nullptr) {
        FContext.ProgressBar->SetValue(FProgressValue);
    }
}

// ---- Document and pages ----

void TReport::SetupReportDocument(const std::string& Title) {
    TReportDocumentInfo info;
    info.Author = FContext.CreatedBy;
    info.Creator = FContext.PreCaption;
    info.Title = Title;
    info.Subject = FContext.InstallName + " Report";
    info.PageNumberRightMargin = 40.0f;
    info.PageWidth = 595.0f;
    info.PageHeight = 842.0f;
    info.HeaderSize = 50.0f;
    info.FooterSize = 42.0f;
    info.HeaderFont = font("Tahoma", 10, TAlphaColors::Black, false, false);
    info.FooterFont = font("Arial", 10, TAlphaColors::Black, false, false);
    info.MarginLeft = 50.0f;
    info.MarginRight = 50.0f;
    info.Header = FContext.PreCaption + " Report";
    info.Footer = "Report of: " + fileNamePart(FContext.ActiveProjectFileName);

    FPageWidth = info.PageWidth;
    FPageHeight = info.PageHeight;
    FHeaderSize = info.HeaderSize;
    FFooterSize = info.FooterSize;
    FPageLeft = info.MarginLeft;
    FPageRight = FPageWidth - info.MarginRight;
    FPageTop = FHeaderSize + 5.0f;
    FPageBottom = FPageHeight - FFooterSize;
    FWriter.BeginDocument(info);
}

void TReport::NewReportPage() {
    FWriter.NewPage();
    ++FPages;
    FWriter.DrawLine({FPageLeft, FHeaderSize - 10.0f}, {FPageRight, FHeaderSize - 10.0f});
    FWriter.DrawLine({FPageLeft, FPageBottom + 5.0f}, {FPageRight, FPageBottom + 5.0f});
    FWriteX = FPageLeft;
    FWriteY = FPageTop;
}

// ---- Text styles ----

void TReport::SetTitleStyle() {
    FWriter.SetFont(font("Tahoma", 14, kSteelBlue, true, true));
    FWriteX = FPageLeft;
}

void TReport::SetSubtitleStyle() {
    FWriter.SetFont(font("Tahoma", 9, TAlphaColors::Black, true, true));
}

void TReport::SetTableHeaderStyle() {
    FWriter.SetFont(font("Tahoma", 9, kNavy, true, false));
    FWriteX = FPageLeft;
    FWriteY += 20.0f;
}

void TReport::SetSmallTableHeaderStyle() {
    FWriter.SetFont(font("Tahoma", 8, kNavy, true, false));
    FWriteX = FPageLeft;
    FWriteY += 20.0f;
}

void TReport::SetSmallBodyStyle() {
    FWriter.SetFont(font("Arial", 8, TAlphaColors::Black, false, false));
}

void TReport::SetBodyStyle() {
    FWriter.SetFont(font("Arial", 9, TAlphaColors::Black, false, false));
}

void TReport::SetZoneRowStyle() {
    FWriter.SetFont(font("Arial", 8, TAlphaColors::Black, false, false));
}

void TReport::SetWarningStyle() {
    FWriter.SetFont(font("Arial", 9, TAlphaColors::Red, true, false));
}

// ---- Tables ----

void TReport::VerticalRule(float X) {
    FWriter.DrawLine({X, FWriteY}, {X, FWriteY + FRowHeight});
}

void TReport::WriteTableHeaderRow(const std::vector<std::string>& Labels, TRuleEnd RuleEnd,
                                  bool TopRuleFirst) {
    FWriteX = FPageLeft;
    FRowHeight = FWriter.MeasureText("   ").Height();
    if (FWriteY + FRowHeight + 20.0f > FPageBottom) {
        NewReportPage();
    }
    const float top = FWriteY;
    if (TopRuleFirst) {
        FWriter.DrawLine({FPageLeft, top}, {FPageRight, top});
    }
    VerticalRule(FWriteX);
    FColumnRects.clear();
    for (const std::string& label : Labels) {
        FLastRect = FWriter.DrawText(label, {FWriteX, FWriteY});
        FColumnRects.push_back(FLastRect);
        FWriteX += FLastRect.Width();
        VerticalRule(FWriteX);
    }
    const float end = RuleEnd == TRuleEnd::PageRight ? FPageRight : FWriteX;
    if (!TopRuleFirst) {
        FWriter.DrawLine({FPageLeft, top}, {end, top});
    }
    const float bottom = FColumnRects.empty() ? top : FColumnRects.back().Bottom;
    FWriter.DrawLine({FPageLeft, bottom}, {end, bottom});
    FWriteY = bottom;
}

void TReport::BeginTableRow(const std::function<void()>& RepeatHeader) {
    FWriteX = FPageLeft;
    if (FWriteY + FRowHeight > FPageBottom) {
        NewReportPage();
        RepeatHeader();
        FWriteX = FPageLeft;
    }
}

void TReport::WriteTableRow(const std::vector<TCell>& Cells, TRuleEnd RuleEnd) {
    FWriter.SetAlignment(TReportAlignment::gtaCenter);
    VerticalRule(FWriteX);
    const size_t n = std::min(Cells.size(), FColumnRects.size());
    for (size_t k = 0; k < n; ++k) {
        const TReportRect& column = FColumnRects[k];
        const TReportRect cell{FWriteX, FWriteY, FWriteX + column.Width(), FWriteY + column.Height()};
        FLastRect = cell;
        const TCell& c = Cells[k];
        if (c.Filled) {
            FWriter.SetFill(c.Fill);
            FWriter.DrawRectangle(cell);
        }
        if (c.IsLink) {
            FWriter.DrawLinkRun(c.Link, cell);
            FWriter.SetAlignment(TReportAlignment::gtaCenter);
        } else {
            FWriter.DrawTextInRect(c.Text, cell);
        }
        FWriteX += column.Width();
        VerticalRule(FWriteX);
    }
    const float end = RuleEnd == TRuleEnd::PageRight ? FPageRight : FWriteX;
    FWriter.DrawLine({FPageLeft, FLastRect.Bottom}, {end, FLastRect.Bottom});
    FWriteY = FLastRect.Bottom;
}

// ---- Pictures ----

float TReport::TitleLineHeight() {
    return FWriter.MeasureText("   ").Height();
}

void TReport::PlaceFullWidthPicture(const TBitmap& Picture, TAlphaColor Background) {
    const float width = FPageRight - FPageLeft;
    FImageScale = width / static_cast<float>(Picture.Width());
    float height = static_cast<float>(Picture.Height()) * FImageScale;
    // A picture taller than a page is placed as tall as the page's write area.
    height = std::min(height, FPageBottom - FPageTop);
    if (FWriteY + height > FPageBottom) {
        NewReportPage();
    }
    FImageRect = {FPageLeft, FWriteY, FPageRight, FWriteY + height};
    FLastRect = FWriter.DrawPicture(Picture, Background, FImageRect);
    FWriteY = FImageRect.Bottom + 10.0f;
}

TReportRect TReport::PlaceModelPicture(const TCabModel* Model, bool& Drawn) {
    Drawn = false;
    const TReportRect none{FPageLeft, FWriteY - 5.0f, FPageLeft, FWriteY - 5.0f};
    if (Model == nullptr || !Model->HasModelPicture()) {
        return none;
    }
    const TBitmap picture = FPictures.ModelPicture(*Model);
    if (picture.IsEmpty()) {
        return none;
    }
    FImageScale = 120.0f / static_cast<float>(picture.Width());
    FImageRect = {FPageLeft + 2.0f, FWriteY, FPageLeft + 122.0f,
                  FWriteY + static_cast<float>(picture.Height()) * FImageScale};
    // The block is 145 points high; the picture keeps 4 points clear above and below.
    while (FImageRect.Height() > 145.0f - 8.0f) {
        const float w = FImageRect.Width() * 0.95f;
        const float h = FImageRect.Height() * 0.95f;
        FImageRect.Right = FImageRect.Left + w;
        FImageRect.Bottom = FImageRect.Top + h;
    }
    Drawn = true;
    return FWriter.DrawPicture(picture, TAlphaColors::White, FImageRect);
}

void TReport::WriteModelLinks(const TCabModel& Model) {
    const auto run = [](const char* Text, const std::string& Address) {
        return TReportLinkRun{Text, IsWebAddress(Address) ? Address : std::string()};
    };
    FWriteX = FValueX;
    if (!Model.LinkToDataSheet().empty()) {
        FLastRect =
            FWriter.DrawLinkRun(run("Datasheet", Model.LinkToDataSheet()), TReportPoint{FValueX, FWriteY});
        FWriteX = FValueX + FLastRect.Width() + 15.0f;
    }
    if (!Model.LinkToManual().empty()) {
        FLastRect = FWriter.DrawLinkRun(run("Manual", Model.LinkToManual()), TReportPoint{FWriteX, FWriteY});
    }
}

// ---- Numbers and lines ----

std::string TReport::OneParagraph(std::string Text) {
    for (char& c : Text) {
        if (c == '\r' || c == '\n') {
            c = ' ';
        }
    }
    return Text;
}

std::string TReport::Fmt(const char* Pattern, double Value) const {
    return FormatFloatPattern(Pattern, Value, FContext.Format);
}

std::string TReport::Len(const char* Pattern, double Metres) const {
    return Fmt(Pattern, Metres * FContext.LengthUnits) + " " + FContext.LengthUnitText;
}

std::string TReport::Mass(const char* Pattern, double Kilograms) const {
    return Fmt(Pattern, Kilograms * FContext.MassUnits) + " " + FContext.MassUnitText;
}

void TReport::WriteLine(const std::string& Label, const std::string& Value, float LabelIndent) {
    FWriter.DrawText(Label, {FLabelX + LabelIndent, FWriteY});
    FLastRect = FWriter.DrawText(Value, {FValueX, FWriteY});
    FWriteY += FLastRect.Height();
}

} // namespace vendrel
