#include <gtest/gtest.h>

#include <cstring>

#include "../acoustics/model_fixture.h"
#include "acoustics/cab_model.h"
#include "acoustics/ornament.h"
#include "acoustics/source_point.h"
#include "files/cabinet_file.h"
#include "files/library_models.h"
#include "library_fixture.h"
#include "platform/core/image_decoder.h"
#include "platform/core/material.h"
#include "platform/core/mesh.h"

namespace vendrel {
namespace {

using testing::FileBytes;
using testing::Numbers;
using testing::SampleLibraryDir;

struct LoadingFixture : ::testing::Test {
    testing::ModelFixture f;
    testing::PngSignatureDecoder decoder;
    ImageDecoderGuard guard{decoder};

    std::unique_ptr<TCabModel> newModel() { return std::make_unique<TCabModel>(&f.medium, f.project.get()); }
    std::filesystem::path cabinet(const std::string& name) const {
        return SampleLibraryDir() / "Cabinets" / (name + ".cabinet");
    }
};

TEST_F(LoadingFixture, CabinetModelsCarryTheGeneratorsValues) {
    const auto expected = testing::SampleExpectations();
    for (const char* name : {"SP12", "LA10", "SB18", "CL8"}) {
        SCOPED_TRACE(name);
        auto model = newModel();
        TModel3D object;
        std::optional<TBitmap> picture;
        ASSERT_TRUE(OpenCabinetFile(cabinet(name), *model, &object, nullptr, {&picture, nullptr, nullptr},
                                    "Vendrel"));
        EXPECT_EQ(model->ModelName(), name);
        EXPECT_EQ(model->DSPSpace()->NRealFreqPoints(), 31);
        EXPECT_NO_THROW(model->CheckPolarLayout());
        EXPECT_EQ(model->NPolarElevSlices() * model->PolarResolutionDegrees(), 180);
        for (int32_t i = 0; i < model->NSourcePoints(); ++i) {
            const std::string key = std::string(name) + ".source" + std::to_string(i);
            const std::vector<double> pos = Numbers(expected.at(key + ".pos"));
            EXPECT_DOUBLE_EQ(model->SourcePoint()[i]->XmRel(), pos[0]);
            EXPECT_EQ(model->SourcePoint()[i]->PolarID(), std::stoi(expected.at(key + ".set")));
        }
        const std::string prefix = std::string(name) + ".set";
        for (const auto& [key, value] : expected) {
            int set = 0, slice = 0, az = 0, fi = 0;
            char kind[8] = {};
            if (key.rfind(prefix, 0) == 0 &&
                std::sscanf(key.c_str() + prefix.size(), "%d.slice%d.az%d.f%d.%7s", &set, &slice, &az, &fi,
                            kind) == 5) {
                const rPolarData& d = model->PolarData().at(set).at(slice).at(az);
                EXPECT_EQ(std::strcmp(kind, "mag") == 0 ? d.MagnitudePerFreq.at(fi) : d.PhasePerFreq.at(fi),
                          std::stof(value))
                    << key;
            }
        }
        EXPECT_GE(object.MeshCount(), 1);
        EXPECT_EQ(object.WrapMode(), TMeshWrapMode::wmStretch);
        EXPECT_FLOAT_EQ(object.Width(), static_cast<float>(model->Width()));
    }
}

TEST_F(LoadingFixture, PresetsArrayRulesAndPictures) {
    auto sp = newModel();
    // Presets left from before are replaced, numbered from 1.
    sp->AddUserPreset();
    sp->AddUserPreset();
    sp->AddUserPreset();
    TModel3D object;
    std::optional<TBitmap> picture, logo, serie(TBitmap(1, 1));
    ASSERT_TRUE(
        OpenCabinetFile(cabinet("SP12"), *sp, &object, nullptr, {&picture, &logo, &serie}, "Vendrel"));
    ASSERT_EQ(sp->DSPPresets().size(), 2u);
    EXPECT_EQ(sp->DSPPresets()[0]->NumberID(), 1);
    EXPECT_EQ(sp->DSPPresets()[1]->NumberID(), 2);
    EXPECT_EQ(sp->DSPPresets()[0]->EQTransferFunction().at(1)->DelaySamples(), 12);
    EXPECT_EQ(sp->DSPPresets()[0]->EQTransferFunction().at(0)->ResponseMg().size(), 31u);
    EXPECT_EQ(sp->FileName(), "SP12 Standard"); // the header's preset name, not the path
    EXPECT_EQ(object.MeshCount(), 2);
    ASSERT_TRUE(picture.has_value());
    EXPECT_EQ(picture->Width(), 2);
    EXPECT_FALSE(logo.has_value());
    EXPECT_EQ(serie->Width(), 1); // no series logo in the file: the slot keeps what it held
    EXPECT_EQ(sp->AllowedTopVariant(), std::vector<std::string>{});
    EXPECT_EQ(sp->PolarProperties().at(1)->Name(), "HF horn");

    auto la = newModel();
    ASSERT_TRUE(OpenCabinetFile(cabinet("LA10"), *la, nullptr, nullptr, {}, "Vendrel"));
    EXPECT_EQ(la->VariantName(), "90");
    EXPECT_EQ(la->TopRigFrame(), std::vector<std::string>{"LA10-Frame"});
    EXPECT_EQ(la->AllowedBotVariant(), (std::vector<std::string>{"90", ""}));
    EXPECT_EQ(la->AllowedBotIfParentIsLessThan(), (std::vector<int32_t>{8, 4}));
    EXPECT_EQ(la->MinCabsToUseTopAdapters(), std::vector<uint8_t>{3});
    EXPECT_EQ(la->AllowedAnglesFlown().size(), 9u);

    // Without variant or parent data: empty variants, minimum counts 0, parent limits 99.
    auto sub = newModel();
    ASSERT_TRUE(OpenCabinetFile(cabinet("SB18"), *sub, nullptr, nullptr, {}, "Vendrel"));
    EXPECT_TRUE(sub->AllowedTopIfParentIsLessThan().empty());
    rCabinetFile record;
    ASSERT_TRUE(ReadCabinetFileRecord(cabinet("LA10"), record, "Vendrel"));
    record.TotalSizeCabAllowedVariant = 0;
    record.TotalSizeCabAllowedIfParentIsLessThan = 0;
    FillCabModelFromRecord(record, *sub, nullptr, nullptr, {});
    EXPECT_EQ(sub->AllowedBotVariant(), (std::vector<std::string>{"", ""}));
    EXPECT_EQ(sub->MinCabsToUseTopAdapters(), std::vector<uint8_t>{0});
    EXPECT_EQ(sub->AllowedBotIfParentIsLessThan(), (std::vector<int32_t>{99, 99}));
}

TEST_F(LoadingFixture, UnusableCabinetFilesLeaveTheModelUntouched) {
    const std::vector<uint8_t> good = FileBytes(cabinet("SB18"));
    auto patched = [&](size_t at, int32_t v) {
        std::vector<uint8_t> b = good;
        std::memcpy(b.data() + at, &v, 4);
        return b;
    };
    const size_t s = 436; // the fixed block
    auto hornOn = [&](int32_t sources) {
        std::vector<uint8_t> b = patched(s + 504, sources);
        b[s + 502] = 1; // the horn turns
        return b;
    };
    auto originAt = [&](uint8_t index) {
        std::vector<uint8_t> b = good;
        b[s + 1108] = index;
        return b;
    };
    std::vector<uint8_t> sixthOctave = good;
    sixthOctave[s + 183] = 5; // a grid of 61 points for data of 31
    const std::vector<std::pair<const char*, std::vector<uint8_t>>> cases = {
        {"points that do not fit the grid", patched(s + 184, 30)},
        {"data of another grid", sixthOctave},
        {"resolution that does not divide 180 and 360", patched(s + 152, 7)},
        {"counts that do not cover the sphere", patched(s + 152, 15)},
        {"a source naming no polar set", patched(s + 1328 + 114 + 56, 3)},
        {"a default preset beyond its one preset", patched(s + 176, 2)},
        {"a default preset of 0", patched(s + 176, 0)},
        {"a rotatable horn on a second source of a one-source model", hornOn(1)},
        {"a rotatable horn on the sources 0 and 1 of a one-source model", hornOn(10)},
        {"a negative horn source number", hornOn(-1)},
        {"a default origin point beyond its one origin point", originAt(1)},
    };
    testing::TempDir dir;
    for (const auto& [what, bytes] : cases) {
        testing::WriteBytes(dir.path / "x.cabinet", bytes);
        auto model = newModel();
        EXPECT_THROW(OpenCabinetFile(dir.path / "x.cabinet", *model, nullptr, nullptr, {}, "Vendrel"),
                     EReadError)
            << what;
        EXPECT_TRUE(model->ModelName().empty()) << what;
    }
    testing::WriteBytes(dir.path / "x.cabinet", hornOn(0));
    auto turning = newModel();
    EXPECT_TRUE(OpenCabinetFile(dir.path / "x.cabinet", *turning, nullptr, nullptr, {}, "Vendrel"));
    EXPECT_TRUE(turning->AllowHornRotation());
}

TEST_F(LoadingFixture, UndecodableMeshesAndPicturesAreReportedAndSkipped) {
    rCabinetFile record;
    ASSERT_TRUE(ReadCabinetFileRecord(cabinet("SP12"), record, "Vendrel"));
    record.Model3D.resize(record.Model3D.size() / 2);
    record.ModelImage = {1, 2, 3};
    auto model = newModel();
    TModel3D object;
    object.AddMesh(UnitCubeMesh());
    std::optional<TBitmap> picture(TBitmap(3, 3));
    FillCabModelFromRecord(record, *model, &object, nullptr, {&picture, nullptr, nullptr});
    EXPECT_EQ(object.MeshCount(), 0);
    EXPECT_EQ(picture->Width(), 3);
    ASSERT_EQ(f.boxes.shown.size(), 2u);
    EXPECT_EQ(f.boxes.shown[0].text, "Model 3D invalid format");
    EXPECT_EQ(f.boxes.shown[1].text, "Invalid Image format");
    EXPECT_EQ(model->ModelName(), "SP12");
    EXPECT_NO_THROW(model->CheckPolarLayout());
}

TEST_F(LoadingFixture, RiggingFrameAndOrnamentModels) {
    const auto expected = testing::SampleExpectations();
    TRigFrameModel frame(&f.medium, f.project.get());
    TModel3D frameObject;
    TLightMaterialSource highlight;
    ASSERT_TRUE(OpenFrameFile(SampleLibraryDir() / "Riggings" / "LA10-Frame.rigging", frame, &frameObject,
                              &highlight, TAlphaColors::Lime, "Vendrel"));
    EXPECT_EQ(frame.ModelName(), "LA10-Frame");
    ASSERT_EQ(frame.NPickPoints(), 4);
    for (int i = 0; i < 4; ++i) {
        const std::vector<double> p = Numbers(expected.at("LA10-Frame.pick" + std::to_string(i)));
        EXPECT_EQ(frame.PickPoints()[i],
                  TPoint3D(static_cast<float>(p[0]), static_cast<float>(p[1]), static_cast<float>(p[2])));
    }
    EXPECT_EQ(frame.Weight(), std::stod(expected.at("LA10-Frame.weight")));
    EXPECT_EQ(highlight.Diffuse(), TAlphaColors::Lime);
    ASSERT_EQ(frameObject.MeshCount(), 1);
    EXPECT_EQ(frameObject.Meshes(0).MaterialSource, &highlight);

    TOrnaModel orna(&f.medium, f.project.get());
    TModel3D ornaObject;
    TLightMaterialSource material;
    ASSERT_TRUE(OpenOrnamentFile(SampleLibraryDir() / "Ornaments" / "Truss Block.ornament", orna, &ornaObject,
                                 &material, "Vendrel"));
    EXPECT_EQ(orna.ModelName(), "Truss Block");
    EXPECT_EQ(orna.GroupName(), "Stage");
    EXPECT_EQ(orna.Weight(), 9.5);
    EXPECT_TRUE(orna.IsSizeable());
    EXPECT_EQ(orna.OriginCenter(), TPoint3D(0.0f, -0.25f, 0.0f));
    EXPECT_EQ(material.Texture().Width(), 2);
    EXPECT_EQ(ornaObject.Meshes(0).MaterialSource, &material);
    EXPECT_TRUE(f.boxes.shown.empty());

    // Without a decoder the texture is reported and the ornament keeps an untextured material.
    SetImageDecoderService(nullptr);
    TLightMaterialSource plain;
    ASSERT_TRUE(OpenOrnamentFile(SampleLibraryDir() / "Ornaments" / "Truss Block.ornament", orna, &ornaObject,
                                 &plain, "Vendrel"));
    EXPECT_TRUE(plain.Texture().IsEmpty());
    ASSERT_EQ(f.boxes.shown.size(), 1u);
    EXPECT_EQ(f.boxes.shown[0].text, "Invalid Image format");
    EXPECT_EQ(ornaObject.MeshCount(), 1);
}

} // namespace
} // namespace vendrel
