// The order of component paths, the key order of every map keyed by a path.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
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

TEST(ComponentPathLess, FewerIdentifiersComeFirstThenEachAsASignedNumber) {
    EXPECT_TRUE(ComponentPathLess(Path({}), Path({1})));
    EXPECT_TRUE(ComponentPathLess(Path({900}), Path({1, 2})));
    EXPECT_FALSE(ComponentPathLess(Path({1, 2}), Path({900})));
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

// ---- Placements --------------------------------------------------------------------------------

namespace {

void ExpectMatrix(const ProMatrix actual, const ProMatrix expected) {
    for (int r = 0; r < 4; ++r) {
        for (int c = 0; c < 4; ++c) {
            EXPECT_EQ(actual[r][c], expected[r][c]) << "row " << r << " column " << c;
        }
    }
}

// A quarter turn about z, scale 2, moved to (3, 4, 5): p x M = 2 (-y, x, z) + (3, 4, 5).
const ProMatrix kTurnedScaled = {{0, 2, 0, 0}, {-2, 0, 0, 0}, {0, 0, 2, 0}, {3, 4, 5, 1}};
// Its inverse, worked by hand: q -> (q - (3, 4, 5)) / 2 turned back a quarter.
const ProMatrix kTurnedScaledInverse = {
    {0, -0.5, 0, 0}, {0.5, 0, 0, 0}, {0, 0, 0.5, 0}, {-2, 1.5, -2.5, 1}};

}  // namespace

TEST(InvertTransform, InvertsARotationWithUniformScaleAndTranslation) {
    ProMatrix out;
    ASSERT_EQ(InvertTransform(&kTurnedScaled, out), 1);
    ExpectMatrix(out, kTurnedScaledInverse);

    ProMatrix same;
    std::memcpy(same, kTurnedScaled, sizeof same);
    ASSERT_EQ(InvertTransform(&same, same), 1);  // out may be the input
    ExpectMatrix(same, kTurnedScaledInverse);
    // No matrix gives the identity.
    std::memset(out, 0, sizeof out);
    const ProMatrix identity = {{1, 0, 0, 0}, {0, 1, 0, 0}, {0, 0, 1, 0}, {0, 0, 0, 1}};
    EXPECT_EQ(InvertTransform(nullptr, out), 1);
    ExpectMatrix(out, identity);
}

TEST(InvertTransform, FailsBelowTheSmallestScaleAndLeavesTheOutputAlone) {
    const ProMatrix untouched = {{7, 7, 7, 7}, {7, 7, 7, 7}, {7, 7, 7, 7}, {7, 7, 7, 7}};
    ProMatrix out;
    std::memcpy(out, untouched, sizeof out);

    const ProMatrix zeroRow = {{0, 0, 0, 0}, {0, 1, 0, 0}, {0, 0, 1, 0}, {1, 2, 3, 1}};
    EXPECT_EQ(InvertTransform(&zeroRow, out), 0);
    ExpectMatrix(out, untouched);

    // A squared length just below 1e-18 fails; exactly 1e-18 (1e-9 squared) is inverted.
    const double below = std::nextafter(1e-9, 0.0);
    const ProMatrix tiny = {{below, 0, 0, 0}, {0, below, 0, 0}, {0, 0, below, 0}, {0, 0, 0, 1}};
    EXPECT_EQ(InvertTransform(&tiny, out), 0);
    ExpectMatrix(out, untouched);

    const ProMatrix smallest = {{1e-9, 0, 0, 0}, {0, 1e-9, 0, 0}, {0, 0, 1e-9, 0}, {0, 0, 0, 1}};
    ASSERT_EQ(1e-9 * 1e-9, 1e-18);
    EXPECT_EQ(InvertTransform(&smallest, out), 1);
    EXPECT_DOUBLE_EQ(out[0][0], 1e9);
}

TEST(MultiplyMatrix, AppliesTheLeftOperandFirst) {
    const ProMatrix move = {{1, 0, 0, 0}, {0, 1, 0, 0}, {0, 0, 1, 0}, {1, 0, 0, 1}};
    // Moving by (1, 0, 0) and then turning and scaling: the move is turned too.
    const ProMatrix moveThenTurn = {{0, 2, 0, 0}, {-2, 0, 0, 0}, {0, 0, 2, 0}, {3, 6, 5, 1}};
    // Turning and scaling, then moving by (1, 0, 0).
    const ProMatrix turnThenMove = {{0, 2, 0, 0}, {-2, 0, 0, 0}, {0, 0, 2, 0}, {4, 4, 5, 1}};

    ProMatrix out;
    EXPECT_EQ(MultiplyMatrix(move, out, kTurnedScaled), out);
    ExpectMatrix(out, moveThenTurn);
    MultiplyMatrix(kTurnedScaled, out, move);
    ExpectMatrix(out, turnThenMove);

    MultiplyMatrix(kTurnedScaled, out, kTurnedScaledInverse);
    const ProMatrix identity = {{1, 0, 0, 0}, {0, 1, 0, 0}, {0, 0, 1, 0}, {0, 0, 0, 1}};
    ExpectMatrix(out, identity);
}

TEST(MultiplyMatrix, TheOutputMayBeEitherOperand) {
    const ProMatrix moveThenTurn = {{0, 2, 0, 0}, {-2, 0, 0, 0}, {0, 0, 2, 0}, {3, 6, 5, 1}};
    ProMatrix a = {{1, 0, 0, 0}, {0, 1, 0, 0}, {0, 0, 1, 0}, {1, 0, 0, 1}};
    MultiplyMatrix(a, a, kTurnedScaled);
    ExpectMatrix(a, moveThenTurn);

    ProMatrix b;
    std::memcpy(b, kTurnedScaled, sizeof b);
    const ProMatrix move = {{1, 0, 0, 0}, {0, 1, 0, 0}, {0, 0, 1, 0}, {1, 0, 0, 1}};
    MultiplyMatrix(move, b, b);
    ExpectMatrix(b, moveThenTurn);
}
