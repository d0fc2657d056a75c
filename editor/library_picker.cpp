#include "editor/library_picker.h"

#include "acoustics/cab_model.h"
#include "acoustics/model_registry.h"
#include "acoustics/ornament.h"
#include "acoustics/project.h"
#include "editor/editor.h"
#include "editor/zone_pictures.h"
#include "files/library_scan.h"
#include "platform/core/edit_helpers.h"
#include "platform/core/mesh.h"
#include "scene/cone_marker.h"

namespace vendrel {

namespace {

// Width, height and depth in metres, two decimals, one per line.
std::string sizesDetail(double w, double h, double d, const TFormatSettings& fs) {
    return "Width: " + FormatFloatPattern("0.00", w, fs) + " meters" + "\r\n" +
           "Height: " + FormatFloatPattern("0.00", h, fs) + " meters" + "\r\n" +
           "Depth: " + FormatFloatPattern("0.00", d, fs) + " meters";
}

} // namespace

TLibraryPicker::TLibraryPicker(TEditor& Editor) : ed_(Editor) {
    OpenLibOrnamentAction.Hint = "Insert an Ornamental Object";
    OpenLibOrnamentAction.SetEnabled(false);
    OpenLibOrnamentAction.OnExecute = [this] { OpenLibOrnamentActionExecute(); };
}

void TLibraryPicker::OpenLibOrnamentActionExecute() {
    if (ed_.Adding.IsInsertigInViewPort3D()) {
        ed_.Adding.EndInsertionInViewPort3D();
    }
    Mode = TLibraryPickerMode::Ornament;
    FormShow();
    if (OnShowWindow) {
        OnShowWindow();
    }
    ed_.State.LeftMouseMode = TLeftMouseMode::lmmDefault;
}

void TLibraryPicker::FormShow() {
    OkButtonEnabled = false;
    Items.clear();
    ItemIndex = -1;
    Name.clear();
    switch (Mode) {
    case TLibraryPickerMode::Texture:
        fillTextures();
        break;
    case TLibraryPickerMode::Ornament:
        fillOrnaments();
        break;
    case TLibraryPickerMode::BeamSteering:
        fillBeamSteering();
        break;
    case TLibraryPickerMode::SoundSystem:
        fillSoundSystems();
        break;
    }
}

void TLibraryPicker::fillTextures() {
    Caption = "Select Texture from Library";
    ButtonText = "OK";
    if (ed_.Library == nullptr) {
        return;
    }
    const auto& names = ed_.Library->TexturesList;
    for (size_t i = 0; i < names.size(); ++i) {
        TLibraryPickerItem item;
        item.Text = names[i];
        item.Tag = static_cast<int32_t>(i);
        item.Height = 220;
        // A texture that no longer decodes is listed without its picture.
        item.Picture = ReadPicture(ed_.Library->LibraryFolder("Textures") / names[i]);
        if (item.Picture) {
            item.Detail = "Width: " + std::to_string(item.Picture->Width()) + " px" + "\r\n" +
                          "Height: " + std::to_string(item.Picture->Height()) + " px";
        }
        Items.push_back(std::move(item));
    }
}

void TLibraryPicker::fillOrnaments() {
    Caption = "Select Ornament from Library";
    ButtonText = "Close";
    OkButtonEnabled = true;
    ViewportVisible = false;
    const TOrnasDetected* models = ed_.Project.OrnasDetected();
    if (models == nullptr) {
        return;
    }
    for (int32_t i = 0; i < models->NOrnasDetected(); ++i) {
        const TOrnaModel& model = *models->OrnamentModel(i);
        TLibraryPickerItem item;
        item.Text = model.ModelName();
        item.Tag = i;
        item.Height = 120;
        item.Detail = sizesDetail(model.Width(), model.Height(), model.Depth(), ed_.State.FormatSettings);
        const auto id = static_cast<size_t>(model.ModelID());
        if (RenderOrnamentPicture && ed_.Library != nullptr &&
            id < ed_.Library->FOrnaments3DImported.size() &&
            ed_.Library->FOrnaments3DImported[id] != nullptr) {
            TMaterialSource* material = id < ed_.Library->FOrnamentsMaterials.size()
                                            ? ed_.Library->FOrnamentsMaterials[id].get()
                                            : nullptr;
            item.Picture = RenderOrnamentPicture(
                *ed_.Library->FOrnaments3DImported[id], material, static_cast<float>(model.Width()),
                static_cast<float>(model.Height()), static_cast<float>(model.Depth()));
        }
        Items.push_back(std::move(item));
    }
}

void TLibraryPicker::fillBeamSteering() {
    Caption = "Select a Model to apply Beam Steering";
    ButtonText = "Insert";
    OkButtonEnabled = true;
    SelectedBeamStModelID = -1;
    ViewportVisible = false;
    const TModelsDetected* models = ed_.Project.ModelsDetected();
    if (models == nullptr) {
        return;
    }
    for (const auto& m : models->CabModel()) {
        if (m == nullptr || !m->AllowsBeamSteering()) {
            continue;
        }
        TLibraryPickerItem item;
        item.Text = m->ModelName();
        item.Tag = m->ModelID();
        item.Height = 120;
        item.Detail = sizesDetail(m->Width(), m->Height(), m->Depth(), ed_.State.FormatSettings);
        const auto id = static_cast<size_t>(m->ModelID());
        if (m->HasModelPicture() && ed_.Library != nullptr && id < ed_.Library->FCabImagesImported.size()) {
            item.Picture = ed_.Library->FCabImagesImported[id];
        }
        Items.push_back(std::move(item));
    }
}

void TLibraryPicker::fillSoundSystems() {
    Caption = "Select Sound System from Library";
    ButtonText = "Insert";
    OkButtonEnabled = true;
    if (ed_.Library == nullptr) {
        return;
    }
    const TModelLibrary& lib = *ed_.Library;
    for (size_t i = 0; i < lib.SoundSystemsList.size(); ++i) {
        TLibraryPickerItem item;
        item.Text = i < lib.FSystemNameImported.size() ? lib.FSystemNameImported[i] : lib.SoundSystemsList[i];
        item.Tag = static_cast<int32_t>(i);
        item.Height = 220;
        if (i < lib.FSystemImgImported.size()) {
            item.Picture = lib.FSystemImgImported[i];
        }
        item.Detail = "Description: " +
                      (i < lib.FSystemDescripImported.size() ? lib.FSystemDescripImported[i] : std::string());
        Items.push_back(std::move(item));
    }
}

void TLibraryPicker::LibListViewItemClick(int32_t Index) {
    if (Index < 0 || Index >= static_cast<int32_t>(Items.size())) {
        return;
    }
    ItemIndex = Index;
    OkButtonEnabled = true;
    SelectedBeamStModelID = -1;
    const TLibraryPickerItem& item = Items[static_cast<size_t>(Index)];
    if (Mode == TLibraryPickerMode::Ornament) {
        ed_.Adding.ArmOrnamentInsertion(item.Text);
    } else if (Mode == TLibraryPickerMode::BeamSteering) {
        TEditorState& st = ed_.State;
        if (st.InsertInMousePos_Mic) {
            ed_.Scene.MeasCone3D->SetVisible(false);
            st.InsertInMousePos_Mic = false;
        }
        st.InsertInMousePos_Ornament = false;
        if (ed_.Library != nullptr) {
            for (const auto& preview : ed_.Library->FModels3DImported) {
                if (preview != nullptr) {
                    preview->SetVisible(false);
                }
            }
        }
        ed_.Mouse.SetInputAxisAcordingViews();
        SelectedBeamStModelID = item.Tag;
    }
}

bool TLibraryPicker::OkButtonClick() {
    if (ItemIndex >= 0 && ItemIndex < static_cast<int32_t>(Items.size())) {
        Name = Items[static_cast<size_t>(ItemIndex)].Text;
    }
    return true;
}

void TLibraryPicker::FormClose() {
    if (Mode != TLibraryPickerMode::BeamSteering) {
        for (TLibraryPickerItem& item : Items) {
            item.Picture.reset();
        }
    }
    if (ed_.Adding.IsInsertigInViewPort3D()) {
        ed_.Adding.EndInsertionInViewPort3D();
    }
}

} // namespace vendrel
