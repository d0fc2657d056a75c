#include "acoustics/sound_system.h"

#include <algorithm>
#include <typeinfo>

#include "acoustics/beam_steering.h"
#include "acoustics/cabinet.h"
#include "acoustics/cluster.h"
#include "acoustics/element_bounds.h"
#include "acoustics/line_array.h"
#include "acoustics/mapping_zone.h"
#include "acoustics/ornament.h"

namespace vendrel {

namespace {

template <typename Kind> int32_t countKind(const std::vector<TQzControl3D*>& list) {
    return static_cast<int32_t>(std::count_if(list.begin(), list.end(), [](const TQzControl3D* o) {
        return dynamic_cast<const Kind*>(o) != nullptr;
    }));
}

// Members of exactly this class (derived classes do not count).
template <typename Kind> int32_t countExactly(const std::vector<TQzControl3D*>& list) {
    return static_cast<int32_t>(std::count_if(list.begin(), list.end(), [](const TQzControl3D* o) {
        return o != nullptr && typeid(*o) == typeid(Kind);
    }));
}

// Arrays and clusters are measured by their elements; every other member by its own node box.
TBoundingBox memberBounds(const TQzControl3D& member) {
    if (const auto* array = dynamic_cast<const TCabArray*>(&member)) {
        return array->GlobalBounds();
    }
    if (const auto* cluster = dynamic_cast<const TCluster*>(&member)) {
        return cluster->GlobalBounds();
    }
    return member.GlobalBounds();
}

} // namespace

TSystem::TSystem(TAcousticProject* AcousticProjectOwner)
    : TQzControl3D(nullptr), FMyAcousticProject(AcousticProjectOwner) {}

int32_t TSystem::NCabinets() const {
    return countKind<TCabinet>(FObjectList);
}
int32_t TSystem::NCabArrays() const {
    return countKind<TCabArray>(FObjectList);
}
int32_t TSystem::NClusters() const {
    return countExactly<TCluster>(FObjectList);
}
int32_t TSystem::NBeams() const {
    return countExactly<TBeamContainer>(FObjectList);
}
int32_t TSystem::NMappingZones() const {
    return countKind<TMappingZone>(FObjectList);
}
int32_t TSystem::NOrnaments() const {
    return countKind<TOrnament>(FObjectList);
}

TBoundingBox TSystem::GlobalBounds() const {
    TBoundingBox box;
    for (const TQzControl3D* member : FObjectList) {
        if (member != nullptr) {
            box = box.Union(memberBounds(*member));
        }
    }
    return box;
}

TBoundingBox TSystem::LocalBounds() const {
    return CentredBounds(GlobalBounds());
}

} // namespace vendrel
