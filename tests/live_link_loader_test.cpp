// Where the loader finds the live-link library, and the life of the process-wide holder.
// The libraries are the fakes of fake_live_link_library.cpp, copied into folders that the
// registry names, or into the folder the system searches for bare library names.
#include "link/live_link_loader.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <random>
#include <string>
#include <vector>

#include "platform/win32_wide.h"
#include "tests/scoped_registry.h"
#include "tests/test_paths.h"

#ifdef _WIN32
#include <windows.h>
#endif

namespace fs = std::filesystem;

namespace {

const char kLibrary32[] = "trvvistrellive32.so";
const char kLibrary64[] = "trvvistrellive64.so";

// The folder searched for bare library names: the test program's run path on POSIX, the DLL
// directory on Windows (both set up for this program only).
fs::path BareFolder() { return ExecutableFolder() / "live_link_bare"; }

// The fake of a variant as built: tag1 and tag2 answer factories ("trvvistrellive32"), tag64
// is "trvvistrellive64", noentry lacks the entry point, nullfactory's entry point answers null.
fs::path Fake(const std::string& variant)
{
    const char* name = variant == "tag64" ? kLibrary64 : kLibrary32;
    return ExecutableFolder() / "live_link_fakes" / variant / name;
}

// What a factory's lister tells about the library that made it.
std::string Describe(InstanceLister* lister)
{
    return lister != nullptr ? lister->GetInstancesText() : "no lister";
}

class LiveLinkLoader : public testing::Test {
protected:
    static void SetUpTestSuite()
    {
        fs::create_directories(BareFolder());
#ifdef _WIN32
        SetDllDirectoryW(BareFolder().wstring().c_str());
#endif
    }

    LiveLinkLoader()
    {
        std::random_device random;
        root_ = fs::temp_directory_path() / ("vistrel_loader_" + std::to_string(random()));
        fs::create_directories(root_);
    }

    ~LiveLinkLoader() override
    {
        UnloadLiveLinkLibrary();
        std::error_code ignored;
        fs::remove_all(root_, ignored);
        RemoveBare();
    }

    // A folder below this test's temporary folder holding the given fake.
    fs::path FolderWith(const std::string& folder, const std::string& variant)
    {
        const fs::path path = root_ / folder;
        fs::create_directories(path);
        fs::copy_file(Fake(variant), path / Fake(variant).filename(),
                      fs::copy_options::overwrite_existing);
        return path;
    }

    static void PlaceBare(const std::string& variant)
    {
        fs::copy_file(Fake(variant), BareFolder() / Fake(variant).filename(),
                      fs::copy_options::overwrite_existing);
    }

    static void RemoveBare()
    {
        std::error_code ignored;
        for (const char* name : {kLibrary32, kLibrary64}) fs::remove(BareFolder() / name, ignored);
    }

    static std::string UserFolder(const fs::path& folder)
    {
        return "[HKEY_CURRENT_USER\\SOFTWARE\\Tarvex]\r\n\"VistrelActivePath\"=\"" +
               ScopedRegistry::Escape(folder.u8string()) + "\"\r\n";
    }

    static std::string MachineFolder(const fs::path& folder)
    {
        return "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Tarvex]\r\n\"VistrelVersion\"=\"Vistrel 5\"\r\n"
               "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Tarvex\\Vistrel 5]\r\n\"BinFolder\"=\"" +
               ScopedRegistry::Escape(folder.u8string()) + "\"\r\n";
    }

    fs::path root_;
};

// Each case: the registry, the fakes placed for the system's search by bare name, and the
// fake that must answer.
TEST_F(LiveLinkLoader, LibraryComesFromTheFirstPlaceThatHoldsOne)
{
    const std::string userValue = "[HKEY_CURRENT_USER\\SOFTWARE\\Tarvex]\r\n\"VistrelActivePath\"=";
    const struct {
        const char* story;
        std::string registry;
        std::vector<std::string> bare;
        const char* answers;
    } cases[] = {
        // The folder is given without a separator at its end: the loader adds one.
        {"the user's folder before the machine's and bare names",
         UserFolder(FolderWith("user", "tag1")) + MachineFolder(FolderWith("machine", "tag2")),
         {"tag64"}, "tag=1"},
        {"a folder ending in a separator",
         UserFolder(FolderWith("separator", "tag1").u8string() + "\\"), {}, "tag=1"},
        {"the machine's folder when the user's is empty",
         userValue + "\"\"\r\n" + MachineFolder(FolderWith("machine", "tag2")), {}, "tag=2"},
        // "VistrelActivePath" is read into 512 bytes: 256 characters with the zero do not fit.
        {"the machine's folder when the user's is too long for its buffer",
         userValue + "\"" + std::string(256, 'x') + "\"\r\n" +
             MachineFolder(FolderWith("long", "tag2")),
         {}, "tag=2"},
        {"the 64-bit name in the folder before bare names",
         UserFolder(FolderWith("user64", "tag64")), {"tag1"}, "tag=64"},
        {"bare names without registry keys, 32-bit first", "", {"tag1", "tag64"}, "tag=1"},
        {"the bare 64-bit name without a 32-bit one", "", {"tag64"}, "tag=64"},
        {"bare names when the version's key does not exist",
         "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Tarvex]\r\n\"VistrelVersion\"=\"Vistrel 9\"\r\n", {"tag1"},
         "tag=1"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.story);
        ScopedRegistry registry(c.registry);
        for (const std::string& variant : c.bare) PlaceBare(variant);
        {
            LiveLinkLibrary holder;
            ASSERT_TRUE(LoadLiveLinkLibrary(holder));
            EXPECT_EQ(Describe(holder.factory->GetInstanceLister()),
                      std::string(c.answers) + " initialized=1 scenes=0");
        }
        RemoveBare();
    }
}

TEST_F(LiveLinkLoader, LoadWithoutAFactoryKeepsOnlyALibraryThatLoaded)
{
    for (const char* variant : {"", "noentry", "nullfactory"}) {
        SCOPED_TRACE(variant);
        ScopedRegistry registry(
            UserFolder(*variant != 0 ? FolderWith(variant, variant) : root_ / "empty"));
        LiveLinkLibrary holder;
        EXPECT_FALSE(LoadLiveLinkLibrary(holder));
        EXPECT_EQ(holder.module != nullptr, *variant != 0);
        EXPECT_EQ(holder.factory, nullptr);
    }
}

TEST_F(LiveLinkLoader, HolderWithAFactoryIsLeftAlone)
{
    ScopedRegistry registry(UserFolder(FolderWith("user", "tag1")));
    LiveLinkLibrary holder;
    ASSERT_TRUE(LoadLiveLinkLibrary(holder));
    LiveLinkFactory* factory = holder.factory;
    HMODULE module = holder.module;
    EXPECT_FALSE(LoadLiveLinkLibrary(holder));
    EXPECT_EQ(holder.factory, factory);
    EXPECT_EQ(holder.module, module);
    EXPECT_EQ(Describe(holder.factory->GetInstanceLister()), "tag=1 initialized=1 scenes=0");
}

TEST_F(LiveLinkLoader, SecondSceneObjectComesFromTheSameFactory)
{
    ScopedRegistry registry(UserFolder(FolderWith("user", "tag1")));
    trvScene_api* first = CreateLiveSceneApi();
    trvScene_api* second = CreateLiveSceneApi();
    ASSERT_NE(first, nullptr);
    ASSERT_NE(second, nullptr);
    EXPECT_NE(first, second);
    EXPECT_EQ(Describe(CreateInstanceLister()), "tag=1 initialized=1 scenes=2");
}

TEST_F(LiveLinkLoader, FailedLoadIsNotTriedAgainUntilUnloaded)
{
    UnloadLiveLinkLibrary();  // without a holder: nothing to do
    UnloadLiveLinkLibrary();
    {
        ScopedRegistry registry("");
        EXPECT_EQ(CreateLiveSceneApi(), nullptr);
    }
    // Now the registry names a library, but the failed holder stays as it is.
    ScopedRegistry registry(UserFolder(FolderWith("user", "tag1")));
    EXPECT_EQ(CreateLiveSceneApi(), nullptr);
    EXPECT_EQ(CreateInstanceLister(), nullptr);

    UnloadLiveLinkLibrary();
    EXPECT_NE(CreateLiveSceneApi(), nullptr);
    EXPECT_EQ(Describe(CreateInstanceLister()), "tag=1 initialized=1 scenes=1");
}

// The factory goes through place 0 with exactly the flag that frees it: destroyed once, its
// memory freed. The test's own reference keeps the library, and what it counted, past the
// unload; once it is let go too, the next use loads the library again.
TEST_F(LiveLinkLoader, UnloadFreesTheFactoryWithTheFlagOneAndTheNextUseLoadsAgain)
{
    const fs::path folder = FolderWith("user", "tag1");
    ScopedRegistry registry(UserFolder(folder));
    ASSERT_NE(CreateLiveSceneApi(), nullptr);
    EXPECT_EQ(Describe(CreateInstanceLister()), "tag=1 initialized=1 scenes=1");
    const HMODULE library = LoadLibraryW(Win32Wide((folder / kLibrary32).u16string().c_str()));
    const auto ends = reinterpret_cast<const char* (*)()>(
        reinterpret_cast<void (*)()>(GetProcAddress(library, "fake_live_link_ends")));
    ASSERT_NE(ends, nullptr);
    UnloadLiveLinkLibrary();
    EXPECT_STREQ(ends(), "destroyed=1 freed=1 flags=1");
    FreeLibrary(library);
    EXPECT_EQ(Describe(CreateInstanceLister()), "tag=1 initialized=1 scenes=0");
}

}  // namespace
