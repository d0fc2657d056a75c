#pragma once
// What the report draws on: pages of points with the origin at the top-left corner and y growing
// downwards, a current font, fill colour and text alignment, and the few drawing operations the
// report's sections use. The PDF writer (platform/qt/pdf_writer.h) puts them into a PDF document;
// tests record them with fixed text metrics.
//
// Every operation that draws returns the rectangle it took. A writer that fails raises an exception
// derived from std::runtime_error whose text says why.

#include <cstdint>
#include <string>
#include <vector>

#include "platform/core/bitmap.h"

namespace vendrel {

struct TReportPoint {
    float X = 0.0f;
    float Y = 0.0f;
};

struct TReportRect {
    float Left = 0.0f;
    float Top = 0.0f;
    float Right = 0.0f;
    float Bottom = 0.0f;

    float Width() const { return Right - Left; }
    float Height() const { return Bottom - Top; }
    bool operator==(const TReportRect&) const = default;
};

enum class TReportAlignment : uint8_t { gtaLeading, gtaCenter, gtaTrailing };

struct TReportFont {
    std::string Name = "Arial"; // "Arial" or "Tahoma"
    float Size = 10.0f;         // points
    TAlphaColor Color = TAlphaColors::Black;
    bool Bold = false;
    bool Italic = false;
    bool Underline = false;
    bool StrikeOut = false;

    bool operator==(const TReportFont&) const = default;
};

// Text that opens a web address when clicked. A run whose address is empty is plain text.
struct TReportLinkRun {
    std::string Text;
    std::string Url;
};

// True for the addresses a report may link to: http and https (the scheme in any case). Anything else
// a library file stores (a script, a local file) is printed as plain text.
bool IsWebAddress(const std::string& Address);

// The properties of the document and the frame repeated on every page.
struct TReportDocumentInfo {
    std::string Author;
    std::string Creator;
    std::string Title;
    std::string Subject;
    float PageWidth = 595.0f;
    float PageHeight = 842.0f;
    // Header text in the band of HeaderSize at the top, footer text and the page number in the band
    // of FooterSize at the bottom; the page number stands PageNumberRightMargin from the right edge.
    std::string Header;
    std::string Footer;
    TReportFont HeaderFont;
    TReportFont FooterFont;
    float HeaderSize = 50.0f;
    float FooterSize = 42.0f;
    float MarginLeft = 50.0f;
    float MarginRight = 50.0f;
    float PageNumberRightMargin = 40.0f;
};

class IReportWriter {
public:
    virtual ~IReportWriter() = default;

    // Starts the document; the first page comes with the first NewPage.
    virtual void BeginDocument(const TReportDocumentInfo& Info) = 0;
    // A new page with the header, the footer and its number.
    virtual void NewPage() = 0;
    // Ends the document and gives the bytes of its file.
    virtual std::vector<uint8_t> EndDocument() = 0;

    // The state later drawing uses: the font of texts, the fill of rectangles and the alignment of
    // texts drawn into a rectangle (gtaLeading at the start).
    virtual void SetFont(const TReportFont& Font) = 0;
    virtual void SetFill(TAlphaColor Color) = 0;
    virtual void SetAlignment(TReportAlignment Alignment) = 0;

    // One line of text with its top-left corner at the point: the text's width by one line's height.
    virtual TReportRect DrawText(const std::string& Text, TReportPoint At) = 0;
    // Text wrapped at blanks inside the rectangle's width, each line aligned by the alignment; lines
    // that do not fit the rectangle's height are left out (the first line is always drawn). The
    // rectangle's width by the height of the lines drawn.
    virtual TReportRect DrawTextInRect(const std::string& Text, const TReportRect& Rect) = 0;
    // The rectangle DrawText would take at (0, 0); nothing is drawn.
    virtual TReportRect MeasureText(const std::string& Text) = 0;
    // A thin light grey line.
    virtual void DrawLine(TReportPoint From, TReportPoint To) = 0;
    // Outlined in light grey and filled with the fill colour.
    virtual void DrawRectangle(const TReportRect& Rect) = 0;
    // A link (or plain text) as DrawText and as DrawTextInRect.
    virtual TReportRect DrawLinkRun(const TReportLinkRun& Run, TReportPoint At) = 0;
    virtual TReportRect DrawLinkRun(const TReportLinkRun& Run, const TReportRect& Rect) = 0;
    // The picture stretched into the rectangle with its aspect ratio kept and centred (FitPicture),
    // its transparency flattened onto Background. Returns the rectangle the picture took.
    virtual TReportRect DrawPicture(const TBitmap& Picture, TAlphaColor Background,
                                    const TReportRect& Rect) = 0;
};

// Where a picture of Width x Height pixels lands in Rect: as large as fits with its aspect ratio
// kept, centred. An empty picture or rectangle gives an empty rectangle at Rect's top-left corner.
TReportRect FitPicture(int Width, int Height, const TReportRect& Rect);

} // namespace vendrel
