// The merged triangle mesh of the material group being written, the merge of the host's
// tessellations into it, and its "triangles" geometry block.
//
// The buffers are cleared, not released, between groups, so their storage serves every group of
// a run. The merge appends in place: no array is copied twice.
#pragma once

#include <cstdint>
#include <vector>

#include "toolkit/pro_toolkit.h"

class trvScene_api;

struct MeshBuffers {
    std::vector<float> vertices;  // x, y, z of each vertex, in the solid's coordinates
    std::vector<float> normals;   // x, y, z of the normal of each vertex that has one
    std::vector<float> uv;        // u, v of each vertex that has surface parameters
    std::vector<int32_t> indices; // three vertex numbers per triangle, 0-based in vertices

    void Clear() {
        vertices.clear();
        normals.clear();
        uv.clear();
        indices.clear();
    }

    // Whether every vertex has a normal (and, for HasParallelUv, a parameter pair): only then
    // can the renderer pair them with the vertices.
    bool HasParallelNormals() const {
        return !normals.empty() && normals.size() == vertices.size();
    }
    bool HasParallelUv() const { return !uv.empty() && uv.size() / 2 == vertices.size() / 3; }
};

// The arrays of one host tessellation, each with its element count; an array the host did not
// give is null with count 0.
struct TessellationArrays {
    const ProVector* vertices = nullptr;
    int vertexCount = 0;
    const ProVector* normals = nullptr;
    int normalCount = 0;
    const ProUvParam* params = nullptr;
    int paramCount = 0;
    const ProTriangle* facets = nullptr;
    int facetCount = 0;
};

// Appends one tessellation to mesh: its vertices (as floats), the normals and parameter pairs the
// host gives for them, and its facets with vertexBase added to each vertex number; vertexBase
// then grows by the vertices appended. A tessellation without vertices or without facets adds
// nothing. A facet naming a vertex the tessellation does not have is left out, so every index
// refers to a vertex of the group.
void AppendTessellation(const TessellationArrays& tessellation, MeshBuffers& mesh,
                        int32_t& vertexBase);

// Writes mesh as a "triangles" geometry block into the open object: "vertices", "normals" and
// "uv_tex" when every vertex has them, "triangles".
void WriteMeshGeometry(trvScene_api& api, const MeshBuffers& mesh);
