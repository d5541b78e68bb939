// The merge of tessellations into a material group's mesh, and its "triangles" geometry block
// as the scene file writer writes it.
#include "export/mesh_buffers.h"

#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "scene/scene_api_file.h"
#include "tests/scene_test_file.h"

namespace {

// A square of four vertices in z = 0 (two facets) and a triangle of three in z = 1.
const ProVector kSquare[] = {{0, 0, 0}, {1, 0, 0}, {1, 1, 0}, {0, 1, 0}};
const ProVector kSquareNormals[] = {{0, 0, 1}, {0, 0, 1}, {0, 0, 1}, {0, 0, 1}};
const ProUvParam kSquareParams[] = {{0, 0}, {1, 0}, {1, 1}, {0, 1}};
const ProTriangle kSquareFacets[] = {{0, 1, 2}, {0, 2, 3}};
const ProVector kTriangle[] = {{0, 0, 1}, {2, 0, 1}, {0, 2, 1}};
const ProVector kTriangleNormals[] = {{0, 0, -1}, {0, 0, -1}, {0, 0, -1}};
const ProUvParam kTriangleParams[] = {{0, 0}, {0.5, 0}, {0, 0.5}};
const ProTriangle kTriangleFacets[] = {{0, 1, 2}};

template <size_t N, size_t F>
TessellationArrays Arrays(const ProVector (&vertices)[N], const ProVector (&normals)[N],
                          const ProUvParam (&params)[N], const ProTriangle (&facets)[F]) {
    TessellationArrays t;
    t.vertices = vertices, t.vertexCount = N;
    t.normals = normals, t.normalCount = N;
    t.params = params, t.paramCount = N;
    t.facets = facets, t.facetCount = F;
    return t;
}

TessellationArrays Square() {
    return Arrays(kSquare, kSquareNormals, kSquareParams, kSquareFacets);
}
TessellationArrays Triangle() {
    return Arrays(kTriangle, kTriangleNormals, kTriangleParams, kTriangleFacets);
}

// The arrays of t without normals and params.
TessellationArrays Bare(TessellationArrays t) {
    t.normals = nullptr, t.normalCount = 0;
    t.params = nullptr, t.paramCount = 0;
    return t;
}

class MeshMerge : public ::testing::Test {
protected:
    void Merge(const TessellationArrays& t) { AppendTessellation(t, mesh, base); }

    MeshBuffers mesh;
    int32_t base = 0;
};

TEST_F(MeshMerge, SecondSurfaceIndicesFollowTheFirstSurfaceVertices) {
    Merge(Square());
    Merge(Triangle());
    EXPECT_EQ(base, 7);
    EXPECT_EQ(mesh.indices, (std::vector<int32_t>{0, 1, 2, 0, 2, 3, 4, 5, 6}));
    EXPECT_EQ(mesh.vertices, (std::vector<float>{0, 0, 0, 1, 0, 0, 1, 1, 0, 0, 1, 0,  //
                                                 0, 0, 1, 2, 0, 1, 0, 2, 1}));
    EXPECT_EQ(mesh.normals, (std::vector<float>{0, 0, 1, 0, 0, 1, 0, 0, 1, 0, 0, 1,  //
                                                0, 0, -1, 0, 0, -1, 0, 0, -1}));
    EXPECT_EQ(mesh.uv, (std::vector<float>{0, 0, 1, 0, 1, 1, 0, 1, 0, 0, 0.5f, 0, 0, 0.5f}));
    EXPECT_TRUE(mesh.HasParallelNormals());
    EXPECT_TRUE(mesh.HasParallelUv());
}

TEST_F(MeshMerge, DoublesBecomeTheNearestFloats) {
    const ProVector vertices[] = {{0.1, 1e-50, 16777217.0}};
    const ProTriangle facets[] = {{0, 0, 0}};
    TessellationArrays t;
    t.vertices = vertices, t.vertexCount = 1;
    t.facets = facets, t.facetCount = 1;
    Merge(t);
    EXPECT_EQ(mesh.vertices, (std::vector<float>{0.1f, 0.0f, 16777216.0f}));
}

TEST_F(MeshMerge, SurfaceWithoutFacetsOrVerticesAddsNothing) {
    TessellationArrays noFacets = Square();
    noFacets.facets = nullptr, noFacets.facetCount = 0;
    Merge(noFacets);
    TessellationArrays noVertices = Square();
    noVertices.vertices = nullptr, noVertices.vertexCount = 0;
    Merge(noVertices);
    EXPECT_EQ(base, 0);
    EXPECT_TRUE(mesh.vertices.empty() && mesh.normals.empty() && mesh.uv.empty() &&
                mesh.indices.empty());
    // The next surface's indices are not raised by the square's four vertices.
    Merge(Triangle());
    EXPECT_EQ(mesh.indices, (std::vector<int32_t>{0, 1, 2}));
}

TEST_F(MeshMerge, SurfaceWithoutNormalsOrParamsAddsVerticesAndFacetsOnly) {
    Merge(Bare(Square()));
    EXPECT_EQ(mesh.vertices.size(), 12u);
    EXPECT_EQ(mesh.indices.size(), 6u);
    EXPECT_TRUE(mesh.normals.empty());
    EXPECT_TRUE(mesh.uv.empty());
    // Mixed with a surface that has them, the arrays no longer pair with the vertices.
    Merge(Triangle());
    EXPECT_EQ(mesh.normals.size(), 9u);
    EXPECT_FALSE(mesh.HasParallelNormals());
    EXPECT_FALSE(mesh.HasParallelUv());
}

TEST_F(MeshMerge, NormalsAndParamsBeyondTheVerticesAreNotTaken) {
    TessellationArrays t = Triangle();
    t.normals = kSquareNormals, t.normalCount = 4;  // one more than vertices
    t.params = kSquareParams, t.paramCount = 2;     // one fewer
    Merge(t);
    EXPECT_EQ(mesh.normals.size(), 9u);
    EXPECT_EQ(mesh.uv, (std::vector<float>{0, 0, 1, 0}));
    EXPECT_TRUE(mesh.HasParallelNormals());
    EXPECT_FALSE(mesh.HasParallelUv());
}

TEST_F(MeshMerge, FacetNamingAVertexTheSurfaceLacksIsLeftOut) {
    const ProTriangle facets[] = {{0, 1, 2}, {0, 3, 2}, {-1, 0, 1}, {2, 1, 0}};
    TessellationArrays t = Triangle();
    t.facets = facets, t.facetCount = 4;
    mesh.vertices = {9, 9, 9};  // one vertex of an earlier surface
    base = 1;
    Merge(t);
    EXPECT_EQ(mesh.indices, (std::vector<int32_t>{1, 2, 3, 3, 2, 1}));
    EXPECT_EQ(base, 4);
}

// ---- The geometry block ------------------------------------------------------------------------

class MeshGeometry : public MeshMerge {
protected:
    std::string Write(bool binary) {
        trvScene_api_file writer(file.get(), binary);
        writer.BeginObject("PLATE", true);
        file.Take();
        WriteMeshGeometry(writer, mesh);
        return file.Take();
    }

    SceneTestFile file;
};

TEST_F(MeshGeometry, TextArraysOfTwoMergedSurfaces) {
    Merge(Square());
    Merge(Triangle());
    EXPECT_EQ(Write(false),
              "  geometry \"triangles\" {\n"
              "    \"vertices\" [ 0 0 0,1 0 0,1 1 0,0 1 0,0 0 1,2 0 1,0 2 1 ] ,\n"
              "    \"normals\" [ 0 0 1,0 0 1,0 0 1,0 0 1,0 0 -1,0 0 -1,0 0 -1 ] ,\n"
              // A line break after the ninth element, at the block's indentation.
              "    \"uv_tex\" [ 0,0,1,0,1,1,0,1,0,\n"
              "    0,0.5,0,0,0.5 ] ,\n"
              "    \"triangles\" [ 0,1,2,0,2,3,4,5,6 \n"
              "    ] ,\n"
              "  }\n");
}

TEST_F(MeshGeometry, WithoutParamsOrNormalsTheirArraysAreLeftOut) {
    TessellationArrays t = Triangle();
    t.params = nullptr, t.paramCount = 0;
    Merge(t);
    Merge(Bare(Triangle()));  // normals for three of six vertices: they would pair wrongly
    EXPECT_EQ(Write(false),
              "  geometry \"triangles\" {\n"
              "    \"vertices\" [ 0 0 1,2 0 1,0 2 1,0 0 1,2 0 1,0 2 1 ] ,\n"
              "    \"triangles\" [ 0,1,2,3,4,5 ] ,\n"
              "  }\n");
}

TEST_F(MeshGeometry, BinaryArraysCarryTheFloatsAndIntegers) {
    const ProVector vertices[] = {{0.1, 0, 0}, {1, 0, 0}, {0, -2, 0}};
    const ProVector normals[] = {{0, 0, 1}, {0, 0, 1}, {0, 0, 1}};
    const ProTriangle facets[] = {{0, 1, 2}};
    TessellationArrays t;
    t.vertices = vertices, t.vertexCount = 3;
    t.normals = normals, t.normalCount = 3;
    t.facets = facets, t.facetCount = 1;
    Merge(Square());  // an earlier surface: the triangle's indices start at 4
    mesh.Clear();
    base = 0;
    Merge(t);
    Merge(t);
    const std::string zero = Bytes({0, 0, 0, 0});
    const std::string one = Bytes({0x00, 0x00, 0x80, 0x3f});
    const std::string tenth = Bytes({0xcd, 0xcc, 0xcc, 0x3d});   // 0.1f
    const std::string minusTwo = Bytes({0x00, 0x00, 0x00, 0xc0});
    const std::string triple = tenth + zero + zero + one + zero + zero + zero + minusTwo + zero;
    const std::string up = zero + zero + one;
    EXPECT_EQ(Write(true),
              "  geometry \"triangles\" {\n"
              "    \"vertices\" [ " + Bytes({1, 2, 3, 'c', 18, 0, 0, 0}) + triple + triple +
                  "] ,\n"
              "    \"normals\" [ " + Bytes({1, 2, 3, 'c', 18, 0, 0, 0}) + up + up + up + up + up +
                  up + "] ,\n"
              "    \"triangles\" [ " + Bytes({1, 2, 3, 'i', 6, 0, 0, 0}) +
                  Bytes({0, 0, 0, 0, 1, 0, 0, 0, 2, 0, 0, 0, 3, 0, 0, 0, 4, 0, 0, 0, 5, 0, 0, 0}) +
                  "] ,\n"
              "  }\n");
}

}  // namespace
