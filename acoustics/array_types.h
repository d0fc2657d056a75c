#pragma once
// Kinds shared by line arrays and clusters; stored in files by ordinal.

#include <cstdint>

namespace vendrel {

enum class TArrayMounting : uint8_t { qzaFlown, qzaStacked, qzaHorizCluster, qzaVertCluster, qzaMatrix };

} // namespace vendrel
