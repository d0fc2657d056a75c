#include "files/project_check.h"

#include "acoustics/mapping_bands.h"
#include "files/project_file.h"

#include <cmath>
#include <cstdint>
#include <initializer_list>

namespace vendrel {

namespace {

std::string nth(const char* what, size_t i) {
    return std::string(what) + " " + std::to_string(i + 1);
}

// Collects the first fault found.
class Checker {
public:
    bool ok() const { return fault_.empty(); }
    const std::string& fault() const { return fault_; }

    void fail(const std::string& text) {
        if (fault_.empty()) {
            fault_ = text;
        }
    }
    void finite(double v, double limit, const std::string& what) {
        if (!std::isfinite(v) || std::fabs(v) > limit) {
            fail(what + " holds a value that is not a usable number");
        }
    }
    void point(const TPoint3D& p, double limit, const std::string& what) {
        finite(p.X, limit, what);
        finite(p.Y, limit, what);
        finite(p.Z, limit, what);
    }
    void layer(int64_t id, int32_t layers, const std::string& what) {
        if (id < 0 || id >= layers) {
            fail(what + " names layer " + std::to_string(id) + ", but the file has " +
                 std::to_string(layers) + (layers == 1 ? " layer" : " layers"));
        }
    }
    void process(int32_t id, int32_t processes, const std::string& what) {
        if (id < 0 || id > processes) {
            fail(what + " uses DSP process " + std::to_string(id) + ", but the file has " +
                 std::to_string(processes) + (processes == 1 ? " process" : " processes"));
        }
    }

private:
    std::string fault_;
};

void checkCamera(Checker& c, const rPRJCamera& cam, const char* name) {
    const std::string what = std::string("the ") + name + " camera";
    c.point(cam.DummyPos, kMaxStoredAngle, what);
    c.point(cam.Position, kMaxStoredLength, what);
    c.point(cam.Rotation, kMaxStoredAngle, what);
    c.finite(cam.DummyRotX, kMaxStoredAngle, what);
    c.finite(cam.DummyRotY, kMaxStoredAngle, what);
    if (!std::isfinite(cam.AngleOfView) || cam.AngleOfView <= 0.0 || cam.AngleOfView > 180.0) {
        c.fail(what + " has no usable angle of view");
    }
}

void checkSettings(Checker& c, const rPRJStaticDataFile& s) {
    if (s.MappingColorsRes < 1 || s.MappingColorsRes > kMaxMappingColorsRes) {
        c.fail("its colour resolution " + std::to_string(s.MappingColorsRes) + " is not between 1 and " +
               std::to_string(kMaxMappingColorsRes));
    }
    if (s.SelectedFreqPoint < 0 || s.SelectedFreqPoint >= static_cast<int32_t>(MapFrequencySeries().size())) {
        c.fail("its selected frequency " + std::to_string(s.SelectedFreqPoint) + " is not one of the " +
               std::to_string(MapFrequencySeries().size()) + " map frequencies");
    }
    if (!std::isfinite(s.RangedBSPL) || s.RangedBSPL <= 0.0 || s.RangedBSPL > kMaxStoredRangedB) {
        c.fail("its level range is not a usable span of decibels");
    }
    c.finite(s.MaxdBSPL, kMaxStoredLevel, "its maximum level");
    c.finite(s.MaxPhase, kMaxStoredLevel, "its phase range");
    c.finite(s.MinPhase, kMaxStoredLevel, "its phase range");
    if (s.RefreshTimeMsec < 0) {
        c.fail("its refresh time is negative");
    }
    checkCamera(c, s.CameraSide, "side");
    checkCamera(c, s.CameraTop, "top");
    checkCamera(c, s.Camera3D, "3D");
    checkCamera(c, s.CameraFront, "front");
    if (s.NLayers < 1) {
        c.fail("it has no layer");
    } else if (s.ActiveLayer < 0 || s.ActiveLayer >= s.NLayers) {
        c.fail("its active layer " + std::to_string(s.ActiveLayer) + " is not one of its " +
               std::to_string(s.NLayers) + " layers");
    }
}

void checkItems(Checker& c, const std::vector<rPRJArrayItem>& items, int32_t processes,
                const std::string& owner, bool onlyCabinets) {
    for (size_t i = 0; i < items.size() && c.ok(); ++i) {
        const rPRJArrayItem& item = items[i];
        const std::string what = owner + ", element " + std::to_string(i + 1);
        c.point(item.Rotation, kMaxStoredAngle, what);
        if (onlyCabinets || item.ClassName == "TCabinet") {
            c.process(item.ExtDSPid, processes, what);
        }
    }
}

void checkCluster(Checker& c, const rPRJCluster& r, int32_t layers, int32_t processes,
                  const std::string& what, bool checkLayer) {
    c.point(r.Position, kMaxStoredLength, what);
    c.point(r.Rotation, kMaxStoredAngle, what);
    for (float v : {r.AngularHAngle, r.AngularVAngle}) {
        c.finite(v, kMaxStoredAngle, what);
    }
    for (float v : {r.AngularRadius, r.LinearHSpace, r.LinearVSpace}) {
        c.finite(v, kMaxStoredLength, what);
    }
    if (r.QuantityH < 0 || r.QuantityH > kMaxClusterQuantity || r.QuantityV < 0 ||
        r.QuantityV > kMaxClusterQuantity) {
        c.fail(what + " has " + std::to_string(r.QuantityH) + " x " + std::to_string(r.QuantityV) +
               " cabinets, more than a cluster can hold");
    } else if (static_cast<int64_t>(r.CabinetList.size()) > int64_t{r.QuantityH} * r.QuantityV) {
        c.fail(what + " lists " + std::to_string(r.CabinetList.size()) + " cabinets, but its grid holds " +
               std::to_string(int64_t{r.QuantityH} * r.QuantityV));
    }
    if (checkLayer) {
        c.layer(r.LayerID, layers, what);
    }
    checkItems(c, r.CabinetList, processes, what, true);
}

void checkZone(Checker& c, const rPRJMappingZone& z, int32_t layers, const std::string& what) {
    c.point(z.Position, kMaxStoredLength, what);
    c.point(z.Rotation, kMaxStoredAngle, what);
    for (double v : {z.Width, z.Depth, z.Height, z.TLXRadius, z.TLYRadius, z.TRXRadius, z.TRYRadius,
                     z.BLXRadius, z.BLYRadius, z.BRXRadius, z.BRYRadius, z.ListenLevel, z.TrapezWidth1,
                     z.TrapezWidth2, z.TrapezHeight}) {
        c.finite(v, kMaxStoredLength, what);
    }
    for (double v : {z.ImgTextureOpacity, z.ImgTextureRot}) {
        c.finite(v, kMaxStoredAngle, what);
    }
    for (float v : {z.RefBeginPointX, z.RefBeginPointY, z.RefEndPointX, z.RefEndPointY, z.RefLength}) {
        c.finite(v, 1e9, what);
    }
    for (const TPoint3D& p : z.PolygonPoints) {
        c.point(p, kMaxStoredLength, what);
    }
    c.layer(z.LayerID, layers, what);
}

} // namespace

std::string CheckProcessRecord(const TDspCabinet& Stored) {
    Checker c;
    if (Stored.HasOutputGain) {
        if (Stored.OutputGain.empty()) {
            c.fail("has an output gain without its value");
        } else {
            const rGain& g = Stored.OutputGain.front();
            if (g.Pol != 0 && g.Pol != 1) {
                c.fail("has an unknown polarity");
            }
            c.finite(g.Gain, kMaxStoredLevel, "its gain");
        }
    }
    if (Stored.HasOutputDelay && Stored.OutputDelay.empty()) {
        c.fail("has an output delay without its value");
    }
    if (Stored.HasOutputPeq) {
        if (Stored.OutputPeq.empty()) {
            c.fail("has an output equaliser without its sections");
        } else {
            const auto& sections = Stored.OutputPeq.front().Peqs;
            if (sections.size() > static_cast<size_t>(kMaxStoredPeqSections)) {
                c.fail("has " + std::to_string(sections.size()) + " equaliser sections, more than " +
                       std::to_string(kMaxStoredPeqSections));
            }
            for (const rPeq& p : sections) {
                c.finite(p.GdB, kMaxStoredLevel, "an equaliser section");
                c.finite(p.Q, kMaxStoredLevel, "an equaliser section");
            }
        }
    }
    return c.fault();
}

std::string CheckProjectRecord(const rProjectFile& File) {
    Checker c;
    const rPRJStaticDataFile& s = File.GlobalStaticData;
    checkSettings(c, s);
    if (!c.ok()) {
        return c.fault();
    }
    const int32_t layers = s.NLayers;
    const int32_t processes = s.NDSPProcess;

    for (size_t i = 0; i < File.DSPProcess.size() && c.ok(); ++i) {
        const std::string fault = CheckProcessRecord(File.DSPProcess[i]);
        if (!fault.empty()) {
            c.fail(nth("DSP process", i) + " " + fault);
        }
    }
    for (size_t i = 0; i < File.Cabinets.size() && c.ok(); ++i) {
        const rPRJCabinet& r = File.Cabinets[i];
        const std::string what = nth("cabinet", i);
        c.point(r.Position, kMaxStoredLength, what);
        c.point(r.Rotation, kMaxStoredAngle, what);
        c.layer(r.LayerID, layers, what);
        c.process(r.ExtDSPid, processes, what);
    }
    for (size_t i = 0; i < File.CabArrays.size() && c.ok(); ++i) {
        const rPRJCabArray& r = File.CabArrays[i];
        const std::string what = nth("line array", i);
        c.point(r.Position, kMaxStoredLength, what);
        c.point(r.Rotation, kMaxStoredAngle, what);
        c.finite(r.Tilt, kMaxStoredAngle, what);
        c.finite(r.CableWeightPerMeter, kMaxStoredLength, what);
        c.layer(r.LayerID, layers, what);
        checkItems(c, r.ItemList, processes, what, false);
    }
    for (size_t i = 0; i < File.Clusters.size() && c.ok(); ++i) {
        checkCluster(c, File.Clusters[i], layers, processes, nth("cluster", i), true);
    }
    for (size_t i = 0; i < File.Beams.size() && c.ok(); ++i) {
        const rPRJBeamSteering& r = File.Beams[i];
        const std::string what = nth("beam-steering array", i);
        // A beam-steering array joins the layer selected when it is read: its stored layer is not used.
        checkCluster(c, r.Main, layers, processes, what, false);
        for (const rPRJSingleBeam& beam : r.SingleBeams) {
            c.finite(beam.Angle, kMaxStoredAngle, what);
            c.finite(beam.CurvatureAngle, kMaxStoredAngle, what);
        }
    }
    for (size_t i = 0; i < File.MappingZones.size() && c.ok(); ++i) {
        checkZone(c, File.MappingZones[i], layers, nth("zone", i));
    }
    for (size_t i = 0; i < File.Measures.size() && c.ok(); ++i) {
        const rPRJMeasure& r = File.Measures[i];
        const std::string what = nth("measurement point", i);
        c.point(r.Position, kMaxStoredLength, what);
        c.finite(r.MicDelay_ms, 1e9, what);
        c.layer(r.LayerID, layers, what);
    }
    for (size_t i = 0; i < File.Ornaments.size() && c.ok(); ++i) {
        const rPRJOrnament& r = File.Ornaments[i];
        const std::string what = nth("ornament", i);
        c.point(r.Position, kMaxStoredLength, what);
        c.point(r.Rotation, kMaxStoredAngle, what);
        for (float v : {r.Width, r.Height, r.Depth}) {
            c.finite(v, kMaxStoredLength, what);
        }
        c.layer(r.LayerID, layers, what);
    }
    return c.fault();
}

} // namespace vendrel
