// The component walk against the simulated host: group nesting and placements, the visibility
// filter, the simplified representation's inclusion, the change test and the manual selection
// of an Update, the depth limit of component paths.
#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "export/component_walk.h"
#include "export/simplified_rep.h"
#include "simhost/function_table.h"
#include "simhost/host_functions.h"
#include "simhost/host_session.h"
#include "simhost/host_world.h"
#include "simhost/model/world.h"
#include "simhost/model_functions.h"
#include "tests/sim_export_fixture.h"
#include "toolkit/toolkit_binding.h"

namespace {

using Lines = std::vector<std::string>;

const char* kIdentity = "Transform(1 0 0 0 0 1 0 0 0 0 1 0 0 0 0 1)";

// A box shape, so that a model has surfaces and gets a group of its own.
std::string Box() { return R"("shapes": [{"box": {"min": [0, 0, 0], "max": [1, 1, 1]}}])"; }

// CELL holds, in feature order: P at (10, 0, 0); SUB turned a quarter about z and moved to
// (100, 0, 0), which holds P at (5, 0, 0) and has a box of its own; P hidden; P suppressed; a
// datum; P with its layer item hidden; P on a blanked layer; P at (0, 0, 7) on a shown layer and
// on one of display status -1. CELL has a box of its own.
std::string CellWorld() {
    return R"({"current": "CELL", "models": [
      {"name": "CELL", "type": "assembly", )" + Box() + R"(,
       "layers": [{"name": "SHOWN", "display": 1}, {"name": "BLANKED", "display": 2},
                  {"name": "ALSO_SHOWN", "display": -1}],
       "features": [
         {"id": 1, "model": "P", "placement": {"translate": [10, 0, 0]}},
         {"id": 2, "model": "SUB",
          "placement": [[0, 1, 0, 0], [-1, 0, 0, 0], [0, 0, 1, 0], [100, 0, 0, 1]]},
         {"id": 3, "model": "P", "hidden": true},
         {"id": 4, "model": "P", "status": 1},
         {"id": 5, "type": 923},
         {"id": 6, "model": "P", "layer_status": 0},
         {"id": 7, "model": "P", "layers": ["SHOWN", "BLANKED"]},
         {"id": 8, "model": "P", "layers": ["ALSO_SHOWN", "SHOWN"],
          "placement": {"translate": [0, 0, 7]}}]},
      {"name": "SUB", "type": "assembly", )" + Box() + R"(,
       "features": [{"id": 21, "model": "P", "placement": {"translate": [5, 0, 0]}}]},
      {"name": "P", "type": "part", )" + Box() + R"(}]})";
}

// TOP holds A (id 1) and B (id 2), parts side by side, and S (id 3), a sub-assembly of C (31)
// and D (32). Only the parts have surfaces.
std::string PartsWorld(const std::string& simpreps = "") {
    return R"({"current": "TOP", "models": [
      {"name": "TOP", "type": "assembly",
       "features": [{"id": 1, "model": "A"}, {"id": 2, "model": "B"}, {"id": 3, "model": "S"}])" +
           (simpreps.empty() ? "" : ", " + simpreps) + R"(},
      {"name": "S", "type": "assembly",
       "features": [{"id": 31, "model": "C"}, {"id": 32, "model": "D"}]},
      {"name": "A", "type": "part", )" + Box() + R"(},
      {"name": "B", "type": "part", )" + Box() + R"(},
      {"name": "C", "type": "part", )" + Box() + R"(},
      {"name": "D", "type": "part", "faults": ["no_verstamp"], )" + Box() + R"(}]})";
}

ProAsmcomppath Path(std::initializer_list<int> ids) {
    ProAsmcomppath path = {};
    for (int id : ids) path.comp_id_table[path.table_num++] = id;
    return path;
}

class ComponentWalk : public SimExportTest {
protected:
    bool Start(const std::string& world, const std::string& script = "") {
        if (!SimExportTest::Start(world, script)) return false;
        // Meshes only: the walk's decisions show in the groups, flags and objects.
        App().settings.includeNURBS = false;
        root.simprepItems = &items;
        return true;
    }

    // One walk of the current model in the host's mode.
    void Walk() {
        ProMdl model = nullptr;
        ProMdlCurrentGet(&model);
        ProMode mode = 0;
        ProModeCurrentGet(&mode);
        scene.Clear();
        App().ExportModel(&model, mode, &root, "TOP");
    }

    // The scene's structure after the cameras: groups, their flags, objects, animation blocks
    // and transforms.
    Lines Outline() const {
        Lines outline;
        const Lines& calls = scene.Calls();
        size_t start = 0;
        for (size_t i = 0; i < calls.size(); ++i) {
            if (calls[i] == "EndCamera()") start = i + 1;
        }
        for (size_t i = start; i < calls.size(); ++i) {
            for (const char* kind : {"BeginGroup", "EndGroup", "SetFlags", "Transform",
                                     "BeginObject", "BeginAnimation"}) {
                if (calls[i].rfind(kind, 0) == 0) outline.push_back(calls[i]);
            }
        }
        return outline;
    }

    // The groups of the part name that hold objects (its geometry was sent), in order.
    Lines GroupsWithGeometry() const {
        Lines found;
        const Lines outline = Outline();
        for (size_t i = 0; i + 1 < outline.size(); ++i) {
            if (outline[i].rfind("BeginGroup", 0) == 0 && outline[i + 1] == "SetFlags(1024)") {
                found.push_back(outline[i]);
            }
        }
        return found;
    }

    // The representation chosen for the current model, into root and items.
    bool ChooseRep() {
        ProMdl model = nullptr;
        ProMdlCurrentGet(&model);
        return ChooseSimplifiedRep(&model, &root);
    }

    // An Update in manual selection mode, with the picks of the script's next step.
    void PickForManualUpdate() {
        App().updateInProgress = true;
        App().settings.selectionMode = 1;
        ProSelect("prt_or_asm", -1, nullptr, nullptr, nullptr, nullptr, &App().selectedComponents,
                  &App().selectedComponentCount);
    }

    std::vector<std::vector<int>> StampedPaths() {
        std::vector<std::vector<int>> paths;
        for (const auto& entry : App().componentVersionStamps) {
            paths.emplace_back(entry.first.comp_id_table,
                               entry.first.comp_id_table + entry.first.table_num);
        }
        return paths;
    }

    SimprepItemMap items;
    ComponentVisitData root;
};

// ---- Structure -----------------------------------------------------------------------------

TEST_F(ComponentWalk, GroupsNestAsTheAssemblyWithEachPlacementInItsEnclosingGroup) {
    ASSERT_TRUE(Start(CellWorld()));
    Walk();
    const Lines expected = {
        // P at (10, 0, 0)
        "BeginGroup(P, place)", "SetFlags(1024)", "BeginObject(P, place)",
        "Transform(1 0 0 0 0 1 0 0 0 0 1 0 10 0 0 1)", "EndGroup()",
        // SUB: its component placed in SUB's coordinates, then SUB's own placement
        "BeginGroup(SUB, place)", "SetFlags(32768)",
        "BeginGroup(P, place)", "SetFlags(1024)", "BeginObject(P, place)",
        "Transform(1 0 0 0 0 1 0 0 0 0 1 0 5 0 0 1)", "EndGroup()",
        "Transform(0 1 0 0 -1 0 0 0 0 0 1 0 100 0 0 1)", "EndGroup()",
        // SUB's own surfaces after its group, with the same placement
        "BeginGroup(SUB, place)", "SetFlags(1024)", "BeginObject(SUB, place)",
        "Transform(0 1 0 0 -1 0 0 0 0 0 1 0 100 0 0 1)", "EndGroup()",
        // P on two shown layers; the hidden, suppressed, datum and blanked ones are left out
        "BeginGroup(P, place)", "SetFlags(1024)", "BeginObject(P, place)",
        "Transform(1 0 0 0 0 1 0 0 0 0 1 0 0 0 7 1)", "EndGroup()",
        // the top model's own surfaces last
        "BeginGroup(TOP, place)", "SetFlags(1024)", "BeginObject(CELL, place)", kIdentity,
        "EndGroup()"};
    EXPECT_EQ(Outline(), expected);
    // A stamp for every admitted component, none for the skipped ones or below them.
    EXPECT_EQ(StampedPaths(), (std::vector<std::vector<int>>{{1}, {2}, {8}, {2, 21}}));
    EXPECT_EQ(HostProblems(), "[]");
}

TEST_F(ComponentWalk, PartModesAddTheModelsOwnGroupToTheCamerasWithoutAWalk) {
    // Any other mode but assembly mode writes the cameras alone.
    for (int mode : {1, 2, 0, 3, -1}) {
        ASSERT_TRUE(Start(R"({"current": "CELL", "mode": )" + std::to_string(mode) +
                          R"(, "models": [{"name": "CELL", "type": "assembly", )" + Box() +
                          R"(, "features": [{"id": 1, "model": "CELL2"}]},
                              {"name": "CELL2", "type": "part", )" + Box() + "}]}"));
        Walk();
        const bool partMode = mode == 1 || mode == 2;
        EXPECT_EQ(Outline(), (partMode ? Lines{"BeginGroup(TOP, place)", "SetFlags(1024)",
                                               "BeginObject(CELL, place)", kIdentity, "EndGroup()"}
                                       : Lines{}))
            << mode;
        EXPECT_EQ(scene.CallsStartingWith({"BeginCamera"}).size(), 1u) << mode;
        EXPECT_TRUE(App().componentVersionStamps.empty()) << mode;
    }
}

TEST_F(ComponentWalk, ASubAssemblyWithoutSurfacesOfItsOwnGetsOneGroup) {
    ASSERT_TRUE(Start(PartsWorld()));
    Walk();
    EXPECT_EQ(GroupsWithGeometry(), (Lines{"BeginGroup(A, place)", "BeginGroup(B, place)",
                                           "BeginGroup(C, place)", "BeginGroup(D, place)"}));
    // The sub-assembly without surfaces of its own gets its group and no second one.
    EXPECT_EQ(scene.CallsStartingWith({"BeginGroup(S"}).size(), 1u);
}

// A host whose code page spells a character in several bytes (UTF-8 here): its narrow model
// names run longer than their characters.
char* Utf8WstringToString(char* narrow, const ProWchar* wide) {
    char* out = narrow;
    for (; *wide != 0; ++wide) {
        const unsigned c = *wide;
        if (c < 0x80) {
            *out++ = static_cast<char>(c);
        } else if (c < 0x800) {
            *out++ = static_cast<char>(0xC0 | (c >> 6));
            *out++ = static_cast<char>(0x80 | (c & 0x3F));
        } else {
            *out++ = static_cast<char>(0xE0 | (c >> 12));
            *out++ = static_cast<char>(0x80 | ((c >> 6) & 0x3F));
            *out++ = static_cast<char>(0x80 | (c & 0x3F));
        }
    }
    *out = 0;
    return narrow;
}

void* Utf8HostLookup(const char* name) {
    static const sim::FunctionTable table = [] {
        sim::FunctionTable functions;
        sim::RegisterRuntimeFunctions(functions);
        sim::RegisterModelFunctions(functions);
        functions.Add("ProWstringToString", reinterpret_cast<void*>(&Utf8WstringToString));
        return functions;
    }();
    return table.Find(name);
}

TEST_F(ComponentWalk, ANameLongerInItsCodePageThanItsBufferIsCutToThirtyOneBytes) {
    // 31 characters that take 61 bytes: "P" and 30 two-byte letters.
    std::string name = "P";
    for (int i = 0; i < 30; ++i) name += "\xC3\x84";
    ASSERT_TRUE(Start(R"({"current": "CELL", "models": [
      {"name": "CELL", "type": "assembly", "features": [{"id": 1, "model": ")" + name + R"("}]},
      {"name": ")" + name + R"(", "type": "part", )" + Box() + "}]}"));
    ToolkitBind(&Utf8HostLookup);
    Walk();
    std::string cut = "P";
    for (int i = 0; i < 15; ++i) cut += "\xC3\x84";
    EXPECT_EQ(Outline(), (Lines{"BeginGroup(" + cut + ", place)", "SetFlags(1024)",
                                "BeginObject(" + cut + ", place)", kIdentity, "EndGroup()"}));
}

TEST_F(ComponentWalk, ComponentsBelowTheDeepestPathAreLeftOut) {
    // A0 holds A1 holds ... A29 holds P, each at id 1: a path reaches 25 identifiers at A25.
    std::string world = R"({"current": "A0", "models": [)";
    for (int k = 0; k < 30; ++k) {
        const std::string child = k < 29 ? "A" + std::to_string(k + 1) : "P";
        world += R"({"name": "A)" + std::to_string(k) + R"(", "type": "assembly", "features": [)" +
                 R"({"id": 1, "model": ")" + child + R"("}]},)";
    }
    world += R"({"name": "P", "type": "part", )" + Box() + "}]}";
    ASSERT_TRUE(Start(world));
    Walk();
    EXPECT_EQ(App().componentVersionStamps.size(), 25u);
    EXPECT_EQ(scene.CallsStartingWith({"BeginGroup"}).size(), 25u);
    EXPECT_EQ(scene.CallsStartingWith({"EndGroup"}).size(), 25u);
    EXPECT_EQ(HostProblems(), "[]");
}

TEST_F(ComponentWalk, AnimatedComponentsCarryTheirBlockBeforeTheirPlacement) {
    ASSERT_TRUE(Start(CellWorld()));
    // Two frames each for SUB and for the part inside it, keyed by their paths from the top.
    FramePlacement still = {{{1, 0, 0, 0}, {0, 1, 0, 0}, {0, 0, 1, 0}, {0, 0, 0, 1}}};
    FramePlacement moved = still;
    moved.matrix[3][2] = 1;
    App().animationFrames[Path({2})] = {still, moved};
    App().animationFrames[Path({2, 21})] = {moved, still};
    App().frameCount = 2;
    Walk();
    const Lines outline = Outline();
    const Lines sub(outline.begin() + 5, outline.begin() + 15);
    EXPECT_EQ(sub, (Lines{"BeginGroup(SUB, place)", "SetFlags(32768)", "BeginGroup(P, place)",
                          "SetFlags(1024)", "BeginObject(P, place)",
                          "BeginAnimation(fbx_animation, P)",
                          "Transform(1 0 0 0 0 1 0 0 0 0 1 0 5 0 0 1)", "EndGroup()",
                          "BeginAnimation(fbx_animation, SUB)",
                          "Transform(0 1 0 0 -1 0 0 0 0 0 1 0 100 0 0 1)"}));
    // SUB's own surfaces carry SUB's block too; nothing else is animated.
    EXPECT_EQ(scene.CallsStartingWith({"BeginAnimation"}),
              (Lines{"BeginAnimation(fbx_animation, P)", "BeginAnimation(fbx_animation, SUB)",
                     "BeginAnimation(fbx_animation, SUB)"}));
}

// ---- Simplified representations ----------------------------------------------------------

TEST_F(ComponentWalk, RepresentationItemsDecideWhichComponentsSendGeometry) {
    // Every component keeps its group and placement; only the included ones send geometry.
    const struct {
        ProSimprepActionType defaultAction;
        std::vector<std::pair<ProAsmcomppath, ProSimprepActionType>> items;
        Lines expected;
    } cases[] = {
        // Default exclude: only a component with an including item.
        {PRO_SIMPREP_EXCLUDE, {{Path({2}), PRO_SIMPREP_INCLUDE}}, {"BeginGroup(B, place)"}},
        // A reverse item inverts the inclusion inherited: A under the excluding default is
        // included, C under the included S is excluded.
        {PRO_SIMPREP_EXCLUDE,
         {{Path({1}), PRO_SIMPREP_REVERSE}, {Path({3}), PRO_SIMPREP_INCLUDE},
          {Path({3, 31}), PRO_SIMPREP_REVERSE}},
         {"BeginGroup(A, place)", "BeginGroup(D, place)"}},
        // Default include: the components of an excluded sub-assembly are included all the same.
        {PRO_SIMPREP_INCLUDE,
         {{Path({3}), PRO_SIMPREP_EXCLUDE}, {Path({3, 32}), PRO_SIMPREP_EXCLUDE}},
         {"BeginGroup(A, place)", "BeginGroup(B, place)", "BeginGroup(C, place)"}},
    };
    for (const auto& c : cases) {
        ASSERT_TRUE(Start(PartsWorld()));
        root.includeInherited = false;
        root.defaultAction = c.defaultAction;
        items.clear();
        for (const auto& [path, type] : c.items) items[path].type = type;
        Walk();
        EXPECT_EQ(GroupsWithGeometry(), c.expected);
        EXPECT_EQ(scene.CallsStartingWith({"BeginGroup"}).size(), 5u);
    }
}

TEST_F(ComponentWalk, TheRepresentationIsTheOnlyOneOrTheUsersChoice) {
    const std::string several = R"("simpreps": [
        {"id": 7, "name": "LIGHT", "default_action": 3, "items": [{"path": [1], "action": 2}]},
        {"id": -1, "name": "MASTER", "default_action": 2},
        {"id": 9, "name": "BROKEN", "default_action": 3, "faults": ["data_unreadable"]}])";
    const auto choose = [](const char* name) {
        return std::string(R"({"steps": [{"simprep": ")") + name + "\"}]}";
    };
    using Items = std::map<std::vector<int>, ProSimprepActionType>;
    const struct {
        const char* story;
        std::string simpreps, script;
        bool chosen, includeInherited;
        ProSimprepActionType defaultAction;
        Items items;
    } cases[] = {
        {"none: everything, without asking", "", "", true, true, PRO_SIMPREP_INCLUDE, {}},
        // The item without a path adds nothing; a later item of the same path replaces the
        // earlier.
        {"a single one, without asking", R"("simpreps": [{"id": 7, "name": "LIGHT",
            "default_action": 3, "items": [{"path": [2], "action": 2}, {"path": null, "action": 3},
            {"path": [3, 31], "action": 1}, {"path": [2], "action": 1}]}])",
         "", true, false, PRO_SIMPREP_EXCLUDE,
         {{{2}, PRO_SIMPREP_REVERSE}, {{3, 31}, PRO_SIMPREP_REVERSE}}},
        // The master representation, and one whose data cannot be read, include everything.
        {"the master chosen", several, choose("MASTER"), true, true, PRO_SIMPREP_INCLUDE, {}},
        {"an unreadable one chosen", several, choose("BROKEN"), true, true, PRO_SIMPREP_INCLUDE,
         {}},
        {"cancelled: false, the record left", several, R"({"steps": [{"cancel": "simprep"}]})",
         false, false, 77, {}},
        {"LIGHT chosen", several, choose("LIGHT"), true, false, PRO_SIMPREP_EXCLUDE,
         {{{1}, PRO_SIMPREP_INCLUDE}}},
    };
    for (const auto& c : cases) {
        ASSERT_TRUE(Start(PartsWorld(c.simpreps), c.script)) << c.story;
        items.clear();
        root.includeInherited = false;
        root.defaultAction = 77;
        EXPECT_EQ(ChooseRep(), c.chosen) << c.story;
        EXPECT_EQ(root.includeInherited, c.includeInherited) << c.story;
        EXPECT_EQ(root.defaultAction, c.defaultAction) << c.story;
        Items found;
        for (const auto& [path, item] : items) {
            found[{path.comp_id_table, path.comp_id_table + path.table_num}] = item.type;
        }
        EXPECT_EQ(found, c.items) << c.story;
        EXPECT_EQ(sim::Session().record.Document()["simprep_choices"].empty(), c.script.empty())
            << c.story;
        EXPECT_EQ(HostProblems(), "[]") << c.story;
    }
    Walk();  // with LIGHT
    EXPECT_EQ(GroupsWithGeometry(), Lines{"BeginGroup(A, place)"});
}

// ---- Update: change test and manual selection -------------------------------------------

TEST_F(ComponentWalk, UpdateSendsTheGeometryOfChangedComponentsOnly) {
    ASSERT_TRUE(Start(PartsWorld()));
    App().updateInProgress = true;
    Walk();  // no stamps recorded yet: every path counts as changed
    EXPECT_EQ(GroupsWithGeometry().size(), 4u);
    ASSERT_TRUE(sim::BumpVerstamp(sim::HostWorld(), "B"));
    Walk();
    // B changed; D's stamp cannot be read, so it counts as changed every time.
    EXPECT_EQ(GroupsWithGeometry(), (Lines{"BeginGroup(B, place)", "BeginGroup(D, place)"}));
    // Every admitted component still gets its group and placement.
    EXPECT_EQ(scene.CallsStartingWith({"BeginGroup"}).size(), 5u);
    EXPECT_EQ(App().componentVersionStamps.count(Path({3, 32})), 0u);

    Walk();  // nothing changed since
    EXPECT_EQ(GroupsWithGeometry(), Lines{"BeginGroup(D, place)"});
}

TEST_F(ComponentWalk, UpdateSendsEverythingBelowAPickedSubAssembly) {
    ASSERT_TRUE(Start(PartsWorld(), R"({"steps": [{"select": [[3]]}, {"select": [[]]}]})"));
    Walk();
    PickForManualUpdate();
    EXPECT_FALSE(PicksTopModel(App().selectedComponents, App().selectedComponentCount));
    Walk();
    EXPECT_EQ(GroupsWithGeometry(), (Lines{"BeginGroup(C, place)", "BeginGroup(D, place)"}));

    // The picks count only in manual mode.
    App().settings.selectionMode = 0;
    Walk();
    EXPECT_EQ(GroupsWithGeometry(), Lines{"BeginGroup(D, place)"});

    // The top model picked (an empty path): the road hands it down as selected from the root.
    PickForManualUpdate();
    root.selectedInherited = PicksTopModel(App().selectedComponents, App().selectedComponentCount);
    EXPECT_TRUE(root.selectedInherited);
    Walk();
    EXPECT_EQ(GroupsWithGeometry().size(), 4u);
}

TEST_F(ComponentWalk, PicksLeaveExcludedComponentsWithoutGeometry) {
    ASSERT_TRUE(Start(PartsWorld(), R"({"steps": [{"select": [[1], [2]]}]})"));
    Walk();
    PickForManualUpdate();
    root.includeInherited = false;
    root.defaultAction = PRO_SIMPREP_INCLUDE;
    items[Path({2})].type = PRO_SIMPREP_EXCLUDE;
    Walk();
    EXPECT_EQ(GroupsWithGeometry(), (Lines{"BeginGroup(A, place)", "BeginGroup(D, place)"}));
}

}  // namespace
