#pragma once
// The pictures zones are dressed with: reading a picture file, turning a picture by the texture
// rotation, and where a library texture lies. Zone commands, the picture flow of the zone panel and
// the project open share them.

#include "platform/core/bitmap.h"

#include <filesystem>
#include <optional>
#include <string>

namespace vendrel {

// The picture in the file, decoded; nothing when the file cannot be read or does not decode.
std::optional<TBitmap> ReadPicture(const std::filesystem::path& File);

// Turns a picture by Degrees, clockwise for positive angles, in whole quarter turns; an angle that is
// not a whole number of quarter turns (or not finite) leaves the picture as it is.
void RotatePicture(TBitmap& Image, double Degrees);

// The file of the library texture Name in the application data folder AppDataPath.
std::filesystem::path LibraryTextureFile(const std::filesystem::path& AppDataPath, const std::string& Name);

} // namespace vendrel
