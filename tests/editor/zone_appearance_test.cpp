#include "editor/zone_appearance.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <sstream>

#include "../files/library_fixture.h"
#include "editor/zone_pictures.h"
#include "objects_fixture.h"

namespace vendrel {
namespace {

namespace fs = std::filesystem;
using testing::ObjectsFixture;
using testing::TempDir;

// Pictures of these tests are text files "GRID <width> <height>" followed by each pixel's ARGB in hex,
// row by row; anything else does not decode.
struct GridPictureDecoder : IImageDecoder {
    bool DecodeImage(std::span<const uint8_t> b, TBitmap& image) override {
        std::istringstream in(std::string(b.begin(), b.end()));
        std::string tag;
        int w = 0, h = 0;
        if (!(in >> tag >> w >> h) || tag != "GRID" || w <= 0 || h <= 0) {
            return false;
        }
        TBitmap read(w, h);
        for (TAlphaColor& px : read.Pixels()) {
            if (!(in >> std::hex >> px)) {
                return false;
            }
        }
        image = std::move(read);
        return true;
    }
};

void writeGrid(const fs::path& file, const TBitmap& picture) {
    fs::create_directories(file.parent_path());
    std::ostringstream text;
    text << "GRID " << picture.Width() << " " << picture.Height();
    for (TAlphaColor px : picture.Pixels()) {
        text << " " << std::hex << px;
    }
    const std::string s = text.str();
    testing::WriteBytes(file, std::vector<uint8_t>(s.begin(), s.end()));
}

// A 3 x 2 picture whose pixels all differ; its first pixel is the key colour of the tests.
constexpr TAlphaColor kKey = 0xFF102030;
TBitmap sample() {
    TBitmap p(3, 2);
    p.Pixels() = {kKey, 0xFF000002, 0xFF000003, 0xFF000004, 0xFF000005, 0xFF000006};
    return p;
}
TBitmap turned(TBitmap p, double degrees) {
    RotatePicture(p, degrees);
    return p;
}

struct ZoneAppearance : ::testing::Test {
    ObjectsFixture f;
    TempDir dir;
    GridPictureDecoder decoder;
    ImageDecoderGuard decoderGuard{decoder};
    TZoneAppearance& looks = f.editor->Appearance;
    std::vector<TMappingZone*> zones;

    ZoneAppearance() {
        looks.AppDataPath = dir.path;
        for (int i = 0; i < 3; ++i) {
            zones.push_back(f.editor->Adding.AddNewMappingZone(
                "Z", {}, {}, 10, 10, 0.1f, false, TSurfaceType::qzaRectangle, true, nullptr, {}));
        }
        for (TMappingZone* z : zones) {
            z->SetIsObjectSelected(true);
            f.state().SelectedObjList.Add(z);
        }
        f.editor->Selection.UpdateAllSelection();
        zones[2]->SetIsLocked(true);
    }
    fs::path picture(const std::string& name, const TBitmap& p = sample()) {
        writeGrid(dir.path / name, p);
        return dir.path / name;
    }
    fs::path broken(const std::string& name) {
        testing::WriteBytes(dir.path / name, {'n', 'o', 'p', 'e'});
        return dir.path / name;
    }
};

TEST(ZonePictures, TurnsByWholeQuarterTurnsOnly) {
    const TBitmap p = sample();
    TBitmap quarter(2, 3);
    // Clockwise: the left column, read upwards, becomes the top row.
    quarter.Pixels() = {0xFF000004, kKey, 0xFF000005, 0xFF000002, 0xFF000006, 0xFF000003};
    TBitmap half(3, 2);
    half.Pixels() = {0xFF000006, 0xFF000005, 0xFF000004, 0xFF000003, 0xFF000002, kKey};
    EXPECT_EQ(turned(p, 90), quarter);
    EXPECT_EQ(turned(p, -270), quarter);
    EXPECT_EQ(turned(p, 180), half);
    EXPECT_EQ(turned(p, -90), turned(quarter, 180));
    EXPECT_EQ(turned(p, 360), p);
    EXPECT_EQ(turned(p, 45), p);
    EXPECT_EQ(turned(p, std::nan("")), p);
}

TEST_F(ZoneAppearance, APictureGoesOnEveryUnlockedZoneMadeTransparentThenTurned) {
    zones[1]->SetImgTextureRot(90);
    zones[1]->SetImageTextureHasTransparecy(true);
    zones[1]->SetImgTransparentColor(kKey);
    zones[1]->SetImgTranspTolerance(1);
    const fs::path file = picture("floor.png");

    EXPECT_TRUE(looks.SetZonePictureOnSelection(file.string()));
    EXPECT_TRUE(f.boxes.shown.empty());
    ASSERT_NE(zones[0]->ImageTexture(), nullptr);
    EXPECT_EQ(*zones[0]->ImageTexture(), sample());
    EXPECT_EQ(zones[0]->ImageTexturePath(), file.string());
    EXPECT_EQ(zones[0]->ImageTextureType(), TTextureType::qzaLoadedImage);
    // Each zone has its own copy: made transparent at its key colour, then turned by its rotation.
    TBitmap expected = sample();
    expected.Pixels()[0] = TAlphaColors::Null;
    ASSERT_NE(zones[1]->ImageTexture(), nullptr);
    EXPECT_EQ(*zones[1]->ImageTexture(), turned(expected, 90));
    EXPECT_EQ(zones[2]->ImageTexture(), nullptr); // locked by its own lock
    EXPECT_EQ(zones[2]->ImageTextureType(), TTextureType::qzaColor);
}

TEST_F(ZoneAppearance, AFileThatDoesNotDecodeIsReportedOnceAndChangesNoZone) {
    const fs::path good = picture("good.png");
    ASSERT_TRUE(looks.SetZonePictureOnSelection(good.string()));
    const TBitmap* before = zones[0]->ImageTexture();
    const fs::path bad = broken("bad.png");

    EXPECT_FALSE(looks.SetZonePictureOnSelection(bad.string()));
    EXPECT_FALSE(looks.SetZonePictureOnSelection((dir.path / "missing.png").string()));
    ASSERT_EQ(f.boxes.shown.size(), 2u);
    EXPECT_EQ(f.boxes.shown[0].text, TZoneAppearance::PictureErrorText(bad));
    EXPECT_EQ(zones[0]->ImageTexture(), before);
    EXPECT_EQ(zones[1]->ImageTexturePath(), good.string());

    // A library texture that does not decode leaves the zones' texture names and types alone too.
    EXPECT_FALSE(looks.SetZoneTextureOnSelection(bad.string(), "bad.png"));
    EXPECT_EQ(zones[0]->ImageTextureLibName(), "");
    EXPECT_EQ(zones[0]->ImageTextureType(), TTextureType::qzaLoadedImage);
    EXPECT_EQ(zones[0]->ImageTexture(), before);
}

TEST_F(ZoneAppearance, ALibraryTextureTheZoneCarriesOnlyTakesItsType) {
    const fs::path wood = picture("Textures/wood.png");
    zones[1]->SetImageTextureLibName("wood.png"); // carries it already, shown as a colour
    zones[0]->SetImgTextureRot(180);

    EXPECT_TRUE(looks.SetZoneTextureOnSelection(wood.string(), "wood.png"));
    EXPECT_EQ(zones[0]->ImageTextureType(), TTextureType::qzaLibTexture);
    EXPECT_EQ(zones[0]->ImageTextureLibName(), "wood.png");
    ASSERT_NE(zones[0]->ImageTexture(), nullptr);
    EXPECT_EQ(*zones[0]->ImageTexture(), turned(sample(), 180));
    EXPECT_EQ(zones[1]->ImageTextureType(), TTextureType::qzaLibTexture);
    EXPECT_EQ(zones[1]->ImageTexture(), nullptr);
}

TEST_F(ZoneAppearance, RotationReloadsThePictureTurnsItThenMakesItTransparent) {
    const int fills0 = f.panels.zones[0]->fills;
    const int fills1 = f.panels.zones[1]->fills;
    const fs::path file = picture("floor.png");
    ASSERT_TRUE(looks.SetZonePictureOnSelection(file.string()));
    zones[0]->SetImageTextureHasTransparecy(true);
    zones[0]->SetImgTransparentColor(kKey);
    zones[0]->SetImgTranspTolerance(1);
    zones[1]->SetImgTextureRot(90);

    EXPECT_TRUE(looks.SetZoneRotateTextureOnSelection("-90"));
    TBitmap expected = turned(sample(), -90);
    std::replace(expected.Pixels().begin(), expected.Pixels().end(), kKey, TAlphaColors::Null);
    EXPECT_EQ(zones[0]->ImgTextureRot(), -90);
    EXPECT_EQ(*zones[0]->ImageTexture(), expected);
    EXPECT_EQ(*zones[1]->ImageTexture(), turned(sample(), -90)); // from the file, not turned twice
    EXPECT_EQ(f.panels.zones[0]->fills - fills0, 1);             // the panel shows the new rotation

    // A zone that shows the rotation already is left alone; a colour zone only stores it.
    zones[1]->SetImageTexture(nullptr);
    zones[1]->SetImageTextureType(TTextureType::qzaColor);
    EXPECT_TRUE(looks.SetZoneRotateTextureOnSelection("180"));
    EXPECT_EQ(zones[1]->ImgTextureRot(), 180);
    EXPECT_EQ(zones[1]->ImageTexture(), nullptr);
    EXPECT_TRUE(looks.SetZoneRotateTextureOnSelection("180"));
    EXPECT_EQ(f.panels.zones[1]->fills - fills1, 2); // "-90", "180", not the "180" again

    // A picture file gone since: said once, no zone turns.
    fs::remove(file);
    EXPECT_FALSE(looks.SetZoneRotateTextureOnSelection("90"));
    EXPECT_EQ(f.boxes.shown.size(), 1u);
    EXPECT_EQ(zones[0]->ImgTextureRot(), 180);
    EXPECT_EQ(zones[1]->ImgTextureRot(), 180);
}

TEST_F(ZoneAppearance, TransparencyIsAppliedToTheReloadedPictureBeforeItIsTurned) {
    zones[0]->SetImgTextureRot(90);
    ASSERT_TRUE(looks.SetZonePictureOnSelection(picture("floor.png").string()));
    EXPECT_TRUE(looks.SetZoneTransparentOnSelection(kKey, 1, false));
    TBitmap expected = sample();
    expected.Pixels()[0] = TAlphaColors::Null;
    EXPECT_TRUE(zones[0]->ImageTextureHasTransparecy());
    EXPECT_EQ(zones[0]->ImgTransparentColor(), kKey);
    EXPECT_EQ(*zones[0]->ImageTexture(), turned(expected, 90));
    // Clearing the colour brings the whole picture back.
    EXPECT_TRUE(looks.SetZoneTransparentOnSelection(kKey, 1, true));
    EXPECT_FALSE(zones[0]->ImageTextureHasTransparecy());
    EXPECT_EQ(*zones[0]->ImageTexture(), turned(sample(), 90));
}

TEST_F(ZoneAppearance, OpacityColourSidesAndClearing) {
    const int fills0 = f.panels.zones[0]->fills;
    ASSERT_TRUE(looks.SetZonePictureOnSelection(picture("floor.png").string()));
    looks.SetOpacityTextureOnSelection("50");
    EXPECT_DOUBLE_EQ(zones[0]->ImgTextureOpacity(), 0.5);
    EXPECT_DOUBLE_EQ(zones[2]->ImgTextureOpacity(), 1.0);
    looks.SetOpacityTextureOnSelection("50");
    EXPECT_EQ(f.panels.zones[0]->fills - fills0, 1); // the same value again is left alone

    looks.SetZoneColorOnSelection(0xFF336699);
    EXPECT_EQ(zones[1]->ImgTextureColor(), 0xFF336699u);
    EXPECT_EQ(zones[1]->ImageTextureType(), TTextureType::qzaLoadedImage);
    EXPECT_NE(zones[2]->ImgTextureColor(), 0xFF336699u);

    looks.SetTextureSideOnSelection(false, true, true);
    EXPECT_EQ(zones[0]->TextureSides(), (TExtrudedShapeSides{false, true, true}));
    EXPECT_EQ(TSceneObjects::ZoneSolid(*zones[0])->MaterialFloorSource(),
              f.editor->Objects.NoMapMaterial.get());

    looks.SetZoneClearTextureOnSelection();
    EXPECT_EQ(zones[0]->ImageTexture(), nullptr);
    EXPECT_EQ(zones[0]->ImageTexturePath(), "");
    EXPECT_EQ(zones[0]->ImageTextureType(), TTextureType::qzaColor);
}

} // namespace
} // namespace vendrel
