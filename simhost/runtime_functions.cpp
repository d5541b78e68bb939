#include "simhost/host_functions.h"

namespace sim {

void RegisterRuntimeFunctions(FunctionTable& table) {
    RegisterMemoryFunctions(table);
    RegisterCommandFunctions(table);
    RegisterFileDialogFunctions(table);
    RegisterSelectionFunctions(table);
    RegisterDialogFunctions(table);
    RegisterControlFunctions(table);
}

}  // namespace sim
