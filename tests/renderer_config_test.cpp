// The stand-in renderer's port range from the registry values.
#include "renderer/renderer_config.h"

#include <gtest/gtest.h>

#include <optional>

namespace {

// The range for the values given; a value not given is missing from the registry.
std::pair<int, int> Range(std::optional<std::uint32_t> port, std::optional<std::uint32_t> maxPort)
{
    int first = -1;
    int last = -1;
    ChoosePortRange(port ? &*port : nullptr, maxPort ? &*maxPort : nullptr, first, last);
    return {first, last};
}

TEST(RendererPortRange, FromPortToAUsableMaximumOfAtMostAThousandPorts)
{
    EXPECT_EQ(Range(4000, 4010), std::make_pair(4000, 4010));
    EXPECT_EQ(Range(1, 65535), std::make_pair(1, 1000));
    // Without a usable maximum, the port alone.
    EXPECT_EQ(Range(4000, std::nullopt), std::make_pair(4000, 4000));
    EXPECT_EQ(Range(4000, 3999), std::make_pair(4000, 4000));
    EXPECT_EQ(Range(4000, 70000), std::make_pair(4000, 4000));
}

TEST(RendererPortRange, DefaultPortWhenMissingOrOutOfRange)
{
    EXPECT_EQ(Range(std::nullopt, 4010), std::make_pair(4000, 4000));
    EXPECT_EQ(Range(0, 4010), std::make_pair(4000, 4000));
    EXPECT_EQ(Range(0x80000000u, std::nullopt), std::make_pair(4000, 4000));
}

}  // namespace
