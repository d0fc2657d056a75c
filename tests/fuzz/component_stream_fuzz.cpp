// Feeds arbitrary bytes to the component-stream reader and the mesh decoding behind it.

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <span>

#include "platform/core/component_stream.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace vendrel;
    const std::span<const uint8_t> bytes(data, size);
    try {
        TModel3D model;
        LoadModelMeshes(model, bytes);
        // Every triangle the decoding keeps names a vertex of its mesh.
        for (int m = 0; m < model.MeshCount(); ++m) {
            const TMeshData& mesh = model.Meshes(m).Data;
            for (int k = 0; k < mesh.TriangleCount(); ++k) {
                if (!mesh.IsValidTriangle(k)) {
                    std::abort();
                }
            }
        }
    } catch (const EComponentStreamError&) {
    }
    try {
        TComponentStreamReader reader(bytes);
        reader.ReadRootComponent();
        if (reader.Position() > size) {
            std::abort();
        }
    } catch (const EComponentStreamError&) {
    }
    return 0;
}
