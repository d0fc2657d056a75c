#include "acoustics/dsp_process.h"

#include <gtest/gtest.h>

#include <complex>

#include "dsp/biquad.h"
#include "dsp/dsp_space.h"
#include "dsp/fir.h"
#include "dsp/gain_delay.h"
#include "dsp/peqs.h"
#include "model_fixture.h"
#include "platform/core/numeric.h"

namespace vendrel {
namespace {

using testing::ModelFixture;

TDSPSpace processGrid() {
    TDSPSpace grid;
    grid.SetSampleRate(TSampleRate::sr48k);
    grid.LogspacePerBand(20, 20000, TFreqBands::fbOneTwentyFourOctave);
    return grid;
}

TEST(DSPProcess, NewProcessIsAnActiveBypassWithItsBandsSpreadOverTheRange) {
    TDSPSpace grid = processGrid();
    TGenericDSPProcess process(&grid, nullptr);
    EXPECT_TRUE(process.Active());
    EXPECT_EQ(process.Name(), "No Name");
    EXPECT_EQ(process.CurrentPeqNumber(), -1);
    EXPECT_EQ(process.CurrentPEQ(), nullptr);
    EXPECT_DOUBLE_EQ(process.Gain()->MaxGain, 18.0);
    ASSERT_EQ(process.AllProcessResponseMg().size(), grid.FreqDraw.size());
    for (size_t i = 0; i < grid.FreqDraw.size(); ++i) {
        EXPECT_EQ(process.AllProcessResponseMg()[i], 1.0);
        EXPECT_EQ(process.AllProcessResponsePh()[i], 0.0);
    }
    const int32_t bands[] = {31, 63, 125, 250, 500, 1000, 2000, 4000, 8000, 16000};
    ASSERT_EQ(process.PEQS()->Peqs.size(), 10u);
    for (size_t i = 0; i < 10; ++i) {
        EXPECT_EQ(process.PEQS()->Peqs[i]->Frequency(), bands[i]);
        EXPECT_TRUE(process.PEQS()->Peqs[i]->Active);
        EXPECT_DOUBLE_EQ(process.PEQS()->Peqs[i]->MaxGain, 18.0);
    }
}

// The combined response against the engine's own gain, PEQ bank and unit-delay tables multiplied by hand.
TEST(DSPProcess, CombinedResponseIsGainTimesBankTimesDelay) {
    TDSPSpace grid = processGrid();
    TGenericDSPProcess process(&grid, nullptr);
    process.Gain()->SetdB(6.0);
    process.Gain()->InvertPolarity();
    process.Delay()->SetSamples(37);
    process.PEQS()->Peqs[2]->SetGain(9.0);
    process.PEQS()->Peqs[2]->SetQ(2.0);
    process.PEQS()->Peqs[6]->SetGain(-5.5);
    process.PEQS()->CalcAllPeqs();
    process.CalculatePEQSResponse();
    process.CalculateProcess();

    std::vector<Complex> bank(grid.FreqDraw.size());
    process.PEQS()->CalcResponseComplex(bank);
    const double gain = process.Gain()->Lineal(); // negative: inverted polarity
    for (size_t i = 0; i < grid.FreqDraw.size(); ++i) {
        const std::complex<double> unitDelay(grid.Hwz[i].Re, grid.Hwz[i].Im);
        const std::complex<double> expected =
            gain * std::complex<double>(bank[i].Re, bank[i].Im) * std::pow(unitDelay, 37);
        const std::complex<double> got =
            std::polar(process.AllProcessResponseMg()[i], process.AllProcessResponsePh()[i]);
        // The bank's dB curve snaps values below 0.001 dB to 0: 1.2e-4 of the magnitude at most.
        EXPECT_LE(std::abs(got - expected), 2e-4 * std::abs(expected)) << grid.FreqDraw[i] << " Hz";
    }
}

TEST(DSPProcess, WorkedValuesOfGainPolarityAndDelay) {
    TDSPSpace grid = processGrid();
    TGenericDSPProcess process(&grid, nullptr);
    process.Gain()->SetdB(6.0);
    process.CalculateProcess();
    EXPECT_NEAR(process.AllProcessResponseMg()[0], 1.9953, 5e-5);
    EXPECT_EQ(process.AllProcessResponsePh()[0], 0.0);
    process.Gain()->InvertPolarity();
    process.CalculateProcess();
    EXPECT_DOUBLE_EQ(process.AllProcessResponsePh()[0], kPi);

    process.Gain()->InvertPolarity();
    process.Delay()->SetSamples(48); // 1 ms at 48 kHz: one turn at 1 kHz
    process.CalculateProcess();
    const auto at1k = std::find(grid.FreqDraw.begin(), grid.FreqDraw.end(), 1000);
    ASSERT_NE(at1k, grid.FreqDraw.end());
    EXPECT_NEAR(process.AllProcessResponsePh()[static_cast<size_t>(at1k - grid.FreqDraw.begin())], -kTwoPi,
                1e-12);

    process.SetActive(false); // the chain is bypassed
    process.CalculateProcess();
    EXPECT_EQ(process.AllProcessResponseMg()[0], 1.0);
    EXPECT_EQ(process.AllProcessResponsePh()[0], 0.0);
}

TEST(DSPProcess, SelectingABandPointsAtItAndABandOutsideTheBankRaises) {
    TDSPSpace grid = processGrid();
    TGenericDSPProcess process(&grid, nullptr);
    process.SetCurrentPeqNumber(4);
    EXPECT_EQ(process.CurrentPEQ(), process.PEQS()->Peqs[4].get());
    EXPECT_THROW(process.SetCurrentPeqNumber(10), ERangeError);
    EXPECT_EQ(process.CurrentPeqNumber(), 4);
    process.PEQS()->SetNPeqs(11);
    EXPECT_THROW(process.Reset(), ERangeError); // only ten bands have a place
}

TEST(DSPProcess, ProcessUsedByNoCabinetAsksForNoRecalculation) {
    ModelFixture f;
    TGenericDSPProcess process(f.project->DSPSpace48k(), f.project.get());
    f.project->SetIsProjectModified(false);
    process.CalculateMaps();
    EXPECT_FALSE(f.project->IsProjectModified());
    process.AddUser(nullptr); // any user: all zones and measurement points are recalculated
    process.CalculateMaps();
    EXPECT_TRUE(f.project->IsProjectModified());
}

} // namespace
} // namespace vendrel
