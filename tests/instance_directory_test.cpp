// The stand-in renderers' announcements and the instance list that the live-link library's
// lister answers from them.
#include "renderer/instance_directory.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <random>
#include <string>

#ifndef _WIN32
#include <sys/wait.h>
#include <unistd.h>
#endif

namespace fs = std::filesystem;

namespace {

const std::string kEmptyList = "<vistrel_instances>\n</vistrel_instances>\n";

class InstanceDirectory : public testing::Test {
protected:
    InstanceDirectory()
    {
        std::random_device random;
        folder_ = fs::temp_directory_path() / ("vistrel_instances_" + std::to_string(random()));
    }
    ~InstanceDirectory() override
    {
        std::error_code ignored;
        fs::remove_all(folder_, ignored);
    }

    void WriteFile(const std::string& name, const std::string& content)
    {
        fs::create_directories(folder_);
        std::ofstream(folder_ / name, std::ios::binary) << content;
    }

    fs::path folder_;
};

TEST_F(InstanceDirectory, AnnouncedRenderersAreListedByPortUntilWithdrawn)
{
    EXPECT_EQ(ListInstances(folder_), kEmptyList);  // the folder does not exist yet
    // The file of a renderer that died on the port is replaced.
    WriteFile("renderer_4002.instance", "pid 2147483000\n" + InstanceEntry(5, 4002) + "\n");
    ASSERT_TRUE(AnnounceInstance(folder_, 5, 4002));
    ASSERT_TRUE(AnnounceInstance(folder_, 4, 4000));
    ASSERT_TRUE(AnnounceInstance(folder_, 5, 4001));
    WithdrawInstance(folder_, 4001);
    EXPECT_EQ(ListInstances(folder_), "<vistrel_instances>\n" + InstanceEntry(4, 4000) + "\n" +
                                          InstanceEntry(5, 4002) + "\n</vistrel_instances>\n");
    WithdrawInstance(folder_, 4000);
    WithdrawInstance(folder_, 4002);
    EXPECT_EQ(ListInstances(folder_), kEmptyList);
}

TEST_F(InstanceDirectory, FilesOfEndedProcessesAndMalformedFilesArePassedOver)
{
    const std::string self = "pid " + std::to_string(CurrentProcessId()) + "\n";
    WriteFile("renderer_1.instance", "pid 2147483000\n" + InstanceEntry(5, 1) + "\n");
    WriteFile("renderer_2.instance", self + "<vistrel_instance><version_major>5</version_major>\n");
    WriteFile("renderer_3.instance", "pid x\n" + InstanceEntry(5, 3) + "\n");
    WriteFile("renderer_4.instance", self + InstanceEntry(5, 4) + std::string(600, ' ') + "\n");
    WriteFile("renderer_5.txt", self + InstanceEntry(5, 5) + "\n");
    WriteFile("renderer_6.instance", self);
    WriteFile("renderer_7.instance", self + InstanceEntry(5, 7) + "<livelink_port>9</livelink_port>\n");
    WriteFile("renderer_8.instance", "");
    WriteFile("renderer_9.instance", self + InstanceEntry(5, 9) + "\n");
    EXPECT_EQ(ListInstances(folder_),
              "<vistrel_instances>\n" + InstanceEntry(5, 9) + "\n</vistrel_instances>\n");
}

TEST(InstanceEntry, HasTheTagsThePlugInSearchesFor)
{
    EXPECT_EQ(InstanceEntry(5, 4000),
              "<vistrel_instance><version_major>5</version_major>"
              "<livelink_port>4000</livelink_port></vistrel_instance>");
}

TEST(ProcessIds, ThisProcessRunsAndAnImpossibleOrEndedOneDoesNot)
{
    EXPECT_TRUE(IsProcessRunning(CurrentProcessId()));
    EXPECT_FALSE(IsProcessRunning(2147483000u));
    EXPECT_FALSE(IsProcessRunning(0));
    EXPECT_FALSE(IsProcessRunning(0xFFFFFFFFu));
#ifndef _WIN32
    // A child that has ended and that this process has not collected yet.
    const pid_t child = fork();
    if (child == 0) _exit(0);
    siginfo_t info = {};
    ASSERT_EQ(waitid(P_PID, static_cast<id_t>(child), &info, WEXITED | WNOWAIT), 0);
    EXPECT_FALSE(IsProcessRunning(static_cast<std::uint32_t>(child)));
    waitpid(child, nullptr, 0);
#endif
}

}  // namespace
