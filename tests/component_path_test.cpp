// The order of component paths, the key order of every map keyed by a path.
#include <gtest/gtest.h>

#include <initializer_list>

#include "export/component_path.h"

namespace {

ProAsmcomppath Path(std::initializer_list<int> ids, ProSolid owner = nullptr) {
    ProAsmcomppath path = {};
    path.owner = owner;
    for (int id : ids) path.comp_id_table[path.table_num++] = id;
    return path;
}

}  // namespace

TEST(ComponentPathLess, FewerIdentifiersComeFirst) {
    EXPECT_TRUE(ComponentPathLess(Path({}), Path({1})));
    EXPECT_TRUE(ComponentPathLess(Path({900}), Path({1, 2})));
    EXPECT_FALSE(ComponentPathLess(Path({1, 2}), Path({900})));
}

TEST(ComponentPathLess, IdentifiersCompareOneByOneAsSignedNumbers) {
    EXPECT_TRUE(ComponentPathLess(Path({1, 2, 3}), Path({1, 2, 4})));
    EXPECT_FALSE(ComponentPathLess(Path({1, 2, 4}), Path({1, 2, 3})));
    EXPECT_TRUE(ComponentPathLess(Path({-5}), Path({3})));
    EXPECT_TRUE(ComponentPathLess(Path({2, 9}), Path({3, 0})));
}

TEST(ComponentPathLess, TheOwnerTakesNoPart) {
    int a = 0, b = 0;
    const ProAsmcomppath first = Path({4, 5}, reinterpret_cast<ProSolid>(&a));
    const ProAsmcomppath second = Path({4, 5}, reinterpret_cast<ProSolid>(&b));
    EXPECT_FALSE(ComponentPathLess(first, second));
    EXPECT_FALSE(ComponentPathLess(second, first));
}

TEST(ComponentPathLess, CountsBeyondTheTableReadNoFurther) {
    ProAsmcomppath a = Path({});
    ProAsmcomppath b = Path({});
    a.table_num = b.table_num = 1000;
    b.comp_id_table[PRO_MAX_ASSEMBLY_LEVEL - 1] = 1;
    EXPECT_TRUE(ComponentPathLess(a, b));
    a.table_num = b.table_num = -3;
    EXPECT_FALSE(ComponentPathLess(a, b));
}
