// The stored counts of record_enums.h against the model's definitions: a value added to, or removed
// from, one of these enumerations must be decided for the files too.

#include "files/record_enums.h"

#include "acoustics/array_types.h"
#include "acoustics/cab_model.h"
#include "acoustics/cabinet.h"
#include "acoustics/cluster.h"
#include "acoustics/line_array.h"
#include "acoustics/mapping_bands.h"
#include "acoustics/mapping_zone.h"
#include "acoustics/project.h"
#include "dsp/biquad.h"
#include "dsp/dsp_space.h"
#include "dsp/fir.h"
#include "dsp/measure_system.h"
#include "dsp/phase_points.h"
#include "dsp/xover.h"
#include "platform/core/camera.h"
#include "scene/zone_shapes.h"

namespace vendrel {
namespace {

// The last value of an enumeration is its count minus one.
template <typename E> constexpr bool LastIs(E last) {
    return static_cast<unsigned>(last) + 1 == kStoredEnumCount<E>;
}

static_assert(LastIs(TCabPlacement::qzaHorizontal));
static_assert(LastIs(TCabDirection::qzaInvertedDir));
static_assert(LastIs(TArrayMounting::qzaMatrix));
static_assert(LastIs(TOriginType::qzaFlyOnePoint));
static_assert(LastIs(TClusterDistribution::qzaAngVLinH));
static_assert(LastIs(TSubArrangementType::qzaGradientHyperCardioid));
static_assert(LastIs(TSurfaceType::qzaPicture));
static_assert(LastIs(TMappingSides::qzaSPLTwoSide));
static_assert(LastIs(TTextureType::qzaColor));
static_assert(LastIs(TMappingBands::mbOneSixOctave));
static_assert(LastIs(TViewType::qzaFrontView));
static_assert(LastIs(TRenderQuality::qzaVeryHigh));
static_assert(LastIs(TPressureSumType::qzaEnergySum));
static_assert(LastIs(TGenNoiseType::qzaBandLimitPink));
static_assert(LastIs(TCornerType::InnerLine));
static_assert(LastIs(TLightType::ltSpot));
static_assert(LastIs(TWeightening::CWeigthed));
static_assert(LastIs(TSampleRate::sr192k));
static_assert(LastIs(TPeqType::FSHELVINGPA12STD));
static_assert(LastIs(TXoverType::XBessel));
static_assert(LastIs(TXoverHPLP::xhlHighPass));
static_assert(LastIs(TGeqType::qzGeq_ClassicQ));
static_assert(LastIs(TGeqBands::qzBand_user));
static_assert(LastIs(TFIRType::qztfFCustomLatency));
static_assert(LastIs(TPointFirType::qzfptHighShelf));
static_assert(LastIs(TDynType::dtLimiter));
static_assert(LastIs(TThresholdType::dttV));
static_assert(LastIs(TSPKImpedance::qzszCustom));
static_assert(LastIs(TWayType::qzDante4));
static_assert(LastIs(TMeasureSystemBrand::msbWavIR));

} // namespace
} // namespace vendrel
