// The stand-in live-link library's objects as the Windows plug-in meets them: reached through
// their tables only, and freed, when the plug-in destroys the factory through place 0 with the
// flag 1, each at the address it was made at.
#include "renderer/tabled_objects.h"

#include <gtest/gtest.h>

#include "renderer/live_link_tables.h"

namespace {

TEST(TabledObjects, FactoryDestroyedThroughPlaceZeroFreesItselfAndItsScenesWhereTheyWereMade)
{
    LiveLinkFactory* factory = NewTabledFactory();
    ASSERT_NE(factory, nullptr);
    const FactoryTable& table = TableOf<FactoryTable>(factory);
    trvScene_api* scenes[] = {table.CreateSceneApi(factory), table.CreateSceneApi(factory)};
    ASSERT_NE(scenes[0], nullptr);
    EXPECT_NE(scenes[0], scenes[1]);
    EXPECT_EQ(CountTabledObjects().live, 3);

    table.DeletingDestructor(factory, kDeleteFreesMemory);
    EXPECT_EQ(CountTabledObjects().live, 0);
    EXPECT_EQ(CountTabledObjects().strayFrees, 0);
}

}  // namespace
