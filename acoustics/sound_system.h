#pragma once
// A sound system: a named and versioned group of placed objects, saved to and loaded from
// sound-system files as a unit.

#include <cstdint>
#include <string>
#include <vector>

#include "platform/core/geometry3d.h"
#include "scene/scene_object.h"

namespace vendrel {

class TAcousticProject;

// A scene node without owner: the project's list frees it. It owns its member list, not the members.
class TSystem : public TQzControl3D {
public:
    explicit TSystem(TAcousticProject* AcousticProjectOwner);

    // Kept for the release path that the other placed objects share; the owner deletes the system.
    void FreeClass() {}

    TAcousticProject* MyAcousticProject() const { return FMyAcousticProject; }
    uint8_t UpdateVersion() const { return FUpdateVersion; }
    void SetUpdateVersion(uint8_t Value) { FUpdateVersion = Value; }
    // The members; not owned.
    const std::vector<TQzControl3D*>& ObjectList() const { return FObjectList; }
    std::vector<TQzControl3D*>& ObjectList() { return FObjectList; }
    int32_t NumberID() const { return FNumberID; }
    void SetNumberID(int32_t Value) { FNumberID = Value; }
    const std::string& Name() const { return FName; }
    void SetName(const std::string& Value) { FName = Value; }
    const std::string& Description() const { return FDescription; }
    void SetDescription(const std::string& Value) { FDescription = Value; }
    bool HasSystemPicture() const { return FHasSystemPicture; }
    void SetHasSystemPicture(bool Value) { FHasSystemPicture = Value; }

    // Members counted by kind. A beam-steering array counts in NBeams only, never in NClusters.
    int32_t NObjects() const { return static_cast<int32_t>(FObjectList.size()); }
    int32_t NCabinets() const;
    int32_t NCabArrays() const;
    int32_t NClusters() const;
    int32_t NBeams() const;
    int32_t NMappingZones() const;
    int32_t NOrnaments() const;

    // The union of the members' scene boxes in list order, from the empty box at the origin.
    TBoundingBox GlobalBounds() const;
    // The box of GlobalBounds' size centred on the origin.
    TBoundingBox LocalBounds() const;

private:
    TAcousticProject* FMyAcousticProject = nullptr; // not owned
    uint8_t FUpdateVersion = 0;
    std::vector<TQzControl3D*> FObjectList;
    int32_t FNumberID = 0;
    std::string FName;
    std::string FDescription;
    bool FHasSystemPicture = false;
};

} // namespace vendrel
