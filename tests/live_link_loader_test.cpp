// Where the loader finds the live-link library, and the life of the process-wide holder.
// The libraries are the fakes of fake_live_link_library.cpp, copied into folders that the
// registry names, or into the folder the system searches for bare library names.
#include "link/live_link_loader.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <random>
#include <string>

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

// What the factory's lister tells about the library that made it.
std::string Describe(LiveLinkFactory* factory)
{
    InstanceLister* lister = factory->GetInstanceLister();
    return lister != nullptr ? lister->GetInstancesText() : "no lister";
}

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
        for (const char* name : {kLibrary32, kLibrary64}) fs::remove(BareFolder() / name, ignored);
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

TEST_F(LiveLinkLoader, UserFolderComesFirstWithABackslashBeforeTheFileName)
{
    // The folder is given without a separator at its end: the loader adds one.
    ScopedRegistry registry(UserFolder(FolderWith("user", "tag1")) +
                            MachineFolder(FolderWith("machine", "tag2")));
    PlaceBare("tag64");
    LiveLinkLibrary holder;
    ASSERT_TRUE(LoadLiveLinkLibrary(holder));
    EXPECT_NE(holder.module, nullptr);
    EXPECT_EQ(Describe(holder.factory), "tag=1 initialized=1 scenes=0");
}

TEST_F(LiveLinkLoader, FolderEndingInASeparatorStillLoads)
{
    ScopedRegistry registry(UserFolder(FolderWith("user", "tag1").u8string() + "\\"));
    LiveLinkLibrary holder;
    ASSERT_TRUE(LoadLiveLinkLibrary(holder));
    EXPECT_EQ(Describe(holder.factory), "tag=1 initialized=1 scenes=0");
}

TEST_F(LiveLinkLoader, MachineBinFolderWhenTheUserGivesNone)
{
    ScopedRegistry registry("[HKEY_CURRENT_USER\\SOFTWARE\\Tarvex]\r\n\"VistrelActivePath\"=\"\"\r\n" +
                            MachineFolder(FolderWith("machine", "tag2")));
    LiveLinkLibrary holder;
    ASSERT_TRUE(LoadLiveLinkLibrary(holder));
    EXPECT_EQ(Describe(holder.factory), "tag=2 initialized=1 scenes=0");
}

TEST_F(LiveLinkLoader, SixtyFourBitNameFromTheFolderBeforeBareNames)
{
    ScopedRegistry registry(UserFolder(FolderWith("user", "tag64")));
    PlaceBare("tag1");
    LiveLinkLibrary holder;
    ASSERT_TRUE(LoadLiveLinkLibrary(holder));
    EXPECT_EQ(Describe(holder.factory), "tag=64 initialized=1 scenes=0");
}

TEST_F(LiveLinkLoader, BareNamesInOrderWithoutRegistryKeys)
{
    ScopedRegistry registry("");
    PlaceBare("tag1");
    PlaceBare("tag64");
    {
        LiveLinkLibrary holder;
        ASSERT_TRUE(LoadLiveLinkLibrary(holder));
        EXPECT_EQ(Describe(holder.factory), "tag=1 initialized=1 scenes=0");
    }
    fs::remove(BareFolder() / kLibrary32);
    LiveLinkLibrary holder;
    ASSERT_TRUE(LoadLiveLinkLibrary(holder));
    EXPECT_EQ(Describe(holder.factory), "tag=64 initialized=1 scenes=0");
}

TEST_F(LiveLinkLoader, VersionKeyThatDoesNotExistFallsBackToBareNames)
{
    ScopedRegistry registry("[HKEY_LOCAL_MACHINE\\SOFTWARE\\Tarvex]\r\n\"VistrelVersion\"=\"Vistrel 9\"\r\n");
    PlaceBare("tag1");
    LiveLinkLibrary holder;
    ASSERT_TRUE(LoadLiveLinkLibrary(holder));
    EXPECT_EQ(Describe(holder.factory), "tag=1 initialized=1 scenes=0");
}

TEST_F(LiveLinkLoader, FolderTooLongForItsBufferCountsAsMissing)
{
    // "VistrelActivePath" is read into 512 bytes: 256 characters with the zero do not fit.
    ScopedRegistry registry("[HKEY_CURRENT_USER\\SOFTWARE\\Tarvex]\r\n\"VistrelActivePath\"=\"" +
                            std::string(256, 'x') + "\"\r\n" +
                            MachineFolder(FolderWith("machine", "tag2")));
    LiveLinkLibrary holder;
    ASSERT_TRUE(LoadLiveLinkLibrary(holder));
    EXPECT_EQ(Describe(holder.factory), "tag=2 initialized=1 scenes=0");
}

TEST_F(LiveLinkLoader, NoLibraryAnywhere)
{
    ScopedRegistry registry(UserFolder(root_ / "empty"));
    LiveLinkLibrary holder;
    EXPECT_FALSE(LoadLiveLinkLibrary(holder));
    EXPECT_EQ(holder.module, nullptr);
    EXPECT_EQ(holder.factory, nullptr);
}

TEST_F(LiveLinkLoader, LibraryWithoutEntryPointOrFactoryStaysLoaded)
{
    for (const char* variant : {"noentry", "nullfactory"}) {
        SCOPED_TRACE(variant);
        ScopedRegistry registry(UserFolder(FolderWith(variant, variant)));
        LiveLinkLibrary holder;
        EXPECT_FALSE(LoadLiveLinkLibrary(holder));
        EXPECT_NE(holder.module, nullptr);
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
    EXPECT_EQ(Describe(holder.factory), "tag=1 initialized=1 scenes=0");
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

TEST_F(LiveLinkLoader, UnloadWithoutHolderDoesNothing)
{
    UnloadLiveLinkLibrary();
    UnloadLiveLinkLibrary();
    ScopedRegistry registry(UserFolder(FolderWith("user", "tag1")));
    EXPECT_EQ(Describe(CreateInstanceLister()), "tag=1 initialized=1 scenes=0");
}

TEST_F(LiveLinkLoader, UnloadEndsTheFactoryAndTheNextUseLoadsAgain)
{
    ScopedRegistry registry(UserFolder(FolderWith("user", "tag1")));
    ASSERT_NE(CreateLiveSceneApi(), nullptr);
    EXPECT_EQ(Describe(CreateInstanceLister()), "tag=1 initialized=1 scenes=1");
    UnloadLiveLinkLibrary();
    // A new factory: its count of scene objects starts again.
    EXPECT_EQ(Describe(CreateInstanceLister()), "tag=1 initialized=1 scenes=0");
}

}  // namespace
