// The merged triangle mesh of the material group being written. Cleared, not released, between
// groups, so their storage serves every group of a run.
#pragma once

#include <cstdint>
#include <vector>

struct MeshBuffers {
    std::vector<float> vertices;  // x, y, z of each vertex, in the solid's coordinates
    std::vector<float> normals;   // x, y, z of the normal of each vertex that has one
    std::vector<float> uv;        // u, v of each vertex that has surface parameters
    std::vector<int32_t> indices; // three vertex numbers per triangle

    void Clear() {
        vertices.clear();
        normals.clear();
        uv.clear();
        indices.clear();
    }
};
