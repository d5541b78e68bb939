// The scene file of an Export: written beside the chosen path and put in its place only when
// whole, so that an export that fails at any point leaves the previous scene as it was and
// nothing beside it.
#include <gtest/gtest.h>

#include <clocale>
#include <filesystem>
#include <fstream>
#include <new>
#include <string>
#include <vector>

#ifndef _WIN32
#include <sys/stat.h>
#include <unistd.h>
#endif

#include "platform/win32.h"
#include "plugin/scene_file_output.h"
#include "tests/allocation_failure.h"
#include "tests/file_text.h"
#include "tests/scoped_temp_folder.h"

namespace {

namespace fs = std::filesystem;

// Writes a group around an anonymous shader (both allocate in the writer) and closes the file;
// answers whether the scene now stands at path.
bool WriteScene(const fs::path& path) {
    SceneBuilder builder;
    SceneFileOutput output(builder, path.u16string());
    if (!output.IsOpen()) return false;
    builder.OpenGroup("new");
    builder.GetSceneApi()->BeginShader(nullptr, "plastic");
    builder.GetSceneApi()->EndShader(0);
    builder.CloseGroup();
    return output.Close();
}

// An allocation fails at each point in turn: resolving the path, creating the file, making the
// writer on it, writing, moving the file into place. Each failure leaves the folder as it was,
// with the previous scene or without any, and the host's numeric locale, which the writer
// switches to "C" while it writes, as it was; the run in which none fails writes the new scene.
// Written in place, a failure removes what it wrote, as the previous scene is gone by then.
TEST(SceneFileOutput, TakesThePlaceOfThePreviousFileOnlyWhenWhole) {
    ScopedTempFolder folder;
    // Where the system lacks this locale, the host's stays "C" and that part checks nothing.
    const std::string hostLocale = std::setlocale(LC_NUMERIC, "C.UTF-8") ? "C.UTF-8" : "C";
    std::vector<fs::path> folders = {"."};
#ifndef _WIN32  // a folder of 4084 bytes, where a path has up to 4095: no name of its own fits
    folders.emplace_back();
    for (int level = 0; level < 17; ++level)
        fs::create_directory(folders.back() /= std::string(level < 16 ? 254 : 3, 'd'));
#endif
    for (const fs::path& in : folders) {
        const bool inPlace = in != ".";
        for (const bool previous : {true, false}) {
            SCOPED_TRACE(std::to_string(inPlace) + std::to_string(previous));
            for (int allocations = 0;; ++allocations) {
                ASSERT_LT(allocations, 300) << "files left beside the path, or a loop";
                if (previous) std::ofstream(in / "scene.vsb") << "previous";
                const int failed = FailedAllocations();
                bool written = false;
                FailAllocationAfter(allocations);
                try {
                    written = WriteScene(in / "scene.vsb");
                } catch (const std::bad_alloc&) {
                }
                FailAllocationAfter(-1);
                if (FailedAllocations() == failed) {  // every allocation succeeded
                    EXPECT_TRUE(written);
                    EXPECT_EQ(ReadFile(in / "scene.vsb").substr(0, 14), "\ngroup \"new\" {");
                    break;
                }
                EXPECT_FALSE(written) << allocations;
                EXPECT_EQ(std::setlocale(LC_NUMERIC, nullptr), hostLocale) << allocations;
                const std::string left = ReadFile(in / "scene.vsb");
                EXPECT_TRUE(left == (previous ? "previous" : "") || (inPlace && left.empty()))
                    << allocations;
                const size_t besides = inPlace ? 0 : folders.size() - 1;  // the deep folder
                EXPECT_EQ(std::distance(fs::directory_iterator(in), fs::directory_iterator()),
                          (left.empty() ? 0 : 1) + besides) << allocations;
            }
            fs::remove(in / "scene.vsb");
        }
    }
    std::setlocale(LC_NUMERIC, "C");
}

#ifndef _WIN32
// The disk as the test program stands in for it: while watched, each flush records how large its
// file is then and what stands at the scene's path, and fails when asked to.
struct Flushes {
    bool watched = false, fail = false;
    int count = 0;
    off_t size = -1;
    std::string atPath;
} flushes;

}  // namespace

BOOL FlushFileBuffers(HANDLE file) {
    const int fd = static_cast<int>(reinterpret_cast<intptr_t>(file));
    if (!flushes.watched) return fsync(fd) == 0;
    struct stat info = {};
    fstat(fd, &info);
    ++flushes.count;
    flushes.size = info.st_size;
    flushes.atPath = ReadFile("scene.vsb");
    return !flushes.fail;
}

namespace {

// The scene is on the disk, whole, before it takes the previous file's place; when the disk
// cannot take it, the previous scene stays and nothing is left beside it.
TEST(SceneFileOutput, IsOnTheDiskWholeBeforeItTakesThePreviousFilesPlace) {
    ScopedTempFolder folder;
    for (const bool fail : {false, true}) {
        std::ofstream("scene.vsb") << "previous";
        flushes = Flushes{true, fail, 0, -1, ""};
        EXPECT_EQ(WriteScene("scene.vsb"), !fail);
        EXPECT_EQ(flushes.count, 1);
        EXPECT_EQ(flushes.atPath, "previous");
        EXPECT_EQ(fail ? 8 : flushes.size, static_cast<off_t>(ReadFile("scene.vsb").size()));
        EXPECT_EQ(std::distance(fs::directory_iterator("."), fs::directory_iterator()), 1);
    }
    flushes = Flushes();
}
#endif

}  // namespace
