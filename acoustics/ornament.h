#pragma once
// A decorative object placed in the venue (placeholder until the full class).

namespace vendrel {

class TOrnament {
public:
    void FreeClass() {}
};

} // namespace vendrel
