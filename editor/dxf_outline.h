#pragma once
// The reference outline of a DXF drawing: the drawing's lines shown in red in the 3D view, scaled to
// metres by the drawing's unit setting. The outline is drawing only: it is not selectable, not part of
// the project, not saved, and stays on screen through opening and clearing projects until another
// drawing is read.

#include "scene/scene_object.h"

#include <cstdint>
#include <string>
#include <vector>

namespace vendrel {

class TDxfFile;
class TDummy;
class TViewport3D;

// Metres per drawing unit for the drawing's "$INSUNITS" code; 1 for a code outside 0..20.
float DxfUnitScale(int32_t Code);

// The LINE entities of the drawing's entities section, in order, in scene coordinates: the drawing's
// y and z swapped (its height axis becomes the scene's vertical one), each coordinate taken in single
// precision and scaled to metres. Other entities, and entities of block definitions, add nothing.
std::vector<TQzLine3D> DxfOutlineLines(const TDxfFile& Drawing);

class TDxfOutline {
public:
    // Draws into Viewport (not owned; it owns the outline's drawing node).
    explicit TDxfOutline(TViewport3D& Viewport);
    ~TDxfOutline();
    TDxfOutline(const TDxfOutline&) = delete;
    TDxfOutline& operator=(const TDxfOutline&) = delete;

    // The outline of the last drawing read.
    std::vector<TQzLine3D> Lines3DList;
    // The node whose drawing shows the outline, at the scene origin.
    TDummy* DummyDxf = nullptr;

    // "open dxf": asks for a drawing and shows its outline. A cancelled dialog or a missing file keeps
    // the outline; a file that cannot be read is reported and keeps it too. A drawing read only in
    // part shows the lines read.
    void dxfButtonClick();
    // Reads FileName into the outline; false (with the reason) when it cannot be read at all.
    bool LoadDrawing(const std::string& FileName, std::string& Error);

    // The message for a drawing that cannot be read.
    static std::string ReadErrorText(const std::string& FileName, const std::string& Reason);

private:
    TViewport3D& viewport_;
};

} // namespace vendrel
