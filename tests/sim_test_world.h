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

// The problems the host noted in this session's record.
inline size_t ProblemCount() {
    const auto& document = Session().record.Document();
    return document.contains("problems") ? document["problems"].size() : 0;
}

}  // namespace sim
