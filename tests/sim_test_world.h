// Test support: a fresh session of the simulated host whose world is read from model-file text.
#pragma once

#include <string>

#include <gtest/gtest.h>

#include "simhost/host_session.h"
#include "simhost/host_world.h"
#include "simhost/model/model_file.h"
#include "simhost/model/world.h"
#include "simhost/model_functions.h"
#include "simhost/model_handles.h"

namespace sim {

// Starts a fresh session on the world of text; false (with a test failure) when it does not load.
inline bool UseWorld(const std::string& text) {
    FreeModelRecords();
    ResetSession();
    HostWorld() = World{};
    std::string error;
    bool ok = ParseModelFile(text, "test.json", HostWorld(), error);
    EXPECT_TRUE(ok) << error;
    return ok;
}

inline ProMdl Handle(const std::string& name) {
    Model* model = FindModel(HostWorld(), name);
    EXPECT_TRUE(model) << name;
    return model ? ToHandle(*model) : nullptr;
}

// Model-file text of a patch: the bilinear one over the unit square, flat at height z.
inline std::string FlatPatch(int z) {
    const std::string h = std::to_string(z);
    return R"({"degree": [1, 1], "knots_u": [0, 0, 1, 1], "knots_v": [0, 0, 1, 1], "points": )"
           "[[0,0," + h + "],[0,1," + h + "],[1,0," + h + "],[1,1," + h + "]]}";
}

// Model-file text of an edge's UV curve: the straight one from (u0, v0) to (u1, v1), of degree 1
// over the knots 0, 0, end, end.
inline std::string LineCurve(double u0, double v0, double u1, double v1, double end = 1) {
    const auto n = [](double x) { return std::to_string(x); };
    return R"({"degree": 1, "knots": [0, 0, )" + n(end) + ", " + n(end) + R"(], "points": [[)" +
           n(u0) + ", " + n(v0) + "], [" + n(u1) + ", " + n(v1) + "]]}";
}

// Model-file text of an edge's side on surface, whose UV curve is that LineCurve.
inline std::string LineSide(int surface, double u0, double v0, double u1, double v1,
                            double end = 1) {
    return R"({"surface": )" + std::to_string(surface) + R"(, "curve": )" +
           LineCurve(u0, v0, u1, v1, end) + "}";
}

// The problems the host noted in this session's record.
inline size_t ProblemCount() {
    const auto& document = Session().record.Document();
    return document.contains("problems") ? document["problems"].size() : 0;
}

}  // namespace sim
