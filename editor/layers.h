#pragma once
// The layer model: the ordered list of layers (position i holds the layer numbered i), the base layer
// "Layer 0 (Global)", the active layer, the colours of new layers and the states of the layer commands.
// The base layer always exists and is never renamed or removed.

#include "editor/ui_values.h"
#include "platform/core/bitmap.h"
#include "scene/color_helpers.h" // HSLtoRGB

#include <array>
#include <cstdint>
#include <vector>

namespace vendrel {

class TEditor;
class TQzLayer;

using TColorArray = std::array<TAlphaColor, 10>;

// Fills Qty colours (at most 10) of hue i / Qty, saturation 1 and the given luminance; entry 3 instead
// gets saturation 0.5 and luminance - 0.1.
void CreateColors(int32_t Qty, float Luminance, TColorArray& ArrayOfColors);

class TLayers {
public:
    explicit TLayers(TEditor& Editor);
    ~TLayers();
    TLayers(const TLayers&) = delete;
    TLayers& operator=(const TLayers&) = delete;

    std::vector<TQzLayer*> LayerList; // owned; freed with the editor
    TQzLayer* GlobalLayer = nullptr;
    TQzLayer* SelectedLayer = nullptr;
    TQzLayer* LastEditedLayer = nullptr;
    TColorArray DefaultLayerColors{};
    uint8_t NewLayerColorID = 0;

    TUIAction NewLayerAction{"Add New Layer", "Ctrl+L"};
    TUIAction CreateAndAssignLayerAction{"Add New Layer and Change on Selection", "Ctrl+K"};
    TUIAction MoveToLayerAction{"Change Selection to Layer"};
    TUIAction DeleteLayerAction{"Delete Active Layer"};
    TUIAction ChangeLayerNameAction{"Change Layer Name"};
    TUIAction MoveToLayerMenuItem{"Change selection to Layer"};
    TUIAction MoveToLayerMenuMain{"Change Selection to Layer"};

    // A new layer numbered and named after its position, with the next default colour, appended.
    TQzLayer* AddLayer();
    // The base layer: "Layer 0 (Global)", number 0, colour $FFFF00FF, made the active layer.
    void CreateBaseLayer();
    // Change notification of the layer list: project modified, command states.
    void LayerListNotify();
    // The selection changed: the commands that move the selection into a layer follow.
    void SelectionChanged();

private:
    TEditor& ed_;
};

} // namespace vendrel
