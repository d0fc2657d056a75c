#pragma once
// Steps shared by the project's registry operations: adding, removing and copying placed objects.

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

#include "acoustics/project.h"
#include "platform/core/numeric.h"

namespace vendrel {

// The operation's breadcrumb, "---------------------AcousticProject." and its name; the project also
// writes it to the debug log.
inline void RegistryBreadcrumb(TAcousticProject& Project, const std::string& Name) {
    Project.SetLastLogString("---------------------AcousticProject." + Name);
}

// Takes Item out of an owning list and hands it over; ERangeError when the list does not hold it.
template <typename T> std::unique_ptr<T> TakeOut(std::vector<std::unique_ptr<T>>& List, const T* Item) {
    const auto it = std::find_if(List.begin(), List.end(), [Item](const auto& p) { return p.get() == Item; });
    if (it == List.end()) {
        throw ERangeError("List index out of bounds");
    }
    std::unique_ptr<T> owned = std::move(*it);
    List.erase(it);
    return owned;
}

} // namespace vendrel
