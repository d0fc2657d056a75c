#include "acoustics/beam_steering.h"

#include <algorithm>
#include <cmath>

#include "acoustics/beam_design.h"
#include "acoustics/cabinet.h"
#include "acoustics/mapping_zone.h"
#include "acoustics/physical_space.h"
#include "acoustics/polar.h"
#include "acoustics/project.h"
#include "acoustics/source_point.h"
#include "dsp/dsp_space.h"
#include "dsp/fir.h"
#include "dsp/xover.h"
#include "platform/core/numeric.h"

namespace vendrel {

namespace {

// The fewest taps a steering filter can be designed with (two design frequencies).
constexpr int32_t kMinSteeringTaps = 4;

// The spacing of a steerable model's sources; anything that cannot be steered raises.
float steerableSeparation(const TCabModel& model) {
    const int32_t n = model.NSourcePoints();
    const double y0 = n > 0 ? At(model.SourcePoint(), 0)->YmRel() : 0.0;
    const double y1 = n > 1 ? At(model.SourcePoint(), 1)->YmRel() : 0.0;
    const float sep = SteeringSourceSeparation(model.ModelName(), n, y0, y1);
    if (model.BeamProcessType() == TBeamProcessType::qzaFIRProcess &&
        model.FIRTapsPerSource() < kMinSteeringTaps) {
        throw EBeamSteeringError("The model \"" + model.ModelName() +
                                 "\" cannot be steered: its steering filters have fewer than " +
                                 std::to_string(kMinSteeringTaps) + " taps.");
    }
    return sep;
}

// A floating value counts as changed when it differs or is a NaN.
template <typename Float> bool changed(Float stored, Float value) {
    return !(stored == value);
}

} // namespace

// ---- TSingleBeam ----

TSingleBeam::TSingleBeam(TPhysicalSpace* PhysicalSpace, TAcousticProject* AcousticProjectOwner)
    : TQzControl3D(nullptr), FPhysicalSpace(PhysicalSpace), FMyAcousticProject(AcousticProjectOwner) {
    if (FMyAcousticProject != nullptr) {
        FMyAcousticProject->RaiseUniqueID();
    }
}

TSingleBeam::~TSingleBeam() {
    FreeClass();
}

void TSingleBeam::FreeClass() {
    FFIRprocess.clear();
    FCabinetList.clear();
    FSourcePoints.clear();
    FNSources = 0;
}

void TSingleBeam::AddCabinetToBeam(TCabinet* Cabinet) {
    if (std::find(FCabinetList.begin(), FCabinetList.end(), Cabinet) != FCabinetList.end()) {
        return;
    }
    const TCabModel& model = *Cabinet->Model();
    const float sep = steerableSeparation(model);
    FCabinetList.push_back(Cabinet);
    FDSPSpace = model.DSPSpace();
    FSourceSeparation = sep;
}

void TSingleBeam::AssignSources(std::vector<TSourcePoint*> Sources) {
    SetNSources(static_cast<int32_t>(Sources.size()));
    FSourcePoints = std::move(Sources);
}

void TSingleBeam::CopySettings(const TSingleBeam& Source) {
    FActive = Source.FActive;
    FAngle = Source.FAngle;
    FCurvatureAngle = Source.FCurvatureAngle;
    FLobesOptimize = Source.FLobesOptimize;
    FAlpha = Source.FAlpha;
}

void TSingleBeam::CabinetReleased(TCabinet* Cabinet) {
    FCabinetList.erase(std::remove(FCabinetList.begin(), FCabinetList.end(), Cabinet), FCabinetList.end());
    // Its sources go with it; the container shares the column again.
    for (TSourcePoint*& s : FSourcePoints) {
        if (s != nullptr && s->MyCabinet() == Cabinet) {
            s = nullptr;
        }
    }
    if (FCabinetList.empty() && FMyBeamContainer != nullptr) {
        FMyBeamContainer->TakeSingleBeam(this).reset();
    }
}

void TSingleBeam::SetNSources(int32_t Value) {
    if (Value == FNSources) {
        return;
    }
    if (Value < 0) {
        throw ERangeError();
    }
    FFIRprocess.clear();
    FNSources = Value;
    FSourcePoints.resize(static_cast<size_t>(Value), nullptr);
    FBeamFIRSampleLatency = 0.0;
    if (FBeamProcessType != TBeamProcessType::qzaFIRProcess || FDSPSpace == nullptr) {
        return;
    }
    for (int32_t i = 0; i < Value; ++i) {
        auto fir = std::make_unique<TFIR>(FDSPSpace);
        fir->SetMaxTaps(FFIRTapsPerSource);
        FFIRprocess.push_back(std::move(fir));
    }
    if (Value > 0) {
        // The latency the design gives the taps (half their count, rounded down), so that taking it
        // off the stored phase leaves exactly the steering.
        FBeamFIRSampleLatency = FFIRprocess.front()->UseNTaps() / 2;
    }
}

void TSingleBeam::SetAngle(float Value) {
    if (!changed(FAngle, Value)) {
        return;
    }
    CheckSteeringAngle(Value);
    FAngle = Value;
    CalcBeamProcess();
    CalcHitPoint();
}

void TSingleBeam::SetCurvatureAngle(float Value) {
    if (!changed(FCurvatureAngle, Value)) {
        return;
    }
    CheckCurvatureAngle(Value);
    FCurvatureAngle = Value;
    CalcBeamProcess();
    CalcHitPoint();
}

void TSingleBeam::SetLobesOptimize(bool Value) {
    if (Value == FLobesOptimize) {
        return;
    }
    FLobesOptimize = Value;
    CalcBeamProcess();
    CalcHitPoint();
}

void TSingleBeam::SetAlpha(double Value) {
    if (!changed(FAlpha, Value)) {
        return;
    }
    FAlpha = Value;
    CalcBeamProcess();
    CalcHitPoint();
}

void TSingleBeam::SetActive(bool Value) {
    if (Value == FActive) {
        return;
    }
    // The workers read the sources' switches: none runs until the maps are asked for again.
    const TWorkersPause pause(FMyAcousticProject);
    FActive = Value;
    for (TSourcePoint* s : FSourcePoints) {
        if (s != nullptr) {
            s->SetActive(Value);
        }
    }
    invalidateMaps();
}

void TSingleBeam::invalidateMaps() {
    for (TCabinet* cab : FCabinetList) {
        cab->NeedsReCalculateMapInZone(-1);
    }
    if (FMyAcousticProject != nullptr) {
        FMyAcousticProject->ReCalculateAllMics();
        FMyAcousticProject->ClearAllMaps();
    }
}

void TSingleBeam::CalcBeamProcess() {
    // The workers read the source points' filter responses and the beam's latency.
    const TWorkersPause pause(FMyAcousticProject);
    if (FNSources > 0 && FDSPSpace != nullptr && FPhysicalSpace != nullptr) {
        redesign();
    }
    invalidateMaps();
}

void TSingleBeam::redesign() {
    const TDSPSpace& grid = *FDSPSpace;
    const int32_t N = FNSources;
    const int32_t NF = grid.NRealFreqPoints();
    const std::vector<int32_t>& F = grid.FreqDraw;
    const double rate = grid.iSampleRate();
    const double c = FPhysicalSpace->SpeedOfSound();
    const double Ts = grid.SecondsPerSample();

    const std::vector<int32_t> S = SteeringDelays(FAngle, N, FSourceSeparation, c, Ts);
    const std::vector<int32_t> C = CurvatureDelays(FCurvatureAngle, N, FSourceSeparation, c, Ts);
    const TBeamShading shading = BeamShading(FCurvatureAngle, N, FSourceSeparation);

    // One working low-pass for every source: second-order Butterworth.
    TXoverIIR lowPass(FDSPSpace);
    lowPass.Active = true;
    lowPass.LpHp = TXoverHPLP::xhlLowPass;
    lowPass.SetOrder(2);
    lowPass.SetXoverType(TXoverType::XButtw);
    const size_t nf = static_cast<size_t>(NF);
    std::vector<double> mg(nf), ph(nf), lpMg(nf, 0.0), lpPh(nf, 0.0);

    for (int32_t i = 0; i < N; ++i) {
        const size_t si = static_cast<size_t>(i);
        const int32_t D = S[si] + C[si];
        for (size_t k = 0; k < nf; ++k) {
            mg[k] = 0.0;
            ph[k] = -(F[k] * kTwoPi / rate) * D;
        }
        bool lowPassOn = false;
        if (FLobesOptimize) {
            lowPassOn = shading.Cut[si] <= 20000;
            lowPass.Active = lowPassOn;
            lowPass.SetFrequencyCut(shading.Cut[si]);
            lowPass.CalcXover();
            lowPass.CalcResponse(lpMg, lpPh);
            for (size_t k = 0; k < nf; ++k) {
                mg[k] = lpMg[k] - shading.Att[si];
            }
        }
        TSourcePoint* src = FSourcePoints[si];
        switch (FBeamProcessType) {
        case TBeamProcessType::qzaFIRProcess: {
            TFIR& fir = *At(FFIRprocess, i);
            fir.Reset();
            fir.ConvertToCoefs(F, mg, ph, false, true);
            break;
        }
        case TBeamProcessType::qzaDelayAndIIR:
            // Delays and the low-pass as such: the target itself, with the IIR's own phase.
            if (src != nullptr) {
                std::vector<double> responseMg(nf), responsePh(nf);
                for (size_t k = 0; k < nf; ++k) {
                    responseMg[k] = TDSPSpace::dBToLin(mg[k]);
                    responsePh[k] = ph[k] + (lowPassOn ? lpPh[k] : 0.0);
                }
                src->SetBeamFIRResponse(std::move(responseMg), std::move(responsePh));
            }
            break;
        default:
            // No processing: the sources radiate as they are.
            if (src != nullptr) {
                src->SetBeamFIRResponse(std::vector<double>(nf, 1.0), std::vector<double>(nf, 0.0));
            }
            break;
        }
    }
    if (FBeamProcessType != TBeamProcessType::qzaFIRProcess) {
        return;
    }
    for (int32_t i = 0; i < N; ++i) {
        TFIR& fir = *At(FFIRprocess, i);
        fir.Active = true;
        TSourcePoint* src = FSourcePoints[static_cast<size_t>(i)];
        if (src == nullptr) {
            continue;
        }
        std::vector<double> responseMg(nf), responsePh(nf);
        fir.CalcResponseLineal(responseMg, responsePh);
        // The stored phase carries the steering, not the filter's own latency.
        for (size_t k = 0; k < nf; ++k) {
            responsePh[k] += FBeamFIRSampleLatency * kTwoPi * F[k] / rate;
        }
        src->SetBeamFIRResponse(std::move(responseMg), std::move(responsePh));
    }
}

void TSingleBeam::CalcHitPoint() {
    TAcousticProject* project = FMyAcousticProject;
    if (project == nullptr || !project->CalcHitPointEnabled()) {
        return;
    }
    FHitPointZoneThrow = nullptr;
    FHitPointLocalThrow = TVector3D(0, 0, 0);
    FHitPointAbsThrow = TVector3D(0, 0, 0);
    if (!FActive) {
        return;
    }
    const TPoint3D start = LocalToAbsolute3D({FEmisionPoint.X, -FEmisionPoint.Y, FEmisionPoint.Z});
    const TVec3f axis = SphericalToVector(200.0, 0.0, FAngle * kDegToRad);
    const TPoint3D dir = LocalToAbsoluteDirection({axis[0], axis[1], axis[2]});
    // The farthest hit along the beam's axis wins; hits behind or within 1 mm do not count.
    const TZoneRayHit hit = FarthestZoneHit(*project, *this, start, dir);
    FHitPointZoneThrow = hit.Zone;
    FHitPointLocalThrow = hit.Local;
    FHitPointAbsThrow = hit.Absolute;
}

// ---- TBeamContainer ----

TBeamContainer::TBeamContainer(TPhysicalSpace* PhysicalSpace, TAcousticProject* AcousticProjectOwner,
                               TCabModel* theModel, TCabPlacement Placement)
    : TCluster(PhysicalSpace, AcousticProjectOwner, theModel, Placement) {
    SetLinearHSpace(0.0f);
    SetLinearVSpace(0.0f);
    if (theModel != nullptr) {
        FFIRTapsPerSource = theModel->FIRTapsPerSource();
        FBeamProcessType = theModel->BeamProcessType();
    }
}

TBeamContainer::~TBeamContainer() {
    FreeClass();
}

void TBeamContainer::FreeClass() {
    freeing_ = true;
    TCluster::FreeClass();
    FSingleBeams.clear();
}

int32_t TBeamContainer::TotalSources() {
    int32_t total = 0;
    for (const TCabinet* cab : CabinetList()) {
        total = CheckedAdd(total, cab->Model()->NSourcePoints());
    }
    FTotalSources = total;
    return total;
}

int32_t TBeamContainer::MaxSingleBeams() {
    return TotalSources() / 4;
}

TSingleBeam* TBeamContainer::AppendSingleBeam(std::unique_ptr<TSingleBeam> Beam) {
    TSingleBeam* beam = Beam.get();
    beam->SetMyBeamContainer(this);
    beam->SetParent(this);
    FSingleBeams.push_back(std::move(Beam));
    return beam;
}

std::unique_ptr<TSingleBeam> TBeamContainer::TakeSingleBeam(TSingleBeam* Beam) {
    const auto it = std::find_if(FSingleBeams.begin(), FSingleBeams.end(),
                                 [Beam](const auto& b) { return b.get() == Beam; });
    if (it == FSingleBeams.end()) {
        return nullptr;
    }
    std::unique_ptr<TSingleBeam> owned = std::move(*it);
    FSingleBeams.erase(it);
    owned->SetMyBeamContainer(nullptr);
    return owned;
}

TSingleBeam* TBeamContainer::AddSingleBeam() {
    if (NSingleBeams() >= MaxSingleBeams()) {
        return nullptr;
    }
    // The cabinets' beam lists, which the workers read, change.
    const TWorkersPause pause(MyAcousticProject());
    // Every cabinet is of the container's model: one check before anything changes.
    for (const TCabinet* cab : CabinetList()) {
        steerableSeparation(*cab->Model());
    }
    TSingleBeam* beam = AppendSingleBeam(std::make_unique<TSingleBeam>(PhysicalSpace(), MyAcousticProject()));
    beam->SetActive(true);
    beam->SetNumberID(NSingleBeams() - 1);
    for (TCabinet* cab : CabinetList()) {
        cab->AddSingleBeam(beam);
        beam->SetFIRTapsPerSource(cab->Model()->FIRTapsPerSource());
        beam->SetBeamProcessType(cab->Model()->BeamProcessType());
        beam->AddCabinetToBeam(cab);
    }
    AssignSourcesOnBeams();
    return beam;
}

void TBeamContainer::AssignSourcesOnBeams() {
    if (CabinetList().empty()) {
        return;
    }
    const TWorkersPause pause(MyAcousticProject());
    const int32_t total = TotalSources();
    std::vector<TSourcePoint*> sources;
    sources.reserve(static_cast<size_t>(total));
    for (const TCabinet* cab : CabinetList()) {
        for (int32_t s = 0; s < cab->Model()->NSourcePoints(); ++s) {
            sources.push_back(At(cab->SourcePoints(), s).get());
        }
    }
    const std::vector<int32_t> counts = BeamSourceCounts(total, NSingleBeams());
    size_t next = 0;
    for (size_t l = 0; l < FSingleBeams.size(); ++l) {
        const size_t n = static_cast<size_t>(counts[l]);
        FSingleBeams[l]->AssignSources(
            std::vector<TSourcePoint*>(sources.begin() + static_cast<ptrdiff_t>(next),
                                       sources.begin() + static_cast<ptrdiff_t>(next + n)));
        next += n;
    }
    // Without a beam the column radiates unsteered: no source stays switched off by a beam that
    // is gone.
    if (FSingleBeams.empty()) {
        for (TSourcePoint* s : sources) {
            s->SetActive(true);
        }
    }
    CalcBeamEmisionPoints();
}

void TBeamContainer::CalcBeamEmisionPoints() {
    // The sources' switches follow their beams, and the filters are designed again: workers read both.
    const TWorkersPause pause(MyAcousticProject());
    for (const auto& beam : FSingleBeams) {
        TBoundingBox box;
        bool any = false;
        for (TSourcePoint* s : beam->pSourcePoints()) {
            if (s == nullptr || s->MyCabinet() == nullptr) {
                continue;
            }
            const TPoint3D& cab = s->MyCabinet()->Position();
            const TPoint3D p(static_cast<float>(cab.X + s->XmRel()), static_cast<float>(s->YmRel() - cab.Y),
                             static_cast<float>(s->ZmRel() + cab.Z));
            box = any ? box.Include(p) : TBoundingBox::FromPoints(p, p);
            any = true;
            s->SetActive(beam->Active());
        }
        if (any) {
            beam->SetEmisionPoint(box.Center());
        }
        beam->CalcBeamProcess();
        beam->CalcHitPoint();
    }
}

void TBeamContainer::SetQuantityV(int32_t Value) {
    if (Value == QuantityV()) {
        return;
    }
    const TWorkersPause pause(MyAcousticProject());
    const int32_t old = QuantityV();
    TCluster::SetQuantityV(Value);
    if (old < Value) {
        for (TCabinet* cab : CabinetList()) {
            for (const auto& beam : FSingleBeams) {
                if (std::find(cab->SingleBeamList().begin(), cab->SingleBeamList().end(), beam.get()) ==
                    cab->SingleBeamList().end()) {
                    cab->AddSingleBeam(beam.get());
                }
                beam->AddCabinetToBeam(cab);
            }
        }
    }
    AssignSourcesOnBeams();
}

void TBeamContainer::SetFIRTapsPerSource(int32_t Value) {
    FFIRTapsPerSource = Value;
    for (const auto& beam : FSingleBeams) {
        beam->SetFIRTapsPerSource(Value);
    }
}

void TBeamContainer::MatrixChanged() {
    TCluster::MatrixChanged();
    if (!freeing_) {
        CalcBeamEmisionPoints();
    }
}

} // namespace vendrel
