// The level map of a turned zone is painted on the SPL surface of the zone's drawn solid; the map
// kernel computes each pixel at a point of its own frame, lifted by the zone's listening point. Both
// must be the same point, or colours land where other levels were computed. The distance each pixel's
// level was computed at is read back from the kernel's real output (1 / r beyond the 1 m clamp).

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <memory>

#include "acoustics/cab_model.h"
#include "acoustics/cabinet.h"
#include "acoustics/mapping_zone.h"
#include "acoustics/zone_data.h"
#include "model_fixture.h"
#include "platform/core/node3d.h"
#include "scene/zone_shapes.h"

namespace vendrel {
namespace {

using testing::ModelFixture;

// The zone's drawn object as the editor lays it out: the zones' frame (turned -90 degrees about X),
// a holder at the zone's position turned by minus its Y angle, a rotation holder, and the rectangle
// solid turned by its X and Z angles; the solid is as thick as the slab plus the listening height
// and carries the SPL surface that height beyond its front face.
struct DrawnZone {
    explicit DrawnZone(const TMappingZone& zone, bool growsUpwards) {
        zonesFrame.SetRotationAngle({-90, 0, 0});
        holder.SetParent(&zonesFrame);
        rotationHolder.SetParent(&holder);
        solid.SetParent(&rotationHolder);
        const TPoint3D pos = zone.Position(), angles = zone.RotationAngle(), rc = zone.RotationCenter();
        holder.SetPosition({pos.X, -pos.Z, zone.Height() / 2 - pos.Y});
        holder.SetRotationAngle({0, 0, -angles.Y});
        holder.SetRotationCenter(rc);
        solid.SetRotationAngle({angles.X, angles.Z, 0});
        solid.SetRotationCenter(rc);
        solid.IsThicknessParriba = [growsUpwards] { return growsUpwards; };
        solid.SetListeningOffset(zone.ListenLevel());
        solid.SetDimensions({zone.Width(), zone.Height() + zone.ListenLevel(), zone.Depth()});
        solid.RebuildMesh();
    }

    // Scene point of the centre of map pixel (w, l) on the SPL surface, read from its mesh.
    TPoint3D pixelCentre(int w, int l, float pixel) const {
        const auto& v = solid.Data.VertexBuffer;
        float left = v.at(0).Position.X, top = v.at(0).Position.Y;
        for (const auto& p : v) {
            left = std::min(left, p.Position.X);
            top = std::min(top, p.Position.Y);
        }
        return solid.LocalToAbsolute3D(
            {left + (w + 0.5f) * pixel, top + (l + 0.5f) * pixel, v[0].Position.Z});
    }

    TDummy zonesFrame, holder, rotationHolder;
    TQzRectangle3D solid;
};

TEST(ZoneFrame, KernelDistancesMatchTheDrawnSplSurfaceOfATurnedZone) {
    ModelFixture f;
    const float pixel = 0.5f;
    f.medium.StorePixelToMeters(pixel);
    f.medium.SetAirLoss(false);
    TCabModel model{&f.medium, f.project.get()};
    model.SetPolarResolutionDegrees(30);
    for (size_t e = 0; e < model.PolarData()[0].size(); ++e) {
        for (size_t a = 0; a < model.PolarData()[0][e].size(); ++a) {
            rPolarData direction = model.PolarData()[0][e][a];
            std::fill(direction.MagnitudePerFreq.begin(), direction.MagnitudePerFreq.end(), 1.0f); // omni
            model.SetPolarPoint(0, e, a, std::move(direction));
        }
    }
    const TPoint3D angleSets[] = {{0, 0, 0}, {25, -130, 15}, {-60, 80, 45}, {10, 35, -20}};
    const TPoint3D source(-3.0f, -9.0f, 6.0f); // scene point (Y down): 9 m up
    for (const bool upwards : {true, false}) {
        f.project->SetZonasCrecenParriba(upwards);
        for (const TPoint3D& angles : angleSets) {
            SCOPED_TRACE(::testing::Message() << "angles " << angles.X << ", " << angles.Y << ", " << angles.Z
                                              << (upwards ? ", growing upwards" : ""));
            // Begin corner 1.5 m up; 6 x 4 m, 0.3 m thick; listening at the default 1.7 m.
            TMappingZone& zone = *TMappingZone::Create(
                &f.medium, f.project.get(), "Zone", {2.0f, 1.5f, -4.0f}, angles, 6.0f, 4.0f, 0.3f, false,
                TSurfaceType::qzaRectangle, f.project->ZoneCreationColor(), true);
            ASSERT_EQ(zone.WidthPixels(), 12);
            ASSERT_EQ(zone.DepthPixels(), 8);
            const auto cab =
                std::make_unique<TCabinet>(&f.medium, &model, f.project.get(), source, TPoint3D(), false,
                                           TCabPlacement::qzaVertical, true, f.project->BypassProcess(), 1);
            const int32_t z = zone.ZoneIndexID();
            ASSERT_TRUE(cab->GetMap3D(-1, z));
            const TZoneData& map = *cab->MapData().at(static_cast<size_t>(z));

            const DrawnZone drawn(zone, upwards);
            for (const auto& [w, l] : {std::pair{0, 0}, {11, 0}, {0, 7}, {11, 7}, {6, 4}}) {
                const TPoint3D p = drawn.pixelCentre(w, l, pixel);
                const double dx = p.X - source.X, dy = p.Y - source.Y, dz = p.Z - source.Z;
                const double expected = std::sqrt(dx * dx + dy * dy + dz * dz);
                ASSERT_GT(expected, 1.5); // beyond the 1 m clamp: the amplitude is 1 / distance
                const double amplitude =
                    std::hypot(double(map.MapRealFreq().At(0, w, l)), double(map.MapImagFreq().At(0, w, l)));
                // Single-precision geometry and storage: a few 1e-6 relative.
                EXPECT_NEAR(1.0 / amplitude, expected, 5e-5 * expected) << "pixel " << w << ", " << l;
            }
        }
    }
}

} // namespace
} // namespace vendrel
