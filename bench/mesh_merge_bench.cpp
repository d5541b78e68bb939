// The merge of a material group's surface tessellations into its mesh (MeshBuffers), as the
// surface export does it for each group: every surface's vertices, normals and parameters
// narrowed to floats and appended, its facets appended with the vertex base added. The surfaces
// are host-shaped arrays (doubles, int triples) of 16 x 16 cells each; the group has about as
// many triangles as the argument.
//
// KeptBuffers clears the buffers before each merge and keeps their storage, as the plug-in object
// does from group to group; NewBuffers starts each merge from empty storage, as the first group
// of a run does.
#include <cstdint>
#include <vector>

#include <benchmark/benchmark.h>

#include "export/mesh_buffers.h"

namespace {

constexpr int kCells = 16;  // per direction of one surface
constexpr int kSide = kCells + 1;
constexpr int kTrianglesPerSurface = 2 * kCells * kCells;

// One tessellated surface as the host hands it over.
struct HostSurface {
    explicit HostSurface(int index) {
        const double z = index * 0.5;
        for (int i = 0; i < kSide; ++i) {
            for (int j = 0; j < kSide; ++j) {
                const double u = static_cast<double>(i) / kCells;
                const double v = static_cast<double>(j) / kCells;
                vertices.push_back({u * 100.0, v * 100.0, z + u * v});
                normals.push_back({0.0, 0.6, 0.8});
                params.push_back({u, v});
            }
        }
        for (int i = 0; i < kCells; ++i) {
            for (int j = 0; j < kCells; ++j) {
                const int a = i * kSide + j, b = a + kSide;
                facets.push_back({a, b, b + 1});
                facets.push_back({a, b + 1, a + 1});
            }
        }
    }

    TessellationArrays Arrays() const {
        TessellationArrays t;
        t.vertices = &vertices[0].v, t.vertexCount = static_cast<int>(vertices.size());
        t.normals = &normals[0].v, t.normalCount = static_cast<int>(normals.size());
        t.params = &params[0].p, t.paramCount = static_cast<int>(params.size());
        t.facets = &facets[0].f, t.facetCount = static_cast<int>(facets.size());
        return t;
    }

    // The host's element types wrapped, so that vectors can hold them.
    struct Vector { ProVector v; };
    struct Param { ProUvParam p; };
    struct Facet { ProTriangle f; };
    std::vector<Vector> vertices, normals;
    std::vector<Param> params;
    std::vector<Facet> facets;
};

static_assert(sizeof(HostSurface::Vector) == sizeof(ProVector), "host vectors lie end to end");
static_assert(sizeof(HostSurface::Param) == sizeof(ProUvParam), "host parameters lie end to end");
static_assert(sizeof(HostSurface::Facet) == sizeof(ProTriangle), "host facets lie end to end");

std::vector<TessellationArrays> Group(std::int64_t triangles, std::vector<HostSurface>& keep) {
    const std::int64_t count = (triangles + kTrianglesPerSurface - 1) / kTrianglesPerSurface;
    for (std::int64_t i = 0; i < count; ++i) keep.emplace_back(static_cast<int>(i));
    std::vector<TessellationArrays> arrays;
    for (const HostSurface& surface : keep) arrays.push_back(surface.Arrays());
    return arrays;
}

void Merge(const std::vector<TessellationArrays>& group, MeshBuffers& mesh) {
    mesh.Clear();
    int32_t vertexBase = 0;
    for (const TessellationArrays& surface : group) AppendTessellation(surface, mesh, vertexBase);
    benchmark::DoNotOptimize(mesh.indices.data());
}

void Report(benchmark::State& state, const std::vector<TessellationArrays>& group) {
    const std::int64_t triangles =
        static_cast<std::int64_t>(group.size()) * kTrianglesPerSurface;
    state.SetItemsProcessed(state.iterations() * triangles);
    state.counters["surfaces"] = static_cast<double>(group.size());
    state.counters["triangles"] = static_cast<double>(triangles);
}

void KeptBuffers(benchmark::State& state) {
    std::vector<HostSurface> surfaces;
    const std::vector<TessellationArrays> group = Group(state.range(0), surfaces);
    MeshBuffers mesh;
    Merge(group, mesh);  // the storage a previous group left behind
    for (auto _ : state) Merge(group, mesh);
    Report(state, group);
}

void NewBuffers(benchmark::State& state) {
    std::vector<HostSurface> surfaces;
    const std::vector<TessellationArrays> group = Group(state.range(0), surfaces);
    for (auto _ : state) {
        MeshBuffers mesh;
        Merge(group, mesh);
    }
    Report(state, group);
}

}  // namespace

BENCHMARK(KeptBuffers)->Arg(10000)->Arg(1000000)->Unit(benchmark::kMicrosecond);
BENCHMARK(NewBuffers)->Arg(10000)->Arg(1000000)->Unit(benchmark::kMicrosecond);
