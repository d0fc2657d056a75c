#pragma once
// A user processing chain applied to any number of cabinets as their external process: gain with
// polarity, delay, a parametric EQ bank and an FIR slot. It holds the chain's combined response on
// its grid (linear magnitude and phase in radians), which every cabinet that uses it multiplies in.

#include "platform/core/view_link.h"
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace vendrel {

class TAcousticProject;
class TCabinet;
class TDSPSpace;
class TGain;
class TDelay;
class TFIR;
class TPeqs;
class TSOS;

class TGenericDSPProcess {
public:
    // DSPWorkSpace is shared and not owned; it must outlive the process.
    TGenericDSPProcess(TDSPSpace* DSPWorkSpace, TAcousticProject* AcousticProjectOwner);
    ~TGenericDSPProcess();
    TGenericDSPProcess(const TGenericDSPProcess&) = delete;
    TGenericDSPProcess& operator=(const TGenericDSPProcess&) = delete;

    // Active, "No Name", every PEQ section active at 31 Hz .. 16 kHz with an 18 dB gain limit.
    void Reset();
    // Combined response of gain, polarity, delay, PEQ bank and FIR slot on every grid point.
    void CalculateProcess();
    // Recalculates every zone and measurement point when a cabinet uses the process.
    void CalculateMaps();

    bool Active() const { return FActive; }
    void SetActive(bool Value) { FActive = Value; }
    int32_t CurrentPeqNumber() const { return FCurrentPeqNumber; }
    // Selects a PEQ section; an index outside the bank raises ERangeError.
    void SetCurrentPeqNumber(int32_t Value);

    TAcousticProject* MyAcousticProject() const { return FMyAcousticProject; }

    int32_t NumberID = 0;
    std::string Name;
    std::string Info;
    TDSPSpace* DSPSpace = nullptr; // shared, not owned
    std::unique_ptr<TGain> Gain;
    std::unique_ptr<TDelay> Delay;
    std::unique_ptr<TFIR> FIR;
    std::unique_ptr<TPeqs> PEQS;
    std::vector<double> AllProcessResponseMg; // linear
    std::vector<double> AllProcessResponsePh; // radians
    std::vector<double> PEQSResponseMg;       // dB; written by whoever changes the bank
    std::vector<double> PEQSResponsePh;       // radians
    std::vector<double> FIRResponseMg;        // dB; nothing writes it, so the FIR adds 0 dB
    std::vector<double> FIRResponsePh;        // radians
    TSOS* CurrentPEQ = nullptr;               // the selected section of PEQS, or null
    std::vector<TCabinet*> AppliedOn;         // cabinets using the process, not owned
    TViewLink GraphicalInterface;             // the editor showing the process, not owned
    bool IsSelected = false;

private:
    bool FActive = true;
    TAcousticProject* FMyAcousticProject = nullptr; // the owning project, not owned
    int32_t FCurrentPeqNumber = -1;
};

} // namespace vendrel
