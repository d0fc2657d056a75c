#include "editor/layers.h"

#include "acoustics/project.h"
#include "editor/editor.h"
#include "platform/core/numeric.h"
#include "scene/scene_object.h"

#include <algorithm>
#include <cmath>
#include <string>

namespace vendrel {

TAlphaColor HSLtoRGB(float Hue, float Saturation, float Luminance) {
    const double h = Hue;
    const double s = Saturation;
    const double l = Luminance;
    const double c = (1.0 - std::fabs(2.0 * l - 1.0)) * s;
    const double hp = std::fmod(std::max(h, 0.0), 1.0) * 6.0;
    const double x = c * (1.0 - std::fabs(std::fmod(hp, 2.0) - 1.0));
    double r = 0;
    double g = 0;
    double b = 0;
    switch (static_cast<int>(hp)) {
    case 0:
        r = c, g = x;
        break;
    case 1:
        r = x, g = c;
        break;
    case 2:
        g = c, b = x;
        break;
    case 3:
        g = x, b = c;
        break;
    case 4:
        r = x, b = c;
        break;
    default:
        r = c, b = x;
        break;
    }
    const double m = l - c / 2.0;
    const auto channel = [m](double v) {
        return static_cast<uint8_t>(std::clamp(RoundHalfEven<int32_t>((v + m) * 255.0), 0, 255));
    };
    return MakeColor(channel(r), channel(g), channel(b));
}

void CreateColors(int32_t Qty, float Luminance, TColorArray& ArrayOfColors) {
    const int32_t n = std::min<int32_t>(Qty, static_cast<int32_t>(ArrayOfColors.size()));
    if (n <= 0) {
        return;
    }
    const float step = 1.0f / static_cast<float>(Qty);
    for (int32_t i = 0; i < n; ++i) {
        const float hue = static_cast<float>(i) * step;
        ArrayOfColors[static_cast<size_t>(i)] =
            i == 3 ? HSLtoRGB(hue, 0.5f, Luminance - 0.1f) : HSLtoRGB(hue, 1.0f, Luminance);
    }
}

TLayers::TLayers(TEditor& Editor) : ed_(Editor) {
    CreateColors(10, 0.5f, DefaultLayerColors);
    for (TUIAction* a : {&CreateAndAssignLayerAction, &MoveToLayerAction, &DeleteLayerAction,
                         &ChangeLayerNameAction, &MoveToLayerMenuItem, &MoveToLayerMenuMain}) {
        a->SetEnabled(false);
    }
    ChangeLayerNameAction.SetVisible(false);
}

TLayers::~TLayers() {
    for (TQzLayer* layer : LayerList) {
        layer->FreeClass();
    }
}

TQzLayer* TLayers::AddLayer() {
    auto* layer = new TQzLayer();
    const auto number = static_cast<int>(LayerList.size());
    layer->SetNumID(number);
    layer->SetName("Layer " + std::to_string(number));
    layer->Color = DefaultLayerColors[NewLayerColorID];
    NewLayerColorID = static_cast<uint8_t>(NewLayerColorID >= 9 ? 0 : NewLayerColorID + 1);
    LayerList.push_back(layer);
    LayerListNotify();
    layer->MyLayerList = &LayerList;
    return layer;
}

void TLayers::CreateBaseLayer() {
    GlobalLayer = AddLayer();
    GlobalLayer->SetName("Layer 0 (Global)");
    GlobalLayer->SetNumID(0);
    GlobalLayer->Color = 0xFFFF00FF;
    SelectedLayer = GlobalLayer;
    LastEditedLayer = GlobalLayer;
}

void TLayers::LayerListNotify() {
    ed_.Project.SetIsProjectModified(true);
    const bool several = LayerList.size() >= 2;
    const bool selection = !ed_.State.SelectedObjList.IsEmpty();
    DeleteLayerAction.SetEnabled(several);
    ChangeLayerNameAction.SetEnabled(several);
    CreateAndAssignLayerAction.SetEnabled(several && selection);
    MoveToLayerMenuItem.SetEnabled(several && selection);
    MoveToLayerMenuMain.SetEnabled(MoveToLayerMenuItem.Enabled());
}

void TLayers::SelectionChanged() {
    const bool enabled = LayerList.size() >= 2 && !ed_.State.SelectedObjList.IsEmpty();
    MoveToLayerAction.SetEnabled(enabled);
    MoveToLayerMenuItem.SetEnabled(enabled);
    MoveToLayerMenuMain.SetEnabled(enabled);
}

} // namespace vendrel
