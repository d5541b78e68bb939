// The animation block as the scene file writer prints it, and the plug-in object's two animation
// operations: reading an open frame file, and writing the block of an animated component with
// the placement the host gives for it now.
#include "export/animation.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <new>
#include <string>
#include <vector>

#include "plugin/plugin_application.h"
#include "scene/scene_api_file.h"
#include "tests/allocation_failure.h"
#include "tests/scene_test_file.h"
#include "toolkit/toolkit_binding.h"

namespace {

const ProMatrix kIdentity = {{1, 0, 0, 0}, {0, 1, 0, 0}, {0, 0, 1, 0}, {0, 0, 0, 1}};

FramePlacement Placement(const double (&m)[4][4]) {
    FramePlacement placement;
    std::memcpy(placement.matrix, m, sizeof placement.matrix);
    return placement;
}

// A turn of 90 degrees about z (x goes to y), then a move by (10, 0, 0).
const double kTurnedAt10[4][4] = {{0, 1, 0, 0}, {-1, 0, 0, 0}, {0, 0, 1, 0}, {10, 0, 0, 1}};
const double kMovedTo10[4][4] = {{1, 0, 0, 0}, {0, 1, 0, 0}, {0, 0, 1, 0}, {10, 0, 0, 1}};
// The inverse of kMovedTo10.
const double kMovedBack[4][4] = {{1, 0, 0, 0}, {0, 1, 0, 0}, {0, 0, 1, 0}, {-10, 0, 0, 1}};

// The int32 values of the binary block that stands right after the array's opening line.
std::vector<int32_t> BinaryInts(const std::string& text, const std::string& arrayName) {
    const std::string opening = "\"" + arrayName + "\" [\n";
    size_t at = text.find(opening);
    if (at == std::string::npos) return {};
    at = text.find("\x01\x02\x03i", at);
    if (at == std::string::npos || at + 8 > text.size()) return {};
    uint32_t count = 0;
    for (int i = 3; i >= 0; --i) count = count << 8 | static_cast<unsigned char>(text[at + 4 + i]);
    std::vector<int32_t> values;
    for (uint32_t k = 0; k < count && at + 12 + 4 * k <= text.size(); ++k) {
        uint32_t word = 0;
        for (int i = 3; i >= 0; --i)
            word = word << 8 | static_cast<unsigned char>(text[at + 8 + 4 * k + i]);
        values.push_back(static_cast<int32_t>(word));
    }
    return values;
}

// What the scene file writer prints for write (read back while the writer, which closes the file
// when it ends, is still there).
template <class Write>
std::string Written(bool binaryArrays, Write write) {
    SceneTestFile file;
    trvScene_api_file writer(file.get(), binaryArrays);
    write(writer);
    return file.All();
}

// The block as the writer sets it out, indent blanks deep (inside a group the opening line
// carries the writer's extra indentation before the name too): its values 2 deeper, the array
// elements 2 deeper again, on one line, as given.
std::string ExpectedBlock(const std::string& indent, const std::string& name,
                          const std::string& duration, const std::string& matrices,
                          const std::string& timestamps) {
    const std::string values = indent + "  ", elements = values + "  ";
    return indent + "animation \"fbx_animation\" " + indent + "\"" + name + "\" {\n" +
           values + "\"start_time\" 0,\n" +
           values + "\"duration\" " + duration + ",\n" +
           values + "\"folder\" \"Creo animation\",\n" +
           values + "\"matrices\" [\n" + elements + matrices + " ],\n" +
           values + "\"timestamps\" [\n" + elements + timestamps + " ],\n" + indent + "}\n";
}

// ---- The block as text --------------------------------------------------------------------------

TEST(AnimationBlock, WritesPlacementsRelativeToTheCurrentOneAndTimestamps) {
    const std::string text = Written(false, [](trvScene_api& writer) {
        writer.BeginGroup("ARM", true);
        WriteAnimationBlock(writer, "ARM", {Placement(kMovedTo10), Placement(kTurnedAt10)},
                            kMovedBack, 3, 25);
        writer.EndGroup();
    });
    // Inside the group (2 blanks): the block's opening line has the writer's extra indentation
    // before the name; its values are 2 deeper; array elements 2 deeper again, on one line.
    // Relative to the current placement the first frame is the identity and the second the bare
    // turn. 3 frames at 25 per second last 0.12 s (3 x 0.04 in single precision) and start at 0,
    // 40 and 80 ms.
    EXPECT_EQ(text, "\ngroup \"ARM\" {\n" +
                        ExpectedBlock("  ", "ARM", "0.12",
                                      "1 0 0 0 0 1 0 0 0 0 1 0 0 0 0 1, "
                                      "0 1 0 0 -1 0 0 0 0 0 1 0 0 0 0 1",
                                      "0, 40, 80") +
                        "}\n");
}

TEST(AnimationBlock, ExportWritesTheTimestampsAsABinaryBlockAndNoFramesStillTheMatrices) {
    const std::string text = Written(true, [](trvScene_api& writer) {
        WriteAnimationBlock(writer, "BOLT", {Placement(kMovedTo10), Placement(kTurnedAt10)},
                            kIdentity, 2, 25);
    });
    // Matrices are always text; the two int32 timestamps 0 and 40 go out little-endian after the
    // tag 01 02 03 'i' and the count 2.
    EXPECT_EQ(text, ExpectedBlock("", "BOLT", "0.08",
                                  "1 0 0 0 0 1 0 0 0 0 1 0 10 0 0 1, "
                                  "0 1 0 0 -1 0 0 0 0 0 1 0 10 0 0 1",
                                  Bytes({0x01, 0x02, 0x03, 'i', 2, 0, 0, 0, 0, 0, 0, 0, 40, 0, 0,
                                         0})));
    // No frames: the matrices all the same.
    EXPECT_EQ(Written(true, [](trvScene_api& writer) {
                  WriteAnimationBlock(writer, "A", {Placement(kMovedTo10)}, kMovedBack, 0, 25);
              }),
              ExpectedBlock("", "A", "0", "1 0 0 0 0 1 0 0 0 0 1 0 0 0 0 1", ""));
}

TEST(AnimationBlock, TimestampsAreFortyMillisecondsApartUpToTheFrameLimit) {
    const std::string text = Written(true, [](trvScene_api& writer) {
        WriteAnimationBlock(writer, "A", {}, kIdentity, 100000, 25);
    });
    // 100 000 frames x 0.04 s: 4000 s in single precision.
    EXPECT_NE(text.find("  \"duration\" 4000,\n"), std::string::npos);
    EXPECT_NE(text.find("  \"matrices\" [\n     ],\n"), std::string::npos);
    const std::vector<int32_t> times = BinaryInts(text, "timestamps");
    ASSERT_EQ(times.size(), 100000u);
    for (size_t i = 0; i < times.size(); ++i) ASSERT_EQ(times[i], static_cast<int32_t>(40 * i));

    // A count no frame file gives is held at the limit, where the milliseconds still fit.
    const std::vector<int32_t> held =
        BinaryInts(Written(true,
                           [](trvScene_api& writer) {
                               WriteAnimationBlock(writer, "A", {}, kIdentity, 2000000000, 25);
                           }),
                   "timestamps");
    ASSERT_EQ(held.size(), static_cast<size_t>(kMaxFrameCount));
    EXPECT_EQ(held.back(), 40 * (kMaxFrameCount - 1));
}

// ---- The plug-in object's operations ------------------------------------------------------------

// The one host function the animation asks: the component's placement now.
struct PlacementHost {
    ProError answer = PRO_TK_NO_ERROR;
    ProMatrix placement = {{1, 0, 0, 0}, {0, 1, 0, 0}, {0, 0, 1, 0}, {0, 0, 0, 1}};
    std::vector<std::vector<int>> askedPaths;
    std::vector<ProBoolean> askedBottomUp;
};
PlacementHost host;

ProError AsmcomppathTrfGet(ProAsmcomppath* path, ProBoolean bottomUp, ProMatrix transform) {
    host.askedPaths.emplace_back(path->comp_id_table, path->comp_id_table + path->table_num);
    host.askedBottomUp.push_back(bottomUp);
    if (host.answer == PRO_TK_NO_ERROR) std::memcpy(transform, host.placement, sizeof(ProMatrix));
    return host.answer;
}

void* Lookup(const char* name) {
    if (std::strcmp(name, "ProAsmcomppathTrfGet") == 0)
        return reinterpret_cast<void*>(&AsmcomppathTrfGet);
    return nullptr;
}

ProAsmcomppath Path(std::vector<int> ids) {
    ProAsmcomppath path{};
    path.table_num = static_cast<int>(ids.size());
    for (size_t i = 0; i < ids.size(); ++i) path.comp_id_table[i] = ids[i];
    return path;
}

class AnimationOfComponent : public ::testing::Test {
protected:
    void SetUp() override {
        host = PlacementHost{};
        ToolkitBind(Lookup);
        app.sceneBuilder.api = &writer;
    }
    void TearDown() override {
        app.sceneBuilder.api = nullptr;
        ToolkitUnbind();
    }

    PluginApplication app;
    SceneTestFile file;
    trvScene_api_file writer{file.get(), false};
};

TEST_F(AnimationOfComponent, WritesTheBlockOfAnAnimatedPathRelativeToItsLocalPlacement) {
    app.animationFrames[Path({3, 12})] = {Placement(kMovedTo10), Placement(kTurnedAt10)};
    app.frameCount = 2;
    std::memcpy(host.placement, kMovedTo10, sizeof(ProMatrix));

    app.WriteComponentAnimation(Path({3, 12}), Path({12}), "BOLT");
    ASSERT_EQ(host.askedPaths.size(), 1u);
    EXPECT_EQ(host.askedPaths[0], std::vector<int>{12});
    EXPECT_EQ(host.askedBottomUp[0], PRO_B_TRUE);
    EXPECT_EQ(file.All(), ExpectedBlock("", "BOLT", "0.08",
                                        "1 0 0 0 0 1 0 0 0 0 1 0 0 0 0 1, "
                                        "0 1 0 0 -1 0 0 0 0 0 1 0 0 0 0 1",
                                        "0, 40"));
}

TEST_F(AnimationOfComponent, APathWithoutPlacementsWritesNothingAndAsksNothing) {
    app.animationFrames[Path({3, 12})] = {Placement(kMovedTo10), Placement(kTurnedAt10)};
    app.WriteComponentAnimation(Path({12}), Path({12}), "BOLT");
    app.WriteComponentAnimation(Path({3, 13}), Path({13}), "BOLT");
    app.WriteComponentAnimation(Path({}), Path({}), "CELL");
    EXPECT_EQ(file.All(), "");
    EXPECT_TRUE(host.askedPaths.empty());
}

TEST_F(AnimationOfComponent, WithoutAUsablePlacementThePlacementsGoOutAsRead) {
    app.animationFrames[Path({2})] = {Placement(kMovedTo10), Placement(kTurnedAt10)};
    const std::string asRead =
        "1 0 0 0 0 1 0 0 0 0 1 0 10 0 0 1, 0 1 0 0 -1 0 0 0 0 0 1 0 10 0 0 1";

    host.answer = PRO_TK_E_NOT_FOUND;
    app.WriteComponentAnimation(Path({2}), Path({2}), "ARM");
    EXPECT_NE(file.Take().find(asRead), std::string::npos);

    // A placement with no scale has no inverse.
    host.answer = PRO_TK_NO_ERROR;
    std::memset(host.placement, 0, sizeof(ProMatrix));
    app.WriteComponentAnimation(Path({2}), Path({2}), "ARM");
    EXPECT_NE(file.Take().find(asRead), std::string::npos);
}

TEST_F(AnimationOfComponent, ReadFrameFileReadsFromTheStartReplacesEarlierReadsAndLeavesTheFileOpen) {
    FILE* frameFile = std::tmpfile();
    ASSERT_NE(frameFile, nullptr);
    const char text[] =
        "Number of parts: 1\nNumber of frames: 2\nMaFrame 1\n"
        "Part: 1 (2)\n1 0 0\n0 1 0\n0 0 1\n0 0 0\n"
        "MaFrame 2\n"
        "Part: 1 (2)\n1 0 0\n0 1 0\n0 0 1\n5 0 0\n";
    std::fputs(text, frameFile);  // the file stands at its end now

    app.ReadFrameFile(frameFile);
    EXPECT_EQ(app.frameCount, 2);
    ASSERT_EQ(app.animationFrames.size(), 1u);
    EXPECT_EQ(app.animationFrames.at(Path({2})).size(), 2u);
    EXPECT_EQ(app.animationFrames.at(Path({2}))[1].matrix[3][0], 5.0);
    // Still open: it can be read again, and the second read replaces the frames of the first,
    // so the placements keep matching the file's frame count.
    app.ReadFrameFile(frameFile);
    EXPECT_EQ(app.animationFrames.at(Path({2})).size(), 2u);
    std::fclose(frameFile);

    // No file: no frames, and no count of the file before.
    app.ReadFrameFile(nullptr);
    EXPECT_TRUE(app.animationFrames.empty());
    EXPECT_EQ(app.frameCount, 0);
}

// A read that fails part-way (memory ran out) leaves the frames of the last whole read in
// force; the same file then reads whole.
TEST_F(AnimationOfComponent, ReadFrameFileThatFailsPartWayChangesNothing) {
    FILE* frameFile = std::tmpfile();
    ASSERT_NE(frameFile, nullptr);
    std::fputs("Number of parts: 2\nNumber of frames: 500\nMaFrame 1\n", frameFile);
    for (int frame = 0; frame < 500; ++frame)
        for (int part = 1; part <= 2; ++part)
            std::fprintf(frameFile, "Part: 1 (%d)\n1 0 0\n0 1 0\n0 0 1\n%d 0 0\n", part, frame);
    app.animationFrames[Path({9})] = {FramePlacement{}, FramePlacement{}};
    app.frameCount = 2;

    FailAllocationAfter(20);
    EXPECT_THROW(app.ReadFrameFile(frameFile), std::bad_alloc);
    EXPECT_EQ(app.frameCount, 2);
    ASSERT_EQ(app.animationFrames.size(), 1u);
    EXPECT_EQ(app.animationFrames.at(Path({9})).size(), 2u);

    app.ReadFrameFile(frameFile);
    EXPECT_EQ(app.frameCount, 500);
    ASSERT_EQ(app.animationFrames.size(), 2u);
    EXPECT_EQ(app.animationFrames.at(Path({2})).size(), 500u);
    std::fclose(frameFile);
}

}  // namespace
