#include "tests/simhost_binding.h"

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

void* Lookup(const char* name) { return Functions().Find(name); }

}  // namespace

void BindSimulatedHost() { ToolkitBind(&Lookup); }
