// Reports of the every-kind project written by the PDF writer and read back with poppler's tools.

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <memory>
#include <regex>
#include <sstream>

#include "../editor/documents_fixture.h"
#include "../editor/every_kind_project.h"
#include "acoustics/cab_model.h"
#include "acoustics/line_array.h"
#include "acoustics/model_registry.h"
#include "acoustics/physical_space.h"
#include "platform/qt/pdf_writer.h"
#include "report_fixture.h"

namespace vendrel {
namespace {

namespace fs = std::filesystem;
using testing::DocumentsFixture;
using testing::FakePictures;

// The standard output (or the error output) of a command line; the test fails when it cannot run.
std::string Output(const std::string& command, bool errors = false) {
    std::string out;
    FILE* pipe = ::popen((command + (errors ? " 2>&1 >/dev/null" : " 2>/dev/null")).c_str(), "r");
    if (pipe == nullptr) {
        ADD_FAILURE() << "cannot run " << command;
        return out;
    }
    std::array<char, 4096> buffer{};
    size_t n = 0;
    while ((n = std::fread(buffer.data(), 1, buffer.size(), pipe)) > 0) {
        out.append(buffer.data(), n);
    }
    ::pclose(pipe);
    return out;
}

std::string Quoted(const fs::path& p) {
    return "'" + p.string() + "'";
}

// A writer that passes everything on and counts the pages it was asked for.
struct CountingWriter : IReportWriter {
    explicit CountingWriter(IReportWriter& w) : inner(w) {}
    void BeginDocument(const TReportDocumentInfo& i) override { inner.BeginDocument(i); }
    void NewPage() override {
        ++pages;
        inner.NewPage();
    }
    std::vector<uint8_t> EndDocument() override { return inner.EndDocument(); }
    void SetFont(const TReportFont& f) override { inner.SetFont(f); }
    void SetFill(TAlphaColor c) override { inner.SetFill(c); }
    void SetAlignment(TReportAlignment a) override { inner.SetAlignment(a); }
    TReportRect DrawText(const std::string& t, TReportPoint p) override { return inner.DrawText(t, p); }
    TReportRect DrawTextInRect(const std::string& t, const TReportRect& r) override {
        return inner.DrawTextInRect(t, r);
    }
    TReportRect MeasureText(const std::string& t) override { return inner.MeasureText(t); }
    void DrawLine(TReportPoint a, TReportPoint b) override { inner.DrawLine(a, b); }
    void DrawRectangle(const TReportRect& r) override { inner.DrawRectangle(r); }
    TReportRect DrawLinkRun(const TReportLinkRun& l, TReportPoint p) override {
        return inner.DrawLinkRun(l, p);
    }
    TReportRect DrawLinkRun(const TReportLinkRun& l, const TReportRect& r) override {
        return inner.DrawLinkRun(l, r);
    }
    TReportRect DrawPicture(const TBitmap& b, TAlphaColor c, const TReportRect& r) override {
        pictures.push_back(inner.DrawPicture(b, c, r));
        pictureSizes.push_back({b.Width(), b.Height()});
        pictureRects.push_back(r);
        picturePages.push_back(pages);
        return pictures.back();
    }
    IReportWriter& inner;
    int pages = 0;
    std::vector<TReportRect> pictures, pictureRects;
    std::vector<std::pair<int, int>> pictureSizes;
    std::vector<int> picturePages;
};

// The every-kind project with the figures the report is checked on.
rProjectFile ReportProject() {
    rProjectFile p = testing::EveryKind();
    rPRJStaticDataFile& s = p.GlobalStaticData;
    s.InstallationName = "Hall 2.5";
    s.PRJCreatedBy = "Jos\u00E9";
    p.Cabinets[0].Position = {3, -1.5f, 5};
    p.MappingZones[0].ZoneName = "Stalls";
    p.CabArrays[0].ItemList[1].Rotation = {0, 0, -5};
    p.DSPProcess[0] = testing::ProcessBlob("Front fill", -3.5, 60,
                                           {{true, testing::Ord<TPeqType>(2), 1000, -6.0, 1.41},
                                            {false, testing::Ord<TPeqType>(0), 2000, 2.0, 2.0}});
    return p;
}

struct PdfReportFixture : DocumentsFixture {
    void SetUp() override {
        const fs::path file = path("Show/Hall.V3DPrj");
        fs::create_directories(file.parent_path());
        testing::WritePicture(path("Show/Hall/floor.png"), 4, 2, 0xFF112233);
        SaveProjectRecord(file, ReportProject());
        ASSERT_TRUE(docs->LoadProjectFile(file.string()));
        f.boxes.shown.clear();
        context.Project = f.project.get();
        context.InstallName = f.project->InstallationName();
        context.CreatedBy = f.project->PRJCreatedBy();
        context.Description = f.project->PRJDescription();
        context.Coordinates = f.project->GPSCoordinates();
        context.Temperature = "20.0";
        context.Humidity = "50";
        context.PreCaption = "Vendrel 3.1.0";
        context.ActiveProjectFileName = docs->ActiveProjectFileName;
        context.ProgressBar = &progress;
        context.StatusLabel = &status;
        pictures.modelSizes["SP12"] = {300, 200};
    }

    TReportContext context;
    FakePictures pictures;
    testing::RecordingProgress progress;
    testing::RecordingStatus status;
};

// A word of `pdftotext -bbox`, with its page (from 1).
struct Word {
    std::string text;
    double xMin = 0, yMin = 0, xMax = 0, yMax = 0;
    int page = 0;
};

std::string Unescaped(std::string s) {
    const std::pair<const char*, const char*> entities[] = {
        {"&lt;", "<"}, {"&gt;", ">"}, {"&quot;", "\""}, {"&apos;", "'"}, {"&amp;", "&"}};
    for (const auto& [from, to] : entities) {
        for (size_t at = s.find(from); at != std::string::npos; at = s.find(from, at + 1)) {
            s.replace(at, std::strlen(from), to);
        }
    }
    return s;
}

std::vector<Word> Words(const fs::path& file) {
    std::vector<Word> words;
    std::istringstream in(Output("pdftotext -bbox " + Quoted(file) + " -"));
    const std::regex word(
        R"re(<word xMin="([\d.]+)" yMin="([\d.]+)" xMax="([\d.]+)" yMax="([\d.]+)">(.*)</word>)re");
    std::string line;
    int page = 0;
    while (std::getline(in, line)) {
        if (line.find("<page ") != std::string::npos) {
            ++page;
        }
        std::smatch m;
        if (std::regex_search(line, m, word)) {
            words.push_back(
                {Unescaped(m[5]), std::stod(m[1]), std::stod(m[2]), std::stod(m[3]), std::stod(m[4]), page});
        }
    }
    return words;
}

const Word* FindWord(const std::vector<Word>& words, const std::string& text, size_t from = 0) {
    for (size_t i = from; i < words.size(); ++i) {
        if (words[i].text == text) {
            return &words[i];
        }
    }
    return nullptr;
}

// One page rendered at 72 pixels per inch: one pixel per point.
struct PageImage {
    int width = 0, height = 0;
    std::vector<uint8_t> rgb;
    TAlphaColor at(int x, int y) const {
        const size_t i = (static_cast<size_t>(y) * static_cast<size_t>(width) + static_cast<size_t>(x)) * 3;
        return MakeColor(rgb[i], rgb[i + 1], rgb[i + 2]);
    }
};

PageImage Render(const fs::path& file, int page) {
    const fs::path out = file.parent_path() / "page";
    Output("pdftoppm -r 72 -singlefile -f " + std::to_string(page) + " -l " + std::to_string(page) + " " +
           Quoted(file) + " " + Quoted(out));
    const std::vector<uint8_t> bytes = testing::FileBytes(out.string() + ".ppm");
    const std::string ppm(bytes.begin(), bytes.end());
    PageImage image;
    std::istringstream in(ppm);
    std::string magic;
    int maxValue = 0;
    in >> magic >> image.width >> image.height >> maxValue;
    in.get();
    image.rgb.resize(static_cast<size_t>(image.width) * static_cast<size_t>(image.height) * 3);
    in.read(reinterpret_cast<char*>(image.rgb.data()), static_cast<std::streamsize>(image.rgb.size()));
    EXPECT_EQ(magic, "P6");
    return image;
}

bool IsRuleGrey(TAlphaColor c) {
    const int r = RedOf(c), g = GreenOf(c), b = BlueOf(c);
    return r < 250 && r > 150 && std::abs(r - g) < 8 && std::abs(r - b) < 8;
}

bool Near(TAlphaColor c, TAlphaColor expected) {
    return std::abs(int(RedOf(c)) - RedOf(expected)) < 12 &&
           std::abs(int(GreenOf(c)) - GreenOf(expected)) < 12 &&
           std::abs(int(BlueOf(c)) - BlueOf(expected)) < 12;
}

struct SavedReport {
    fs::path file;
    int pages = 0;
    std::vector<TReportRect> pictures;
    std::vector<std::pair<int, int>> sizes;
    std::vector<int> pictureFirstPage;
};

struct PdfReportTest : PdfReportFixture {
    SavedReport save(const std::string& typed, const std::string& written) {
        fs::create_directories(path("out"));
        dialogs.answers.push_back(path("out/" + typed).string());
        TPdfWriter pdf;
        CountingWriter counting(pdf);
        EXPECT_TRUE(GeneratePdfReport(context, pictures, counting))
            << (f.boxes.shown.empty() ? "" : f.boxes.shown[0].text);
        SavedReport r;
        r.file = path("out/" + written);
        r.pages = counting.pages;
        r.pictures = counting.pictures;
        r.sizes = counting.pictureSizes;
        r.pictureFirstPage = counting.picturePages;
        return r;
    }
};

TEST_F(PdfReportTest, TheEveryKindReportReadsBackWithItsPropertiesFrameAndCells) {
    const SavedReport r = save("Report Hall 2.5", "Report Hall 2.pdf");
    ASSERT_TRUE(fs::exists(r.file));
    EXPECT_TRUE(f.boxes.shown.empty());

    // The fonts' maps back to Unicode read without complaint.
    EXPECT_EQ(Output("pdftotext " + Quoted(r.file) + " /dev/null", true), "");
    const std::string info = Output("pdfinfo " + Quoted(r.file));
    EXPECT_NE(info.find("Page size:       595 x 842 pts (A4)"), std::string::npos) << info;
    EXPECT_NE(info.find("Pages:           " + std::to_string(r.pages) + "\n"), std::string::npos) << info;
    EXPECT_NE(info.find("Title:           Report Hall 2.5\n"), std::string::npos);
    EXPECT_NE(info.find("Author:          Jos\u00E9\n"), std::string::npos);
    EXPECT_NE(info.find("Subject:         Hall 2.5 Report\n"), std::string::npos);
    EXPECT_NE(info.find("Creator:         Vendrel 3.1.0\n"), std::string::npos);

    // Each page has the header, the footer and its number.
    const std::string text = Output("pdftotext -layout " + Quoted(r.file) + " -");
    std::vector<std::string> pages;
    std::istringstream in(text);
    for (std::string page; std::getline(in, page, '\f');) {
        pages.push_back(page);
    }
    ASSERT_EQ(static_cast<int>(pages.size()), r.pages);
    for (size_t i = 0; i < pages.size(); ++i) {
        EXPECT_NE(pages[i].find("Vendrel 3.1.0 Report"), std::string::npos) << "page " << i + 1;
        EXPECT_NE(pages[i].find("Report of: Hall.V3DPrj"), std::string::npos) << "page " << i + 1;
        EXPECT_NE(pages[i].find("Page " + std::to_string(i + 1)), std::string::npos) << "page " << i + 1;
    }
    size_t at = 0;
    for (const char* title : {"Project Information", "3D view", "Top view", "Side view", "Front view",
                              "Single Sound Sources", "Line Array 1 : Main L", "Cluster 1 : Subs",
                              "External DSP Process 1 : Front fill", "Zones List", "Measure Points"}) {
        at = text.find(title, at);
        EXPECT_NE(at, std::string::npos) << title;
    }
    for (const char* cell : {"1:Stalls", "Cabinet 1", "5.0\u00BA", "20.0\u00BAC", "Jos\u00E9"}) {
        EXPECT_NE(text.find(cell), std::string::npos) << cell;
    }

    const std::vector<Word> words = Words(r.file);
    // The cabinet 1.5 m above the floor, under "Pos Z [m]".
    const Word* z = nullptr;
    for (size_t i = 0; i + 2 < words.size(); ++i) {
        if (words[i].text == "Pos" && words[i + 1].text == "Z" && words[i + 2].text == "[m]") {
            z = &words[i];
        }
    }
    ASSERT_NE(z, nullptr);
    const Word* height = FindWord(words, "1.50");
    ASSERT_NE(height, nullptr);
    EXPECT_EQ(height->page, z->page);
    EXPECT_GT(height->yMin, z->yMax - 1);
    EXPECT_GT((height->xMin + height->xMax) / 2, z->xMin);
    EXPECT_LT((height->xMin + height->xMax) / 2, (z + 2)->xMax);

    // "Gain: -3.50 dB", 11 blanks, "Polarity: Negative", 12 blanks, "Delay: 1.25 msec" (a blank of
    // Arial 9 is 2.5 points wide).
    const Word* gain = FindWord(words, "-3.50");
    ASSERT_NE(gain, nullptr);
    const size_t g = static_cast<size_t>(gain - words.data());
    ASSERT_LT(g + 7, words.size());
    EXPECT_EQ(words[g - 1].text, "Gain:");
    const std::vector<std::string> rest{"dB", "Polarity:", "Negative", "Delay:", "1.25", "msec"};
    for (size_t i = 0; i < rest.size(); ++i) {
        const Word* w = FindWord(words, rest[i], g);
        ASSERT_NE(w, nullptr) << rest[i];
        EXPECT_NEAR(w->yMin, gain->yMin, 0.5) << rest[i];
    }
    const double blank = 9 * 569.0 / 2048.0;
    EXPECT_NEAR(FindWord(words, "Polarity:", g)->xMin - FindWord(words, "dB", g)->xMax, 11 * blank, 0.5);
    EXPECT_NEAR(FindWord(words, "Delay:", g)->xMin - FindWord(words, "Negative", g)->xMax, 12 * blank, 0.5);

    // No body text below the write area: only the footer's line.
    for (const Word& w : words) {
        if (w.yMax > 800) {
            EXPECT_GT(w.yMin, 805) << w.text << " on page " << w.page;
        }
    }
}

TEST_F(PdfReportTest, RulesAndPicturesSitWhereTheLayoutPutsThemAndAreStoredLosslessly) {
    const SavedReport r = save("Layout.pdf", "Layout.pdf");
    for (int page = 1; page <= r.pages; ++page) {
        const PageImage image = Render(r.file, page);
        ASSERT_EQ(image.width, 595);
        ASSERT_EQ(image.height, 842);
        for (int x = 52; x <= 543; x += 7) {
            for (int y : {40, 805}) {
                EXPECT_TRUE(IsRuleGrey(image.at(x, y - 1)) || IsRuleGrey(image.at(x, y)))
                    << "page " << page << " x " << x << " y " << y;
            }
        }
        for (int x : {30, 565}) {
            EXPECT_EQ(image.at(x, 40), TAlphaColors::White) << "page " << page;
        }
        // The array's picture (blue) only in the left half.
        for (int y = 0; y < image.height; ++y) {
            for (int x = 0; x < image.width; ++x) {
                if (Near(image.at(x, y), 0xFF0000C0)) {
                    ASSERT_GE(x, 50) << "page " << page;
                    ASSERT_LE(x, 298) << "page " << page;
                }
            }
        }
    }
    // The scene's pictures (green) fill the rectangles of the four views.
    int views = 0;
    for (size_t i = 0; i < r.pictures.size(); ++i) {
        if (r.sizes[i].first != pictures.sceneWidth) {
            continue;
        }
        ++views;
        const PageImage image = Render(r.file, r.pictureFirstPage[i]);
        const TReportRect& p = r.pictures[i];
        for (float fx : {0.05f, 0.5f, 0.95f}) {
            for (float fy : {0.05f, 0.5f, 0.95f}) {
                const int x = static_cast<int>(p.Left + fx * p.Width());
                const int y = static_cast<int>(p.Top + fy * p.Height());
                EXPECT_TRUE(Near(image.at(x, y), 0xFF00C000)) << "view " << views << " at " << x << "," << y;
            }
        }
    }
    EXPECT_EQ(views, 4);

    const std::string images = Output("pdfimages -list " + Quoted(r.file));
    std::istringstream lines(images);
    std::string line;
    int stored = 0;
    while (std::getline(lines, line)) {
        if (line.find(" image ") == std::string::npos && line.find("smask") == std::string::npos) {
            continue;
        }
        ++stored;
        EXPECT_EQ(line.find("smask"), std::string::npos) << line;
        EXPECT_NE(line.find("rgb     3   8  image"), std::string::npos) << line;
    }
    EXPECT_EQ(stored, static_cast<int>(r.pictures.size()));
    // Flate-compressed, not DCT.
    const std::vector<uint8_t> bytes = testing::FileBytes(r.file);
    const std::string raw(bytes.begin(), bytes.end());
    EXPECT_EQ(raw.find("/DCTDecode"), std::string::npos);
    EXPECT_NE(raw.find("/FlateDecode"), std::string::npos);

    const std::string fonts = Output("pdffonts " + Quoted(r.file));
    std::istringstream fontLines(fonts);
    int embedded = 0;
    while (std::getline(fontLines, line)) {
        if (line.find("CID TrueType") != std::string::npos) {
            ++embedded;
            EXPECT_NE(line.find("yes yes yes"), std::string::npos) << line;
        }
    }
    EXPECT_GE(embedded, 3); // Arial, Tahoma, Tahoma bold at least
}

TEST_F(PdfReportTest, OnlyStoredWebAddressesAreLinksAndLibraryTextsPrintAsTyped) {
    TCabModel* sp12 = nullptr;
    TCabModel* la10 = nullptr;
    for (const auto& m : f.project->ModelsDetected()->CabModel()) {
        if (m->ModelName() == "SP12") {
            sp12 = m.get();
        }
        if (m->ModelName() == "LA10") {
            la10 = m.get();
        }
    }
    ASSERT_NE(sp12, nullptr);
    ASSERT_NE(la10, nullptr);
    sp12->SetLinkToDataSheet("https://example.com/sp12?a=1&b=\"2\"");
    sp12->SetLinkToManual("javascript:alert(1)");
    la10->SetModelName("A<B & \"C\"");
    la10->SetLinkToDataSheet("file:///etc/passwd");
    const SavedReport r = save("Links", "Links.pdf");

    const std::string urls = Output("pdfinfo -url " + Quoted(r.file));
    std::vector<std::string> listed;
    std::istringstream in(urls);
    for (std::string line; std::getline(in, line);) {
        const size_t at = line.find("Annotation");
        if (at != std::string::npos) {
            listed.push_back(line.substr(line.find_first_not_of(' ', at + 10)));
        }
    }
    std::sort(listed.begin(), listed.end());
    const std::vector<std::string> expected{"https://example.com/sp12?a=1&b=\"2\"",
                                            "https://example.invalid/SB18.pdf"};
    EXPECT_EQ(listed, expected) << urls;
    const std::string text = Output("pdftotext -layout " + Quoted(r.file) + " -");
    EXPECT_NE(text.find("A<B & \"C\" (90)"), std::string::npos);
    EXPECT_NE(text.find("Manual"), std::string::npos);
}

TEST_F(PdfReportTest, ADecimalCommaLocalePrintsItsSeparator) {
    context.Format.DecimalSeparator = ',';
    const SavedReport r = save("Comma", "Comma.pdf");
    const std::string text = Output("pdftotext -layout " + Quoted(r.file) + " -");
    EXPECT_NE(text.find("Y: 2,00 m"), std::string::npos);
    EXPECT_NE(text.find("0,50 m"), std::string::npos);
    EXPECT_EQ(text.find("2.00 m"), std::string::npos);
}

} // namespace
} // namespace vendrel
