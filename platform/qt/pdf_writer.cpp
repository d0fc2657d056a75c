#include "platform/qt/pdf_writer.h"

#include <hpdf.h>
#include <hpdf_objects.h>
#include <hpdf_streams.h>

#include <QColor>
#include <QImage>
#include <QPainter>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <map>
#include <utility>

#include "platform/core/unicode.h"

namespace vendrel {

namespace {

constexpr TAlphaColor kRuleColor = 0xFFC0C0C0;
constexpr TAlphaColor kLinkColor = 0xFF0000FF;
constexpr float kRuleWidth = 0.5f;

// Debian's font files for the two font names the report uses.
const char* fontFile(const std::string& Name, bool Bold) {
    if (Name == "Tahoma") {
        return Bold ? "/usr/share/fonts/truetype/dejavu/DejaVuSansCondensed-Bold.ttf"
                    : "/usr/share/fonts/truetype/dejavu/DejaVuSansCondensed.ttf";
    }
    return Bold ? "/usr/share/fonts/truetype/liberation2/LiberationSans-Bold.ttf"
                : "/usr/share/fonts/truetype/liberation2/LiberationSans-Regular.ttf";
}

// Text the UTF-8 encoder takes: well-formed, within the Basic Multilingual Plane (the font's codes are
// two bytes), control characters as blanks.
std::string printable(const std::string& Text) {
    std::string out;
    out.reserve(Text.size());
    size_t pos = 0;
    while (pos < Text.size()) {
        char32_t c = NextUtf8CodePoint(Text, pos);
        if (c < 0x20 || c == 0x7F) {
            c = ' ';
        } else if (c > 0xFFFF) {
            c = kReplacementCharacter;
        }
        AppendUtf8(out, c);
    }
    return out;
}

// The map from the font's two-byte codes (Unicode values) back to Unicode, for text extraction and
// search: the identity over the Basic Multilingual Plane without the surrogates.
std::string identityToUnicodeCMap() {
    std::string ranges;
    int count = 0;
    std::string blocks;
    const auto flush = [&] {
        if (count > 0) {
            blocks += std::to_string(count) + " beginbfrange\n" + ranges + "endbfrange\n";
        }
        ranges.clear();
        count = 0;
    };
    char line[64];
    for (int high = 0; high <= 0xFF; ++high) {
        if (high >= 0xD8 && high <= 0xDF) {
            continue;
        }
        std::snprintf(line, sizeof line, "<%02X00> <%02XFF> <%02X00>\n", high, high, high);
        ranges += line;
        if (++count == 100) {
            flush();
        }
    }
    flush();
    return "/CIDInit /ProcSet findresource begin\n12 dict begin\nbegincmap\n"
           "/CIDSystemInfo << /Registry (Adobe) /Ordering (UCS) /Supplement 0 >> def\n"
           "/CMapName /Adobe-Identity-UCS def\n/CMapType 2 def\n"
           "1 begincodespacerange\n<0000> <FFFF>\nendcodespacerange\n" +
           blocks + "endcmap\nCMapName currentdict /CMap defineresource pop\nend\nend\n";
}

double red(TAlphaColor c) {
    return RedOf(c) / 255.0;
}
double green(TAlphaColor c) {
    return GreenOf(c) / 255.0;
}
double blue(TAlphaColor c) {
    return BlueOf(c) / 255.0;
}

struct LoadedFont {
    HPDF_Font Font = nullptr;
    float Ascent = 0.0f;  // per 1000 units of size
    float Descent = 0.0f; // negative
};

} // namespace

class TPdfWriter::Impl {
public:
    Impl() {
        pdf = HPDF_New(&Impl::onError, this);
        if (pdf == nullptr) {
            throw EPdfWriterError("The PDF library could not start a document.");
        }
    }
    ~Impl() { HPDF_Free(pdf); }

    static void onError(HPDF_STATUS Error, HPDF_STATUS Detail, void* Data) {
        // Called from inside the library: record only, the caller raises once the call is back.
        auto* self = static_cast<Impl*>(Data);
        if (self->error == 0) {
            self->error = Error;
            self->detail = Detail;
        }
    }

    void check(const char* What) {
        if (error == 0) {
            return;
        }
        char code[64];
        std::snprintf(code, sizeof code, " (PDF library error 0x%04lX, detail %lu)",
                      static_cast<unsigned long>(error), static_cast<unsigned long>(detail));
        error = 0;
        detail = 0;
        HPDF_ResetError(pdf);
        throw EPdfWriterError(std::string("The PDF document could not ") + What + "." + code);
    }

    HPDF_Page currentPage() {
        if (page == nullptr) {
            throw EPdfWriterError("The PDF document has no page to draw on.");
        }
        return page;
    }

    const LoadedFont& fontOf(const TReportFont& Font) {
        const std::pair<std::string, bool> key{Font.Name == "Tahoma" ? "Tahoma" : "Arial", Font.Bold};
        if (auto it = fonts.find(key); it != fonts.end()) {
            return it->second;
        }
        const char* file = fontFile(key.first, key.second);
        const char* name = HPDF_LoadTTFontFromFile(pdf, file, HPDF_TRUE);
        if (name == nullptr || error != 0) {
            error = 0;
            HPDF_ResetError(pdf);
            throw EPdfWriterError(std::string("The font file ") + file + " could not be read.");
        }
        LoadedFont loaded;
        loaded.Font = HPDF_GetFont(pdf, name, "UTF-8");
        check("load a font");
        loaded.Ascent = static_cast<float>(HPDF_Font_GetAscent(loaded.Font));
        loaded.Descent = static_cast<float>(HPDF_Font_GetDescent(loaded.Font));
        replaceToUnicode(loaded.Font);
        return fonts.emplace(key, loaded).first->second;
    }

    // libharu 2.3.0 gives its UTF-8 fonts a map back to Unicode that readers refuse; the codes it
    // writes are the Unicode values themselves, so the map is the identity.
    void replaceToUnicode(HPDF_Font Font) {
        auto map = static_cast<HPDF_Dict>(HPDF_Dict_GetItem(Font, "ToUnicode", HPDF_OCLASS_DICT));
        if (map == nullptr || map->stream == nullptr) {
            HPDF_ResetError(pdf);
            error = 0;
            return;
        }
        HPDF_MemStream_FreeData(map->stream);
        static const std::string cmap = identityToUnicodeCMap();
        HPDF_Stream_WriteStr(map->stream, cmap.c_str());
        check("write a font's character map");
    }

    float lineHeight(const LoadedFont& f, float Size) const {
        return (f.Ascent - f.Descent) * Size / 1000.0f;
    }

    float textWidth(const LoadedFont& f, float Size, const std::string& Text) {
        if (Text.empty()) {
            return 0.0f;
        }
        const HPDF_TextWidth w = HPDF_Font_TextWidth(f.Font, reinterpret_cast<const HPDF_BYTE*>(Text.data()),
                                                     static_cast<HPDF_UINT>(Text.size()));
        check("measure a text");
        return static_cast<float>(w.width) * Size / 1000.0f;
    }

    // The PDF's y for a report y: the page's origin is its bottom-left corner.
    float pdfY(float Y) const { return info.PageHeight - Y; }

    void setStroke(TAlphaColor Color, float Width) {
        HPDF_Page p = currentPage();
        HPDF_Page_SetRGBStroke(p, static_cast<HPDF_REAL>(red(Color)), static_cast<HPDF_REAL>(green(Color)),
                               static_cast<HPDF_REAL>(blue(Color)));
        HPDF_Page_SetLineWidth(p, Width);
    }

    void line(TReportPoint From, TReportPoint To, TAlphaColor Color, float Width) {
        HPDF_Page p = currentPage();
        setStroke(Color, Width);
        HPDF_Page_MoveTo(p, From.X, pdfY(From.Y));
        HPDF_Page_LineTo(p, To.X, pdfY(To.Y));
        HPDF_Page_Stroke(p);
        check("draw a line");
    }

    // One line of text with its top-left corner at (X, Y) in Font, in Color.
    TReportRect text(const std::string& Raw, float X, float Y, const TReportFont& Font, TAlphaColor Color) {
        const std::string s = printable(Raw);
        const LoadedFont& f = fontOf(Font);
        const float width = textWidth(f, Font.Size, s);
        const float height = lineHeight(f, Font.Size);
        if (!s.empty()) {
            HPDF_Page p = currentPage();
            const float baseline = Y + f.Ascent * Font.Size / 1000.0f;
            HPDF_Page_SetRGBFill(p, static_cast<HPDF_REAL>(red(Color)), static_cast<HPDF_REAL>(green(Color)),
                                 static_cast<HPDF_REAL>(blue(Color)));
            HPDF_Page_BeginText(p);
            HPDF_Page_SetFontAndSize(p, f.Font, Font.Size);
            HPDF_Page_TextOut(p, X, pdfY(baseline), s.c_str());
            HPDF_Page_EndText(p);
            check("draw a text");
            const float stroke = std::max(0.5f, Font.Size / 18.0f);
            if (Font.Underline) {
                const float y = baseline + Font.Size * 0.12f;
                line({X, y}, {X + width, y}, Color, stroke);
            }
            if (Font.StrikeOut) {
                const float y = baseline - Font.Size * 0.28f;
                line({X, y}, {X + width, y}, Color, stroke);
            }
        }
        return {X, Y, X + width, Y + height};
    }

    // The lines of Text within Width: broken at blanks (the blanks at a break are dropped, those inside
    // a line kept), a word wider than Width on a line of its own.
    std::vector<std::string> wrap(const std::string& Text, const LoadedFont& f, float Size, float Width) {
        std::vector<std::string> lines;
        size_t start = 0;
        while (start < Text.size() || lines.empty()) {
            size_t lastFit = std::string::npos; // end of the last word that fitted
            size_t pos = start;
            while (pos < Text.size()) {
                size_t wordEnd = Text.find(' ', pos);
                if (wordEnd == std::string::npos) {
                    wordEnd = Text.size();
                }
                if (wordEnd > start && textWidth(f, Size, Text.substr(start, wordEnd - start)) > Width &&
                    lastFit != std::string::npos) {
                    break;
                }
                lastFit = wordEnd;
                pos = Text.find_first_not_of(' ', wordEnd);
                if (pos == std::string::npos) {
                    pos = Text.size();
                    lastFit = Text.size();
                }
            }
            if (lastFit == std::string::npos) {
                lastFit = Text.size();
            }
            lines.push_back(Text.substr(start, lastFit - start));
            start = Text.find_first_not_of(' ', lastFit);
            if (start == std::string::npos) {
                break;
            }
        }
        return lines;
    }

    TReportRect textInRect(const std::string& Raw, const TReportRect& Rect, const TReportFont& Font,
                           TAlphaColor Color, const std::string& Url) {
        const std::string s = printable(Raw);
        const LoadedFont& f = fontOf(Font);
        const float height = lineHeight(f, Font.Size);
        const std::vector<std::string> lines = wrap(s, f, Font.Size, Rect.Width());
        size_t drawn = 0;
        for (const std::string& l : lines) {
            const float top = Rect.Top + static_cast<float>(drawn) * height;
            if (drawn > 0 && top + height > Rect.Bottom + 0.01f) {
                break;
            }
            const float w = textWidth(f, Font.Size, l);
            float x = Rect.Left;
            if (alignment == TReportAlignment::gtaCenter) {
                x = Rect.Left + (Rect.Width() - w) * 0.5f;
            } else if (alignment == TReportAlignment::gtaTrailing) {
                x = Rect.Right - w;
            }
            const TReportRect r = text(l, x, top, Font, Color);
            if (!Url.empty()) {
                link(r, Url);
            }
            ++drawn;
        }
        return {Rect.Left, Rect.Top, Rect.Right, Rect.Top + static_cast<float>(drawn) * height};
    }

    void link(const TReportRect& Area, const std::string& Url) {
        if (!IsWebAddress(Url) || Area.Width() <= 0.0f) {
            return;
        }
        HPDF_Rect r{Area.Left, pdfY(Area.Bottom), Area.Right, pdfY(Area.Top)};
        HPDF_Annotation annot = HPDF_Page_CreateURILinkAnnot(currentPage(), r, Url.c_str());
        check("add a link");
        HPDF_LinkAnnot_SetBorderStyle(annot, 0, 0, 0);
        check("add a link");
    }

    TReportFont linkFont() const {
        TReportFont f = font;
        f.Underline = true;
        return f;
    }

    void frameTexts() {
        const float headerTop =
            (info.HeaderSize - 10.0f - lineHeight(fontOf(info.HeaderFont), info.HeaderFont.Size)) * 0.5f;
        text(info.Header, info.MarginLeft, headerTop, info.HeaderFont, info.HeaderFont.Color);
        const float footerHeight = lineHeight(fontOf(info.FooterFont), info.FooterFont.Size);
        const float footerTop =
            info.PageHeight - info.FooterSize + (info.FooterSize + 5.0f - footerHeight) * 0.5f;
        text(info.Footer, info.MarginLeft, footerTop, info.FooterFont, info.FooterFont.Color);
        const std::string number = "Page " + std::to_string(pages);
        const float w = textWidth(fontOf(info.FooterFont), info.FooterFont.Size, number);
        text(number, info.PageWidth - info.PageNumberRightMargin - w, footerTop, info.FooterFont,
             info.FooterFont.Color);
    }

    HPDF_Doc pdf = nullptr;
    HPDF_Page page = nullptr;
    HPDF_STATUS error = 0;
    HPDF_STATUS detail = 0;
    TReportDocumentInfo info;
    std::map<std::pair<std::string, bool>, LoadedFont> fonts;
    TReportFont font;
    TAlphaColor fill = TAlphaColors::White;
    TReportAlignment alignment = TReportAlignment::gtaLeading;
    int pages = 0;
};

TPdfWriter::TPdfWriter() : d_(std::make_unique<Impl>()) {}

TPdfWriter::~TPdfWriter() = default;

void TPdfWriter::BeginDocument(const TReportDocumentInfo& Info) {
    d_->info = Info;
    HPDF_Doc pdf = d_->pdf;
    HPDF_SetCompressionMode(pdf, HPDF_COMP_ALL);
    HPDF_UseUTFEncodings(pdf);
    // With the UTF-8 encoder current, the document's information is stored as Unicode text.
    HPDF_SetCurrentEncoder(pdf, "UTF-8");
    d_->check("start");
    const std::pair<HPDF_InfoType, const std::string*> entries[] = {{HPDF_INFO_AUTHOR, &Info.Author},
                                                                    {HPDF_INFO_CREATOR, &Info.Creator},
                                                                    {HPDF_INFO_TITLE, &Info.Title},
                                                                    {HPDF_INFO_SUBJECT, &Info.Subject}};
    for (const auto& [type, value] : entries) {
        HPDF_SetInfoAttr(pdf, type, printable(*value).c_str());
        d_->check("store the document's information");
    }
}

void TPdfWriter::NewPage() {
    d_->page = HPDF_AddPage(d_->pdf);
    d_->check("add a page");
    HPDF_Page_SetWidth(d_->page, d_->info.PageWidth);
    HPDF_Page_SetHeight(d_->page, d_->info.PageHeight);
    d_->check("size a page");
    ++d_->pages;
    d_->frameTexts();
}

std::vector<uint8_t> TPdfWriter::EndDocument() {
    HPDF_SaveToStream(d_->pdf);
    d_->check("be completed");
    HPDF_UINT32 size = HPDF_GetStreamSize(d_->pdf);
    std::vector<uint8_t> bytes(size);
    HPDF_UINT32 read = size;
    if (size > 0) {
        HPDF_ReadFromStream(d_->pdf, bytes.data(), &read);
    }
    // Reading to the stream's end reports its end as an error; only a short read is a failure.
    d_->error = 0;
    HPDF_ResetError(d_->pdf);
    if (read != size) {
        throw EPdfWriterError("The PDF document could not be completed (its bytes could not be read back).");
    }
    return bytes;
}

void TPdfWriter::SetFont(const TReportFont& Font) {
    d_->font = Font;
}

void TPdfWriter::SetFill(TAlphaColor Color) {
    d_->fill = Color;
}

void TPdfWriter::SetAlignment(TReportAlignment Alignment) {
    d_->alignment = Alignment;
}

TReportRect TPdfWriter::DrawText(const std::string& Text, TReportPoint At) {
    return d_->text(Text, At.X, At.Y, d_->font, d_->font.Color);
}

TReportRect TPdfWriter::DrawTextInRect(const std::string& Text, const TReportRect& Rect) {
    return d_->textInRect(Text, Rect, d_->font, d_->font.Color, std::string());
}

TReportRect TPdfWriter::MeasureText(const std::string& Text) {
    const std::string s = printable(Text);
    const LoadedFont& f = d_->fontOf(d_->font);
    return {0.0f, 0.0f, d_->textWidth(f, d_->font.Size, s), d_->lineHeight(f, d_->font.Size)};
}

void TPdfWriter::DrawLine(TReportPoint From, TReportPoint To) {
    d_->line(From, To, kRuleColor, kRuleWidth);
}

void TPdfWriter::DrawRectangle(const TReportRect& Rect) {
    HPDF_Page p = d_->currentPage();
    d_->setStroke(kRuleColor, kRuleWidth);
    HPDF_Page_SetRGBFill(p, static_cast<HPDF_REAL>(red(d_->fill)), static_cast<HPDF_REAL>(green(d_->fill)),
                         static_cast<HPDF_REAL>(blue(d_->fill)));
    HPDF_Page_Rectangle(p, Rect.Left, d_->pdfY(Rect.Bottom), Rect.Width(), Rect.Height());
    HPDF_Page_FillStroke(p);
    d_->check("draw a rectangle");
}

TReportRect TPdfWriter::DrawLinkRun(const TReportLinkRun& Run, TReportPoint At) {
    if (!IsWebAddress(Run.Url)) {
        return DrawText(Run.Text, At);
    }
    const TReportRect r = d_->text(Run.Text, At.X, At.Y, d_->linkFont(), kLinkColor);
    d_->link(r, Run.Url);
    return r;
}

TReportRect TPdfWriter::DrawLinkRun(const TReportLinkRun& Run, const TReportRect& Rect) {
    if (!IsWebAddress(Run.Url)) {
        return DrawTextInRect(Run.Text, Rect);
    }
    return d_->textInRect(Run.Text, Rect, d_->linkFont(), kLinkColor, Run.Url);
}

TReportRect TPdfWriter::DrawPicture(const TBitmap& Picture, TAlphaColor Background, const TReportRect& Rect) {
    const TReportRect place = FitPicture(Picture.Width(), Picture.Height(), Rect);
    if (place.Width() <= 0.0f || place.Height() <= 0.0f) {
        return place;
    }
    QImage image(reinterpret_cast<const uchar*>(Picture.Pixels().data()), Picture.Width(), Picture.Height(),
                 Picture.Width() * 4, QImage::Format_ARGB32);
    // No more pixels than the place shows at a few pixels per point.
    const int maxWidth = std::max(1, static_cast<int>(std::ceil(place.Width() * kMaxPixelsPerPoint)));
    const int maxHeight = std::max(1, static_cast<int>(std::ceil(place.Height() * kMaxPixelsPerPoint)));
    if (image.width() > maxWidth || image.height() > maxHeight) {
        image = image.scaled(std::min(image.width(), maxWidth), std::min(image.height(), maxHeight),
                             Qt::KeepAspectRatio, Qt::SmoothTransformation);
    }
    // Transparency flattened onto the background: a mask would be stored uncompressed.
    QImage flat(image.size(), QImage::Format_RGB32);
    flat.fill(QColor::fromRgba(Background | 0xFF000000u));
    {
        QPainter painter(&flat);
        painter.drawImage(0, 0, image);
    }
    flat = flat.convertToFormat(QImage::Format_RGB888);
    std::vector<HPDF_BYTE> rgb(static_cast<size_t>(flat.width()) * static_cast<size_t>(flat.height()) * 3);
    for (int y = 0; y < flat.height(); ++y) {
        std::copy_n(flat.constScanLine(y), static_cast<size_t>(flat.width()) * 3,
                    rgb.begin() + static_cast<std::ptrdiff_t>(static_cast<size_t>(y) * flat.width() * 3));
    }
    HPDF_Image pdfImage =
        HPDF_LoadRawImageFromMem(d_->pdf, rgb.data(), static_cast<HPDF_UINT>(flat.width()),
                                 static_cast<HPDF_UINT>(flat.height()), HPDF_CS_DEVICE_RGB, 8);
    d_->check("store a picture");
    HPDF_Page_DrawImage(d_->currentPage(), pdfImage, place.Left, d_->pdfY(place.Bottom), place.Width(),
                        place.Height());
    d_->check("draw a picture");
    return place;
}

} // namespace vendrel
