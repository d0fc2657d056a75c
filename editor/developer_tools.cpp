#include "editor/developer_tools.h"

#include "acoustics/physical_space.h"
#include "acoustics/project.h"
#include "editor/editor.h"
#include "editor/preferences.h"
#include "platform/core/camera.h"
#include "platform/core/system_helpers.h"
#include "platform/core/worker_thread.h"

#include <cstdio>

namespace vendrel {

namespace {

const char* trueFalse(bool Value) {
    return Value ? "True" : "False";
}

} // namespace

TDeveloperTools::TDeveloperTools(TEditor& Editor) : ed_(Editor) {}

std::string TDeveloperTools::number(double Value) const {
    char buf[64];
    std::snprintf(buf, sizeof buf, "%.15g", Value);
    std::string text(buf);
    for (char& c : text) {
        if (c == '.') {
            c = ed_.State.FormatSettings.DecimalSeparator;
        }
    }
    return text;
}

void TDeveloperTools::showLines(const std::vector<std::string>& Lines) {
    std::string text;
    for (size_t i = 0; i < Lines.size(); ++i) {
        text += (i > 0 ? "\n" : "") + Lines[i];
    }
    Memo.SetText(text);
}

void TDeveloperTools::RemoveButtonClick() {
    ed_.Removal.RemoveSelectedObjects();
}

void TDeveloperTools::TrimMemoryButtonClick() {
    TrimWorkingSet(ed_.Project.Dispatcher());
}

void TDeveloperTools::ExecuteAllMapsThreadButtonClick() {
    ed_.Project.SetAllMapsState(TCalcState::qzaNeedsCalculate);
    ed_.Project.ExecuteAllMapsThread();
}

std::vector<std::string> TDeveloperTools::MappingFlagsLines() const {
    TAcousticProject& p = ed_.Project;
    return {std::string("ContinuousRender: ") + trueFalse(p.ContinuousRender()),
            std::string("EventsEnabled: ") + trueFalse(p.EventsEnabled()),
            std::string("DontSumAllMaps: ") + trueFalse(p.DontSumAllMaps()),
            std::string("ForceCalculation: ") + trueFalse(p.ForceCalculation()),
            std::string("FAllMapsThread.Active: ") + trueFalse(p.AllMapsThread().Active())};
}

void TDeveloperTools::GetMappingFlagsButtonClick() {
    showLines(MappingFlagsLines());
}

std::vector<std::string> TDeveloperTools::MemoryLines(const TMemoryFigures& F) const {
    return {"Calculo de maps: " + number(F.MapsMB) + " MB",
            "",
            "GetMemoryUsage : " + number(F.ProcessMB) + " MB",
            "PixelToMeters : " + number(ed_.PhysicalSpace.PixelToMeters()),
            "",
            "Memory install: " + number(F.InstalledMB),
            "Total Available: " + number(ed_.Project.MemAvailable()),
            "Available to Use: " + number(F.MaxMemoryToUseMB)};
}

void TDeveloperTools::CalcMemUsedButtonClick(const TMemoryFigures& Figures) {
    showLines(MemoryLines(Figures));
}

void TDeveloperTools::ReadButtonClick() {
    const TCamera* camera = ed_.Views.ActiveCamera();
    const TEditorState& st = ed_.State;
    const double angle = camera != nullptr ? camera->AngleOfView() : 0.0;
    const double rotationX = camera != nullptr ? camera->RotationAngle().X : 0.0;
    showLines({"Angle Of View : " + number(angle), "Camera Z : " + number(-st.ZoomOut / st.PerspectiveCoeff),
               "ZoomOut : " + number(st.ZoomOut), "RotationAngle X : " + number(rotationX)});
}

void TDeveloperTools::SelectLanguage(const std::string& Code) {
    LanguageCombo.SetItemIndex(LanguageCombo.IndexOf(Code));
}

} // namespace vendrel
