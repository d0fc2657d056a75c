#pragma once
// A stored response curve shown beside the computed ones (placeholder until the full class).

namespace vendrel {

class TOverlay {};

} // namespace vendrel
