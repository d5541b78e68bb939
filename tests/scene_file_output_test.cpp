// The scene file of an Export: written beside the chosen path and put in its place only when
// whole, so that an export that fails at any point leaves the previous scene as it was and
// nothing beside it.
#include <gtest/gtest.h>

#include <clocale>
#include <filesystem>
#include <fstream>
#include <new>
#include <string>

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
TEST(SceneFileOutput, TakesThePlaceOfThePreviousFileOnlyWhenWhole) {
    ScopedTempFolder folder;
    // Where the system lacks this locale, the host's stays "C" and that part checks nothing.
    const std::string hostLocale = std::setlocale(LC_NUMERIC, "C.UTF-8") ? "C.UTF-8" : "C";
    for (const bool previous : {true, false}) {
        SCOPED_TRACE(previous);
        for (int allocations = 0;; ++allocations) {
            if (previous) std::ofstream("scene.vsb") << "previous";
            const int failed = FailedAllocations();
            bool written = false;
            FailAllocationAfter(allocations);
            try {
                written = WriteScene("scene.vsb");
            } catch (const std::bad_alloc&) {
            }
            FailAllocationAfter(-1);
            if (FailedAllocations() == failed) {  // every allocation succeeded
                EXPECT_TRUE(written);
                EXPECT_EQ(ReadFile("scene.vsb").substr(0, 14), "\ngroup \"new\" {");
                break;
            }
            EXPECT_FALSE(written) << allocations;
            EXPECT_EQ(std::setlocale(LC_NUMERIC, nullptr), hostLocale) << allocations;
            EXPECT_EQ(ReadFile("scene.vsb"), previous ? "previous" : "") << allocations;
            EXPECT_EQ(std::distance(fs::directory_iterator("."), fs::directory_iterator()),
                      previous ? 1 : 0) << allocations;
        }
        fs::remove("scene.vsb");
    }
    std::setlocale(LC_NUMERIC, "C");
}

}  // namespace
