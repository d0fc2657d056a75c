#include "editor/dxf_outline.h"

#include "files/dxf_reader.h"
#include "platform/core/context3d.h"
#include "platform/core/file_dialog.h"
#include "platform/core/message_box.h"
#include "platform/core/node3d.h"
#include "platform/core/viewport3d.h"

#include <array>
#include <filesystem>
#include <stdexcept>

namespace vendrel {

namespace {

constexpr TAlphaColor kOutlineColor = 0xFFFF0000;

// Metres per unit, by "$INSUNITS" code.
constexpr std::array<float, 21> kUnitScale = {
    1.0f,            // unitless
    0.0254f,         // inches
    0.3048f,         // feet
    1609.344f,       // miles
    0.001f,          // millimetres
    0.01f,           // centimetres
    1.0f,            // metres
    1000.0f,         // kilometres
    2.54e-8f,        // microinches
    2.54e-5f,        // mils
    0.9144f,         // yards
    1e-10f,          // angstroms
    1e-9f,           // nanometres
    1e-6f,           // micrometres
    0.1f,            // decimetres
    10.0f,           // decametres
    100.0f,          // hectometres
    1e9f,            // gigametres
    1.495978707e11f, // astronomical units
    9.4607e15f,      // light years
    3.0857e16f,      // parsecs
};

TPoint3D scenePoint(const TDxfPoint& p, float scale) {
    return {static_cast<float>(p.x) * scale, static_cast<float>(p.z) * scale,
            static_cast<float>(p.y) * scale};
}

} // namespace

float DxfUnitScale(int32_t Code) {
    return Code >= 0 && Code < static_cast<int32_t>(kUnitScale.size()) ? kUnitScale[static_cast<size_t>(Code)]
                                                                       : 1.0f;
}

std::vector<TQzLine3D> DxfOutlineLines(const TDxfFile& Drawing) {
    const float scale = DxfUnitScale(Drawing.header.Base.DefaultUnits);
    std::vector<TQzLine3D> lines;
    for (const auto& entity : Drawing.entities) {
        if (entity == nullptr || entity->EntityType != "LINE") {
            continue;
        }
        const auto* line = dynamic_cast<const TDxfLine*>(entity.get());
        if (line == nullptr) {
            continue;
        }
        lines.push_back({scenePoint(line->StartPoint, scale), scenePoint(line->EndPoint, scale)});
    }
    return lines;
}

TDxfOutline::TDxfOutline(TViewport3D& Viewport) : viewport_(Viewport) {
    DummyDxf = new TDummy(&viewport_);
    DummyDxf->SetParent(&viewport_);
    DummyDxf->SetWidth(1);
    DummyDxf->SetHeight(1);
    DummyDxf->SetDepth(1);
    DummyDxf->HitTest = false;
    // A dummy draws nothing of its own; it stays shown so that its drawing event runs.
    DummyDxf->OnRender = [this](TControl3D*, TContext3D& Context) {
        for (const TQzLine3D& line : Lines3DList) {
            Context.DrawLine(line.StartPoint, line.EndPoint, 1.0f, kOutlineColor);
        }
    };
}

TDxfOutline::~TDxfOutline() {
    // The node stays in the view, which outlives the outline: it draws nothing more.
    DummyDxf->OnRender = nullptr;
}

std::string TDxfOutline::ReadErrorText(const std::string& FileName, const std::string& Reason) {
    return "The drawing \"" + std::filesystem::path(FileName).filename().string() +
           "\" cannot be read: " + Reason;
}

bool TDxfOutline::LoadDrawing(const std::string& FileName, std::string& Error) {
    TDxfFile drawing;
    try {
        LoadDxfFile(FileName, drawing);
    } catch (const std::exception& e) {
        Error = e.what();
        return false;
    }
    Lines3DList = DxfOutlineLines(drawing);
    DummyDxf->Repaint();
    return true;
}

void TDxfOutline::dxfButtonClick() {
    TFileDialogRequest request;
    const std::optional<std::string> file = FileDialogService().Execute(request);
    std::error_code ec;
    if (!file || !std::filesystem::exists(*file, ec)) {
        return;
    }
    std::string error;
    if (!LoadDrawing(*file, error)) {
        MessageBoxService().ShowMessage(ReadErrorText(*file, error));
    }
}

} // namespace vendrel
