// The forwarders of the host's functions and their binding by name, against a fake host.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <map>
#include <string>

#include "toolkit/pro_function_types.h"
#include "toolkit/pro_toolkit.h"
#include "toolkit/toolkit_binding.h"

namespace {

// ---- A fake host with a handful of functions ---------------------------------------------------

ProMdl const kModel = reinterpret_cast<ProMdl>(static_cast<uintptr_t>(0x5150));

std::map<std::string, int> g_asked;  // how often the lookup was asked for each name

struct SpinboxCall {
  std::string dialog;
  std::string component;
  double value = 0;
};
SpinboxCall g_spinbox;

ProError FakeMdlCurrentGet(ProMdl* model) {
  *model = kModel;
  return PRO_TK_NO_ERROR;
}

ProError FakeAsmcomppathInit(ProSolid owner, const int* ids, int count, ProAsmcomppath* path) {
  if (count < 0 || count > PRO_MAX_ASSEMBLY_LEVEL) return PRO_TK_BAD_INPUTS;
  path->owner = owner;
  for (int i = 0; i < count; ++i) path->comp_id_table[i] = ids[i];
  path->table_num = count;
  return PRO_TK_NO_ERROR;
}

ProError FakeSpinboxDoubleSet(const char* dialog, const char* component, double value) {
  g_spinbox = {dialog, component, value};
  return PRO_TK_NO_ERROR;
}

// Visits two features with ids 7 and 8, through the filter when there is one.
ProError FakeSolidFeatVisit(ProSolid solid, ProFeatureVisitAction action,
                            ProFeatureFilterAction filter, ProAppData data) {
  for (int id : {7, 8}) {
    ProFeature feature = {0, id, solid};
    if (filter != nullptr && filter(&feature, data) == PRO_TK_CONTINUE) continue;
    ProError status = action(&feature, PRO_TK_NO_ERROR, data);
    if (status != PRO_TK_NO_ERROR) return status;
  }
  return PRO_TK_NO_ERROR;
}

ProBoolean FakeVerstampEqual(ProWVerstamp first, ProWVerstamp second) {
  return std::memcmp(&first, &second, sizeof first) == 0 ? PRO_B_TRUE : PRO_B_FALSE;
}

char* FakeWstringToString(char* narrow, const ProWchar* wide) {
  char* out = narrow;
  for (; *wide != 0; ++wide) *out++ = *wide < 0x100 ? static_cast<char>(*wide) : '?';
  *out = '\0';
  return narrow;
}

template <typename Function>
void* Address(Function function) {
  return reinterpret_cast<void*>(function);
}

// The fake host's table. ProMdlNameGet is left out: this host lacks it.
void* FakeLookup(const char* name) {
  ++g_asked[name];
  static const std::map<std::string, void*> table = {
      {"ProMdlCurrentGet", Address<ProMdlCurrentGet_fn>(&FakeMdlCurrentGet)},
      {"ProAsmcomppathInit", Address<ProAsmcomppathInit_fn>(&FakeAsmcomppathInit)},
      {"ProUISpinboxDoubleSet", Address<ProUISpinboxDoubleSet_fn>(&FakeSpinboxDoubleSet)},
      {"ProSolidFeatVisit", Address<ProSolidFeatVisit_fn>(&FakeSolidFeatVisit)},
      {"ProVerstampEqual", Address<ProVerstampEqual_fn>(&FakeVerstampEqual)},
      {"ProWstringToString", Address<ProWstringToString_fn>(&FakeWstringToString)},
  };
  auto found = table.find(name);
  return found == table.end() ? nullptr : found->second;
}

// A second host that has only ProMdlCurrentGet, answering a failure.
ProError OtherMdlCurrentGet(ProMdl*) { return PRO_TK_GENERAL_ERROR; }
void* OtherLookup(const char* name) {
  ++g_asked[std::string("other:") + name];
  return std::strcmp(name, "ProMdlCurrentGet") == 0
             ? Address<ProMdlCurrentGet_fn>(&OtherMdlCurrentGet)
             : nullptr;
}

class ToolkitBinding : public ::testing::Test {
protected:
  void SetUp() override {
    ToolkitUnbind();
    g_asked.clear();
    g_spinbox = {};
  }
  void TearDown() override { ToolkitUnbind(); }
};

// ---- Calls through a bound host ----------------------------------------------------------------

TEST_F(ToolkitBinding, BoundHostAnswersThroughTheForwardersAlsoWithoutAStatus) {
  ToolkitBind(&FakeLookup);

  ProMdl model = nullptr;
  EXPECT_EQ(ProMdlCurrentGet(&model), PRO_TK_NO_ERROR);
  EXPECT_EQ(model, kModel);

  const int ids[] = {3, -4, 5};
  ProAsmcomppath path = {};
  EXPECT_EQ(ProAsmcomppathInit(kModel, ids, 3, &path), PRO_TK_NO_ERROR);
  EXPECT_EQ(path.owner, kModel);
  EXPECT_EQ(path.table_num, 3);
  EXPECT_EQ(path.comp_id_table[1], -4);
  EXPECT_EQ(ProAsmcomppathInit(kModel, ids, 26, &path), PRO_TK_BAD_INPUTS);

  EXPECT_EQ(ProUISpinboxDoubleSet("Vistrel_Settings", "stepbox", 0.35), PRO_TK_NO_ERROR);
  EXPECT_EQ(g_spinbox.dialog, "Vistrel_Settings");
  EXPECT_EQ(g_spinbox.component, "stepbox");
  EXPECT_EQ(g_spinbox.value, 0.35);
  ProWVerstamp a = {{1, 2, 3, 4}};
  ProWVerstamp b = a;
  EXPECT_EQ(ProVerstampEqual(a, b), PRO_B_TRUE);
  b.words[3] = 5;
  EXPECT_EQ(ProVerstampEqual(a, b), PRO_B_FALSE);

  char narrow[PRO_NAME_SIZE];
  EXPECT_EQ(ProWstringToString(narrow, u"BRACKET"), narrow);
  EXPECT_STREQ(narrow, "BRACKET");
}

TEST_F(ToolkitBinding, VisitCallsThePluginsFilterAndActionWithItsData) {
  ToolkitBind(&FakeLookup);
  struct Seen {
    int filtered = 0;
    int visited_id = 0;
  } seen;
  auto filter = [](ProFeature* feature, ProAppData data) -> ProError {
    ++static_cast<Seen*>(data)->filtered;
    return feature->id == 7 ? PRO_TK_CONTINUE : PRO_TK_NO_ERROR;
  };
  auto action = [](ProFeature* feature, ProError, ProAppData data) -> ProError {
    static_cast<Seen*>(data)->visited_id = feature->id;
    return PRO_TK_NO_ERROR;
  };
  EXPECT_EQ(ProSolidFeatVisit(kModel, action, filter, &seen), PRO_TK_NO_ERROR);
  EXPECT_EQ(seen.filtered, 2);
  EXPECT_EQ(seen.visited_id, 8);
}

// ---- Looking up --------------------------------------------------------------------------------

TEST_F(ToolkitBinding, EachFunctionIsLookedUpOnceFoundOrNot) {
  ToolkitBind(&FakeLookup);
  ProMdl model = nullptr;
  for (int i = 0; i < 3; ++i) ProMdlCurrentGet(&model);
  ProUISpinboxDoubleSet("d", "c", 1.0);
  ProUISpinboxDoubleSet("d", "c", 2.0);

  EXPECT_EQ(g_asked["ProMdlCurrentGet"], 1);
  EXPECT_EQ(g_asked["ProUISpinboxDoubleSet"], 1);
  EXPECT_EQ(g_asked.size(), 2u);
  // A function the host lacks answers PRO_TK_COMM_ERROR, and is asked for once too.
  ProName name = u"untouched";
  EXPECT_EQ(ProMdlNameGet(kModel, name), PRO_TK_COMM_ERROR);
  EXPECT_EQ(ProMdlNameGet(kModel, name), PRO_TK_COMM_ERROR);
  EXPECT_EQ(std::u16string(name), u"untouched");
  EXPECT_EQ(g_asked["ProMdlNameGet"], 1);
}

TEST_F(ToolkitBinding, NothingBoundAnswersCommErrorAndUnbindOrAnotherBindForgetsAll) {
  // Nothing bound yet: a forwarder answers PRO_TK_COMM_ERROR and touches nothing.
  ProMdl model = nullptr;
  EXPECT_EQ(ProMdlCurrentGet(&model), PRO_TK_COMM_ERROR);
  EXPECT_EQ(model, nullptr);
  ToolkitBind(&FakeLookup);
  ASSERT_EQ(ProMdlCurrentGet(&model), PRO_TK_NO_ERROR);

  ToolkitUnbind();
  model = nullptr;
  EXPECT_EQ(ProMdlCurrentGet(&model), PRO_TK_COMM_ERROR);
  EXPECT_EQ(model, nullptr);
  EXPECT_EQ(g_asked["ProMdlCurrentGet"], 1);

  ToolkitBind(&FakeLookup);
  EXPECT_EQ(ProMdlCurrentGet(&model), PRO_TK_NO_ERROR);
  EXPECT_EQ(g_asked["ProMdlCurrentGet"], 2);
  // Binding another host drops the first one's addresses.
  ToolkitBind(&OtherLookup);
  EXPECT_EQ(ProMdlCurrentGet(&model), PRO_TK_GENERAL_ERROR);
  EXPECT_EQ(g_asked["other:ProMdlCurrentGet"], 1);
  // A null lookup binds nothing.
  ToolkitBind(nullptr);
  EXPECT_EQ(ProMdlCurrentGet(&model), PRO_TK_COMM_ERROR);
}

// ---- Every function of the list ----------------------------------------------------------------

std::string g_last_asked;
void* RecordingLookup(const char* name) {
  g_last_asked = name;
  ++g_asked[name];
  return nullptr;
}

// Calls a forwarder with every argument value-initialised (null pointers, zeros).
template <typename Result, typename... Parameters>
Result CallWithNullArguments(Result (*function)(Parameters...)) {
  return function(Parameters{}...);
}

void ExpectUnboundAnswer(const char* name, int answer) {
  const int expected = std::strcmp(name, "ProVerstampEqual") == 0 ? PRO_B_FALSE : PRO_TK_COMM_ERROR;
  EXPECT_EQ(answer, expected) << name;
}
template <typename Pointer>
void ExpectUnboundAnswer(const char* name, Pointer* answer) {
  EXPECT_EQ(answer, nullptr) << name;
}

TEST_F(ToolkitBinding, EveryForwarderAsksForItsOwnNameAndFailsCleanlyWhenMissing) {
  ToolkitBind(&RecordingLookup);
  int functions = 0;
#define PRO_FUNCTION(ReturnType, Name, Parameters, Arguments)      \
  g_last_asked.clear();                                            \
  ExpectUnboundAnswer(#Name, CallWithNullArguments(&Name));        \
  EXPECT_EQ(g_last_asked, #Name);                                  \
  ++functions;
#include "toolkit/pro_functions.def"
#undef PRO_FUNCTION
  EXPECT_EQ(functions, static_cast<int>(ToolkitFunction::Count));
  EXPECT_EQ(g_asked.size(), static_cast<size_t>(functions));
  for (const auto& [name, count] : g_asked) EXPECT_EQ(count, 1) << name;
}

TEST_F(ToolkitBinding, MissingConversionsLeaveAnEmptyText) {
  ToolkitBind(&RecordingLookup);
  char narrow[8] = "stale";
  EXPECT_EQ(ProWstringToString(narrow, u"BRACKET"), narrow);
  EXPECT_STREQ(narrow, "");

  ProWchar wide[8] = u"stale";
  EXPECT_EQ(ProStringToWstring(wide, "gear.png"), wide);
  EXPECT_EQ(wide[0], 0);

  ProWVerstamp stamp = {{1, 2, 3, 4}};
  EXPECT_EQ(ProVerstampEqual(stamp, stamp), PRO_B_FALSE);  // uncomparable stamps differ
}

}  // namespace
