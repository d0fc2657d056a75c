#include "acoustics/dsp_process.h"

#include <array>
#include <cmath>

#include "acoustics/project.h"
#include "dsp/biquad.h"
#include "dsp/dsp_space.h"
#include "dsp/fir.h"
#include "dsp/gain_delay.h"
#include "dsp/peqs.h"
#include "platform/core/numeric.h"

namespace vendrel {

namespace {

// Gain limit of the process and of each of its PEQ sections, dB.
constexpr double kProcessMaxGain = 18.0;
constexpr int32_t kProcessMaxFirTaps = 1200;
// Where a reset process places its PEQ sections, Hz.
constexpr std::array<int32_t, 10> kPeqResetFrequencies = {31,   63,   125,  250,  500,
                                                          1000, 2000, 4000, 8000, 16000};

} // namespace

TGenericDSPProcess::TGenericDSPProcess(TDSPSpace* DSPWorkSpace, TAcousticProject* AcousticProjectOwner)
    : DSPSpace(DSPWorkSpace), FMyAcousticProject(AcousticProjectOwner) {
    Delay = std::make_unique<TDelay>(DSPSpace);
    FIR = std::make_unique<TFIR>(DSPSpace);
    FIR->SetMaxTaps(kProcessMaxFirTaps);
    PEQS = std::make_unique<TPeqs>(DSPSpace);
    FCurrentPeqNumber = -1;
    CurrentPEQ = nullptr;
    Gain = std::make_unique<TGain>();
    Gain->MaxGain = kProcessMaxGain;
    const size_t n = DSPSpace->FreqDraw.size();
    AllProcessResponseMg.assign(n, 1.0);
    AllProcessResponsePh.assign(n, 0.0);
    PEQSResponseMg.assign(n, 0.0);
    PEQSResponsePh.assign(n, 0.0);
    FIRResponseMg.assign(n, 0.0);
    FIRResponsePh.assign(n, 0.0);
    Reset();
}

TGenericDSPProcess::~TGenericDSPProcess() = default;

void TGenericDSPProcess::Reset() {
    FActive = true;
    Name = "No Name";
    IsSelected = false;
    for (size_t i = 0; i < PEQS->Peqs.size(); ++i) {
        TSOS& section = *PEQS->Peqs[i];
        section.Active = true;
        section.SetFrequency(At(kPeqResetFrequencies, static_cast<int64_t>(i)));
        section.MaxGain = kProcessMaxGain;
    }
}

void TGenericDSPProcess::CalculateProcess() {
    // The map kernel of every cabinet using the process reads the combined response.
    const TWorkersPause pause(FMyAcousticProject);
    const size_t n = DSPSpace->FreqDraw.size();
    if (!FActive) {
        for (size_t i = 0; i < n; ++i) {
            At(AllProcessResponseMg, i) = 1.0;
            At(AllProcessResponsePh, i) = 0.0;
        }
        return;
    }
    const double polarity = Gain->Polarity == TGainPolarity::qzgmtInverted ? kPi : 0.0;
    const double sampleRate = DSPSpace->iSampleRate();
    const double delaySamples = Delay->Samples();
    for (size_t i = 0; i < n; ++i) {
        const double dB = Gain->dB() + At(FIRResponseMg, i) + At(PEQSResponseMg, i);
        const double phase = polarity + At(FIRResponsePh, i) + At(PEQSResponsePh, i);
        At(AllProcessResponseMg, i) = std::exp(dB / 20.0 * kLn10);
        At(AllProcessResponsePh, i) = phase - kTwoPi * DSPSpace->FreqDraw[i] / sampleRate * delaySamples;
    }
}

void TGenericDSPProcess::CalculateMaps() {
    if (AppliedOn.empty() || FMyAcousticProject == nullptr) {
        return;
    }
    FMyAcousticProject->ReCalculateZones(-1);
    FMyAcousticProject->ReCalculateAllMics();
}

void TGenericDSPProcess::SetCurrentPeqNumber(int32_t Value) {
    if (Value == FCurrentPeqNumber) {
        return;
    }
    TSOS* section = At(PEQS->Peqs, Value).get();
    FCurrentPeqNumber = Value;
    CurrentPEQ = section;
}

} // namespace vendrel
