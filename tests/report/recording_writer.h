#pragma once
// A report writer that records every operation with fixed text metrics: each character (code point)
// is half the font size wide, a line is 1.25 times the font size high. Pictures land where
// FitPicture puts them.

#include <string>
#include <vector>

#include "platform/core/report_writer.h"

namespace vendrel::testing {

struct RecordedOp {
    enum Kind { Begin, Page, Text, TextInRect, Line, Rectangle, Link, LinkInRect, Picture } kind = Begin;
    std::string text;   // texts and links
    std::string url;    // links
    TReportRect rect;   // where it was asked to go (a point's rectangle for texts at a point)
    TReportRect result; // what the writer gave back
    TReportFont font;   // the font in force
    TReportAlignment alignment = TReportAlignment::gtaLeading;
    TAlphaColor fill = TAlphaColors::White;
    int page = 0; // 1 for the first page
    int pictureWidth = 0, pictureHeight = 0;
    TAlphaColor background = 0;
};

class RecordingWriter : public IReportWriter {
public:
    static float CharWidth(float size) { return size * 0.5f; }
    static float LineHeight(float size) { return size * 1.25f; }
    static size_t CodePoints(const std::string& s) {
        size_t n = 0;
        for (unsigned char c : s) {
            n += (c & 0xC0) != 0x80;
        }
        return n;
    }

    void BeginDocument(const TReportDocumentInfo& i) override {
        info = i;
        push(RecordedOp::Begin);
    }
    void NewPage() override {
        ++pages;
        push(RecordedOp::Page);
    }
    std::vector<uint8_t> EndDocument() override {
        ++ended;
        return {'%', 'P', 'D', 'F'};
    }
    void SetFont(const TReportFont& f) override { font = f; }
    void SetFill(TAlphaColor c) override { fill = c; }
    void SetAlignment(TReportAlignment a) override { alignment = a; }

    TReportRect DrawText(const std::string& t, TReportPoint at) override {
        const TReportRect r = measure(t, at.X, at.Y);
        RecordedOp& op = push(RecordedOp::Text);
        op.text = t;
        op.rect = op.result = r;
        return r;
    }
    TReportRect DrawTextInRect(const std::string& t, const TReportRect& rect) override {
        RecordedOp& op = push(RecordedOp::TextInRect);
        op.text = t;
        op.rect = rect;
        op.result = inRect(t, rect);
        return op.result;
    }
    TReportRect MeasureText(const std::string& t) override { return measure(t, 0, 0); }
    void DrawLine(TReportPoint from, TReportPoint to) override {
        RecordedOp& op = push(RecordedOp::Line);
        op.rect = {from.X, from.Y, to.X, to.Y};
    }
    void DrawRectangle(const TReportRect& r) override { push(RecordedOp::Rectangle).rect = r; }
    TReportRect DrawLinkRun(const TReportLinkRun& run, TReportPoint at) override {
        RecordedOp& op = push(RecordedOp::Link);
        op.text = run.Text;
        op.url = run.Url;
        op.rect = op.result = measure(run.Text, at.X, at.Y);
        return op.result;
    }
    TReportRect DrawLinkRun(const TReportLinkRun& run, const TReportRect& rect) override {
        RecordedOp& op = push(RecordedOp::LinkInRect);
        op.text = run.Text;
        op.url = run.Url;
        op.rect = rect;
        op.result = inRect(run.Text, rect);
        return op.result;
    }
    TReportRect DrawPicture(const TBitmap& p, TAlphaColor background, const TReportRect& rect) override {
        RecordedOp& op = push(RecordedOp::Picture);
        op.rect = rect;
        op.pictureWidth = p.Width();
        op.pictureHeight = p.Height();
        op.background = background;
        op.result = FitPicture(p.Width(), p.Height(), rect);
        return op.result;
    }

    // The first recorded text (at a point, in a rectangle or a link) equal to t; null when none.
    const RecordedOp* Find(const std::string& t, int from = 0) const {
        for (size_t i = static_cast<size_t>(from); i < ops.size(); ++i) {
            const RecordedOp& op = ops[i];
            if (op.kind != RecordedOp::Line && op.kind != RecordedOp::Rectangle &&
                op.kind != RecordedOp::Picture && op.text == t) {
                return &op;
            }
        }
        return nullptr;
    }
    int IndexOf(const RecordedOp* op) const { return op == nullptr ? -1 : static_cast<int>(op - ops.data()); }
    // Every text drawn, in order.
    std::vector<std::string> Texts() const {
        std::vector<std::string> out;
        for (const RecordedOp& op : ops) {
            if (op.kind == RecordedOp::Text || op.kind == RecordedOp::TextInRect ||
                op.kind == RecordedOp::Link || op.kind == RecordedOp::LinkInRect) {
                out.push_back(op.text);
            }
        }
        return out;
    }
    std::vector<const RecordedOp*> OfKind(RecordedOp::Kind k) const {
        std::vector<const RecordedOp*> out;
        for (const RecordedOp& op : ops) {
            if (op.kind == k) {
                out.push_back(&op);
            }
        }
        return out;
    }

    TReportDocumentInfo info;
    std::vector<RecordedOp> ops;
    int pages = 0;
    int ended = 0;
    TReportFont font;
    TAlphaColor fill = TAlphaColors::White;
    TReportAlignment alignment = TReportAlignment::gtaLeading;

private:
    RecordedOp& push(RecordedOp::Kind k) {
        RecordedOp op;
        op.kind = k;
        op.font = font;
        op.alignment = alignment;
        op.fill = fill;
        op.page = pages;
        ops.push_back(op);
        return ops.back();
    }
    TReportRect measure(const std::string& t, float x, float y) const {
        return {x, y, x + CharWidth(font.Size) * static_cast<float>(CodePoints(t)),
                y + LineHeight(font.Size)};
    }
    // One line, however long: the text is not wrapped.
    TReportRect inRect(const std::string&, const TReportRect& rect) const {
        return {rect.Left, rect.Top, rect.Right, rect.Top + LineHeight(font.Size)};
    }
};

} // namespace vendrel::testing
