#include "export/mesh_buffers.h"

#include <algorithm>
#include <cstddef>

#include "scene/scene_api.h"

namespace {

// Grows v by n elements and answers where they start. Capacity grows at least twofold, so that
// a group merged from many small surfaces moves its storage only a few times.
template <class T>
T* GrowBy(std::vector<T>& v, std::size_t n) {
    const std::size_t size = v.size();
    if (v.capacity() - size < n) v.reserve(std::max(size + n, 2 * v.capacity()));
    v.resize(size + n);
    return v.data() + size;
}

void AppendTriples(const ProVector* from, std::size_t count, std::vector<float>& to) {
    float* out = GrowBy(to, 3 * count);
    for (std::size_t k = 0; k < count; ++k) {
        out[3 * k] = static_cast<float>(from[k][0]);
        out[3 * k + 1] = static_cast<float>(from[k][1]);
        out[3 * k + 2] = static_cast<float>(from[k][2]);
    }
}

void AppendPairs(const ProUvParam* from, std::size_t count, std::vector<float>& to) {
    float* out = GrowBy(to, 2 * count);
    for (std::size_t k = 0; k < count; ++k) {
        out[2 * k] = static_cast<float>(from[k][0]);
        out[2 * k + 1] = static_cast<float>(from[k][1]);
    }
}

bool IsVertexOf(int number, int vertexCount) { return number >= 0 && number < vertexCount; }

void AppendFacets(const ProTriangle* facets, int facetCount, int vertexCount, int32_t vertexBase,
                  std::vector<int32_t>& indices) {
    int32_t* out = GrowBy(indices, 3 * static_cast<std::size_t>(facetCount));
    int32_t* next = out;
    for (int f = 0; f < facetCount; ++f) {
        const ProTriangle& facet = facets[f];
        if (!IsVertexOf(facet[0], vertexCount) || !IsVertexOf(facet[1], vertexCount) ||
            !IsVertexOf(facet[2], vertexCount)) {
            continue;
        }
        next[0] = facet[0] + vertexBase;
        next[1] = facet[1] + vertexBase;
        next[2] = facet[2] + vertexBase;
        next += 3;
    }
    indices.resize(indices.size() - static_cast<std::size_t>((out + 3 * facetCount) - next));
}

void SetArray(trvScene_api& api, const char* name, SceneValueType type, const void* data,
              std::size_t count) {
    const SceneArray array = {data, static_cast<std::uint32_t>(count)};
    api.SetParameter(name, type | SceneValueType::Array, &array);
}

}  // namespace

void AppendTessellation(const TessellationArrays& t, MeshBuffers& mesh, int32_t& vertexBase) {
    if (t.vertices == nullptr || t.facets == nullptr || t.vertexCount <= 0 || t.facetCount <= 0) {
        return;
    }
    const std::size_t vertexCount = static_cast<std::size_t>(t.vertexCount);
    AppendTriples(t.vertices, vertexCount, mesh.vertices);
    // A vertex beyond the normals (or parameters) the host gave gets none.
    if (t.normals != nullptr && t.normalCount > 0) {
        AppendTriples(t.normals, std::min(vertexCount, static_cast<std::size_t>(t.normalCount)),
                      mesh.normals);
    }
    if (t.params != nullptr && t.paramCount > 0) {
        AppendPairs(t.params, std::min(vertexCount, static_cast<std::size_t>(t.paramCount)),
                    mesh.uv);
    }
    AppendFacets(t.facets, t.facetCount, t.vertexCount, vertexBase, mesh.indices);
    vertexBase += t.vertexCount;
}

void WriteMeshGeometry(trvScene_api& api, const MeshBuffers& mesh) {
    api.BeginGeometry("triangles");
    SetArray(api, "vertices", SceneValueType::Float3, mesh.vertices.data(),
             mesh.vertices.size() / 3);
    if (mesh.HasParallelNormals()) {
        SetArray(api, "normals", SceneValueType::Float3, mesh.normals.data(),
                 mesh.normals.size() / 3);
    }
    if (mesh.HasParallelUv()) {
        SetArray(api, "uv_tex", SceneValueType::Float, mesh.uv.data(), mesh.uv.size());
    }
    SetArray(api, "triangles", SceneValueType::Int, mesh.indices.data(), mesh.indices.size());
    api.EndGeometry();
}
