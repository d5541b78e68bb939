// The options of the program simhost.
#include <gtest/gtest.h>

#include <vector>

#include "simhost/command_line.h"

namespace {

bool Parse(std::vector<const char*> arguments, sim::CommandLine& options, std::string& error) {
    arguments.insert(arguments.begin(), "simhost");
    return sim::ParseCommandLine(static_cast<int>(arguments.size()), arguments.data(), options, error);
}

TEST(CommandLine, ReadsOptionsAndCommandsInOrder) {
    sim::CommandLine options;
    std::string error;
    ASSERT_TRUE(Parse({"--plugin", "lib.so", "--model=car.json", "Vistrel Export", "--save-as",
                       "out.vsb", "--script", "s.json", "--record", "r.json", "--text", "txt",
                       "--", "--odd command"},
                      options, error))
        << error;
    EXPECT_EQ(options.plugin, "lib.so");
    EXPECT_EQ(options.model, "car.json");
    EXPECT_EQ(options.saveAs, "out.vsb");
    EXPECT_EQ(options.script, "s.json");
    EXPECT_EQ(options.record, "r.json");
    EXPECT_EQ(options.textFolder, "txt");
    EXPECT_EQ(options.commands, (std::vector<std::string>{"Vistrel Export", "--odd command"}));
    EXPECT_FALSE(options.help);
}

TEST(CommandLine, RefusesUnknownOptionsMissingValuesAndNoPlugin) {
    sim::CommandLine options;
    std::string error;
    EXPECT_FALSE(Parse({"--plugin", "lib.so", "--colour", "red"}, options, error));
    EXPECT_EQ(error, "unknown option \"--colour\" (see simhost --help)");
    EXPECT_FALSE(Parse({"--plugin", "lib.so", "--record"}, options, error));
    EXPECT_EQ(error, "option --record needs a value");
    EXPECT_FALSE(Parse({"--plugin="}, options, error));
    EXPECT_EQ(error, "option --plugin needs a value");
    EXPECT_FALSE(Parse({"Vistrel Export"}, options, error));
    EXPECT_EQ(error, "no plug-in library given: use --plugin <library> (see simhost --help)");
}

TEST(CommandLine, HelpNeedsNothingElse) {
    sim::CommandLine options;
    std::string error;
    ASSERT_TRUE(Parse({"--help"}, options, error));
    EXPECT_TRUE(options.help);
    EXPECT_NE(sim::UsageText().find("--save-as"), std::string::npos);
}

}  // namespace
