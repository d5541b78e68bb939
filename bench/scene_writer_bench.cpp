// The scene file writer on its hot path: one material group's merged mesh written as the four
// arrays of a triangle geometry ("vertices" and "normals" as float triples, "uv_tex" as floats,
// "triangles" as int32), beside a plain fwrite of the same array bytes. The counter
// ratio_to_fwrite is the writer's time over fwrite's for the same mesh in the same run.
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <vector>

#include <benchmark/benchmark.h>

#include "scene/scene_api_file.h"

namespace {

// A square grid of quads, two triangles each: about half as many vertices as triangles, as in a
// tessellated surface.
struct Mesh {
    explicit Mesh(std::int64_t triangleCount)
    {
        std::int64_t side = 1;
        while (2 * side * side < triangleCount)
            ++side;
        const std::int64_t perRow = side + 1;
        for (std::int64_t y = 0; y <= side; ++y) {
            for (std::int64_t x = 0; x <= side; ++x) {
                const float u = static_cast<float>(x) / side;
                const float v = static_cast<float>(y) / side;
                vertices.insert(vertices.end(), {u * 100, v * 100, u * v});
                normals.insert(normals.end(), {0.0f, 0.6f, 0.8f});
                uv.insert(uv.end(), {u, v});
            }
        }
        for (std::int64_t t = 0; t < triangleCount; ++t) {
            const std::int64_t quad = t / 2;
            const auto corner = static_cast<std::int32_t>((quad / side) * perRow + quad % side);
            const auto next = static_cast<std::int32_t>(corner + perRow);
            if (t % 2 == 0)
                triangles.insert(triangles.end(), {corner, corner + 1, next});
            else
                triangles.insert(triangles.end(), {corner + 1, next + 1, next});
        }
    }

    std::uint32_t VertexCount() const { return static_cast<std::uint32_t>(vertices.size() / 3); }

    std::size_t Bytes() const
    {
        return (vertices.size() + normals.size() + uv.size()) * sizeof(float) +
               triangles.size() * sizeof(std::int32_t);
    }

    std::vector<float> vertices, normals, uv;
    std::vector<std::int32_t> triangles;
};

void WriteMesh(trvScene_api& api, const Mesh& mesh)
{
    const SceneArray vertices{mesh.vertices.data(), mesh.VertexCount()};
    const SceneArray normals{mesh.normals.data(), mesh.VertexCount()};
    const SceneArray uv{mesh.uv.data(), static_cast<std::uint32_t>(mesh.uv.size())};
    const SceneArray triangles{mesh.triangles.data(),
                               static_cast<std::uint32_t>(mesh.triangles.size())};
    api.BeginObject("color", true);
    api.BeginGeometry("triangles");
    api.SetParameter("vertices", SceneValueType::Float3 | SceneValueType::Array, &vertices);
    api.SetParameter("normals", SceneValueType::Float3 | SceneValueType::Array, &normals);
    api.SetParameter("uv_tex", SceneValueType::Float | SceneValueType::Array, &uv);
    api.SetParameter("triangles", SceneValueType::Int | SceneValueType::Array, &triangles);
    api.EndGeometry();
    api.EndObject();
}

void PlainWrite(FILE* file, const Mesh& mesh)
{
    std::fwrite(mesh.vertices.data(), sizeof(float), mesh.vertices.size(), file);
    std::fwrite(mesh.normals.data(), sizeof(float), mesh.normals.size(), file);
    std::fwrite(mesh.uv.data(), sizeof(float), mesh.uv.size(), file);
    std::fwrite(mesh.triangles.data(), sizeof(std::int32_t), mesh.triangles.size(), file);
}

template <class Write>
double SecondsOf(FILE* file, Write write)
{
    std::rewind(file);
    const auto start = std::chrono::steady_clock::now();
    write();
    std::fflush(file);
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

// Each iteration writes the mesh through the writer and then the same bytes with fwrite into the
// same file; the benchmark's time is the writer's.
void MeshThroughWriter(benchmark::State& state, bool binaryArrays)
{
    const Mesh mesh(state.range(0));
    FILE* file = std::tmpfile();
    if (file == nullptr) {
        state.SkipWithError("no temporary file");
        return;
    }
    trvScene_api_file writer(file, binaryArrays);
    double writerSeconds = 0, fwriteSeconds = 0;
    for (auto _ : state) {
        const double seconds = SecondsOf(file, [&] { WriteMesh(writer, mesh); });
        fwriteSeconds += SecondsOf(file, [&] { PlainWrite(file, mesh); });
        writerSeconds += seconds;
        state.SetIterationTime(seconds);
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * mesh.Bytes()));
    state.counters["ratio_to_fwrite"] = writerSeconds / fwriteSeconds;
    state.counters["array_MB"] = static_cast<double>(mesh.Bytes()) / 1e6;
}

void BinaryMesh(benchmark::State& state) { MeshThroughWriter(state, true); }
void TextMesh(benchmark::State& state) { MeshThroughWriter(state, false); }

void PlainFwrite(benchmark::State& state)
{
    const Mesh mesh(state.range(0));
    FILE* file = std::tmpfile();
    if (file == nullptr) {
        state.SkipWithError("no temporary file");
        return;
    }
    for (auto _ : state)
        state.SetIterationTime(SecondsOf(file, [&] { PlainWrite(file, mesh); }));
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * mesh.Bytes()));
    std::fclose(file);
}

} // namespace

BENCHMARK(BinaryMesh)->Arg(10000)->Arg(1000000)->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK(PlainFwrite)->Arg(10000)->Arg(1000000)->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK(TextMesh)->Arg(10000)->Arg(1000000)->UseManualTime()->Unit(benchmark::kMillisecond);
