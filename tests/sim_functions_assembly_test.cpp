#include <gtest/gtest.h>

#include <vector>

#include "simhost/host_functions.h"
#include "simhost/host_memory.h"
#include "simhost/model_records.h"
#include "sim_test_world.h"

namespace sim {
namespace {

// A0 holds A1 (id 1) holds A2 (id 2) ... A4 holds P (id 5); each placement turns a quarter about
// z, then moves by (k, 0, 0) for the component of id k. A0 also holds a datum (id 9), a hidden
// component (id 10) and, on two layers, component 11.
std::string DeepWorld() {
    std::string text = R"({"current": "A0", "models": [)";
    for (int k = 0; k < 5; ++k) {
        const std::string child = k < 4 ? "A" + std::to_string(k + 1) : "P";
        text += R"({"name": "A)" + std::to_string(k) + R"(", "type": "assembly", "features": [)";
        text += R"({"id": )" + std::to_string(k + 1) + R"(, "model": ")" + child +
                R"(", "placement": {"rotate": {"axis": [0, 0, 1], "degrees": 90}, "translate": [)" +
                std::to_string(k + 1) + ", 0, 0]}}";
        if (k == 0)
            text += R"(, {"id": 9, "type": 923}, {"id": 10, "model": "P", "hidden": true},
                       {"id": 11, "model": "P", "layer_status": 0, "layers": ["SHOWN", "BLANKED"]})";
        text += "]";
        if (k == 0)
            text +=
                R"(, "layers": [{"name": "SHOWN", "display": 1}, {"name": "BLANKED", "display": 2}],
                       "quilts": [{"id": 30, "feature": 9, "layer_status": 0}],
                       "simpreps": [
                         {"id": 40, "name": "LIGHT", "default_action": 3,
                          "items": [{"path": [1, 2], "action": 1}, {"path": null, "action": 2}]},
                         {"id": 41, "name": "BROKEN", "faults": ["data_unreadable"]}])";
        text += "},";
    }
    text += R"({"name": "P", "type": "part"}]})";
    return text;
}

class AssemblyFunctions : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(UseWorld(DeepWorld())); }
};

// ---- Visits ------------------------------------------------------------------------------------

struct VisitLog {
    std::vector<int> filtered, visited;
    std::vector<ProError> statuses;
    int stopAt = -1;
    bool nest = false;
};

ProError SkipNonComponents(ProFeature* feature, ProAppData data) {
    auto* log = static_cast<VisitLog*>(data);
    log->filtered.push_back(feature->id);
    ProFeattype type = 0;
    sim::ProFeatureTypeGet(feature, &type);
    return type == PRO_FEAT_COMPONENT ? PRO_TK_GENERAL_ERROR : PRO_TK_CONTINUE;
}

ProError Record(ProFeature* feature, ProError status, ProAppData data) {
    auto* log = static_cast<VisitLog*>(data);
    log->visited.push_back(feature->id);
    log->statuses.push_back(status);
    if (log->nest) {
        ProMdl child = nullptr;
        if (sim::ProAsmcompMdlGet(feature, &child) == PRO_TK_NO_ERROR) {
            VisitLog inner;
            sim::ProSolidFeatVisit(child, Record, nullptr, &inner);
            for (int id : inner.visited) log->visited.push_back(100 + id);
        }
    }
    return feature->id == log->stopAt ? PRO_TK_E_NOT_FOUND : PRO_TK_NO_ERROR;
}

TEST_F(AssemblyFunctions, FilterSeesEveryFeatureFirstAndContinueSkips) {
    VisitLog log;
    EXPECT_EQ(sim::ProSolidFeatVisit(Handle("A0"), Record, SkipNonComponents, &log),
              PRO_TK_NO_ERROR);
    EXPECT_EQ(log.filtered, (std::vector<int>{1, 9, 10, 11}));
    EXPECT_EQ(log.visited, (std::vector<int>{1, 10, 11}));
    // The action gets the filter's answer as its status.
    EXPECT_EQ(log.statuses, (std::vector<ProError>(3, PRO_TK_GENERAL_ERROR)));
}

TEST_F(AssemblyFunctions, ActionAnsweringOtherThanNoErrorEndsTheVisitWithThatAnswer) {
    VisitLog log;
    log.stopAt = 9;
    EXPECT_EQ(sim::ProSolidFeatVisit(Handle("A0"), Record, nullptr, &log), PRO_TK_E_NOT_FOUND);
    EXPECT_EQ(log.visited, (std::vector<int>{1, 9}));
    EXPECT_EQ(sim::ProSolidFeatVisit(Handle("A0"), nullptr, nullptr, &log), PRO_TK_BAD_INPUTS);
}

TEST_F(AssemblyFunctions, VisitsNest) {
    VisitLog log;
    log.nest = true;
    EXPECT_EQ(sim::ProSolidFeatVisit(Handle("A0"), Record, nullptr, &log), PRO_TK_NO_ERROR);
    EXPECT_EQ(log.visited, (std::vector<int>{1, 102, 9, 10, 11}));
}

TEST_F(AssemblyFunctions, FeaturesAndComponents) {
    ProFeature component{kItemFeature, 10, Handle("A0")};
    ProMdl model = nullptr;
    ASSERT_EQ(sim::ProAsmcompMdlGet(&component, &model), PRO_TK_NO_ERROR);
    EXPECT_EQ(model, Handle("P"));
    ProBoolean hidden = PRO_B_FALSE;
    ASSERT_EQ(sim::ProModelitemIsHidden(&component, &hidden), PRO_TK_NO_ERROR);
    EXPECT_EQ(hidden, PRO_B_TRUE);
    ProFeature datum{kItemFeature, 9, Handle("A0")};
    EXPECT_NE(sim::ProAsmcompMdlGet(&datum, &model), PRO_TK_NO_ERROR);
    ProFeatStatus status = -1;
    ASSERT_EQ(sim::ProFeatureStatusGet(&datum, &status), PRO_TK_NO_ERROR);
    EXPECT_EQ(status, 0);
}

// ---- Paths -------------------------------------------------------------------------------------

TEST_F(AssemblyFunctions, DeepPathPlacementIsTheProductAlongThePath) {
    const int ids[] = {1, 2, 3, 4, 5};
    ProAsmcomppath path{};
    ASSERT_EQ(sim::ProAsmcomppathInit(Handle("A0"), ids, 5, &path), PRO_TK_NO_ERROR);
    ProMatrix m;
    ASSERT_EQ(sim::ProAsmcomppathTrfGet(&path, PRO_B_TRUE, m), PRO_TK_NO_ERROR);
    // Worked by hand, one level at a time from P outward: the origin of P lands on (3, -2, 0)
    // and its x axis, turned five quarters, points along y.
    const double expected[4][4] = {{0, 1, 0, 0}, {-1, 0, 0, 0}, {0, 0, 1, 0}, {3, -2, 0, 1}};
    for (int r = 0; r < 4; ++r)
        for (int c = 0; c < 4; ++c) EXPECT_NEAR(m[r][c], expected[r][c], 1e-12) << r << "," << c;

    ProMatrix inverse;
    ASSERT_EQ(sim::ProAsmcomppathTrfGet(&path, PRO_B_FALSE, inverse), PRO_TK_NO_ERROR);
    Matrix product = Multiply(ToMatrix(m), ToMatrix(inverse));
    for (int r = 0; r < 4; ++r)
        for (int c = 0; c < 4; ++c) EXPECT_NEAR(product[r][c], r == c ? 1 : 0, 1e-12);
}

TEST_F(AssemblyFunctions, PathsThatLeadNowhereOrAreTooLong) {
    ProAsmcomppath path{};
    const int wrong[] = {1, 9};
    ASSERT_EQ(sim::ProAsmcomppathInit(Handle("A0"), wrong, 2, &path), PRO_TK_NO_ERROR);
    ProMatrix m;
    EXPECT_EQ(sim::ProAsmcomppathTrfGet(&path, PRO_B_TRUE, m), PRO_TK_E_NOT_FOUND);
    std::vector<int> tooMany(PRO_MAX_ASSEMBLY_LEVEL + 1, 1);
    EXPECT_EQ(
        sim::ProAsmcomppathInit(Handle("A0"), tooMany.data(), PRO_MAX_ASSEMBLY_LEVEL + 1, &path),
        PRO_TK_BAD_INPUTS);
    ASSERT_EQ(sim::ProAsmcomppathInit(Handle("A0"), nullptr, 0, &path), PRO_TK_NO_ERROR);
    ASSERT_EQ(sim::ProAsmcomppathTrfGet(&path, PRO_B_TRUE, m), PRO_TK_NO_ERROR);
    EXPECT_EQ(m[3][0], 0);
    EXPECT_EQ(m[0][0], 1);
}

// ---- Layers ------------------------------------------------------------------------------------

TEST_F(AssemblyFunctions, LayerItemsTheirStatusAndTheirLayersDisplay) {
    ProMdl top = Handle("A0");
    ProLayerItem item{};
    ASSERT_EQ(sim::ProLayerItemInit(PRO_LAYER_ITEM_FEATURE, 11, top, &item), PRO_TK_NO_ERROR);
    ProLayerItemStatus status = 1;
    ASSERT_EQ(sim::ProLayeritemStatusGet(&item, nullptr, &status), PRO_TK_NO_ERROR);
    EXPECT_EQ(status, 0);
    ProLayer* layers = nullptr;
    ASSERT_EQ(sim::ProLayeritemLayersGet(nullptr, &item, &layers), PRO_TK_NO_ERROR);
    ASSERT_EQ(HostArraySize(layers), 2);
    std::vector<ProLayerDisplay> displays;
    for (int i = 0; i < 2; ++i) {
        ProLayerDisplay display = 0;
        ASSERT_EQ(sim::ProLayerDisplaystatusGet(&layers[i], &display), PRO_TK_NO_ERROR);
        displays.push_back(display);
    }
    EXPECT_EQ(displays, (std::vector<ProLayerDisplay>{1, 2}));
    ProArray array = layers;
    EXPECT_EQ(sim::ProArrayFree(&array), PRO_TK_NO_ERROR);

    ASSERT_EQ(sim::ProLayerItemInit(PRO_LAYER_ITEM_FEATURE, 1, top, &item), PRO_TK_NO_ERROR);
    ASSERT_EQ(sim::ProLayeritemStatusGet(&item, nullptr, &status), PRO_TK_NO_ERROR);
    EXPECT_EQ(status, 1);
    ASSERT_EQ(sim::ProLayeritemLayersGet(nullptr, &item, &layers), PRO_TK_NO_ERROR);
    EXPECT_EQ(HostArraySize(layers), 0);
    FreeHostArray(layers);

    ASSERT_EQ(sim::ProLayerItemInit(PRO_LAYER_ITEM_QUILT, 30, top, &item), PRO_TK_NO_ERROR);
    ASSERT_EQ(sim::ProLayeritemStatusGet(&item, nullptr, &status), PRO_TK_NO_ERROR);
    EXPECT_EQ(status, 0);
    EXPECT_EQ(sim::ProLayerItemInit(PRO_LAYER_ITEM_QUILT, 31, top, &item), PRO_TK_E_NOT_FOUND);
}

// ---- Simplified representations ----------------------------------------------------------------

ProError CollectRep(ProSimprep* rep, ProError, ProAppData data) {
    static_cast<std::vector<ProSimprep>*>(data)->push_back(*rep);
    return PRO_TK_NO_ERROR;
}

ProError CollectItem(ProSimprepitem* item, ProError, ProAppData data) {
    static_cast<std::vector<ProSimprepitem>*>(data)->push_back(*item);
    return PRO_TK_NO_ERROR;
}

TEST_F(AssemblyFunctions, SimplifiedRepresentationsTheirDataAndItems) {
    std::vector<ProSimprep> reps;
    ASSERT_EQ(sim::ProSolidSimprepVisit(Handle("A0"), nullptr, CollectRep, &reps), PRO_TK_NO_ERROR);
    ASSERT_EQ(reps.size(), 2u);
    EXPECT_EQ(reps[0].id, 40);

    ProSimprepdata* data = nullptr;
    ASSERT_EQ(sim::ProSimprepdataGet(&reps[0], &data), PRO_TK_NO_ERROR);
    ProSimprepActionType action = 0;
    ASSERT_EQ(sim::ProSimprepdataDefaultGet(data, &action), PRO_TK_NO_ERROR);
    EXPECT_EQ(action, 3);
    std::vector<ProSimprepitem> items;
    ASSERT_EQ(sim::ProSimprepdataitemsVisit(data, nullptr, CollectItem, &items), PRO_TK_NO_ERROR);
    ASSERT_EQ(items.size(), 2u);
    EXPECT_EQ(items[0].path_size, 2);
    EXPECT_EQ(items[0].item_path[1], 2);
    EXPECT_EQ(items[0].action.type, 1);
    EXPECT_EQ(items[1].path_size, -1);
    EXPECT_EQ(sim::ProSimprepdataFree(&data), PRO_TK_NO_ERROR);
    EXPECT_EQ(data, nullptr);
    ProSimprepdata* stale = items.empty() ? nullptr : reinterpret_cast<ProSimprepdata*>(&items[0]);
    EXPECT_EQ(sim::ProSimprepdataFree(&stale), PRO_TK_BAD_INPUTS);

    EXPECT_EQ(sim::ProSimprepdataGet(&reps[1], &data), PRO_TK_GENERAL_ERROR);
    EXPECT_EQ(LiveModelRecords(), 0u);
}

}  // namespace
}  // namespace sim
