#pragma once
// The editor with the sample library, the project documents on it, recorded file dialogs, and
// pictures that decode without a window.

#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <sstream>

#include "../files/library_fixture.h"
#include "editor/documents.h"
#include "editor_fixture.h"
#include "files/library_scan.h"
#include "platform/core/file_dialog.h"
#include "platform/core/image_decoder.h"

namespace vendrel::testing {

// Pictures of this test are text files "PIC <width> <height> <ARGB hex>": a bitmap of that size and
// colour. Anything else does not decode.
struct TextPictureDecoder : IImageDecoder {
    bool DecodeImage(std::span<const uint8_t> b, TBitmap& image) override {
        const std::string text(b.begin(), b.end());
        std::istringstream in(text);
        std::string tag;
        int w = 0, h = 0;
        uint32_t color = 0;
        if (!(in >> tag >> w >> h >> std::hex >> color) || tag != "PIC" || w <= 0 || h <= 0) {
            return false;
        }
        image = TBitmap(w, h, color);
        return true;
    }
};

inline void WritePicture(const std::filesystem::path& file, int w, int h, uint32_t color) {
    std::filesystem::create_directories(file.parent_path());
    std::ostringstream text;
    text << "PIC " << w << " " << h << " " << std::hex << color;
    const std::string s = text.str();
    WriteBytes(file, std::vector<uint8_t>(s.begin(), s.end()));
}

struct DocumentsFixture : ::testing::Test {
    EditorFixture f;
    TempDir dir;
    TextPictureDecoder decoder;
    ImageDecoderGuard decoderGuard{decoder};
    RecordingFileDialog dialogs;
    std::unique_ptr<TModelLibrary> library;
    std::unique_ptr<TDocuments> docs;
    int captions = 0;

    DocumentsFixture() {
        SetFileDialogService(&dialogs);
        const std::filesystem::path appData = dir.path / "appdata";
        for (const char* kind :
             {"Cabinets", "Riggings", "Ornaments", "SoundSystems", "Textures", "Templates"}) {
            std::filesystem::create_directories(appData / kind);
            std::error_code ec;
            for (const auto& e : std::filesystem::directory_iterator(SampleLibraryDir() / kind, ec)) {
                std::filesystem::copy_file(e.path(), appData / kind / e.path().filename());
            }
        }
        library = std::make_unique<TModelLibrary>(*f.project, appData, "Vendrel");
        f.editor->Library = library.get();
        library->ReadLibraryFiles();
        f.boxes.shown.clear(); // the library's pictures are not of this test's kind
        TDocumentInfo info;
        info.SoftwareName = "Vendrel";
        info.ProjectFileExt = ".V3DPrj";
        info.AppDataPath = appData.string();
        info.ProjectFolder = (dir.path / "projects").string();
        info.Version = {"3", "1", "0", "123"};
        docs = std::make_unique<TDocuments>(*f.editor, info);
        docs->DrawCaption = [this] { ++captions; };
        // The window builds its palette and switches continuous rendering off at start.
        f.editor->Colors.PaletteItemClick(0);
        f.project->SetContinuousRender(false);
        f.project->SetIsProjectModified(false);
    }
    ~DocumentsFixture() override {
        docs.reset();
        library.reset();
        SetFileDialogService(nullptr);
    }

    std::filesystem::path path(const std::string& name) const { return dir.path / name; }
};

} // namespace vendrel::testing
