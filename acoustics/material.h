#pragma once
// An acoustic material (placeholder until the full class).

namespace vendrel {

class TAcousticMaterial {
public:
    void FreeClass() {}
};

} // namespace vendrel
