#include <gtest/gtest.h>

#include <cstring>

#include "../acoustics/model_fixture.h"
#include "acoustics/dsp_process.h"
#include "dsp/biquad.h"
#include "dsp/dsp_space.h"
#include "dsp/gain_delay.h"
#include "dsp/peqs.h"
#include "files/project_check.h"
#include "files/scene_records.h"
#include "library_fixture.h"

namespace vendrel {
namespace {

namespace fs = std::filesystem;

TEST(SceneRecords, AUserProcessGoesThroughItsRecordWithEveryValueItStores) {
    testing::ModelFixture f;
    TGenericDSPProcess& source = *f.project->AddDSPProcess();
    source.SetName("Front fill");
    source.Gain()->SetdB(-7.5);
    source.Gain()->Polarity = TGainPolarity::qzgmtInverted;
    source.Delay()->SetSamples(480);
    source.PEQS()->SetNPeqs(3);
    const double gains[3] = {17.0, -12.5, 3.0}; // above the default section limit of 15 dB
    for (int i = 0; i < 3; ++i) {
        TSOS& s = *source.PEQS()->Peqs[static_cast<size_t>(i)];
        s.MaxGain = 18;
        s.Active = i != 1;
        s.SetFrequency(100 * (i + 1));
        s.SetGain(gains[i]);
        s.SetQ(1.5);
    }
    source.DSPSpace()->SetSampleRate(TSampleRate::sr96k);

    const TDspCabinet blob = DSPProcessToRecord(source, "Vendrel");
    EXPECT_EQ(blob.Header.ModelName, "Vendrel");
    EXPECT_EQ(blob.Header.NOutputs, 1);
    EXPECT_EQ(static_cast<int>(blob.Header.SampleRate), 2);
    ASSERT_EQ(blob.OutputPeq.size(), 1u);
    EXPECT_EQ(blob.OutputPeq[0].Peqs.size(), 3u);
    EXPECT_TRUE(CheckProcessRecord(blob).empty());

    source.DSPSpace()->SetSampleRate(TSampleRate::sr48k);
    TGenericDSPProcess& loaded = *f.project->AddDSPProcess();
    loaded.SetActive(false);
    LoadDSPProcessFromRecord(blob, loaded, true);
    EXPECT_TRUE(loaded.Active());
    EXPECT_EQ(loaded.Name(), "Front fill");
    EXPECT_EQ(loaded.DSPSpace()->SampleRate(), TSampleRate::sr96k);
    EXPECT_DOUBLE_EQ(loaded.Gain()->dB(), -7.5);
    EXPECT_EQ(loaded.Gain()->Polarity, TGainPolarity::qzgmtInverted);
    EXPECT_EQ(loaded.Delay()->Samples(), 480);
    ASSERT_EQ(loaded.PEQS()->NPeqs(), 3);
    for (int i = 0; i < 3; ++i) {
        const TSOS& s = *loaded.PEQS()->Peqs[static_cast<size_t>(i)];
        EXPECT_EQ(s.Active, i != 1);
        EXPECT_EQ(s.Frequency(), 100 * (i + 1));
        EXPECT_DOUBLE_EQ(s.Gain(), gains[i]) << "section " << i;
    }
    // The responses are computed: the process is no longer the flat default.
    EXPECT_NE(loaded.AllProcessResponseMg(), std::vector<double>(loaded.AllProcessResponseMg().size(), 1.0));
    EXPECT_EQ(DSPProcessToRecord(loaded, "Vendrel"), blob);
}

TEST(SceneRecords, ZonePicturesTakeNamesNoOtherPictureOfTheDocumentHas) {
    testing::ModelFixture f;
    testing::TempDir dir;
    const fs::path folder = dir.path / "Hall";
    const auto zone = [&](const fs::path& picture) {
        TMappingZone& z = f.addZone(4, 4);
        z.SetImageTextureType(TTextureType::qzaLoadedImage);
        z.SetImageTexturePath(picture.string());
        return &z;
    };
    // One picture from elsewhere comes before the picture of that name already in the folder: the one
    // in the folder keeps its name and is never overwritten before it is read.
    const TMappingZone* outside = zone(dir.path / "a" / "floor.png");
    const TMappingZone* inside = zone(folder / "floor.png");
    const TMappingZone* other = zone(dir.path / "b" / "floor.png");
    const TMappingZone* sameAsOutside = zone(dir.path / "a" / "floor.png");
    const TMappingZone* none = zone("");
    TMappingZone& colour = f.addZone(4, 4);
    colour.SetImageTextureType(TTextureType::qzaColor);
    colour.SetImageTexturePath((dir.path / "a" / "floor.png").string());

    for (const auto& [file, text] :
         {std::pair{dir.path / "a" / "floor.png", "A"}, std::pair{folder / "floor.png", "IN"},
          std::pair{dir.path / "b" / "floor.png", "B"}}) {
        fs::create_directories(file.parent_path());
        testing::WriteBytes(file, std::vector<uint8_t>(text, text + std::strlen(text)));
    }
    const TTextureCopies copies(folder, {outside, inside, other, sameAsOutside, none, &colour});
    EXPECT_EQ(copies.NameOf(*inside), "floor.png");
    EXPECT_EQ(copies.NameOf(*outside), "floor (2).png");
    EXPECT_EQ(copies.NameOf(*other), "floor (3).png");
    EXPECT_EQ(copies.NameOf(*sameAsOutside), "floor (2).png");
    EXPECT_EQ(copies.NameOf(*none), "");
    copies.Copy();
    EXPECT_EQ(testing::FileBytes(folder / "floor.png"), std::vector<uint8_t>({'I', 'N'}));
    EXPECT_EQ(testing::FileBytes(folder / "floor (2).png"), std::vector<uint8_t>({'A'}));
    EXPECT_EQ(testing::FileBytes(folder / "floor (3).png"), std::vector<uint8_t>({'B'}));
    EXPECT_EQ(std::distance(fs::directory_iterator(folder), fs::directory_iterator{}), 3);
    EXPECT_EQ(TextureFolderOf("/x/Show.V3DPrj"), fs::path("/x/Show"));
}

} // namespace
} // namespace vendrel
