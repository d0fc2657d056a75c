#pragma once
// The developer tab's tools: the lines its memo shows for the calculation flags, the memory figures and
// the camera, and its language selector. The tab is shown only in the developer mode of the settings.

#include "editor/ui_values.h"

#include <string>
#include <vector>

namespace vendrel {

class TEditor;
struct TMemoryFigures;

class TDeveloperTools {
public:
    // The editor is not owned and outlives the tools.
    explicit TDeveloperTools(TEditor& Editor);

    // The memo's lines.
    TUIText Memo;
    // The language codes of the window's translation table; none is applied.
    TUIChoice LanguageCombo{{"en", "es", "cn"}, -1};

    // "Remove": the selected, unlocked objects go.
    void RemoveButtonClick();
    // "Optimizar memoria": the process gives back the memory it does not use.
    void TrimMemoryButtonClick();
    // "ExecuteAllMapsThread": every map summed again.
    void ExecuteAllMapsThreadButtonClick();
    // "Get Mapping Flags": the calculation flags, one per line.
    void GetMappingFlagsButtonClick();
    // "Calc Mem Used": the memory figures, refreshed (MapsMB at the current pixel size).
    void CalcMemUsedButtonClick(const TMemoryFigures& Figures);
    // "Read": the current camera.
    void ReadButtonClick();
    // The stored language code selects its item (none when it is not one of them).
    void SelectLanguage(const std::string& Code);

    // The lines of the two reports, for the memo.
    std::vector<std::string> MappingFlagsLines() const;
    std::vector<std::string> MemoryLines(const TMemoryFigures& Figures) const;

private:
    void showLines(const std::vector<std::string>& Lines);
    std::string number(double Value) const;

    TEditor& ed_;
};

} // namespace vendrel
