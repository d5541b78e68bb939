// The library's two exports: they bind the host before the plug-in starts, hand the host's
// arguments and answer through, and drop the host's functions after the plug-in has shut down.
// The plug-in's start-up and shut-down routines are stand-ins defined here.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>

#include "plugin/plugin_entry.h"
#include "toolkit/pro_function_types.h"
#include "toolkit/pro_toolkit.h"
#include "toolkit/toolkit_binding.h"

extern "C" int user_initialize_plus(ProToolkitLookup lookup, int argc, char* argv[],
                                    char* version, char* build, ProWchar errbuf[80]);
extern "C" void user_terminate_plus();

namespace {

ProMdl const kModel = reinterpret_cast<ProMdl>(static_cast<uintptr_t>(0x77));

ProError HostMdlCurrentGet(ProMdl* model) {
  *model = kModel;
  return PRO_TK_NO_ERROR;
}

void* HostLookup(const char* name) {
  return std::string(name) == "ProMdlCurrentGet"
             ? reinterpret_cast<void*>(static_cast<ProMdlCurrentGet_fn>(&HostMdlCurrentGet))
             : nullptr;
}

// What the stand-in routines saw and what they do.
struct StartUp {
  int argc = -1;
  char** argv = nullptr;
  char* version = nullptr;
  char* build = nullptr;
  ProWchar* errbuf = nullptr;
  ProError host_answer = PRO_TK_GENERAL_ERROR;  // of ProMdlCurrentGet, asked during the call
  int answer = 0;
  int terminations = 0;
};
StartUp g_startup;

ProError AskHost() {
  ProMdl model = nullptr;
  return ProMdlCurrentGet(&model);
}

class PluginEntry : public ::testing::Test {
protected:
  void SetUp() override {
    ToolkitUnbind();
    g_startup = StartUp();
  }
  void TearDown() override { ToolkitUnbind(); }
};

TEST_F(PluginEntry, InitializeBindsTheHostStartsThePluginAndAnswersWhatItAnswers) {
  char arg0[] = "simhost";
  char* argv[] = {arg0, nullptr};
  char version[] = "10.0";
  char build[] = "M040";
  ProWchar errbuf[80] = {};
  g_startup.answer = 0;

  EXPECT_EQ(user_initialize_plus(&HostLookup, 1, argv, version, build, errbuf), 0);
  EXPECT_EQ(g_startup.host_answer, PRO_TK_NO_ERROR);  // bound before the start-up ran
  EXPECT_EQ(g_startup.argc, 1);
  EXPECT_EQ(g_startup.argv, argv);
  EXPECT_EQ(g_startup.version, version);
  EXPECT_EQ(g_startup.build, build);
  EXPECT_EQ(g_startup.errbuf, errbuf);
  EXPECT_EQ(AskHost(), PRO_TK_NO_ERROR);  // and still bound afterwards
  // A start-up that fails: its answer, and the host's functions dropped again.
  g_startup.answer = PRO_TK_GENERAL_ERROR;
  EXPECT_EQ(user_initialize_plus(&HostLookup, 0, nullptr, nullptr, nullptr, nullptr),
            PRO_TK_GENERAL_ERROR);
  EXPECT_EQ(AskHost(), PRO_TK_COMM_ERROR);
}

TEST_F(PluginEntry, TerminateShutsThePluginDownWhileBoundThenDropsTheHost) {
  ASSERT_EQ(user_initialize_plus(&HostLookup, 0, nullptr, nullptr, nullptr, nullptr), 0);
  g_startup.host_answer = PRO_TK_GENERAL_ERROR;

  user_terminate_plus();
  EXPECT_EQ(g_startup.terminations, 1);
  EXPECT_EQ(g_startup.host_answer, PRO_TK_NO_ERROR);
  EXPECT_EQ(AskHost(), PRO_TK_COMM_ERROR);
}

}  // namespace

// Stand-ins of the plug-in's routines (plugin/plugin_entry.h).
int PluginInitialize(int argc, char* argv[], char* version, char* build,
                     ProWchar errbuf[80]) noexcept {
  g_startup.argc = argc;
  g_startup.argv = argv;
  g_startup.version = version;
  g_startup.build = build;
  g_startup.errbuf = errbuf;
  g_startup.host_answer = AskHost();
  return g_startup.answer;
}

void PluginTerminate() noexcept {
  ++g_startup.terminations;
  g_startup.host_answer = AskHost();
}
