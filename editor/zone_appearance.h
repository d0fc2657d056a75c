#pragma once
// The look of the selected zones, set from a zone panel: the faces that carry the texture, the plain
// colour, a picture file, a library texture, the texture's rotation and opacity, its transparent
// colour, and clearing it. Every command walks the selection in order and acts on each zone that is
// not locked by its own lock; most leave a zone that already has the value alone.
//
// A picture is read and decoded once, before any zone is touched, and every zone gets its own copy.
// A file that cannot be read or does not decode is reported and no zone changes: neither its picture
// nor its names. The commands that take a zone's picture back to its unturned form (rotation,
// transparent colour) read every file they need first, with the same rule.

#include "platform/core/bitmap.h"

#include <cstdint>
#include <filesystem>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <vector>

namespace vendrel {

struct TEditorState;
class TAcousticProject;
class TMappingZone;
class TKindRegistry;
enum class TTextureType : uint8_t;

class TZoneAppearance {
public:
    TZoneAppearance(TEditorState& State, TKindRegistry& Kinds);

    // The application data folder, where the library textures lie.
    std::filesystem::path AppDataPath;
    // The window's memory figures are read again.
    std::function<void()> OnShowMemoryInfo;

    // The faces that carry the texture (front, the side walls, back).
    void SetTextureSideOnSelection(bool Front, bool Shaft, bool Back);
    void SetZoneColorOnSelection(TAlphaColor Color);
    // A picture file on every selected zone that does not show it yet; false when it was refused.
    bool SetZonePictureOnSelection(const std::string& FileName);
    // A library texture (its file and its name) on every selected zone; false when it was refused.
    bool SetZoneTextureOnSelection(const std::string& FileName, const std::string& Name);
    // The texture rotation as the rotation list shows it ("0", "90", "-90", "180").
    bool SetZoneRotateTextureOnSelection(const std::string& Text);
    // The opacity in percent, as the opacity field shows it.
    void SetOpacityTextureOnSelection(const std::string& Text);
    // The transparent colour and its tolerance; Clear: no colour is transparent.
    bool SetZoneTransparentOnSelection(TAlphaColor Color, int32_t Tolerance, bool Clear);
    void SetZoneClearTextureOnSelection();

    // The file a zone's picture is read from again: its picture file, or its library texture; none
    // for a plain colour.
    std::optional<std::filesystem::path> PictureSource(const TMappingZone& Zone) const;
    // Reads Zone's picture again from Source (LoadPicture): the new picture replaces the old one and
    // Source becomes its picture path. False, and the zone unchanged, when the file does not decode.
    static bool LoadPicture(TMappingZone& Zone, const std::filesystem::path& Source, TTextureType Type);

    // The message for a picture file that cannot be read or decoded.
    static std::string PictureErrorText(const std::filesystem::path& File);

private:
    // The unlocked zones of the selection, in order.
    std::vector<TMappingZone*> selectedZones() const;
    // Reads each distinct file once; false (after telling the user) when one fails.
    bool readAll(const std::vector<std::filesystem::path>& Files,
                 std::map<std::filesystem::path, TBitmap>& Pictures) const;
    // The zone's picture back from its source, unturned.
    void reload(TMappingZone& Zone, const std::map<std::filesystem::path, TBitmap>& Pictures) const;
    void refreshPanel(TMappingZone& Zone, bool Values) const;
    void showMemoryInfo() const;

    TEditorState& st_;
    TKindRegistry& kinds_;
};

} // namespace vendrel
