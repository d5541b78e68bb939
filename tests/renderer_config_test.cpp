// The stand-in renderer's port range from the registry values.
#include "renderer/renderer_config.h"

#include <gtest/gtest.h>

namespace {

std::pair<int, int> Range(const std::uint32_t* port, const std::uint32_t* maxPort)
{
    int first = -1;
    int last = -1;
    ChoosePortRange(port, maxPort, first, last);
    return {first, last};
}

TEST(RendererPortRange, FromPortToMaximum)
{
    const std::uint32_t port = 4000;
    const std::uint32_t maxPort = 4010;
    EXPECT_EQ(Range(&port, &maxPort), std::make_pair(4000, 4010));
}

TEST(RendererPortRange, PortAloneWithoutAUsableMaximum)
{
    const std::uint32_t port = 4000;
    const std::uint32_t below = 3999;
    const std::uint32_t beyond = 70000;
    EXPECT_EQ(Range(&port, nullptr), std::make_pair(4000, 4000));
    EXPECT_EQ(Range(&port, &below), std::make_pair(4000, 4000));
    EXPECT_EQ(Range(&port, &beyond), std::make_pair(4000, 4000));
}

TEST(RendererPortRange, DefaultPortWhenMissingOrOutOfRange)
{
    const std::uint32_t maxPort = 4010;
    const std::uint32_t zero = 0;
    const std::uint32_t huge = 0x80000000u;
    EXPECT_EQ(Range(nullptr, &maxPort), std::make_pair(4000, 4000));
    EXPECT_EQ(Range(&zero, &maxPort), std::make_pair(4000, 4000));
    EXPECT_EQ(Range(&huge, nullptr), std::make_pair(4000, 4000));
}

TEST(RendererPortRange, AtMostAThousandPorts)
{
    const std::uint32_t port = 1;
    const std::uint32_t maxPort = 65535;
    EXPECT_EQ(Range(&port, &maxPort), std::make_pair(1, 1000));
}

}  // namespace
