#pragma once
// The enumerations of the model that the record files store, and how many values each has.
//
// Records carry the model's own enumeration types; they are declared here without their values so that
// the records need no model headers. A byte read from a file that is not one of an enumeration's values
// is refused (ByteReader::Ordinal8). record_enums.cpp checks every count against the model's
// definition; the one enumeration the model does not define yet follows its list of values, which a
// later definition must keep (first value 0, in this order):
//   TOrnamentType         qzaType01 .. qzaType05

#include <cstdint>

namespace vendrel {

// Placed objects (acoustics/).
enum class TCabPlacement : uint8_t;
enum class TCabDirection : uint8_t;
enum class TArrayMounting : uint8_t;
enum class TOriginType : uint8_t;
enum class TClusterDistribution : uint8_t;
enum class TSubArrangementType : uint8_t;
enum class TSurfaceType : uint8_t;
enum class TMappingSides : uint8_t;
enum class TTextureType : uint8_t;
enum class TOrnamentType : uint8_t;
// Project settings (acoustics/).
enum class TMappingBands : uint8_t;
enum class TViewType : uint8_t;
enum class TRenderQuality : uint8_t;
enum class TPressureSumType : uint8_t;
enum class TGenNoiseType : uint8_t;
// Scene and platform.
enum class TCornerType : uint8_t;
enum class TLightType : uint8_t;
// DSP engine (dsp/).
enum class TWeightening : uint8_t;
enum class TSampleRate : uint8_t;
enum class TPeqType : uint8_t;
enum class TXoverType : uint8_t;
enum class TXoverHPLP : uint8_t;
enum class TGeqType : uint8_t;
enum class TGeqBands : uint8_t;
enum class TFIRType : uint8_t;
enum class TPointFirType : uint8_t;
enum class TDynType : uint8_t;
enum class TThresholdType : uint8_t;
enum class TSPKImpedance : uint8_t;
enum class TWayType : uint8_t;
enum class TMeasureSystemBrand : uint8_t;

template <typename E> struct StoredEnumCountMissing { static constexpr bool value = false; };

// Number of values of an enumeration stored in the record files; every stored enumeration has one.
template <typename E>
inline constexpr unsigned kStoredEnumCount = [] {
    static_assert(StoredEnumCountMissing<E>::value, "an enumeration stored in files needs its count here");
    return 0u;
}();

template <> inline constexpr unsigned kStoredEnumCount<TCabPlacement> = 2;
template <> inline constexpr unsigned kStoredEnumCount<TCabDirection> = 2;
template <> inline constexpr unsigned kStoredEnumCount<TArrayMounting> = 5;
template <> inline constexpr unsigned kStoredEnumCount<TOriginType> = 2;
template <> inline constexpr unsigned kStoredEnumCount<TClusterDistribution> = 4;
template <> inline constexpr unsigned kStoredEnumCount<TSubArrangementType> = 5;
template <> inline constexpr unsigned kStoredEnumCount<TSurfaceType> = 4;
template <> inline constexpr unsigned kStoredEnumCount<TMappingSides> = 3;
template <> inline constexpr unsigned kStoredEnumCount<TTextureType> = 3;
template <> inline constexpr unsigned kStoredEnumCount<TOrnamentType> = 5;
template <> inline constexpr unsigned kStoredEnumCount<TMappingBands> = 6;
template <> inline constexpr unsigned kStoredEnumCount<TViewType> = 4;
template <> inline constexpr unsigned kStoredEnumCount<TRenderQuality> = 5;
template <> inline constexpr unsigned kStoredEnumCount<TPressureSumType> = 2;
template <> inline constexpr unsigned kStoredEnumCount<TGenNoiseType> = 2;
template <> inline constexpr unsigned kStoredEnumCount<TCornerType> = 4;
template <> inline constexpr unsigned kStoredEnumCount<TLightType> = 3;
template <> inline constexpr unsigned kStoredEnumCount<TWeightening> = 3;
template <> inline constexpr unsigned kStoredEnumCount<TSampleRate> = 4;
template <> inline constexpr unsigned kStoredEnumCount<TPeqType> = 20;
template <> inline constexpr unsigned kStoredEnumCount<TXoverType> = 3;
template <> inline constexpr unsigned kStoredEnumCount<TXoverHPLP> = 2;
template <> inline constexpr unsigned kStoredEnumCount<TGeqType> = 2;
template <> inline constexpr unsigned kStoredEnumCount<TGeqBands> = 5;
template <> inline constexpr unsigned kStoredEnumCount<TFIRType> = 8;
template <> inline constexpr unsigned kStoredEnumCount<TPointFirType> = 2;
template <> inline constexpr unsigned kStoredEnumCount<TDynType> = 2;
template <> inline constexpr unsigned kStoredEnumCount<TThresholdType> = 3;
template <> inline constexpr unsigned kStoredEnumCount<TSPKImpedance> = 8;
template <> inline constexpr unsigned kStoredEnumCount<TWayType> = 7;
template <> inline constexpr unsigned kStoredEnumCount<TMeasureSystemBrand> = 22;

} // namespace vendrel
