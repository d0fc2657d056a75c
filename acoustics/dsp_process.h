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
    // The grid took other points: the responses are sized to it and computed again, the FIR slot
    // follows. For the project, with its workers paused.
    void FollowGrid();

    bool Active() const { return FActive; }
    void SetActive(bool Value) { FActive = Value; }
    int32_t CurrentPeqNumber() const { return FCurrentPeqNumber; }
    // Selects a PEQ section; an index outside the bank raises ERangeError.
    void SetCurrentPeqNumber(int32_t Value);

    TAcousticProject* MyAcousticProject() const { return FMyAcousticProject; }

    int32_t NumberID() const { return FNumberID; }
    void SetNumberID(int32_t Value) { FNumberID = Value; }
    const std::string& Name() const { return FName; }
    void SetName(std::string Value) { FName = std::move(Value); }
    const std::string& Info() const { return FInfo; }
    void SetInfo(std::string Value) { FInfo = std::move(Value); }
    TDSPSpace* DSPSpace() const { return FDSPSpace; } // shared, not owned
    // The chain's stages, owned; a change to a stage takes CalculateProcess and CalculateMaps.
    TGain* Gain() const { return FGain.get(); }
    TDelay* Delay() const { return FDelay.get(); }
    TFIR* FIR() const { return FFIR.get(); }
    TPeqs* PEQS() const { return FPEQS.get(); }
    // The combined response: linear magnitude and phase in radians.
    const std::vector<double>& AllProcessResponseMg() const { return FAllProcessResponseMg; }
    const std::vector<double>& AllProcessResponsePh() const { return FAllProcessResponsePh; }
    // The PEQ bank's response (dB, radians), as CalculatePEQSResponse last took it from the bank.
    const std::vector<double>& PEQSResponseMg() const { return FPEQSResponseMg; }
    const std::vector<double>& PEQSResponsePh() const { return FPEQSResponsePh; }
    void CalculatePEQSResponse();
    // The FIR slot's response (dB, radians): nothing writes it, so the FIR adds 0 dB.
    const std::vector<double>& FIRResponseMg() const { return FFIRResponseMg; }
    const std::vector<double>& FIRResponsePh() const { return FFIRResponsePh; }
    // The selected section of PEQS, or null.
    TSOS* CurrentPEQ() const { return FCurrentPEQ; }
    // The cabinets using the process, not owned: a cabinet enters when it takes the process and
    // leaves when it drops it or goes away.
    const std::vector<TCabinet*>& AppliedOn() const { return FAppliedOn; }
    void AddUser(TCabinet* Cabinet) { FAppliedOn.push_back(Cabinet); }
    void RemoveUser(const TCabinet* Cabinet);
    // The editor showing the process, not owned.
    TViewLink& GraphicalInterface() { return FGraphicalInterface; }
    const TViewLink& GraphicalInterface() const { return FGraphicalInterface; }
    bool IsSelected() const { return FIsSelected; }
    void SetIsSelected(bool Value) { FIsSelected = Value; }

private:
    int32_t FNumberID = 0;
    std::string FName;
    std::string FInfo;
    TDSPSpace* FDSPSpace = nullptr; // shared, not owned
    std::unique_ptr<TGain> FGain;
    std::unique_ptr<TDelay> FDelay;
    std::unique_ptr<TFIR> FFIR;
    std::unique_ptr<TPeqs> FPEQS;
    std::vector<double> FAllProcessResponseMg; // linear
    std::vector<double> FAllProcessResponsePh; // radians
    std::vector<double> FPEQSResponseMg;       // dB
    std::vector<double> FPEQSResponsePh;       // radians
    std::vector<double> FFIRResponseMg;        // dB; nothing writes it, so the FIR adds 0 dB
    std::vector<double> FFIRResponsePh;        // radians
    TSOS* FCurrentPEQ = nullptr;               // the selected section of PEQS, or null
    std::vector<TCabinet*> FAppliedOn;         // cabinets using the process, not owned
    TViewLink FGraphicalInterface;             // the editor showing the process, not owned
    bool FIsSelected = false;
    bool FActive = true;
    TAcousticProject* FMyAcousticProject = nullptr; // the owning project, not owned
    int32_t FCurrentPeqNumber = -1;
};

} // namespace vendrel
