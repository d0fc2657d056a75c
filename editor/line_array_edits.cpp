#include "editor/line_array_edits.h"

#include "acoustics/array_mechanics.h"
#include "acoustics/cab_model.h"
#include "acoustics/cabinet.h"
#include "acoustics/line_array.h"
#include "acoustics/physical_space.h"
#include "acoustics/project.h"
#include "acoustics/rigging_frame.h"
#include "dsp/complex.h"
#include "platform/core/message_box.h"

#include <algorithm>
#include <cinttypes>
#include <cstdio>

namespace vendrel {

namespace {

// The element the cabinet hangs from (or stands on): its joint's parent.
const TControl3D* elementAbove(const TCabinet& cabinet) {
    const TControl3D* joint = cabinet.Parent();
    return joint != nullptr ? joint->Parent() : nullptr;
}

// The number in its shortest general form, up to 15 significant digits.
std::string general(double v) {
    char buf[40];
    std::snprintf(buf, sizeof buf, "%.15g", v);
    return buf;
}

} // namespace

// ---------------------------------------------------------------------------------------------------
// A cabinet's row

std::vector<double> SplayChoices(const TCabinet& Cabinet, TArrayMounting Mounting) {
    const TCabModel* m = Cabinet.Model();
    const TControl3D* above = elementAbove(Cabinet);
    if (m == nullptr || above == nullptr) {
        return {};
    }
    const bool flown = Mounting == TArrayMounting::qzaFlown;
    const bool stacked = Mounting == TArrayMounting::qzaStacked;
    const bool hcluster = Mounting == TArrayMounting::qzaHorizCluster;
    if (const auto* frame = dynamic_cast<const TRiggingFrame*>(above)) {
        const TRigFrameModel* fm = frame->Model();
        if (fm != nullptr && ((flown && fm->IsForTopHatDown()) || (stacked && fm->IsForTopHatUp()))) {
            return m->AllowedAnglesBotFlange();
        }
    }
    if (dynamic_cast<const TRiggingFrame*>(above) != nullptr ||
        dynamic_cast<const TQzDummy*>(above) != nullptr) {
        if (flown) {
            return m->AllowedAnglesFirstCabFlown();
        }
        if (stacked) {
            return m->AllowedAnglesFirstCabStack();
        }
        if (hcluster) {
            return m->AllowedAnglesFirstCabHCluster();
        }
        return {};
    }
    if (dynamic_cast<const TCabinet*>(above) != nullptr) {
        if (flown) {
            return m->AllowedAnglesFlown();
        }
        if (stacked) {
            return m->AllowedAnglesStack();
        }
        if (hcluster) {
            return m->AllowedAnglesHCluster();
        }
    }
    return {};
}

std::string SplayChoiceText(double Angle, char DecimalSeparator) {
    std::string text = general(Angle);
    std::replace(text.begin(), text.end(), '.', DecimalSeparator);
    return text;
}

int SplayChoiceIndex(const TCabinet& Cabinet, TArrayMounting Mounting, const std::vector<double>& Choices) {
    const float a = static_cast<float>(WrapDegrees180(Cabinet.RotationAngle().Z));
    const float sign = Mounting == TArrayMounting::qzaStacked ? -1.0f : 1.0f;
    for (size_t i = 0; i < Choices.size(); ++i) {
        if (a == sign * static_cast<float>(Choices[i])) {
            return static_cast<int>(i);
        }
    }
    return -1;
}

int ShowCabinetSplay(TCabinet& Cabinet, TArrayMounting Mounting) {
    const std::vector<double> choices = SplayChoices(Cabinet, Mounting);
    const int index = SplayChoiceIndex(Cabinet, Mounting, choices);
    if (index >= 0) {
        return index;
    }
    if (!choices.empty()) {
        if (Mounting == TArrayMounting::qzaFlown) {
            Cabinet.SetRotationAngleZ(static_cast<float>(choices.front()));
        } else if (Mounting == TArrayMounting::qzaStacked) {
            Cabinet.SetRotationAngleZ(static_cast<float>(-choices.front()));
        }
    }
    return 0;
}

bool ChooseCabinetSplay(TCabinet& Cabinet, TArrayMounting Mounting, double Angle) {
    const float v = static_cast<float>(Mounting == TArrayMounting::qzaStacked ? -Angle : Angle);
    if (Cabinet.RotationAngle().Z == v) {
        return false;
    }
    Cabinet.SetRotationAngleZ(v);
    return true;
}

void UpdateDirections(TCabArray& Array, const TCabinet& Cabinet) {
    const auto& cabinets = Array.CabinetList();
    const auto from = std::find(cabinets.begin(), cabinets.end(), &Cabinet);
    if (from == cabinets.end()) {
        return;
    }
    for (auto it = from; it != cabinets.end(); ++it) {
        const TCabDirection previous =
            it == cabinets.begin() ? TCabDirection::qzaNormalDir : (*(it - 1))->CabDirection();
        if (TControl3D* joint = (*it)->Parent()) {
            joint->SetRotationAngleY((*it)->CabDirection() != previous ? 180.0f : 0.0f);
        }
    }
    Array.SetPositionsInsideArray();
}

void InvertCabinetDirection(TCabArray& Array, TCabinet& Cabinet, bool Inverted) {
    Cabinet.SetCabDirection(Inverted ? TCabDirection::qzaInvertedDir : TCabDirection::qzaNormalDir);
    UpdateDirections(Array, Cabinet);
}

void SetArrayCabinetActive(TCabArray& Array, TCabinet& Cabinet, bool Active) {
    if (Active) {
        Array.SetActive(true);
    }
    Cabinet.SetActive(Active);
}

// ---------------------------------------------------------------------------------------------------
// The array's panel

void ToggleArrayActive(TCabArray& Array) {
    Array.SetActive(!Array.Active());
    for (TCabinet* cab : Array.CabinetList()) {
        cab->SetActive(Array.Active());
    }
}

void SetArrayTilt(TCabArray& Array, double Degrees) {
    Array.SetTilt(std::clamp(Degrees, -90.0, 90.0));
}

void SetArrayDirection(TCabArray& Array, double Degrees) {
    Array.SetRotationAngle({0.0f, 0.0f, 0.0f});
    Array.SetRotationAngleY(static_cast<float>(-Degrees));
}

void SetArrayShownPosition(TCabArray& Array, double X, double Y, double Z) {
    Array.SetPosition({static_cast<float>(X), static_cast<float>(-Z), static_cast<float>(Y)});
}

std::string ArrayWarningText(const TMechanicalData& Data) {
    std::string text;
    if (Data.GravityCenterOutOfRange) {
        text = "Gravity Center is out of range! ";
    }
    if (Data.WeightExceded) {
        text += "Maximum weight is exceeded.";
    }
    return text;
}

std::string CheckArrayWarnings(TCabArray& Array, const std::string& Previous, bool ShowMsg) {
    Array.RecalcMechanics();
    const std::string text = ArrayWarningText(Array.MechanicalData());
    if (ShowMsg && Previous.empty() && !text.empty()) {
        MessageBoxService().MessageDlg(text, TMsgDlgType::mtWarning, {TMsgDlgBtn::mbOK});
    }
    return text;
}

TCabinet* ArrayAddAnotherCabinet(TAcousticProject& Project, TCabArray& Array) {
    if (Array.CabinetList().empty()) {
        return nullptr;
    }
    TCabModel* m = Array.CabinetList().back()->Model();
    if (m == nullptr) {
        return nullptr;
    }
    const bool saved = Project.DontCalcMICS();
    Project.SetDontCalcMICS(true);
    int32_t maximum = -1;
    if (Array.MountingType() == TArrayMounting::qzaFlown) {
        maximum = m->MaxSupCabsFlown();
    } else if (Array.MountingType() == TArrayMounting::qzaStacked) {
        maximum = m->MaxSupCabsStacked();
    }
    if (maximum >= 0 && Array.NCabinets() >= maximum) {
        MessageBoxService().ShowMessage("The maximum quantity allowed for this Model is " +
                                        std::to_string(maximum));
        Project.SetDontCalcMICS(saved);
        return nullptr;
    }
    Project.CheckMemoryForNCabinets(Project.PhysicalSpace()->PixelToMeters(), Project.TotalCabinets() + 1);
    TCabinet* cab = Array.AddCabinet(m, true);
    Array.SetPositionsInsideArray();
    cab->SetMyLayer(Array.MyLayer());
    cab->TQzControl3D::SetIsObjectSelected(Array.IsObjectSelected());
    Project.SetDontCalcMICS(saved);
    Project.ReCalculateAllMics();
    return cab;
}

bool RemoveLastArrayCabinet(TAcousticProject& Project, TCabArray& Array) {
    if (Array.NCabinets() <= 1) {
        return false;
    }
    Project.RemoveCabinetFromArray(Array.CabinetList().back(), &Array);
    return true;
}

std::vector<std::string> ArrayReportLines(const TCabArray& Array) {
    std::vector<std::string> lines;
    const TPoint3D p = Array.Position();
    lines.push_back("Array " + std::to_string(Array.NumberID()) + " REPORT  :   pos X:" + general(p.X) +
                    " Y:" + general(p.Y) + " Z:" + general(p.Z));
    char pointer[32];
    std::snprintf(pointer, sizeof pointer, "Pointer: $%08" PRIX32,
                  static_cast<uint32_t>(reinterpret_cast<uintptr_t>(&Array)));
    lines.emplace_back(pointer);
    lines.emplace_back(51, '-');
    const auto& list = Array.ArrayList();
    for (size_t i = 1; i < list.size(); ++i) {
        const TControl3D* e = list[i];
        const char* name = dynamic_cast<const TRiggingFrame*>(e) != nullptr ? "TRiggingFrame"
                           : dynamic_cast<const TCabinet*>(e) != nullptr    ? "TCabinet"
                           : dynamic_cast<const TQzDummy*>(e) != nullptr    ? "TQzDummy"
                                                                            : nullptr;
        if (name == nullptr) {
            continue;
        }
        const std::string n = std::to_string(i);
        const TPoint3D q = e->Position();
        lines.push_back(n + ": " + name);
        lines.push_back(n + ": pos X : " + general(q.X));
        lines.push_back(n + ": pos Y : " + general(q.Y));
        lines.push_back(n + ": pos Z : " + general(q.Z));
        lines.emplace_back("|");
    }
    return lines;
}

} // namespace vendrel
