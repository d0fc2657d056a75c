#include "editor/zone_appearance.h"

#include "acoustics/mapping_zone.h"
#include "editor/editor_state.h"
#include "editor/kind_registry.h"
#include "editor/kinds/zone_kind.h"
#include "editor/object_panels.h"
#include "editor/zone_pictures.h"
#include "platform/core/cursor_service.h"
#include "platform/core/edit_helpers.h"
#include "platform/core/message_box.h"
#include "scene/color_helpers.h"

#include <memory>

namespace vendrel {

namespace fs = std::filesystem;

TZoneAppearance::TZoneAppearance(TEditorState& State, TKindRegistry& Kinds) : st_(State), kinds_(Kinds) {}

std::vector<TMappingZone*> TZoneAppearance::selectedZones() const {
    std::vector<TMappingZone*> zones;
    for (TObject* o : st_.SelectedObjList) {
        auto* zone = dynamic_cast<TMappingZone*>(o);
        if (zone != nullptr && !zone->IsLocked()) {
            zones.push_back(zone);
        }
    }
    return zones;
}

std::string TZoneAppearance::PictureErrorText(const fs::path& File) {
    return "The picture \"" + File.filename().string() +
           "\" cannot be used: the file cannot be read or is not a picture.";
}

bool TZoneAppearance::readAll(const std::vector<fs::path>& Files,
                              std::map<fs::path, TBitmap>& Pictures) const {
    for (const fs::path& file : Files) {
        if (Pictures.contains(file)) {
            continue;
        }
        std::optional<TBitmap> picture = ReadPicture(file);
        if (!picture) {
            MessageBoxService().ShowMessage(PictureErrorText(file));
            return false;
        }
        Pictures.emplace(file, std::move(*picture));
    }
    return true;
}

std::optional<fs::path> TZoneAppearance::PictureSource(const TMappingZone& Zone) const {
    switch (Zone.ImageTextureType()) {
    case TTextureType::qzaLoadedImage:
        return fs::path(Zone.ImageTexturePath());
    case TTextureType::qzaLibTexture:
        return LibraryTextureFile(AppDataPath, Zone.ImageTextureLibName());
    case TTextureType::qzaColor:
        break;
    }
    return std::nullopt;
}

bool TZoneAppearance::LoadPicture(TMappingZone& Zone, const fs::path& Source, TTextureType Type) {
    std::optional<TBitmap> picture = ReadPicture(Source);
    if (!picture) {
        return false;
    }
    Zone.SetImageTexture(std::make_unique<TBitmap>(std::move(*picture)));
    Zone.SetImageTexturePath(Source.string());
    Zone.SetImageTextureType(Type);
    return true;
}

void TZoneAppearance::reload(TMappingZone& Zone, const std::map<fs::path, TBitmap>& Pictures) const {
    const std::optional<fs::path> source = PictureSource(Zone);
    if (!source) {
        return;
    }
    Zone.SetImageTexture(std::make_unique<TBitmap>(Pictures.at(*source)));
    Zone.SetImageTexturePath(source->string());
}

void TZoneAppearance::refreshPanel(TMappingZone& Zone, bool Values) const {
    if (const TZoneKind* kind = kinds_.Get<TZoneKind>()) {
        kind->UpdateTextureSidesFloor(Zone);
    }
    if (auto* panel = PanelOf<IObjectPanel>(Zone); panel != nullptr && Values) {
        panel->UpdateValues();
    }
}

void TZoneAppearance::showMemoryInfo() const {
    if (OnShowMemoryInfo) {
        OnShowMemoryInfo();
    }
}

void TZoneAppearance::SetTextureSideOnSelection(bool Front, bool Shaft, bool Back) {
    auto cursor = TSmartCursor::HourGlass();
    for (TMappingZone* zone : selectedZones()) {
        zone->SetTextureSides({Front, Back, Shaft});
        zone->ApplyTexture();
        refreshPanel(*zone, false);
    }
    TSmartCursor::Default();
    showMemoryInfo();
}

void TZoneAppearance::SetZoneColorOnSelection(TAlphaColor Color) {
    auto cursor = TSmartCursor::HourGlass();
    for (TMappingZone* zone : selectedZones()) {
        if (zone->ImgTextureColor() == Color) {
            continue;
        }
        zone->SetImgTextureColor(Color);
        zone->ApplyTexture();
    }
    TSmartCursor::Default();
}

bool TZoneAppearance::SetZonePictureOnSelection(const std::string& FileName) {
    const TZoneKind* kind = kinds_.Get<TZoneKind>();
    if (kind != nullptr && kind->NZonesSelected() == 0) {
        showMemoryInfo();
        return true;
    }
    auto cursor = TSmartCursor::HourGlass();
    std::vector<TMappingZone*> zones;
    for (TMappingZone* zone : selectedZones()) {
        if (zone->ImageTexturePath() != FileName) {
            zones.push_back(zone);
        }
    }
    std::map<fs::path, TBitmap> pictures;
    if (!zones.empty() && !readAll({fs::path(FileName)}, pictures)) {
        return false;
    }
    for (TMappingZone* zone : zones) {
        auto image = std::make_unique<TBitmap>(pictures.begin()->second);
        TBitmap& picture = *image;
        zone->SetImageTexture(std::move(image));
        zone->SetImageTexturePath(FileName);
        zone->SetImageTextureType(TTextureType::qzaLoadedImage);
        // The texture is sized for the picture as read, then the picture is made transparent and
        // turned, and the texture composed once.
        zone->FitTextureSize();
        if (zone->ImageTextureHasTransparecy()) {
            MakeColorTransparent(picture, zone->ImgTransparentColor(), zone->ImgTranspTolerance());
        }
        RotatePicture(picture, zone->ImgTextureRot());
        zone->ApplyTexture();
        refreshPanel(*zone, false);
    }
    TSmartCursor::Default();
    showMemoryInfo();
    return true;
}

bool TZoneAppearance::SetZoneTextureOnSelection(const std::string& FileName, const std::string& Name) {
    auto cursor = TSmartCursor::HourGlass();
    const std::vector<TMappingZone*> zones = selectedZones();
    std::map<fs::path, TBitmap> pictures;
    for (TMappingZone* zone : zones) {
        if (zone->ImageTextureLibName() != Name) {
            if (!readAll({fs::path(FileName)}, pictures)) {
                return false;
            }
            break;
        }
    }
    for (TMappingZone* zone : zones) {
        zone->SetImageTextureType(TTextureType::qzaLibTexture);
        if (zone->ImageTextureLibName() == Name) {
            continue;
        }
        auto image = std::make_unique<TBitmap>(pictures.begin()->second);
        TBitmap& picture = *image;
        zone->SetImageTexture(std::move(image));
        zone->SetImageTextureLibName(Name);
        zone->FitTextureSize();
        RotatePicture(picture, zone->ImgTextureRot());
        zone->ApplyTexture();
        refreshPanel(*zone, false);
    }
    TSmartCursor::Default();
    return true;
}

bool TZoneAppearance::SetZoneRotateTextureOnSelection(const std::string& Text) {
    double rotation = 0.0;
    if (!TryTextToFloat(Text, rotation, st_.FormatSettings)) {
        return false;
    }
    auto cursor = TSmartCursor::HourGlass();
    std::vector<TMappingZone*> zones;
    std::vector<fs::path> sources;
    for (TMappingZone* zone : selectedZones()) {
        if (Text == PlainNumberText(zone->ImgTextureRot(), st_.FormatSettings)) {
            continue;
        }
        zones.push_back(zone);
        if (zone->ImageTexture() != nullptr) {
            if (std::optional<fs::path> source = PictureSource(*zone)) {
                sources.push_back(*source);
            }
        }
    }
    std::map<fs::path, TBitmap> pictures;
    if (!readAll(sources, pictures)) {
        return false;
    }
    for (TMappingZone* zone : zones) {
        zone->SetImgTextureRot(rotation);
        if (zone->ImageTexture() != nullptr && PictureSource(*zone)) {
            // Turned first, then made transparent again.
            reload(*zone, pictures);
            RotatePicture(*zone->ImageTexture(), zone->ImgTextureRot());
            if (zone->ImageTextureHasTransparecy()) {
                MakeColorTransparent(*zone->ImageTexture(), zone->ImgTransparentColor(),
                                     zone->ImgTranspTolerance());
            }
            zone->ApplyTexture();
        }
        refreshPanel(*zone, true);
    }
    TSmartCursor::Default();
    return true;
}

void TZoneAppearance::SetOpacityTextureOnSelection(const std::string& Text) {
    double percent = 0.0;
    if (!TryTextToFloat(Text, percent, st_.FormatSettings)) {
        return;
    }
    auto cursor = TSmartCursor::HourGlass();
    for (TMappingZone* zone : selectedZones()) {
        if (Text == PlainNumberText(zone->ImgTextureOpacity() * 100, st_.FormatSettings)) {
            continue;
        }
        zone->SetImgTextureOpacity(percent * 0.01);
        refreshPanel(*zone, true);
        zone->ApplyTexture();
    }
    TSmartCursor::Default();
}

bool TZoneAppearance::SetZoneTransparentOnSelection(TAlphaColor Color, int32_t Tolerance, bool Clear) {
    auto cursor = TSmartCursor::HourGlass();
    std::vector<TMappingZone*> zones;
    std::vector<fs::path> sources;
    for (TMappingZone* zone : selectedZones()) {
        if (zone->ImageTexture() == nullptr) {
            continue;
        }
        zones.push_back(zone);
        if (std::optional<fs::path> source = PictureSource(*zone)) {
            sources.push_back(*source);
        }
    }
    std::map<fs::path, TBitmap> pictures;
    if (!readAll(sources, pictures)) {
        return false;
    }
    for (TMappingZone* zone : zones) {
        zone->SetImgTransparentColor(Color);
        zone->SetImgTranspTolerance(Tolerance);
        zone->SetImageTextureHasTransparecy(!Clear);
        if (!PictureSource(*zone)) {
            continue; // nothing to read the unturned picture from
        }
        // Made transparent first, then turned.
        reload(*zone, pictures);
        MakeColorTransparent(*zone->ImageTexture(), Color, Clear ? 0 : Tolerance);
        RotatePicture(*zone->ImageTexture(), zone->ImgTextureRot());
        zone->ApplyTexture();
    }
    TSmartCursor::Default();
    return true;
}

void TZoneAppearance::SetZoneClearTextureOnSelection() {
    auto cursor = TSmartCursor::HourGlass();
    for (TMappingZone* zone : selectedZones()) {
        if (zone->ImageTexture() != nullptr) {
            zone->SetImageTexture(nullptr);
            zone->SetImageTexturePath("");
            zone->SetImageTextureLibName("");
        }
        zone->SetImageTextureType(TTextureType::qzaColor);
        zone->SetTextureSize();
        refreshPanel(*zone, false);
    }
    TSmartCursor::Default();
    showMemoryInfo();
}

} // namespace vendrel
