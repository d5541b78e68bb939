#include "tests/simhost_binding.h"

#include <cstring>
#include <map>
#include <string_view>
#include <tuple>
#include <utility>

#include "simhost/function_table.h"
#include "simhost/host_functions.h"
#include "simhost/model_functions.h"
#include "tests/allocation_failure.h"
#include "toolkit/toolkit_binding.h"

namespace {

const sim::FunctionTable& Functions()
{
    static const sim::FunctionTable table = [] {
        sim::FunctionTable functions;
        sim::RegisterRuntimeFunctions(functions);
        sim::RegisterModelFunctions(functions);
        return functions;
    }();
    return table;
}

constexpr int kFunctionCount = static_cast<int>(ToolkitFunction::Count);

// The one function bound in place of the simulated host's own, or failing, when there is one.
const char* g_replacedName = nullptr;
void* g_replacement = nullptr;
int g_failing = -1;
HostFailure g_failure = HostFailure::Refuses;
bool g_called[kFunctionCount] = {};

// An argument handed to the host as it is.
template <typename T>
struct AsItIs {
    explicit AsItIs(T value) : value(value) {}
    T Value() const { return value; }
    const T value;
};

template <typename T>
struct Passed : AsItIs<T> {
    using AsItIs<T>::AsItIs;
};

// A visit action or filter, which the host calls back during the call it is passed to: the host
// gets a stand-in that runs it as the plug-in's code. The call under way keeps its callback of
// each kind here; a nested call keeps its own for its time.
template <typename R, typename... A>
struct Passed<R (*)(A...)> {
    using Callback = R (*)(A...);
    explicit Passed(Callback callback) : outer(current) { current = callback; }
    ~Passed() { current = outer; }
    Callback Value() const { return current != nullptr ? &Run : nullptr; }

    static R Run(A... arguments)
    {
        const PluginCodeRuns plugin;
        return current(arguments...);
    }
    static inline Callback current = nullptr;
    const Callback outer;
};

// Command actions run from the host's event loop, outside any host function.
template <>
struct Passed<uiCmdCmdActFn> : AsItIs<uiCmdCmdActFn> {
    using AsItIs::AsItIs;
};
template <>
struct Passed<uiCmdAccessFn> : AsItIs<uiCmdAccessFn> {
    using AsItIs::AsItIs;
};

// Dialog actions run later, while their dialog runs: kept by dialog and control.
std::map<std::pair<std::string, std::string>, ProUIAction>& DialogActions()
{
    static std::map<std::pair<std::string, std::string>, ProUIAction> actions;
    return actions;
}

template <typename... Arguments>
void KeepDialogAction(Arguments...)
{
}

void KeepDialogAction(const char* dialog, const char* control, ProUIAction action, ProAppData)
{
    if (dialog != nullptr && control != nullptr) DialogActions()[{dialog, control}] = action;
}

template <>
struct Passed<ProUIAction> : AsItIs<ProUIAction> {
    using AsItIs::AsItIs;
    ProUIAction Value() const { return value != nullptr ? &Run : nullptr; }

    static void Run(const char* dialog, const char* control, ProAppData data)
    {
        const ProUIAction action = DialogActions()[{dialog, control}];
        const PluginCodeRuns plugin;
        action(dialog, control, data);
    }
};

// The binding's own function in place of the host's function F (at address), answering a status
// when status is true.
template <ToolkitFunction F, typename Function, bool status>
struct Entry;

template <ToolkitFunction F, typename R, typename... P, bool status>
struct Entry<F, R (*)(P...), status> {
    static R Call(P... arguments)
    {
        const HostCodeRuns host;
        constexpr int index = static_cast<int>(F);
        g_called[index] = true;
        [[maybe_unused]] const bool fails = status && index == g_failing;
        if constexpr (status) {
            if (fails && g_failure == HostFailure::Refuses) return PRO_TK_GENERAL_ERROR;
        }
        KeepDialogAction(arguments...);
        std::tuple<Passed<P>...> passed(arguments...);
        const R answer = std::apply(
            [](const Passed<P>&... handed) {
                return reinterpret_cast<R (*)(P...)>(address)(handed.Value()...);
            },
            passed);
        if constexpr (status) {
            if (fails) return PRO_TK_GENERAL_ERROR;
        }
        return answer;
    }
    static inline void* address = nullptr;
};

struct BoundEntry {
    const char* name;
    void* call;
    void** address;
    bool status;
};

constexpr bool AnswersStatus(std::string_view returnType) { return returnType == "ProError"; }

#define PRO_FUNCTION(ReturnType, Name, Parameters, Arguments)                                   \
    {#Name,                                                                                     \
     reinterpret_cast<void*>(                                                                   \
         &Entry<ToolkitFunction::Name, Name##_fn, AnswersStatus(#ReturnType)>::Call),           \
     &Entry<ToolkitFunction::Name, Name##_fn, AnswersStatus(#ReturnType)>::address,             \
     AnswersStatus(#ReturnType)},
const BoundEntry kEntries[] = {
#include "toolkit/pro_functions.def"
};
#undef PRO_FUNCTION

// The look-up is the host's code too.
void* Lookup(const char* name)
{
    const HostCodeRuns host;
    for (const BoundEntry& entry : kEntries) {
        if (std::strcmp(entry.name, name) != 0) continue;
        const bool replaced = g_replacedName != nullptr && std::strcmp(g_replacedName, name) == 0;
        *entry.address = replaced ? g_replacement : Functions().Find(name);
        return *entry.address != nullptr ? entry.call : nullptr;
    }
    return nullptr;
}

void Bind(const char* replacedName, void* replacement, int failing, HostFailure failure)
{
    g_replacedName = replacedName;
    g_replacement = replacement;
    g_failing = failing;
    g_failure = failure;
    for (bool& called : g_called) called = false;
    ToolkitBind(&Lookup);
}

}  // namespace

void BindSimulatedHost(const char* replacedName, void* replacement)
{
    Bind(replacedName, replacement, -1, HostFailure::Refuses);
}

void BindSimulatedHost(const char* failingName, HostFailure failure)
{
    int failing = 0;
    while (failing < kFunctionCount && std::strcmp(kEntries[failing].name, failingName) != 0)
        ++failing;
    Bind(nullptr, nullptr, failing, failure);
}

std::vector<std::string> StatusFunctionsCalled()
{
    std::vector<std::string> names;
    for (int i = 0; i < kFunctionCount; ++i)
        if (g_called[i] && kEntries[i].status) names.push_back(kEntries[i].name);
    return names;
}
