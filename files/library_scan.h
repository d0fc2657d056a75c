#pragma once
// The model library of the application data folder: reading it (the per-kind file checks with their
// grid rows, the models loaded into the project's registries with their hidden 3D objects, pictures
// and materials, the library sound systems with their names and pictures, the usable textures), the model
// lookups by name, the cabinet-model menu as data, and the import of files into the library folders. The
// shell shows the rows, the texts and the menu.

#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "files/library_header.h"
#include "files/update_list.h"
#include "platform/core/bitmap.h"

namespace vendrel {

class TAcousticProject;
class TCabModel;
class TRigFrameModel;
class TOrnaModel;
class TModel3D;
class TControl3D;
class TLightMaterialSource;
struct rSystemFile;
struct rPRJCabArray;

// One row of the library grid.
struct TLibraryGridRow {
    std::string ModelName, UpdateVersion, Manufacturer, FileName, Type, State, FileVersion, Remove;
};

// The kinds of library files, each with its folder.
enum class TLibraryKind : uint8_t { Cabinet, Frame, Ornament, SoundSystem, Texture };

// The library folder of a kind ("Cabinets" ...).
const char* LibraryFolderName(TLibraryKind Kind);

// What the library makes of a file of a kind by the format version of its header (and, for cabinet and
// ornament files, by whether the program that made it is recent enough): the state shown in its grid
// row and whether the file is used. The library's checks and the check of downloaded models share it.
struct TLibraryFileState {
    std::string State;
    bool Usable = false;
};
TLibraryFileState LibraryFileState(TLibraryKind Kind, int32_t FileMajorVer, bool ProgramVersionOK);

// An item of the cabinet-model menu: manufacturer, "Category"/"Family", category or series, model.
struct TModelMenuItem {
    std::string Caption;
    std::string Name;
    int32_t Tag = -1; // a model item: the model's index in the cabinet-model registry
    std::vector<TModelMenuItem> Items;
};

class TModelLibrary {
public:
    // AppDataPath: the application data folder holding the library folders.
    TModelLibrary(TAcousticProject& Project, std::filesystem::path AppDataPath, std::string SoftwareName,
                  TLibraryMinVersion MinVersion = {});
    ~TModelLibrary();
    TModelLibrary(const TModelLibrary&) = delete;
    TModelLibrary& operator=(const TModelLibrary&) = delete;

    // Status texts as the reading goes (the splash window's label); the receiver may repaint.
    std::function<void(const std::string&)> OnStatus;
    // The parent of the models' hidden 3D objects (the 3D view), and the selected layer's colour.
    TControl3D* ModelParent = nullptr;
    TAlphaColor SelectedLayerColor = TAlphaColors::Gray;
    // The update list, when one was read (not owned).
    TUpdateList* UpdateList = nullptr;

    void ReadLibraryFiles();
    bool CheckCabinetFile(const std::filesystem::path& FileName);
    bool CheckFrameFile(const std::filesystem::path& FileName);
    bool CheckOrnamentFile(const std::filesystem::path& FileName);
    bool CheckSoundSystemFile(const std::filesystem::path& FileName);
    bool IsNewVersionUpdate(const std::string& ModelName, int32_t ModelVersion);
    // Compares an update list that arrived after the reading with the files that reading checked, as
    // a reading with the list would have: the entries' IsNewVersion flags and NewUpdateInModels.
    void CompareWithUpdateList();
    // Marks the entries of the update list whose name no loaded cabinet, rigging-frame or ornament
    // model has (IsNewModel) and returns their names, in the list's order.
    std::vector<std::string> CheckNewModelsOnInternet();
    // Whether a downloaded model file would be usable in the library: a cabinet, rigging or ornament
    // file by its name's ending, passing its kind's check and loading in full. Why tells the reason
    // when it would not.
    bool CheckDownloadedModel(const std::filesystem::path& File, std::string& Why);
    // Deletes the library file of a grid row (its type names the folder) and reads the library again,
    // also when the deletion failed. A row without a file name deletes nothing. Returns the reason of
    // a failure, empty on success.
    std::string RemoveLibraryFile(const TLibraryGridRow& Row);
    // What the sound-system picker shows of a library sound system: its name, description and picture
    // (a picture that does not decode is reported and the slot left empty). Records of another
    // program leave the three slots empty.
    void LoadLibrarySystemInfo(const rSystemFile& SystemFile, std::optional<TBitmap>& SystemImage,
                               std::string& SystemName, std::string& SystemDescription);

    TCabModel* GetCabModelByName(const std::string& ModelName, const std::string& VariantName,
                                 const std::string& BrandName, bool ShowMsg);
    TRigFrameModel* GetFrameModelByName(const std::string& ModelNameAndVariant, bool ShowMsg);
    TOrnaModel* GetOrnaModelByName(const std::string& Name, bool ShowMsg);
    // Looks up every cabinet and rigging-frame model of a stored line array without a message, so
    // that the missing ones are recorded in ModelsNotFound.
    void CheckCabArrayModels(const rPRJCabArray& PRJCabArray);
    void OrganizeCabinetModels();
    // Copies the files into their library folders by their endings, then reads the library and
    // organises the menu.
    void ImportFilesToLibrary(const std::vector<std::filesystem::path>& Files);

    std::filesystem::path LibraryFolder(const char* Folder) const { return FAppDataPath / Folder; }

    // What the reading leaves for the shell.
    std::vector<TLibraryGridRow> LibraryGrid;
    std::vector<std::string> NewUpdateInModels;
    std::vector<std::string> ModelsNotFound; // sorted
    std::vector<std::string> SoundSystemsList, FSystemNameImported, FSystemDescripImported;
    std::vector<std::optional<TBitmap>> FSystemImgImported;
    std::vector<std::string> TexturesList;
    std::vector<std::unique_ptr<TModel3D>> FModels3DImported; // cabinets, then rigging frames
    std::vector<std::optional<TBitmap>> FCabImagesImported, ManufacturerLogoImported, SerieLogoImported;
    std::vector<std::unique_ptr<TModel3D>> FOrnaments3DImported;
    std::vector<std::unique_ptr<TLightMaterialSource>> FOrnamentsMaterials;
    std::unique_ptr<TLightMaterialSource> HighLightMaterial;
    bool OpenLibSoundSystemEnabled = false, OpenLibOrnamentEnabled = false;
    std::string StatusText, LabelLib;
    std::vector<TModelMenuItem> PopupModels;

private:
    void status(const std::string& text);
    TLibraryGridRow& appendRow();
    std::unique_ptr<TModel3D> newModelObject(size_t index);
    void loadCabinets(const std::vector<std::filesystem::path>& files);
    void loadFrames(const std::vector<std::filesystem::path>& files, size_t firstSlot);
    void loadOrnaments(const std::vector<std::filesystem::path>& files);
    void loadSoundSystems(const std::vector<std::filesystem::path>& files);
    void readTextures();
    // Frees the models and 3D objects replaced by earlier readings once nothing placed can use them.
    void releaseRetiredWhenUnused();
    void markRow(const std::filesystem::path& FileName, const std::string& State);
    // Keeps the header for a later update list and notes the model when the list offers a newer one.
    void noteUpdate(const std::string& Name, int32_t Version);

    TAcousticProject& FProject;
    std::filesystem::path FAppDataPath;
    std::string FSoftwareName;
    TLibraryMinVersion FMinVersion;
    // Name and model version of every file the last reading checked, in the order of the checks.
    struct TCheckedHeader {
        std::string Name;
        int32_t Version = 0;
    };
    std::vector<TCheckedHeader> FCheckedHeaders;
    std::vector<std::unique_ptr<TModel3D>> FRetired3D;
    std::vector<std::unique_ptr<TLightMaterialSource>> FRetiredMaterials;
};

} // namespace vendrel
