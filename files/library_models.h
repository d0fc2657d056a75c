#pragma once
// Turning library model files into the loaded models: a cabinet file into a TCabModel with its 3D
// model and pictures, a rigging-frame file into a TRigFrameModel, an ornament file into a TOrnaModel
// with its textured material.
//
// A file is read and checked whole before the model is touched, so a refused file leaves the model
// as it was. Beyond what the reader refuses, a cabinet file is refused (ELibraryFileError) when the
// prediction could not use it safely: a frequency-point count other than its grid's, a polar
// resolution that does not divide 180 and 360 degrees or polar counts that do not cover the sphere at
// it, no source or no polar set, a source naming no polar set, or a preset whose transfer functions
// are not one per source. Meshes and pictures that do not decode are reported ("Model 3D invalid
// format", "Invalid Image format") and skipped; the model stays usable.

#include <filesystem>
#include <optional>
#include <string>

#include "platform/core/bitmap.h"

namespace vendrel {

class TCabModel;
class TRigFrameModel;
class TOrnaModel;
class TModel3D;
class TMaterialSource;
class TLightMaterialSource;
struct rCabinetFile;
struct rFrameFile;
struct rOrnamentFile;

// Picture slots of a cabinet model; a slot is written only when the file carries that picture and it
// decodes.
struct TCabModelPictures {
    std::optional<TBitmap>* Image = nullptr;
    std::optional<TBitmap>* ManufacturerLogo = nullptr;
    std::optional<TBitmap>* SerieLogo = nullptr;
};

// Raises ELibraryFileError when the record cannot be loaded safely (see above).
void CheckCabinetRecordLoadable(const rCabinetFile& Record);

// Fills the model, its 3D object (may be nullptr) and the picture slots from the record.
// HighLightMaterial (may be nullptr) becomes every mesh's material.
void FillCabModelFromRecord(const rCabinetFile& Record, TCabModel& CabModel, TModel3D* TheModel3D,
                            TMaterialSource* HighLightMaterial, const TCabModelPictures& Pictures);

// Reads, checks and fills; false when the reader declines the file (the model is then untouched).
bool OpenCabinetFile(const std::filesystem::path& FileName, TCabModel& CabModel, TModel3D* TheModel3D,
                     TMaterialSource* HighLightMaterial, const TCabModelPictures& Pictures,
                     const std::string& SoftwareName);

// Rigging frame: the highlight material's diffuse colour becomes LayerColor before it is given to
// every mesh (a nullptr material is skipped).
void FillFrameModelFromRecord(const rFrameFile& Record, TRigFrameModel& FrameModel, TModel3D* TheModel3D,
                              TLightMaterialSource* HighLightMaterial, TAlphaColor LayerColor);
bool OpenFrameFile(const std::filesystem::path& FileName, TRigFrameModel& FrameModel, TModel3D* TheModel3D,
                   TLightMaterialSource* HighLightMaterial, TAlphaColor LayerColor,
                   const std::string& SoftwareName);

// Ornament: a texture that decodes becomes Material's texture; Material goes to every mesh.
void FillOrnaModelFromRecord(const rOrnamentFile& Record, TOrnaModel& OrnamentModel, TModel3D* TheModel3D,
                             TLightMaterialSource* Material);
bool OpenOrnamentFile(const std::filesystem::path& FileName, TOrnaModel& OrnamentModel, TModel3D* TheModel3D,
                      TLightMaterialSource* Material, const std::string& SoftwareName);

} // namespace vendrel
