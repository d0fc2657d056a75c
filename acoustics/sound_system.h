#pragma once
// A sound system grouping placed objects (placeholder until the full class).

namespace vendrel {

class TSystem {
public:
    void FreeClass() {}
};

} // namespace vendrel
