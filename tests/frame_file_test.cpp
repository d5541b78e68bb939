// Reading frame files: records per component path, the pruning of components that never move,
// and files that are malformed, cut short or hostile.
#include "export/frame_file.h"

#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <fstream>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

namespace {

ProAsmcomppath Path(std::vector<int> ids) {
    ProAsmcomppath path{};
    path.table_num = static_cast<int>(ids.size());
    for (size_t i = 0; i < ids.size(); ++i) path.comp_id_table[i] = ids[i];
    return path;
}

// A "Part:" record of a placement that only moves: identity rotation, translation x y z.
std::string Moved(const std::string& ids, double x, double y, double z) {
    std::ostringstream text;
    text << "Part: " << ids << "\n"
         << "1.000000000000e+000 0.000000000000e+000 0.000000000000e+000\n"
         << "0.000000000000e+000 1.000000000000e+000 0.000000000000e+000\n"
         << "0.000000000000e+000 0.000000000000e+000 1.000000000000e+000\n"
         << x << " " << y << " " << z << "\n";
    return text.str();
}

const char kHeader[] = "Model: CELL\nNumber of parts: 2\nNumber of frames: 3\n";
const std::string kFirstFrame = std::string(kHeader) + "MaFrame 1\n";

struct ReadResult {
    AnimationFrames frames;
    int32_t frameCount = -7;  // a count that no file gives
};

ReadResult Read(const std::string& text) {
    ReadResult result;
    std::istringstream in(text);
    result.frames = ReadFrames(in, result.frameCount);
    return result;
}

void ExpectTranslation(const FramePlacement& placement, double x, double y, double z) {
    const double expected[4][4] = {{1, 0, 0, 0}, {0, 1, 0, 0}, {0, 0, 1, 0}, {x, y, z, 1}};
    for (int row = 0; row < 4; ++row)
        for (int column = 0; column < 4; ++column)
            EXPECT_EQ(placement.matrix[row][column], expected[row][column])
                << "row " << row << " column " << column;
}

// The placements only move, each by its translation in moves.
void ExpectTranslations(const std::vector<FramePlacement>& placements,
                        const std::vector<std::array<double, 3>>& moves) {
    ASSERT_EQ(placements.size(), moves.size());
    for (size_t i = 0; i < moves.size(); ++i)
        ExpectTranslation(placements[i], moves[i][0], moves[i][1], moves[i][2]);
}

// ---- Records and pruning ------------------------------------------------------------------------

TEST(FrameFile, RecordsOfAPathMakeItsFramesInFileOrderAndStillOnesAreDropped) {
    const std::string text = kFirstFrame + Moved("1 (2)", 0, 0, 0) +
                             Moved("2 (3 12)", 20, 0, -5) + Moved("1 (1)", 7, 7, 7) +
                             "MaFrame 2\n" + Moved("1 (2)", 1, 0, 0) + Moved("2 (3 12)", 20, 0, 0) +
                             Moved("1 (1)", 7, 7, 7) + "MaFrame 3\n" + Moved("1 (2)", 2, 0, 0) +
                             Moved("2 (3 12)", 20, 0, 5) + Moved("1 (1)", 7, 7, 7) +
                             Moved("1 (9)", 1, 2, 3);
    const ReadResult result = Read(text);
    EXPECT_EQ(result.frameCount, 3);
    // Component 1 stays where it is in every frame, component 9 appears once: both are dropped.
    ASSERT_EQ(result.frames.size(), 2u);
    EXPECT_EQ(result.frames.count(Path({1})) + result.frames.count(Path({9})), 0u);

    ExpectTranslations(result.frames.at(Path({2})), {{0, 0, 0}, {1, 0, 0}, {2, 0, 0}});
    ExpectTranslations(result.frames.at(Path({3, 12})), {{20, 0, -5}, {20, 0, 0}, {20, 0, 5}});
}

TEST(FrameFile, RowsFillTheFirstThreeColumnsInSinglePrecision) {
    const ReadResult result = Read(kFirstFrame + "Part: 1 (4)\n0.1 0.2 0.3\n0.4 0.5 0.6\n" +
                                   "0.7 0.8 0.9\n10 11 12\n" + Moved("1 (4)", 0, 0, 0));
    const ProMatrix& m = result.frames.at(Path({4}))[0].matrix;
    EXPECT_EQ(m[0][0], static_cast<double>(0.1f));
    EXPECT_EQ(m[0][0], 0.100000001490116119384765625);
    EXPECT_EQ(m[1][2], static_cast<double>(0.6f));
    EXPECT_EQ(m[2][1], static_cast<double>(0.8f));
    const double column3[4] = {0, 0, 0, 1};
    for (int row = 0; row < 4; ++row) EXPECT_EQ(m[row][3], column3[row]);
    EXPECT_EQ(m[3][0], 10.0);
    EXPECT_EQ(m[3][2], 12.0);
}

TEST(FrameFile, SampleFileAnimatesTheArmAndOneBolt) {
    std::ifstream in(VISTREL_SOURCE_DIR "/examples/sample_assembly.fra", std::ios::binary);
    ASSERT_TRUE(in.good());
    int32_t frameCount = 0;
    const AnimationFrames frames = ReadFrames(in, frameCount);
    EXPECT_EQ(frameCount, 5);
    ASSERT_EQ(frames.size(), 2u);
    ASSERT_EQ(frames.at(Path({2})).size(), 5u);
    ASSERT_EQ(frames.at(Path({3, 12})).size(), 5u);
    // The arm turns about z around its own place.
    const ProMatrix& turned = frames.at(Path({2}))[4].matrix;
    EXPECT_EQ(turned[0][0], static_cast<double>(0.766044443119f));
    EXPECT_EQ(turned[1][0], static_cast<double>(-0.6427876096865f));
    EXPECT_EQ(turned[3][1], 150.0);
    ExpectTranslation(frames.at(Path({3, 12}))[0], 20, 0, -5);
}

// ---- Where records count ------------------------------------------------------------------------

TEST(FrameFile, OnlyPartKeywordsAfterTheFirstFrameOpenRecords) {
    const std::string text = std::string(kHeader) + Moved("1 (5)", 1, 0, 0) + "MaFrame 1\n" +
                             Moved("1 (5)", 2, 0, 0) + "whatever Part:1 (5) 9 9 9\n" +
                             "MaFrame 2 Part:\n1\n(5)\n1 0 0 0 1 0 0 0 1 3 0 0\n";
    const ReadResult result = Read(text);
    // The record before "MaFrame" is skipped, "Part:1" is one token and no keyword, and "Part:"
    // with its count and identifiers on the next lines is a record.
    ExpectTranslations(result.frames.at(Path({5})), {{2, 0, 0}, {3, 0, 0}});
}

TEST(FrameFile, TokensLongerThan255CharactersAreSplit) {
    // 255 characters and "Part:" run together: the run is read as a token of 255 and the token
    // "Part:", which opens a record. With one character less, "Part:" is cut apart and opens
    // nothing.
    const std::string frames = kFirstFrame + Moved("1 (3)", 0, 0, 0);
    const std::string record = "Part: 1 (3) 1 0 0 0 1 0 0 0 1 4 0 0\n";
    const ReadResult split = Read(frames + std::string(255, 'x') + record);
    EXPECT_EQ(split.frames.at(Path({3})).size(), 2u);
    const ReadResult cut = Read(frames + std::string(254, 'x') + record);
    EXPECT_EQ(cut.frames.count(Path({3})), 0u);
    // A 300-character token before "parts:" is skipped like any other.
    const ReadResult skipped = Read(std::string(300, 'p') + " " + frames + record);
    EXPECT_EQ(skipped.frames.at(Path({3})).size(), 2u);
}

TEST(FrameFile, TwentyFiveIdentifiersSignedOnesAndAMissingParenthesisAreRead) {
    std::string ids = "25 (";
    std::vector<int> expected;
    for (int i = 1; i <= 25; ++i) {
        ids += std::to_string(-i) + (i < 25 ? " " : ")");
        expected.push_back(-i);
    }
    // The ")" may also be missing, as the scan of "%d)" does not need it to go on.
    const ReadResult result = Read(kFirstFrame + Moved(ids, 0, 0, 0) + Moved(ids, 1, 0, 0) +
                                   Moved("1 ( 7)", 0, 0, 0) + Moved("1 (+7", 1, 0, 0) +
                                   Moved("3 (3 12 -4", 1, 0, 0) + Moved("3 (3 12 -4)", 2, 0, 0));
    EXPECT_EQ(result.frames.at(Path(expected)).size(), 2u);
    EXPECT_EQ(result.frames.at(Path({7})).size(), 2u);
    EXPECT_EQ(result.frames.at(Path({3, 12, -4})).size(), 2u);
}

// ---- The frame count ----------------------------------------------------------------------------

TEST(FrameFile, TheCountIsTheIntegerAfterFramesWithinItsRangeElseTheFramesRead) {
    // Without a count, the most records of one path, still ones included: here three of (1).
    const std::string records = "MaFrame 1 " + Moved("1 (1)", 0, 0, 0) + Moved("1 (2)", 0, 0, 0) +
                                "MaFrame 2 " + Moved("1 (1)", 1, 0, 0) + Moved("1 (1)", 2, 0, 0);
    const std::pair<std::string, int32_t> cases[] = {
        {"", 0},                                         // empty file: no frames
        {"Number of parts: 2", 0},                       // ends before "frames:"
        {"Number of parts: 2 Number of frames:", 0},     // ends before the count
        {"parts: 2 frames: many MaFrame 1", 0},          // not an integer, no records
        {"parts: 2 frames: many " + records, 3},
        {"parts: 2 " + records, 0},                      // no "frames:": no records read
        {"parts: frames: 0 " + records, 0},
        {"parts: 2 frames: 1000000", 1000000},
        {"frames: 4 parts: 1 frames: 6", 6},
        {"parts: 2 frames: -2 MaFrame 1", 0},            // no negative duration
        {"parts: 2 frames: -99999999999999999999", 0},
        {"parts: 2 frames: 1000001 MaFrame 1", 1000000},  // no timestamps without end
        {"parts: 2 frames: 99999999999999999999999", 1000000},
    };
    for (const auto& [text, count] : cases) EXPECT_EQ(Read(text).frameCount, count) << text;
}

// ---- Malformed records --------------------------------------------------------------------------

TEST(FrameFile, RecordsNamingNoPathAreSkipped) {
    const char* bad[] = {
        "Part: 0 () 1 0 0 0 1 0 0 0 1 9 9 9\n",  // no identifier
        "Part: 26 (1 2 3 4 5 6 7 8 9 10 11 12 13 14 15 16 17 18 19 20 21 22 23 24 25 26) "
        "1 0 0 0 1 0 0 0 1 9 9 9\n",                       // more than a path holds
        "Part: -3 (2) 1 0 0 0 1 0 0 0 1 9 9 9\n",          // negative count
        "Part: two (2) 1 0 0 0 1 0 0 0 1 9 9 9\n",         // count not a number
        "Part: 1 2 1 0 0 0 1 0 0 0 1 9 9 9\n",             // no parenthesis
        "Part: 2 (2) 1 0 0 0 1 0 0 0 1 9 9 9\n",           // fewer identifiers than counted
        "Part: 1 (x) 1 0 0 0 1 0 0 0 1 9 9 9\n",           // identifier not a number
        "Part: 1 (4294967298) 1 0 0 0 1 0 0 0 1 9 9 9\n",  // identifier beyond int32
    };
    for (const char* record : bad) {
        const std::string text = kFirstFrame + Moved("1 (2)", 1, 0, 0) +
                                 record + Moved("1 (2)", 2, 0, 0);
        SCOPED_TRACE(record);
        ExpectTranslations(Read(text).frames.at(Path({2})), {{1, 0, 0}, {2, 0, 0}});
    }
}

TEST(FrameFile, RecordsWhosePlacementDoesNotReadKeepTheirFramesPlace) {
    const char* unreadable[] = {
        "Part: 1 (2 ) 1 0 0 0 1 0 0 0 1 9 9 9\n",     // ")" apart: the numbers start at it
        "Part: 1 (2) 1 0 0 0 1 0 0 0 1 9 9\n",        // eleven numbers, then the next record
        "Part: 1 (2) 1 0 0 0 1 0 0 0 1 9 9 nine\n",   // a word for a number
        "Part: 1 (2) 1 0 0 0 1 0 0 0 1 9 9 .\n",      // a point alone
        "Part: 1 (2) 1 0 0 0 1 0 0 0 1 9 9 1e39\n",   // beyond the range of a float
        "Part: 1 (2) 1 0 0 0 1 0 0 0 1 nan 9 9\n",    // not finite: the renderer cannot read it
        "Part: 1 (2) 1 0 0 0 1 0 0 0 1 9 -INF 9\n",
        "Part: 1 (2) 1 0 0 0 1 0 0 0 1 9 9 infinity\n",
    };
    for (const char* record : unreadable) {
        // Its place repeats the frame just before it, or, as the path's first record, the one
        // after.
        const struct {
            std::string text;
            std::vector<double> xs;  // the translations read
        } cases[] = {
            {Moved("1 (2)", 1, 0, 0) + Moved("1 (2)", 2, 0, 0) + record + Moved("1 (2)", 3, 0, 0),
             {1, 2, 2, 3}},
            {record + Moved("1 (2)", 1, 0, 0) + Moved("1 (2)", 3, 0, 0), {1, 1, 3}},
        };
        for (const auto& c : cases) {
            const ReadResult result = Read(kFirstFrame + c.text);
            const std::vector<FramePlacement>& placements = result.frames.at(Path({2}));
            ASSERT_EQ(placements.size(), c.xs.size()) << c.text;
            for (size_t i = 0; i < c.xs.size(); ++i) ExpectTranslation(placements[i], c.xs[i], 0, 0);
        }
        // A path none of whose records reads gets no placements.
        EXPECT_TRUE(Read(kFirstFrame + record + record).frames.empty()) << record;
    }
}

TEST(FrameFile, NumbersAreReadAsTheCLocaleWritesThem) {
    // Signs, exponents of any length and points without digits on one side are numbers; one too
    // small for a float is its nearest float, zero when it is below every one. A decimal comma
    // is not: "3,5" gives 3, then ",5" does not convert, and the record keeps its place.
    const std::string tiny = "0." + std::string(400, '0') + "1";
    const std::string text = kFirstFrame + "Part: 1 (2)\n" +
                             "+1.5e+000 -2.5E-1 .25\n1e2 2. -0\n1e-40 -1e-50 " + tiny +
                             "\n0 0 0\n" + "Part: 1 (2)\n1 0 0\n0 1 0\n0 0 1\n3,5 0 0\n" +
                             Moved("1 (2)", 0, 0, 0);
    const ReadResult result = Read(text);
    const std::vector<FramePlacement>& placements = result.frames.at(Path({2}));
    ASSERT_EQ(placements.size(), 3u);
    const ProMatrix& m = placements[0].matrix;
    EXPECT_EQ(m[2][0], static_cast<double>(1e-40f));
    EXPECT_EQ(m[2][1], 0.0);
    EXPECT_TRUE(std::signbit(m[2][1]));
    EXPECT_EQ(m[2][2], 0.0);
    EXPECT_EQ(placements[1].matrix[0][0], 1.5);
    EXPECT_EQ(m[0][0], 1.5);
    EXPECT_EQ(m[0][1], -0.25);
    EXPECT_EQ(m[0][2], 0.25);
    EXPECT_EQ(m[1][0], 100.0);
    EXPECT_EQ(m[1][1], 2.0);
    EXPECT_EQ(m[1][2], 0.0);
    EXPECT_TRUE(std::signbit(m[1][2]));
    ExpectTranslation(placements[2], 0, 0, 0);
}

TEST(FrameFile, EveryTruncationOfAFileIsReadSafely) {
    const std::string text = kFirstFrame + Moved("1 (2)", 0, 0, 0) +
                             Moved("3 (3 12 -4)", 1, 0, 0) + "MaFrame 2\n" +
                             Moved("1 (2)", 1, 0, 0) + Moved("3 (3 12 -4)", 2, 0, 0);
    for (size_t length = 0; length <= text.size(); ++length) {
        const ReadResult result = Read(text.substr(0, length));
        EXPECT_LE(result.frames.size(), 2u);
        for (const auto& entry : result.frames) EXPECT_GE(entry.second.size(), 2u);
    }
    const ReadResult whole = Read(text);
    EXPECT_EQ(whole.frames.size(), 2u);
}

TEST(FrameFile, LongRunsOfDigitsAndBinaryBytesAreReadSafely) {
    const std::string digits(200000, '7');
    const std::string binary("\0\xff\x80(\0)", 6);
    const std::string text = std::string(kHeader) + "MaFrame " + digits + " Part: 1 (" + digits +
                             ") " + binary + "Part: " + digits + " Part: 1 (2) 0." + digits +
                             " 0 0 0 1 0 0 0 1 0 0 0\n" + Moved("1 (2)", 1, 0, 0);
    const ReadResult result = Read(text);
    const std::vector<FramePlacement>& placements = result.frames.at(Path({2}));
    ASSERT_EQ(placements.size(), 2u);
    EXPECT_EQ(placements[0].matrix[0][0], static_cast<double>(0.7777778f));
}

}  // namespace
