#include "editor/mechanics_memo.h"

#include "acoustics/array_mechanics.h"
#include "acoustics/cab_model.h"
#include "acoustics/cabinet.h"
#include "acoustics/line_array.h"
#include "acoustics/rigging_frame.h"
#include "editor/units.h"

namespace vendrel {

namespace {

const std::string kNarrow = "\t= ";
const std::string kWide = "\t\t= ";
const std::string kRule(72, '_');
const std::string kDegree = "\u00BA";

// Fixed-point figures as the memo prints them, in the units shown.
struct Printer {
    const TUnits& Units;
    const TFormatSettings& Format;

    std::string num(const char* Pattern, double Value) const {
        return FormatFloatPattern(Pattern, Value, Format);
    }
    std::string len(double Metres) const {
        return num("0.00", Metres * Units.LengthUnits) + " " + Units.LengthUnitText;
    }
    std::string mass(double Kilograms) const {
        return num("0.0", Kilograms * Units.MassUnits) + " " + Units.MassUnitText;
    }
    std::string deg(const char* Pattern, double Degrees) const { return num(Pattern, Degrees) + kDegree; }
};

// The pick points the array flies from and the loads on them. A stack stands on its frame and flies
// from none; a hang (or a stack) that cannot hold its centre of gravity gets the range line alone.
void pickPointBlock(const TMechanicalData& d, const Printer& p, TMechanicsMemo& m) {
    std::vector<std::string>& out = m.Lines;
    if (d.GravityCenterOutOfRange) {
        out.push_back("     Center of Gravity is out of range!!!");
        return;
    }
    if (d.Stacked || d.FlyingPoint < 1) {
        return;
    }
    const TAdapterTexts adapters = AdapterTexts(d);
    if (d.NMotors == 1) {
        m.FlyPointLabelVisible = true;
        if (adapters.OneAdapter) {
            out.push_back("     Fly with adapter in position" + kNarrow + adapters.Position);
            out.push_back("     Adapter fixed at Rigging Points" + kNarrow + adapters.RigPoints);
            m.FlyPointLabel = adapters.PointLabel;
        } else {
            out.push_back("     Fly from Rigging Point" + kNarrow + std::to_string(d.FlyingPoint));
            out.push_back("     Load on Rigging Point" + kNarrow + p.mass(d.TotalWeight));
            m.FlyPointLabel = std::to_string(d.FlyingPoint);
        }
        return;
    }
    if (adapters.TwoAdapters) {
        m.FrontPointLabel = adapters.FrontRigPoints;
        m.FlyPointLabel = adapters.RearRigPoints;
        out.push_back("     Fly with Adapters:");
        out.push_back("         Front Adapter with hole on right" + kNarrow +
                      "rig Points: " + m.FrontPointLabel);
        out.push_back("         Rear Adapter with hole on left" + kNarrow + "rig Points: " + m.FlyPointLabel);
    } else {
        m.FrontPointLabel = "1";
        m.FlyPointLabel = std::to_string(d.NPickPoints);
        out.push_back("     Fly from Rigging Points:");
        out.push_back("          Front Point" + kNarrow + m.FrontPointLabel);
        out.push_back("          Rear Point" + kNarrow + m.FlyPointLabel);
    }
    out.push_back("");
    out.push_back("     Load on Front Pickup" + kNarrow + p.mass(d.FrontPickupLoad));
    out.push_back("     Load on Rear Pickup" + kNarrow + p.mass(d.RearPickupLoad));
    m.FlyPointLabelVisible = true;
    m.FrontPointLabelVisible = true;
}

void elementLines(const TMechanicsMemoInput& In, const Printer& p, std::vector<std::string>& out) {
    int n = 0;
    for (const TMechanicsMemoElement& e : In.Elements) {
        ++n;
        const std::string head = "    " + std::to_string(n) + kNarrow;
        switch (e.Kind) {
        case TMechanicsMemoElement::TKind::Cabinet:
            out.push_back(head + "Cabinet " + std::to_string(e.CabinetPosID) + ":   " + e.ModelName + "\t" +
                          "  |  Ang: " + p.deg("0.0", -e.RelativeAngle) +
                          "  |  Abs: " + p.deg("0.0", -e.AbsoluteAngle));
            break;
        case TMechanicsMemoElement::TKind::Frame:
        case TMechanicsMemoElement::TKind::Adapter:
            out.push_back(head + (e.Kind == TMechanicsMemoElement::TKind::Frame ? "Frame " : "Adapter ") +
                          ":   " + e.ModelName + "\t" +
                          "  |  Absolute angle: " + p.deg("0.0", -e.AbsoluteAngle));
            break;
        case TMechanicsMemoElement::TKind::Counted:
            break;
        }
    }
}

} // namespace

TMechanicsMemoInput MechanicsMemoInputOf(const TCabArray& Array) {
    TMechanicsMemoInput in;
    in.Data = &Array.MechanicalData();
    in.FrameTilt = Array.Tilt();
    if (const auto* frame = dynamic_cast<const TRiggingFrame*>(in.Data->RigFrame);
        frame != nullptr && frame->Model() != nullptr) {
        in.FrameLength = frame->Model()->Width();
        in.FrameWeight = frame->Model()->Weight();
    }
    const std::vector<TControl3D*>& list = Array.ArrayList();
    for (size_t k = 1; k < list.size(); ++k) {
        TMechanicsMemoElement e;
        if (const auto* cabinet = dynamic_cast<const TCabinet*>(list[k])) {
            e.Kind = TMechanicsMemoElement::TKind::Cabinet;
            e.CabinetPosID = cabinet->ArrayCabinetPosID();
            e.ModelName = cabinet->Model() != nullptr ? cabinet->Model()->ModelName() : std::string();
            e.RelativeAngle = cabinet->RotationAngle().Z;
            e.AbsoluteAngle = cabinet->AbsoluteRotationZ();
        } else if (const auto* frame = dynamic_cast<const TRiggingFrame*>(list[k])) {
            if (k == 1) {
                e.Kind = TMechanicsMemoElement::TKind::Frame;
            } else if (dynamic_cast<const TCabinet*>(list[k - 1]) != nullptr) {
                e.Kind = TMechanicsMemoElement::TKind::Adapter;
            } else {
                e.Kind = TMechanicsMemoElement::TKind::Counted;
            }
            e.ModelName = frame->Model() != nullptr ? frame->Model()->ModelName() : std::string();
            e.AbsoluteAngle = frame->AbsoluteRotationZ();
        } else {
            continue; // spacers and other entries are not listed and take no number
        }
        in.Elements.push_back(std::move(e));
    }
    return in;
}

TMechanicsMemo MechanicsMemo(const TMechanicsMemoInput& In, const TUnits& Units,
                             const TFormatSettings& Format) {
    TMechanicsMemo m;
    if (In.Data == nullptr) {
        return m;
    }
    const TMechanicalData& d = *In.Data;
    const Printer p{Units, Format};
    std::vector<std::string>& out = m.Lines;

    if (d.WeightExceded) {
        m.Warnings.push_back(
            "The maximum weight supported by the rigging frame has been exceeded. You must reduce the "
            "number of cabinets.");
    }
    if (d.GravityCenterOutOfRange) {
        m.Warnings.push_back("Gravity Center is out of range. The Array will go down");
    }

    out.push_back("  Cluster Name" + kWide + " XXXXXXXX");
    out.push_back("  Cluster Top Origin" + kNarrow + p.len(d.ElevationOrigin));
    if (d.RigFrameExists) {
        out.push_back("  Array Weight" + kWide + p.mass(d.FrameLoad) +
                      (d.WeightExceded ? " Maximum Exceeded !!!!!!" : ""));
    }
    out.push_back("  Aproximated Cable Weight" + kNarrow + p.mass(d.CableWeight));
    out.push_back("  Total Weight" + kWide + p.mass(d.TotalWeight));

    out.push_back(kRule);
    out.push_back("CLUSTER DIMMENSION");
    out.push_back("     Height" + kNarrow + p.len(d.ClusterHeight));
    out.push_back("     Width" + kNarrow + p.len(d.ClusterWidth));
    out.push_back("     Depth" + kNarrow + p.len(d.ClusterDepth));

    out.push_back(kRule);
    out.push_back("MAXIMUM EXTENT");
    m.TopPointLabel = p.len(d.MostTopPoint);
    m.BottomPointLabel = p.len(d.MostBottomPoint);
    out.push_back("     Most Top Point" + kNarrow + m.TopPointLabel);
    out.push_back("     Most Bottom Point" + kNarrow + m.BottomPointLabel);

    if (d.RigFrameExists) {
        out.push_back(kRule);
        out.push_back(d.Stacked ? "STACKING FRAME" : "RIGGING FRAME");
        out.push_back("     Frame Tilt" + kNarrow + p.deg("0.00", In.FrameTilt));
        out.push_back("     Frame Length" + kNarrow + p.len(In.FrameLength));
        out.push_back("     Frame Weight" + kNarrow + p.mass(In.FrameWeight));
        out.push_back("     Max Supported Weight" + kNarrow + p.mass(d.MaxSupportWeightOnRigging));
        if (d.NPickPoints > 0) {
            out.push_back(kRule);
            out.push_back("PICK POINTS");
            pickPointBlock(d, p, m);
        }
    } else {
        out.push_back(kRule);
        out.push_back("RIGGING FRAME");
        out.push_back("     NO Rigging Frame in the cluster !!!!!");
    }

    out.push_back(kRule);
    out.push_back("CENTER OF GRAVITY");
    out.push_back("     X" + kNarrow + p.len(d.GravityCenter.X));
    out.push_back("     Y" + kNarrow + p.len(d.GravityCenter.Z));
    out.push_back("     Z" + kNarrow + p.len(-d.GravityCenter.Y));

    out.push_back(kRule);
    out.push_back("CLUSTER ELEMENTS");
    elementLines(In, p, out);
    return m;
}

std::string CableWeightPoundsText(double KilogramsPerMetre, const TFormatSettings& Format) {
    return "kg (" + FormatFloatPattern("0.00", KilogramsPerMetre * 2.2046226218487757, Format) + " lbs)";
}

} // namespace vendrel
