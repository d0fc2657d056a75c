#pragma once
// The report writer on libharu: an A4 PDF document in memory with embedded TrueType fonts, web links,
// and pictures stored losslessly.
//
// Fonts: "Arial" is drawn with Liberation Sans, "Tahoma" with DejaVu Sans (their regular and bold
// files from the system's font folder), embedded as subsets with a map back to Unicode, so that text
// with accents and symbols ("º", "é") prints and can be searched. Text is UTF-8.
//
// Coordinates come in report points from the top-left corner and are turned into the PDF's bottom-up
// points in one place. Text is wrapped by measured widths. Pictures are flattened onto their
// background colour (no transparency mask) and scaled down to at most four pixels per point of the
// place they take.
//
// libharu reports errors through a handler that only records them; every call is checked afterwards
// and a failure raises EPdfWriterError, never an exception through the library's own frames.

#include <memory>
#include <stdexcept>
#include <string>

#include "platform/core/report_writer.h"

namespace vendrel {

class EPdfWriterError : public std::runtime_error {
public:
    explicit EPdfWriterError(const std::string& what) : std::runtime_error(what) {}
};

class TPdfWriter : public IReportWriter {
public:
    TPdfWriter();
    ~TPdfWriter() override;
    TPdfWriter(const TPdfWriter&) = delete;
    TPdfWriter& operator=(const TPdfWriter&) = delete;

    void BeginDocument(const TReportDocumentInfo& Info) override;
    void NewPage() override;
    std::vector<uint8_t> EndDocument() override;

    void SetFont(const TReportFont& Font) override;
    void SetFill(TAlphaColor Color) override;
    void SetAlignment(TReportAlignment Alignment) override;

    TReportRect DrawText(const std::string& Text, TReportPoint At) override;
    TReportRect DrawTextInRect(const std::string& Text, const TReportRect& Rect) override;
    TReportRect MeasureText(const std::string& Text) override;
    void DrawLine(TReportPoint From, TReportPoint To) override;
    void DrawRectangle(const TReportRect& Rect) override;
    TReportRect DrawLinkRun(const TReportLinkRun& Run, TReportPoint At) override;
    TReportRect DrawLinkRun(const TReportLinkRun& Run, const TReportRect& Rect) override;
    TReportRect DrawPicture(const TBitmap& Picture, TAlphaColor Background, const TReportRect& Rect) override;

    // The most pixels per point a picture keeps.
    static constexpr double kMaxPixelsPerPoint = 4.0;

private:
    class Impl;
    std::unique_ptr<Impl> d_;
};

} // namespace vendrel
