#include "acoustics/dsp_process.h"

#include <algorithm>
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
    : FDSPSpace(DSPWorkSpace), FMyAcousticProject(AcousticProjectOwner) {
    FDelay = std::make_unique<TDelay>(FDSPSpace);
    FFIR = std::make_unique<TFIR>(FDSPSpace);
    FFIR->SetMaxTaps(kProcessMaxFirTaps);
    FPEQS = std::make_unique<TPeqs>(FDSPSpace);
    FCurrentPeqNumber = -1;
    FCurrentPEQ = nullptr;
    FGain = std::make_unique<TGain>();
    FGain->MaxGain = kProcessMaxGain;
    const size_t n = FDSPSpace->FreqDraw.size();
    FAllProcessResponseMg.assign(n, 1.0);
    FAllProcessResponsePh.assign(n, 0.0);
    FPEQSResponseMg.assign(n, 0.0);
    FPEQSResponsePh.assign(n, 0.0);
    FFIRResponseMg.assign(n, 0.0);
    FFIRResponsePh.assign(n, 0.0);
    Reset();
}

TGenericDSPProcess::~TGenericDSPProcess() = default;

void TGenericDSPProcess::Reset() {
    FActive = true;
    FName = "No Name";
    FIsSelected = false;
    for (size_t i = 0; i < FPEQS->Peqs.size(); ++i) {
        TSOS& section = *FPEQS->Peqs[i];
        section.Active = true;
        section.SetFrequency(At(kPeqResetFrequencies, static_cast<int64_t>(i)));
        section.MaxGain = kProcessMaxGain;
    }
}

void TGenericDSPProcess::CalculateProcess() {
    // The map kernel of every cabinet using the process reads the combined response.
    const TWorkersPause pause(FMyAcousticProject);
    const size_t n = FDSPSpace->FreqDraw.size();
    if (!FActive) {
        for (size_t i = 0; i < n; ++i) {
            At(FAllProcessResponseMg, i) = 1.0;
            At(FAllProcessResponsePh, i) = 0.0;
        }
        return;
    }
    const double polarity = FGain->Polarity == TGainPolarity::qzgmtInverted ? kPi : 0.0;
    const double sampleRate = FDSPSpace->iSampleRate();
    const double delaySamples = FDelay->Samples();
    for (size_t i = 0; i < n; ++i) {
        const double dB = FGain->dB() + At(FFIRResponseMg, i) + At(FPEQSResponseMg, i);
        const double phase = polarity + At(FFIRResponsePh, i) + At(FPEQSResponsePh, i);
        At(FAllProcessResponseMg, i) = std::exp(dB / 20.0 * kLn10);
        At(FAllProcessResponsePh, i) = phase - kTwoPi * FDSPSpace->FreqDraw[i] / sampleRate * delaySamples;
    }
}

void TGenericDSPProcess::CalculateMaps() {
    if (FAppliedOn.empty() || FMyAcousticProject == nullptr) {
        return;
    }
    FMyAcousticProject->ReCalculateZones(-1);
    FMyAcousticProject->ReCalculateAllMics();
}

void TGenericDSPProcess::FollowGrid() {
    const size_t n = FDSPSpace->FreqDraw.size();
    FAllProcessResponseMg.assign(n, 1.0);
    FAllProcessResponsePh.assign(n, 0.0);
    FPEQSResponseMg.assign(n, 0.0);
    FPEQSResponsePh.assign(n, 0.0);
    FFIRResponseMg.assign(n, 0.0);
    FFIRResponsePh.assign(n, 0.0);
    FFIR->FollowGrid();
    CalculatePEQSResponse();
    CalculateProcess();
}

void TGenericDSPProcess::SetCurrentPeqNumber(int32_t Value) {
    if (Value == FCurrentPeqNumber) {
        return;
    }
    TSOS* section = At(FPEQS->Peqs, Value).get();
    FCurrentPeqNumber = Value;
    FCurrentPEQ = section;
}

void TGenericDSPProcess::CalculatePEQSResponse() {
    FPEQS->CalcResponse(FPEQSResponseMg, FPEQSResponsePh);
}

void TGenericDSPProcess::RemoveUser(const TCabinet* Cabinet) {
    FAppliedOn.erase(std::remove(FAppliedOn.begin(), FAppliedOn.end(), Cabinet), FAppliedOn.end());
}

} // namespace vendrel
