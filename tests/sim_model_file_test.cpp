#include "simhost/model/model_file.h"

#include <cmath>
#include <string>

#include <gtest/gtest.h>

namespace sim {
namespace {

// Parses text as "model.json"; answers the error, empty on success.
std::string ErrorOf(const std::string& text, World* out = nullptr) {
    World world;
    std::string error;
    bool ok = ParseModelFile(text, "model.json", world, error);
    if (ok && out) *out = world;
    return ok ? std::string() : error;
}

// ErrorOf a file of one part, P, with the given entries.
std::string PartError(const std::string& entries) {
    return ErrorOf(R"({"models": [{"name": "P", "type": "part", )" + entries + "}]}");
}

World Parse(const std::string& text) {
    World world;
    std::string error = ErrorOf(text, &world);
    EXPECT_EQ(error, "");
    return world;
}

const char* kTwoModels = R"({
  "current": "ASM",
  "models": [
    {"name": "ASM", "type": "assembly",
     "features": [{"id": 4, "model": "BOLT"}, {"id": 7, "type": 923}]},
    {"name": "BOLT", "type": "part", "shapes": [{"cylinder": {"radius": 2, "height": 10}}]}
  ]
})";

TEST(ModelFile, ReadsModelsComponentsAndDefaults) {
    World world = Parse(kTwoModels);
    ASSERT_EQ(world.models.size(), 2u);
    EXPECT_EQ(world.current, 0);
    EXPECT_EQ(world.mode, 5);
    const Model& assembly = world.models[0];
    EXPECT_EQ(assembly.type, ModelType::Assembly);
    EXPECT_EQ(assembly.lengthUnit, "mm");
    EXPECT_EQ(assembly.verstamp, 1);
    ASSERT_EQ(assembly.features.size(), 2u);
    EXPECT_EQ(assembly.features[0].model, 1);
    EXPECT_EQ(assembly.features[0].type, 1000);
    EXPECT_FALSE(assembly.features[1].IsComponent());
    EXPECT_EQ(assembly.features[1].type, 923);
    EXPECT_EQ(world.models[1].surfaces.size(), 6u);
}

TEST(ModelFile, CurrentPartDefaultsToPartModeAndNoCurrentToNone) {
    World part = Parse(R"({"current": "P", "models": [{"name": "P", "type": "part"}]})");
    EXPECT_EQ(part.mode, 1);
    World none = Parse(R"({"models": [{"name": "P", "type": "part"}]})");
    EXPECT_EQ(none.current, -1);
    World explicitMode =
        Parse(R"({"current": "P", "mode": 2, "models": [{"name": "P", "type": "part"}]})");
    EXPECT_EQ(explicitMode.mode, 2);
}

TEST(ModelFile, ShapesGetIdsAboveTheFilesAndAnAddedFeature) {
    World world = Parse(R"({"models": [{"name": "P", "type": "part",
        "features": [{"id": 40}],
        "surfaces": [{"id": 50, "patch": {"degree": [1, 1], "knots_u": [0, 0, 1, 1],
                      "knots_v": [0, 0, 1, 1], "points": [[0,0,0],[0,1,0],[1,0,0],[1,1,0]]}}],
        "shapes": [{"box": {"min": [0, 0, 0], "max": [1, 2, 3]}, "feature": 40}]}]})");
    const Model& model = world.models[0];
    ASSERT_EQ(model.surfaces.size(), 7u);
    EXPECT_EQ(model.surfaces[0].feature, model.features.back().id);  // no feature given
    EXPECT_GT(model.features.back().id, 50);
    for (size_t i = 1; i < 7; ++i) {
        EXPECT_GT(model.surfaces[i].id, 50);
        EXPECT_EQ(model.surfaces[i].feature, 40);
    }
    EXPECT_EQ(model.edges.size(), 12u);
}

// A turn about z: row 0, the image of x, is (cos, sin, 0) and row 1 (-sin, cos, 0). Whole
// quarter turns are exact, not the C runtime's cos of 90 degrees (some 6e-17).
TEST(ModelFile, TurnsAboutAnAxisAreExactForQuarterTurns) {
    struct Turn {
        double degrees, cos, sin;
    };
    const Turn turns[] = {{90, 0, 1},  {-270, 0, 1},  {450, 0, 1},
                          {180, -1, 0}, {-90, 0, -1}, {30, std::sqrt(3.0) / 2, 0.5}};
    for (const Turn& turn : turns) {
        World world = Parse(R"({"models": [{"name": "A", "type": "assembly", "features": [
            {"id": 1, "model": "P", "placement": {"rotate": {"axis": [0,0,2], "degrees": )" +
                            std::to_string(turn.degrees) + R"(}}}]}, {"name": "P", "type": "part"}]})");
        const Matrix& m = world.models[0].features[0].placement;
        const double tolerance = std::fmod(turn.degrees, 90.0) == 0 ? 0.0 : 2e-16;
        EXPECT_NEAR(m[0][0], turn.cos, tolerance) << turn.degrees;
        EXPECT_NEAR(m[0][1], turn.sin, tolerance) << turn.degrees;
        EXPECT_NEAR(m[1][0], -turn.sin, tolerance) << turn.degrees;
        EXPECT_NEAR(m[1][1], turn.cos, tolerance) << turn.degrees;
        EXPECT_EQ(m[2][2], 1) << turn.degrees;
    }
}

TEST(ModelFile, FaultsReachTheirObjects) {
    World world = Parse(R"({"models": [{"name": "P", "type": "part",
        "faults": ["no_outline", "no_verstamp"],
        "texture": {"file": "a.png", "faults": ["unresolvable"]},
        "simpreps": [{"id": 1, "faults": ["data_unreadable"]}],
        "shapes": [{"rectangle": {"size": [1, 1]}, "surface_faults": ["no_normals"],
                    "chord_height_range": [0.1, 0.5]}]}]})");
    const Model& model = world.models[0];
    EXPECT_TRUE(model.faults.Has(Fault::NoOutline));
    EXPECT_TRUE(model.faults.Has(Fault::NoVerstamp));
    EXPECT_FALSE(model.faults.Has(Fault::NoUnits));
    EXPECT_TRUE(model.texture->faults.Has(Fault::Unresolvable));
    EXPECT_EQ(model.texture->path, "a.png");
    EXPECT_TRUE(model.simpreps[0].faults.Has(Fault::DataUnreadable));
    EXPECT_TRUE(model.surfaces[0].faults.Has(Fault::NoNormals));
    EXPECT_EQ(model.surfaces[0].chordMin, 0.1);
    EXPECT_EQ(model.surfaces[0].chordMax, 0.5);
}

TEST(ModelFile, SyntaxErrorNamesLineAndColumn) {
    // The second comma of line 3 stands in column 18.
    std::string error = ErrorOf("{\n  \"models\": [\n    {\"name\": \"P\",, }\n  ]\n}");
    EXPECT_EQ(error.rfind("model.json: line 3, column 18: ", 0), 0u) << error;
    EXPECT_EQ(ErrorOf("").rfind("model.json: line 1, column 1: ", 0), 0u);
    EXPECT_EQ(ErrorOf(R"({"mode": 1e999})"), "model.json: number overflow parsing '1e999'");
}

TEST(ModelFile, WrongTypeMissingFieldAndUnknownKeyNameThePlace) {
    EXPECT_EQ(ErrorOf(R"({"models": [{"name": 3, "type": "part"}]})"),
              "model.json: /models/0/name: expected a string");
    EXPECT_EQ(ErrorOf(R"({"models": [{"name": "P"}]})"), "model.json: /models/0: missing 'type'");
    EXPECT_EQ(ErrorOf(R"({"modles": []})"), "model.json: /: unknown key 'modles'");
    EXPECT_EQ(PartError(R"("verstamp": 1.5)"),
              "model.json: /models/0/verstamp: expected an integer");
    EXPECT_EQ(PartError(R"("verstamp": 4294967296)"),
              "model.json: /models/0/verstamp: integer out of range");
    EXPECT_EQ(PartError(R"("shapes": [{"box": {"min": [0, 0], "max": [1, 1, 1]}}])"),
              "model.json: /models/0/shapes/0/box/min: expected 3 numbers");
    EXPECT_EQ(ErrorOf(R"({"models": [{"name": "P", "type": "solid"}]})"),
              "model.json: /models/0/type: expected 'assembly' or 'part'");
}

TEST(ModelFile, DanglingReferencesNameThePlace) {
    EXPECT_EQ(ErrorOf(R"({"models": [{"name": "A", "type": "assembly", "features": [
                  {"id": 1, "model": "P"}, {"id": 2, "model": "bolt"}]},
                  {"name": "P", "type": "part"}]})"),
              "model.json: /models/0/features/1/model: no model named 'bolt'");
    EXPECT_EQ(ErrorOf(R"({"current": "X", "models": []})"),
              "model.json: /current: no model named 'X'");
    EXPECT_EQ(ErrorOf(R"({"models": [{"name": "A", "type": "assembly",
                  "features": [{"id": 1, "layers": ["L"]}]}]})"),
              "model.json: /models/0/features/0/layers/0: no layer named 'L'");
    const std::string patch = R"("patch": {"degree": [1, 1], "knots_u": [0, 0, 1, 1],
        "knots_v": [0, 0, 1, 1], "points": [[0,0,0],[0,1,0],[1,0,0],[1,1,0]]})";
    EXPECT_EQ(PartError(R"("surfaces": [{"id": 1, )" + patch +
                        R"(, "contours": [{"edges": [5]}]}])"),
              "model.json: /models/0/surfaces/0/contours/0/edges/0: no edge 5");
    EXPECT_EQ(PartError(R"("surfaces": [{"id": 1, )" + patch +
                        R"(}], "edges": [{"id": 5, "sides": [{"surface": 2}]}])"),
              "model.json: /models/0/edges/0/sides/0/surface: no surface 2");
    EXPECT_EQ(
        PartError(R"("surfaces": [{"id": 1, )" + patch +
                  R"(, "contours": [{"edges": [5]}]}, {"id": 2, )" + patch +
                  R"(}], "edges": [{"id": 5, "sides": [{"surface": 2}]}])"),
        "model.json: /models/0/surfaces/0/contours/0/edges/0: edge 5 does not bound surface 1");
    EXPECT_EQ(PartError(R"("shapes": [{"rectangle": {"size": [1, 1]}, "feature": 9}])"),
              "model.json: /models/0/shapes/0/feature: no feature 9");
}

TEST(ModelFile, RefusesDuplicatesCyclesAndBadShapes) {
    EXPECT_EQ(
        ErrorOf(R"({"models": [{"name": "P", "type": "part"}, {"name": "P", "type": "part"}]})"),
        "model.json: /models/1/name: model 'P' twice");
    EXPECT_EQ(ErrorOf(R"({"models": [{"name": "A", "type": "assembly",
                  "features": [{"id": 1}, {"id": 1}]}]})"),
              "model.json: /models/0/features/1/id: id 1 is used twice");
    EXPECT_EQ(ErrorOf(R"({"models": [
                  {"name": "A", "type": "assembly", "features": [{"id": 1, "model": "B"}]},
                  {"name": "B", "type": "assembly", "features": [{"id": 1, "model": "A"}]}]})"),
              "model.json: /models/1: assembly 'B' contains itself through 'A'");
    EXPECT_EQ(PartError(R"("features": [{"id": 1, "model": "P"}])"),
              "model.json: /models/0/features/0/model: a part has no components");
    EXPECT_EQ(PartError(R"("shapes": [{"cylinder": {"radius": -1, "height": 1}}])"),
              "model.json: /models/0/shapes/0/cylinder: radius and height must be positive");
    EXPECT_EQ(PartError(R"("shapes": [{"box": {"min": [0,0,0], "max": [1,1,1]},
                                       "cylinder": {}}])"),
              "model.json: /models/0/shapes/0: expected one of 'box', 'cylinder' and 'rectangle'");
    EXPECT_EQ(PartError(R"("faults": ["no_normals"])"),
              "model.json: /models/0/faults/0: no fault 'no_normals' here");
    EXPECT_EQ(PartError(R"("surfaces": [{"id": 1, "patch": {"degree": [1, 1],
                  "knots_u": [0, 0, 1, 1], "knots_v": [0, 0, 1, 1], "points": [[0,0,0]]}}])"),
              "model.json: /models/0/surfaces/0/patch: needs (u knots - u degree - 1) x "
              "(v knots - v degree - 1) control points");
}

TEST(ModelFile, RefusesAssembliesNestedTooDeep) {
    std::string text = R"({"models": [)";
    for (int i = 0; i <= kMaxAssemblyDepth; ++i) {
        text += R"({"name": "A)" + std::to_string(i) + R"(", "type": "assembly", "features": [)";
        if (i < kMaxAssemblyDepth)
            text += R"({"id": 1, "model": "A)" + std::to_string(i + 1) + "\"}";
        text += "]},";
    }
    text.back() = ']';
    text += "}";
    EXPECT_NE(ErrorOf(text).find("assemblies nest deeper than 64 levels"), std::string::npos);
}

TEST(ModelFile, MissingFileIsAnError) {
    World world;
    std::string error;
    EXPECT_FALSE(LoadModelFile("/nonexistent/model.json", world, error));
    EXPECT_EQ(error, "/nonexistent/model.json: cannot read the file");
}

}  // namespace
}  // namespace sim
