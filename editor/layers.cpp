#include "editor/layers.h"

#include "acoustics/project.h"
#include "editor/editor.h"
#include "platform/core/numeric.h"
#include "scene/scene_object.h"

#include <algorithm>
#include <cmath>
#include <string>

namespace vendrel {

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
