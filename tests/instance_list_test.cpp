// Reading the instance list: hand-made texts, the tags as the renderers write them, malformed
// and truncated texts.
#include "link/instance_list.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>

namespace {

// One instance as the renderers write it.
std::string Instance(const std::string& major, const std::string& port)
{
    return "<vistrel_instance><version_major>" + major + "</version_major><livelink_port>" + port +
           "</livelink_port></vistrel_instance>";
}

InstancePortSet Ports(std::initializer_list<std::int32_t> ports) { return InstancePortSet(ports); }

TEST(InstanceList, SeveralInstancesGiveTheirPortsAscending)
{
    const std::string text = "<vistrel_instances>\n" + Instance("5", "4002") + "\n" +
                             Instance("5", "4000") + "\n" + Instance("6", "4001") + "\n" +
                             Instance("5", "4000") + "\n</vistrel_instances>\n";
    EXPECT_EQ(ParseInstanceList(text, 5), Ports({4000, 4001, 4002}));
}

TEST(InstanceList, OlderMajorVersionsAreLeftOut)
{
    const std::string text = Instance("4", "4000") + Instance("5", "4001") + Instance("12", "4002");
    EXPECT_EQ(ParseInstanceList(text, 5), Ports({4001, 4002}));
    EXPECT_EQ(ParseInstanceList(text, 6), Ports({4002}));
    EXPECT_EQ(ParseInstanceList(text, 13), Ports({}));
    EXPECT_EQ(ParseInstanceList(text, -1), Ports({4000, 4001, 4002}));
}

TEST(InstanceList, NothingListedAndAnEmptyPortLeftOut)
{
    EXPECT_EQ(ParseInstanceList("", 5), Ports({}));
    EXPECT_EQ(ParseInstanceList("<vistrel_instances>\n</vistrel_instances>\n", 5), Ports({}));
    // Tags of the right names outside an instance are not read.
    EXPECT_EQ(ParseInstanceList("<version_major>5</version_major>"
                                "<livelink_port>4000</livelink_port>", 5),
              Ports({}));
    // An empty port is left out and the next instance read.
    EXPECT_EQ(ParseInstanceList(Instance("5", "") + Instance("5", "4001"), 5), Ports({4001}));
}

TEST(InstanceList, NumbersAreReadAsAtoiReadsThemAndStopAtTheLimitsOf32Bits)
{
    EXPECT_EQ(ParseInstanceList(Instance(" \t5", " \r\n4005"), 5), Ports({4005}));
    EXPECT_EQ(ParseInstanceList(Instance("+5", "+4006"), 5), Ports({4006}));
    EXPECT_EQ(ParseInstanceList(Instance("5.2", "40x07"), 5), Ports({40}));
    // A port without digits counts as 0, a negative one as itself: the caller judges them.
    EXPECT_EQ(ParseInstanceList(Instance("5", "port") + Instance("5", "-17"), 5), Ports({-17, 0}));
    // A major version without digits is 0.
    EXPECT_EQ(ParseInstanceList(Instance("five", "4000"), 5), Ports({}));
    EXPECT_EQ(ParseInstanceList(Instance("five", "4000"), 0), Ports({4000}));
    // Huge numbers stop at the limits of 32 bits.
    EXPECT_EQ(ParseInstanceList(Instance("5", "99999999999999999999999"), 5), Ports({INT32_MAX}));
    EXPECT_EQ(ParseInstanceList(Instance("5", "2147483647"), 5), Ports({2147483647}));
    EXPECT_EQ(ParseInstanceList(Instance("5", "2147483648"), 5), Ports({INT32_MAX}));
    EXPECT_EQ(ParseInstanceList(Instance("5", "-2147483648"), 5), Ports({INT32_MIN}));
    EXPECT_EQ(ParseInstanceList(Instance("5", "-2147483649"), 5), Ports({INT32_MIN}));
    // A huge major version is recent enough; a hugely negative one is not.
    EXPECT_EQ(ParseInstanceList(Instance("4294967301", "4000"), 5), Ports({4000}));
    EXPECT_EQ(ParseInstanceList(Instance("-4294967291", "4000"), 5), Ports({}));
}

TEST(InstanceList, MissingTagsAreTakenFromFurtherOn)
{
    // No port of its own: the first instance takes the second's; the next instance is looked
    // for after that port, so the second is passed over and the third read.
    const std::string noPort =
        "<vistrel_instance><version_major>5</version_major></vistrel_instance>" +
        Instance("5", "4001") + Instance("5", "4002");
    EXPECT_EQ(ParseInstanceList(noPort, 5), Ports({4001, 4002}));

    // No closing version tag: the version runs up to the next instance's closing tag, and atoi
    // reads the 5 at its start. The first instance's own port is taken, then the second's.
    const std::string unclosed =
        "<vistrel_instance><version_major>5<livelink_port>4000</livelink_port></vistrel_instance>" +
        Instance("5", "4001");
    EXPECT_EQ(ParseInstanceList(unclosed, 5), Ports({4000, 4001}));

    // An empty version tag takes the next closing tag, the text in between reads as 0.
    const std::string emptyMajor =
        "<vistrel_instance><version_major></version_major><livelink_port>4000</livelink_port>"
        "</vistrel_instance>" + Instance("5", "4001");
    EXPECT_EQ(ParseInstanceList(emptyMajor, 5), Ports({4001}));
    EXPECT_EQ(ParseInstanceList(emptyMajor, 0), Ports({4000, 4001}));
}

TEST(InstanceList, ReadingStopsAtTheFirstTagNotFound)
{
    // The first instance lacks its closing version tag and nothing follows.
    EXPECT_EQ(ParseInstanceList("<vistrel_instance><version_major>5"
                                "<livelink_port>4000</livelink_port></vistrel_instance>", 5),
              Ports({}));
    // A port before the version is not seen: the one after it is taken, from the next
    // instance, or the reading ends when there is none.
    EXPECT_EQ(ParseInstanceList("<vistrel_instance><livelink_port>4000</livelink_port>"
                                "<version_major>5</version_major></vistrel_instance>" +
                                Instance("5", "4001"), 5),
              Ports({4001}));
    EXPECT_EQ(ParseInstanceList(Instance("5", "4000") +
                                "<vistrel_instance><livelink_port>4001</livelink_port>"
                                "<version_major>5</version_major></vistrel_instance>", 5),
              Ports({4000}));
    // No closing port tag: what came before stays.
    EXPECT_EQ(ParseInstanceList(Instance("5", "4000") +
                                "<vistrel_instance><version_major>5</version_major>"
                                "<livelink_port>4001", 5),
              Ports({4000}));
}

TEST(InstanceList, EveryTruncationIsReadSafelyAndGivesNoPortNotInTheWhole)
{
    const std::string text = "<vistrel_instances>\n" + Instance("5", "4000") + "\n" +
                             Instance("4", "4001") + "\n" + Instance("5", "4002") +
                             "\n</vistrel_instances>\n";
    const InstancePortSet whole = ParseInstanceList(text, 5);
    ASSERT_EQ(whole, Ports({4000, 4002}));
    const std::size_t firstPortEnd = text.find("</livelink_port>");
    for (std::size_t length = 0; length <= text.size(); ++length) {
        // A copy of exactly this length, so that a read beyond it is caught under ASan.
        const std::string prefix(text.data(), length);
        const InstancePortSet ports = ParseInstanceList(prefix, 5);
        for (std::int32_t port : ports) EXPECT_EQ(whole.count(port), 1u) << length;
        if (length < firstPortEnd) {
            EXPECT_TRUE(ports.empty()) << length;
        }
    }
}

TEST(InstanceList, UnfinishedInstancesEndAtTheNextOne)
{
    // Every instance's version runs to the one closing tag at the end; read naively, each of
    // them would search the whole rest of the text (bench/instance_list_bench.cpp times it). A
    // version begins where the next instance does and reads as 0, and the next instance is
    // looked for after that, so every second instance is read: with an odd count, the last one,
    // whose version is the 5.
    std::string text;
    for (int i = 0; i < 1001; ++i) text += "<vistrel_instance><version_major>";
    text += "5</version_major><livelink_port>4000</livelink_port>";
    EXPECT_EQ(ParseInstanceList(text, 5), Ports({4000}));
    text.erase(0, 33);  // one instance fewer: the last is passed over
    EXPECT_EQ(ParseInstanceList(text, 5), Ports({}));
}

}  // namespace
