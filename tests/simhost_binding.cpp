#include "tests/simhost_binding.h"

#include <cstring>

#include "simhost/function_table.h"
#include "simhost/host_functions.h"
#include "simhost/model_functions.h"
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

// The one function bound in place of the simulated host's own, when there is one.
const char* g_replacedName = nullptr;
void* g_replacement = nullptr;

void* Lookup(const char* name)
{
    if (g_replacedName != nullptr && std::strcmp(g_replacedName, name) == 0) return g_replacement;
    return Functions().Find(name);
}

}  // namespace

void BindSimulatedHost(const char* replacedName, void* replacement)
{
    g_replacedName = replacedName;
    g_replacement = replacement;
    ToolkitBind(&Lookup);
}
