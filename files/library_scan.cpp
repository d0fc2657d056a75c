#include "files/library_scan.h"

#include <algorithm>
#include <unordered_set>

#include "acoustics/cab_model.h"
#include "acoustics/model_registry.h"
#include "acoustics/ornament.h"
#include "acoustics/project.h"
#include "files/library_models.h"
#include "files/record_elements.h"
#include "files/system_file.h"
#include "platform/core/edit_helpers.h"
#include "platform/core/image_decoder.h"
#include "platform/core/material.h"
#include "platform/core/mesh.h"
#include "platform/core/message_box.h"

namespace vendrel {

namespace fs = std::filesystem;

namespace {

const char* const kCabinets = "Cabinets";
const char* const kRiggings = "Riggings";
const char* const kOrnaments = "Ornaments";
const char* const kSoundSystems = "SoundSystems";
const char* const kTextures = "Textures";
const char* const kHigher = "Higher File Version, Update your application";
// State of a usable-looking file that could not be loaded (damaged, or data the prediction cannot use).
const char* const kDamaged = "Invalid File";

// The files of a folder's top level with the given extension ("" for every file), sorted by name.
std::vector<fs::path> listFiles(const fs::path& folder, const std::string& extension) {
    std::vector<fs::path> files;
    std::error_code ec;
    for (const auto& entry : fs::directory_iterator(folder, ec)) {
        if (entry.is_regular_file(ec) && (extension.empty() || entry.path().extension() == extension)) {
            files.push_back(entry.path());
        }
    }
    std::sort(files.begin(), files.end());
    return files;
}

std::string variantText(const std::string& variant) {
    return variant.empty() ? std::string() : " (" + variant + ")";
}

std::string fileVersion(int32_t major, int32_t minor) {
    return std::to_string(major) + "." + std::to_string(minor);
}

// The grid row of a model file.
TLibraryGridRow modelRow(const rWDXHeaderFile& h, const fs::path& FileName, const std::string& Manufacturer,
                         const std::string& State) {
    return {h.ModelName + variantText(h.VariantName),
            std::to_string(h.ModelUpdateVersion),
            Manufacturer,
            FileName.filename().string(),
            FileName.extension().string(),
            State,
            fileVersion(h.FileMajorVer, h.FileMinorVer),
            "Remove"};
}

std::string doubledAmpersands(const std::string& s) {
    std::string out;
    for (const char c : s) {
        out += c;
        if (c == '&') {
            out += '&';
        }
    }
    return out;
}

std::string withoutChars(std::string s, const std::string& remove) {
    s.erase(std::remove_if(s.begin(), s.end(), [&](char c) { return remove.find(c) != std::string::npos; }),
            s.end());
    return s;
}

TModelMenuItem* findItem(std::vector<TModelMenuItem>& items, const std::string& name) {
    for (TModelMenuItem& item : items) {
        if (item.Name == name) {
            return &item;
        }
    }
    return nullptr;
}

const char* categoryCaption(TCabinetType type) {
    static const char* const captions[] = {"Single Cabinet", "Line Array",  "Line Array Sub",
                                           "Column",         "Install Sub", "Monitor",
                                           "Column Sub",     "Ceiling",     "Ceiling Sub"};
    const auto i = static_cast<size_t>(type);
    return i < std::size(captions) ? captions[i] : "";
}

void addSorted(std::vector<std::string>& list, const std::string& key) {
    list.insert(std::lower_bound(list.begin(), list.end(), key), key);
}

} // namespace

const char* LibraryFolderName(TLibraryKind Kind) {
    switch (Kind) {
    case TLibraryKind::Cabinet:
        return kCabinets;
    case TLibraryKind::Frame:
        return kRiggings;
    case TLibraryKind::Ornament:
        return kOrnaments;
    case TLibraryKind::SoundSystem:
        return kSoundSystems;
    case TLibraryKind::Texture:
        return kTextures;
    }
    return kTextures;
}

TLibraryFileState LibraryFileState(TLibraryKind Kind, int32_t FileMajorVer, bool ProgramVersionOK) {
    switch (Kind) {
    case TLibraryKind::Cabinet:
        if (FileMajorVer > 5) {
            return {kHigher, false};
        }
        if (FileMajorVer < 3 || !ProgramVersionOK) {
            return {"Invalid Version", false};
        }
        return {"Available", true};
    case TLibraryKind::Frame:
        // No program-version test for rigging frames.
        if (FileMajorVer != 3) {
            return {FileMajorVer > 3 ? kHigher : "Invalid Version", false};
        }
        return {"Available", true};
    case TLibraryKind::Ornament:
        if (FileMajorVer > 3) {
            return {kHigher, false};
        }
        if (FileMajorVer < 3 || !ProgramVersionOK) {
            return {"Invalid Version", false};
        }
        return {"Available", true};
    case TLibraryKind::SoundSystem:
        // A newer format version is still offered; only an older one is refused.
        if (FileMajorVer < 1) {
            return {"Invalid Version", false};
        }
        return {FileMajorVer == 1 ? "Available" : "Invalid, Higher Ver", true};
    case TLibraryKind::Texture:
        break;
    }
    return {"Available", true};
}

TModelLibrary::TModelLibrary(TAcousticProject& Project, fs::path AppDataPath, std::string SoftwareName,
                             TLibraryMinVersion MinVersion)
    : FProject(Project), FAppDataPath(std::move(AppDataPath)), FSoftwareName(std::move(SoftwareName)),
      FMinVersion(MinVersion) {
    HighLightMaterial = std::make_unique<TLightMaterialSource>();
    HighLightMaterial->SetDiffuse(0xFFFF26FF);
    HighLightMaterial->SetAmbient(0xFF0B0B0B);
    HighLightMaterial->SetSpecular(0xFFE0E0E0);
    HighLightMaterial->SetShininess(12);
}

TModelLibrary::~TModelLibrary() = default;

void TModelLibrary::status(const std::string& text) {
    StatusText = text;
    if (OnStatus) {
        OnStatus(text);
    }
}

TLibraryGridRow& TModelLibrary::appendRow() {
    LibraryGrid.emplace_back();
    return LibraryGrid.back();
}

void TModelLibrary::markRow(const fs::path& FileName, const std::string& State) {
    for (TLibraryGridRow& row : LibraryGrid) {
        if (row.FileName == FileName.filename().string() && row.Type == FileName.extension().string()) {
            row.State = State;
        }
    }
}

bool TModelLibrary::IsNewVersionUpdate(const std::string& ModelName, int32_t ModelVersion) {
    if (UpdateList == nullptr) {
        return false;
    }
    rInternetLibFile* entry = UpdateList->FirstNamed(ModelName);
    if (entry == nullptr) {
        return false;
    }
    entry->IsNewVersion = entry->ModelUpdateVersion > ModelVersion;
    return entry->IsNewVersion;
}

void TModelLibrary::noteUpdate(const std::string& Name, int32_t Version) {
    FCheckedHeaders.push_back({Name, Version});
    if (IsNewVersionUpdate(Name, Version)) {
        NewUpdateInModels.push_back(Name);
    }
}

void TModelLibrary::CompareWithUpdateList() {
    NewUpdateInModels.clear();
    for (const TCheckedHeader& h : FCheckedHeaders) {
        if (IsNewVersionUpdate(h.Name, h.Version)) {
            NewUpdateInModels.push_back(h.Name);
        }
    }
}

std::vector<std::string> TModelLibrary::CheckNewModelsOnInternet() {
    FProject.SetLastLogString("MainForm.CheckNewModelsOnInternet");
    std::vector<std::string> names;
    if (UpdateList == nullptr) {
        return names;
    }
    std::unordered_set<std::string> loaded;
    for (const auto& model : FProject.ModelsDetected()->CabModel()) {
        loaded.insert(model->ModelName());
    }
    for (const auto& model : FProject.FramesDetected()->FrameModel()) {
        loaded.insert(model->ModelName());
    }
    for (int32_t i = 0; i < FProject.OrnasDetected()->NOrnasDetected(); ++i) {
        loaded.insert(FProject.OrnasDetected()->OrnamentModel(i)->ModelName());
    }
    for (rInternetLibFile& entry : UpdateList->InternetLibFiles()) {
        entry.IsNewModel = !loaded.contains(entry.ModelName);
        if (entry.IsNewModel) {
            names.push_back(entry.ModelName);
        }
    }
    return names;
}

bool TModelLibrary::CheckCabinetFile(const fs::path& FileName) {
    TLibraryGridRow& row = appendRow();
    rWDXHeaderFile h;
    if (!IsWendrixCabinetFile(FileName, h)) {
        return false;
    }
    noteUpdate(h.ModelName, h.ModelUpdateVersion);
    const TLibraryFileState state = LibraryFileState(TLibraryKind::Cabinet, h.FileMajorVer,
                                                     EsVersionCompatibleConVendrel(h, FMinVersion));
    if (!state.Usable) {
        row.State = state.State;
        return false;
    }
    row = modelRow(h, FileName, h.BrandName, state.State);
    return true;
}

bool TModelLibrary::CheckFrameFile(const fs::path& FileName) {
    TLibraryGridRow& row = appendRow();
    rWDXHeaderFile h;
    if (!IsWendrixFrameFile(FileName, h)) {
        return false;
    }
    noteUpdate(h.ModelName, h.ModelUpdateVersion);
    const TLibraryFileState state = LibraryFileState(TLibraryKind::Frame, h.FileMajorVer, true);
    if (!state.Usable) {
        row.State = state.State;
        return false;
    }
    row = modelRow(h, FileName, h.BrandName, state.State);
    return true;
}

bool TModelLibrary::CheckOrnamentFile(const fs::path& FileName) {
    TLibraryGridRow& row = appendRow();
    rWDXHeaderFile h;
    if (!IsWendrixOrnamentFile(FileName, h)) {
        return false;
    }
    row = modelRow(h, FileName, "-", "");
    noteUpdate(h.ModelName, h.ModelUpdateVersion);
    const TLibraryFileState state = LibraryFileState(TLibraryKind::Ornament, h.FileMajorVer,
                                                     EsVersionCompatibleConVendrel(h, FMinVersion));
    row.State = state.State;
    return state.Usable;
}

bool TModelLibrary::CheckSoundSystemFile(const fs::path& FileName) {
    TLibraryGridRow& row = appendRow();
    rSystemFile record;
    if (!CheckSystemRecordFile(FileName, record, FSoftwareName)) {
        return false;
    }
    const rSysHeaderFile& h = record.Header;
    row = {h.Name,
           std::to_string(h.UpdateVersion),
           "",
           FileName.filename().string(),
           FileName.extension().string(),
           "",
           fileVersion(h.FileMajorVer, h.FileMinorVer),
           "Remove"};
    noteUpdate(h.Name, h.UpdateVersion);
    const TLibraryFileState state = LibraryFileState(TLibraryKind::SoundSystem, h.FileMajorVer, true);
    row.State = state.State;
    return state.Usable;
}

void TModelLibrary::LoadLibrarySystemInfo(const rSystemFile& SystemFile, std::optional<TBitmap>& SystemImage,
                                          std::string& SystemName, std::string& SystemDescription) {
    if (!IsSoftType(SystemFile.Header.SoftType, FSoftwareName)) {
        return;
    }
    SystemName = SystemFile.Header.Name;
    SystemDescription = SystemFile.Header.Description;
    if (!SystemFile.GlobalStaticData.HasSystemImage) {
        return;
    }
    TBitmap image;
    if (DecodeImage(SystemFile.SystemImage, image)) {
        SystemImage = std::move(image);
    } else {
        MessageBoxService().ShowMessage("Invalid Image format");
    }
}

std::unique_ptr<TModel3D> TModelLibrary::newModelObject(size_t index) {
    auto object = std::make_unique<TModel3D>();
    if (ModelParent != nullptr) {
        object->SetParent(ModelParent);
    }
    object->SetScale(TPoint3D(1, 1, 1));
    object->SetPosition(TPoint3D(static_cast<float>(index) * 0.1f + 0.2f, -0.5f, 0.0f));
    object->SetWrapMode(TMeshWrapMode::wmStretch);
    object->SetVisible(false);
    return object;
}

void TModelLibrary::loadCabinets(const std::vector<fs::path>& files) {
    std::vector<std::unique_ptr<TCabModel>> models;
    FCabImagesImported.clear();
    ManufacturerLogoImported.clear();
    SerieLogoImported.clear();
    for (const fs::path& file : files) {
        status("Reading Models: " + file.filename().string());
        const size_t k = models.size();
        auto model = std::make_unique<TCabModel>(FProject.PhysicalSpace(), &FProject);
        auto object = newModelObject(k);
        std::optional<TBitmap> image, logo, serie;
        try {
            if (!OpenCabinetFile(file, *model, object.get(), HighLightMaterial.get(), {&image, &logo, &serie},
                                 FSoftwareName)) {
                continue;
            }
        } catch (const std::exception&) {
            markRow(file, kDamaged);
            continue;
        }
        model->SetModelID(static_cast<int32_t>(k));
        model->SetObject3D(object.get());
        models.push_back(std::move(model));
        FModels3DImported.push_back(std::move(object));
        FCabImagesImported.push_back(std::move(image));
        ManufacturerLogoImported.push_back(std::move(logo));
        SerieLogoImported.push_back(std::move(serie));
    }
    FProject.ModelsDetected()->ReplaceModels(std::move(models));
}

void TModelLibrary::loadFrames(const std::vector<fs::path>& files, size_t firstSlot) {
    std::vector<std::unique_ptr<TRigFrameModel>> models;
    for (const fs::path& file : files) {
        status("Reading Models: " + file.filename().string());
        const size_t slot = firstSlot + models.size();
        auto model = std::make_unique<TRigFrameModel>(FProject.PhysicalSpace(), &FProject);
        auto object = newModelObject(slot);
        try {
            if (!OpenFrameFile(file, *model, object.get(), HighLightMaterial.get(), SelectedLayerColor,
                               FSoftwareName)) {
                continue;
            }
        } catch (const std::exception&) {
            markRow(file, kDamaged);
            continue;
        }
        model->SetModelID(static_cast<int32_t>(slot));
        model->SetObject3D(object.get());
        models.push_back(std::move(model));
        FModels3DImported.push_back(std::move(object));
    }
    FProject.FramesDetected()->ReplaceModels(std::move(models));
}

void TModelLibrary::loadOrnaments(const std::vector<fs::path>& files) {
    std::vector<std::unique_ptr<TOrnaModel>> models;
    for (const fs::path& file : files) {
        status("Reading Models: " + file.filename().string());
        const size_t o = models.size();
        auto model = std::make_unique<TOrnaModel>(FProject.PhysicalSpace(), &FProject);
        auto object = newModelObject(o);
        auto material = std::make_unique<TLightMaterialSource>();
        material->SetAmbient(0xFF404040);
        material->SetDiffuse(0xFF404040);
        material->SetSpecular(0xFFFFFFFF);
        material->SetShininess(5);
        try {
            if (!OpenOrnamentFile(file, *model, object.get(), material.get(), FSoftwareName)) {
                continue;
            }
        } catch (const std::exception&) {
            markRow(file, kDamaged);
            continue;
        }
        model->SetModelID(static_cast<int32_t>(o));
        model->SetObject3D(object.get());
        models.push_back(std::move(model));
        FOrnaments3DImported.push_back(std::move(object));
        FOrnamentsMaterials.push_back(std::move(material));
    }
    FProject.OrnasDetected()->ReplaceModels(std::move(models));
}

void TModelLibrary::loadSoundSystems(const std::vector<fs::path>& files) {
    SoundSystemsList.clear();
    FSystemNameImported.clear();
    FSystemDescripImported.clear();
    FSystemImgImported.clear();
    for (const fs::path& file : files) {
        status("Reading Models: " + file.filename().string());
        rSystemFile record;
        try {
            OpenSystemRecord(file, record);
        } catch (const std::exception&) {
            // Left out of all four lists, which stay aligned by index.
            markRow(file, kDamaged);
            continue;
        }
        std::optional<TBitmap> image;
        std::string name, description;
        LoadLibrarySystemInfo(record, image, name, description);
        SoundSystemsList.push_back(file.filename().string());
        FSystemNameImported.push_back(std::move(name));
        FSystemDescripImported.push_back(std::move(description));
        FSystemImgImported.push_back(std::move(image));
    }
}

void TModelLibrary::readTextures() {
    TexturesList.clear();
    for (const fs::path& file : listFiles(LibraryFolder(kTextures), "")) {
        const bool usable = FileDecodesAsImage(file);
        appendRow() = {"-",
                       "-",
                       "",
                       file.filename().string(),
                       file.extension().string(),
                       usable ? "Available" : "Invalid Image format",
                       "-",
                       "Remove"};
        if (usable) {
            TexturesList.push_back(file.filename().string());
        }
    }
}

void TModelLibrary::releaseRetiredWhenUnused() {
    // Placed objects, and cabinets of an array still being built, may point at replaced models and
    // their 3D objects.
    if (FProject.NCabinetsCreated() > 0 || FProject.HasSources() || FProject.NSubArrangements() > 0 ||
        FProject.NOrnaments() > 0) {
        return;
    }
    FProject.ModelsDetected()->ReleaseRetiredModels();
    FProject.FramesDetected()->ReleaseRetiredModels();
    FProject.OrnasDetected()->ReleaseRetiredModels();
    FRetired3D.clear();
    FRetiredMaterials.clear();
}

void TModelLibrary::ReadLibraryFiles() {
    FProject.SetLastLogString("MainForm.ReadLibraryFiles");
    status("Reading Lybrary data");
    const auto cabinets = listFiles(LibraryFolder(kCabinets), ".cabinet");
    const auto frames = listFiles(LibraryFolder(kRiggings), ".rigging");
    const auto ornaments = listFiles(LibraryFolder(kOrnaments), ".ornament");
    const auto systems = listFiles(LibraryFolder(kSoundSystems), ".system");
    status("Rigging Frame Files: " + std::to_string(frames.size()));
    status("Cabinets Files: " + std::to_string(cabinets.size()));
    status("Ornament Files: " + std::to_string(ornaments.size()));
    status("Sound System Files: " + std::to_string(systems.size()));
    LibraryGrid.clear();
    NewUpdateInModels.clear();
    FCheckedHeaders.clear();

    auto check = [this](const std::vector<fs::path>& files, bool (TModelLibrary::*test)(const fs::path&)) {
        std::vector<fs::path> usable;
        for (const fs::path& file : files) {
            status("Checking Lib... " + file.filename().string());
            try {
                if ((this->*test)(file)) {
                    usable.push_back(file);
                }
            } catch (const std::exception&) {
                // An unreadable file is left out; its row may stay incomplete.
            }
        }
        return usable;
    };
    const auto usableCabinets = check(cabinets, &TModelLibrary::CheckCabinetFile);
    const auto usableSystems = check(systems, &TModelLibrary::CheckSoundSystemFile);
    const auto usableFrames = check(frames, &TModelLibrary::CheckFrameFile);
    const auto usableOrnaments = check(ornaments, &TModelLibrary::CheckOrnamentFile);

    // Every reading builds new models and objects; the previous ones stay alive for placed objects.
    for (auto& object : FModels3DImported) {
        FRetired3D.push_back(std::move(object));
    }
    for (auto& object : FOrnaments3DImported) {
        FRetired3D.push_back(std::move(object));
    }
    for (auto& material : FOrnamentsMaterials) {
        FRetiredMaterials.push_back(std::move(material));
    }
    FModels3DImported.clear();
    FOrnaments3DImported.clear();
    FOrnamentsMaterials.clear();
    loadCabinets(usableCabinets);
    const size_t c = FModels3DImported.size();
    loadSoundSystems(usableSystems);
    loadFrames(usableFrames, c);
    loadOrnaments(usableOrnaments);
    releaseRetiredWhenUnused();

    const size_t s = SoundSystemsList.size();
    const size_t f = FProject.FramesDetected()->NFramesDetected();
    const size_t o = FProject.OrnasDetected()->NOrnasDetected();
    OpenLibSoundSystemEnabled = s >= 1;
    OpenLibOrnamentEnabled = o >= 1;
    readTextures();
    const size_t t = TexturesList.size();
    status("DONE!    Rigging Models: " + std::to_string(f) + ";   Cabinets Models: " + std::to_string(c) +
           ";   Textures " + std::to_string(t) + ";   Sound Systems: " + std::to_string(s) +
           ";   Ornaments: " + std::to_string(o));
    LabelLib = "Cabinets Available: " + std::to_string(c) + "      Riggings Available: " + std::to_string(f) +
               "      Textures Available: " + std::to_string(t) +
               "      Sound Systems: " + std::to_string(s) + "      Ornaments: " + std::to_string(o);
}

TCabModel* TModelLibrary::GetCabModelByName(const std::string& ModelName, const std::string& VariantName,
                                            const std::string& BrandName, bool ShowMsg) {
    for (const auto& model : FProject.ModelsDetected()->CabModel()) {
        if (model->ModelName() == ModelName && model->VariantName() == VariantName &&
            (BrandName.empty() || model->Manufacturer() == BrandName)) {
            return model.get();
        }
    }
    const std::string key = "Cab: " + ModelName + variantText(VariantName);
    if (!std::binary_search(ModelsNotFound.begin(), ModelsNotFound.end(), key)) {
        addSorted(ModelsNotFound, key);
        if (ShowMsg) {
            MessageBoxService().ShowMessage("Cabinet Model \"" + ModelName + " " + VariantName +
                                            "\" was not found in Library");
        }
    }
    return nullptr;
}

TRigFrameModel* TModelLibrary::GetFrameModelByName(const std::string& Name, bool ShowMsg) {
    if (Name.empty()) {
        return nullptr;
    }
    for (const auto& model : FProject.FramesDetected()->FrameModel()) {
        if (model->ModelName() + variantText(model->VariantName()) == Name) {
            return model.get();
        }
    }
    const std::string key = "Rig: " + Name;
    if (!std::binary_search(ModelsNotFound.begin(), ModelsNotFound.end(), key)) {
        addSorted(ModelsNotFound, key);
        if (ShowMsg) {
            MessageBoxService().ShowMessage("Rigging Frame \"" + Name + "\" was not found in Library");
        }
    }
    return nullptr;
}

TOrnaModel* TModelLibrary::GetOrnaModelByName(const std::string& Name, bool ShowMsg) {
    if (Name.empty()) {
        return nullptr;
    }
    for (int32_t i = 0; i < FProject.OrnasDetected()->NOrnasDetected(); ++i) {
        TOrnaModel* model = FProject.OrnasDetected()->OrnamentModel(i);
        if (model->ModelName() == Name) {
            return model;
        }
    }
    const std::string key = "Orna: " + Name;
    if (!std::binary_search(ModelsNotFound.begin(), ModelsNotFound.end(), key)) {
        addSorted(ModelsNotFound, key);
        if (ShowMsg) {
            MessageBoxService().ShowMessage("Ornament: \"" + Name + "\" was not found in Library");
        }
    }
    return nullptr;
}

void TModelLibrary::CheckCabArrayModels(const rPRJCabArray& PRJCabArray) {
    for (const rPRJArrayItem& item : PRJCabArray.ItemList) {
        if (item.ClassName == "TRiggingFrame") {
            GetFrameModelByName(item.ModelName + variantText(item.VariantName), false);
        } else if (item.ClassName == "TCabinet") {
            GetCabModelByName(item.ModelName, item.VariantName, item.BrandName, false);
        }
    }
}

void TModelLibrary::OrganizeCabinetModels() {
    FProject.SetLastLogString("MainForm.OrganizeCabinetModels");
    PopupModels.clear();
    const auto& models = FProject.ModelsDetected()->CabModel();
    for (size_t k = 0; k < models.size(); ++k) {
        const TCabModel& m = *models[k];
        const std::string brand = doubledAmpersands(m.Manufacturer());
        const std::string category = doubledAmpersands(categoryCaption(m.CabinetType()));
        const std::string serie = doubledAmpersands(m.SerieName());
        std::string brandName = withoutChars(SanitizeFileName(brand), " .");
        std::replace(brandName.begin(), brandName.end(), '-', '_');
        brandName += "BrandItem";
        TModelMenuItem* brandItem = findItem(PopupModels, brandName);
        if (brandItem == nullptr) {
            PopupModels.push_back({brand,
                                   brandName,
                                   -1,
                                   {{"Category", "CategoryMenuItem" + brandName, -1, {}},
                                    {"Family", "FamilyMenuItem" + brandName, -1, {}}}});
            brandItem = &PopupModels.back();
        }
        const TModelMenuItem modelItem{
            doubledAmpersands(m.ModelName() + variantText(m.VariantName())), "", static_cast<int32_t>(k), {}};
        TModelMenuItem& categories = brandItem->Items[0];
        const std::string categoryName =
            withoutChars(SanitizeFileName(category), " ") + "CatItem" + categories.Name;
        TModelMenuItem* categoryItem = findItem(categories.Items, categoryName);
        if (categoryItem == nullptr) {
            categories.Items.push_back({category, categoryName, -1, {}});
            categoryItem = &categories.Items.back();
        }
        categoryItem->Items.push_back(modelItem);
        TModelMenuItem& families = brandItem->Items[1];
        const std::string familyName =
            withoutChars(SanitizeFileName(serie), " .") + "FamilyItem" + families.Name;
        TModelMenuItem* familyItem = findItem(families.Items, familyName);
        if (familyItem == nullptr) {
            families.Items.push_back({serie, familyName, -1, {}});
            familyItem = &families.Items.back();
        }
        familyItem->Items.push_back(modelItem);
    }
}

bool TModelLibrary::CheckDownloadedModel(const fs::path& File, std::string& Why) {
    const std::string name = File.filename().string();
    const auto endsWith = [&name](const std::string& end) {
        return name.size() > end.size() && name.compare(name.size() - end.size(), end.size(), end) == 0;
    };
    const bool cabinet = endsWith(".cabinet");
    const bool frame = endsWith(".rigging");
    const bool ornament = endsWith(".ornament");
    if (!cabinet && !frame && !ornament) {
        Why = "not a cabinet, rigging or ornament file";
        return false;
    }
    try {
        rWDXHeaderFile h;
        const bool ofKind = cabinet ? IsWendrixCabinetFile(File, h)
                            : frame ? IsWendrixFrameFile(File, h)
                                    : IsWendrixOrnamentFile(File, h);
        if (!ofKind) {
            Why = "not a library model file";
            return false;
        }
        const TLibraryKind kind = cabinet ? TLibraryKind::Cabinet
                                  : frame ? TLibraryKind::Frame
                                          : TLibraryKind::Ornament;
        const TLibraryFileState state =
            LibraryFileState(kind, h.FileMajorVer, EsVersionCompatibleConVendrel(h, FMinVersion));
        if (!state.Usable) {
            Why = state.State;
            return false;
        }
        // Loaded in full into a model of its own, so that a cut file never replaces a good one.
        bool loaded = false;
        if (cabinet) {
            TCabModel model(FProject.PhysicalSpace(), &FProject);
            loaded = OpenCabinetFile(File, model, nullptr, nullptr, {}, FSoftwareName);
        } else if (frame) {
            TRigFrameModel model(FProject.PhysicalSpace(), &FProject);
            loaded = OpenFrameFile(File, model, nullptr, nullptr, SelectedLayerColor, FSoftwareName);
        } else {
            TOrnaModel model(FProject.PhysicalSpace(), &FProject);
            loaded = OpenOrnamentFile(File, model, nullptr, nullptr, FSoftwareName);
        }
        if (!loaded) {
            Why = "refused by the model reader";
            return false;
        }
    } catch (const std::exception& e) {
        Why = std::string("damaged file (") + e.what() + ")";
        return false;
    }
    return true;
}

std::string TModelLibrary::RemoveLibraryFile(const TLibraryGridRow& Row) {
    std::string failure;
    const std::string& name = Row.FileName;
    // Only a plain file name: an empty one would name the folder itself.
    if (name.empty() || name == "." || name == ".." || name.find('/') != std::string::npos) {
        failure = "no library file";
    } else {
        TLibraryKind kind = TLibraryKind::Texture;
        if (Row.Type == ".cabinet") {
            kind = TLibraryKind::Cabinet;
        } else if (Row.Type == ".rigging") {
            kind = TLibraryKind::Frame;
        } else if (Row.Type == ".system") {
            kind = TLibraryKind::SoundSystem;
        } else if (Row.Type == ".ornament") {
            kind = TLibraryKind::Ornament;
        }
        const fs::path path = LibraryFolder(LibraryFolderName(kind)) / name;
        std::error_code ec;
        if (!fs::remove(path, ec)) {
            failure = ec ? ec.message() : std::string("file not found");
        }
    }
    ReadLibraryFiles();
    OrganizeCabinetModels();
    return failure;
}

void TModelLibrary::ImportFilesToLibrary(const std::vector<fs::path>& Files) {
    auto endsWith = [](const std::string& s, const char* end) {
        const std::string e(end);
        return s.size() >= e.size() && s.compare(s.size() - e.size(), e.size(), e) == 0;
    };
    for (const fs::path& file : Files) {
        status("Importing Files...");
        std::error_code ec;
        if (!fs::exists(file, ec)) {
            continue;
        }
        const std::string name = file.filename().string();
        const char* folder = nullptr;
        bool image = false;
        if (endsWith(name, ".cabinet")) {
            folder = kCabinets;
        } else if (endsWith(name, ".rigging")) {
            folder = kRiggings;
        } else if (endsWith(name, ".system")) {
            folder = kSoundSystems;
        } else if (endsWith(name, ".ornament")) {
            folder = kOrnaments;
        } else {
            for (const char* e : {".png", ".PNG", ".jpeg", ".JPEG", ".jpg", ".JPG"}) {
                if (endsWith(name, e)) {
                    folder = kTextures;
                    image = true;
                }
            }
        }
        if (folder == nullptr || (image && !FileDecodesAsImage(file))) {
            continue;
        }
        const fs::path target = LibraryFolder(folder) / name;
        if (fs::equivalent(file, target, ec)) {
            continue;
        }
        fs::copy_file(file, target, fs::copy_options::overwrite_existing, ec);
    }
    ReadLibraryFiles();
    OrganizeCabinetModels();
}

} // namespace vendrel
