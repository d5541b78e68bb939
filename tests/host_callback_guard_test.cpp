// The guard around the plug-in's callbacks: a failure is kept, no later callback body runs
// while it is kept, and the host call that ran them throws it once the host returns.
#include <gtest/gtest.h>

#include <stdexcept>

#include "hostcall/host_callback_guard.h"

namespace {

int g_bodies = 0;
ProError g_answers[3];

// A visit action whose first body fails.
ProError Action(int item) {
    return GuardVisitCallback([item] {
        ++g_bodies;
        if (item == 0) throw std::runtime_error("first item");
        return PRO_TK_NO_ERROR;
    });
}

// A host visit that hands every item to the action, whatever it answers.
ProError VisitThreeItems(int* visited) {
    for (int item = 0; item < 3; ++item) g_answers[item] = Action(item);
    *visited = 3;
    return PRO_TK_NO_ERROR;
}

TEST(HostCallbackGuard, AfterAFailureNoBodyRunsAndTheHostCallThrowsIt) {
    int visited = 0;
    EXPECT_THROW(CallRunningCallbacks(VisitThreeItems, &visited), std::runtime_error);
    EXPECT_EQ(visited, 3);
    EXPECT_EQ(g_bodies, 1);
    for (ProError answer : g_answers) EXPECT_EQ(answer, PRO_TK_GENERAL_ERROR);

    // Thrown once: the next call starts clean.
    g_bodies = 0;
    EXPECT_FALSE(CallbackFailureKept());
    EXPECT_EQ(GuardVisitCallback([] { return PRO_TK_CONTINUE; }), PRO_TK_CONTINUE);
}

}  // namespace
