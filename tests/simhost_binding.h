// Test support: the simulated host's toolkit functions bound in this process to the plug-in's
// forwarders, so that export code runs against a model file (tests/sim_test_world.h) without the
// plug-in library being loaded.
//
// Each function is bound through a wrapper that marks the time the host's own code runs
// (tests/allocation_failure.h): from its start to its end, but for the plug-in's callbacks that it
// runs (visit actions and filters, dialog actions). One function may be made to fail as a host
// does: with an error code.
#pragma once

#include <string>
#include <vector>

enum class HostFailure {
    Refuses,              // answers PRO_TK_GENERAL_ERROR and does nothing else
    RefusesAfterItsWork,  // does its work (what it hands out included), then answers so
};

// Binds every toolkit function of the simulated host (runtime and model side) through
// ToolkitBind; ToolkitUnbind undoes it. The function named replacedName, when given, is bound to
// replacement instead.
void BindSimulatedHost(const char* replacedName = nullptr, void* replacement = nullptr);
// The same, with the function named failingName (one that answers a status) failing so.
void BindSimulatedHost(const char* failingName, HostFailure failure);

// The functions answering a status that the plug-in called since the last bind, in the order of
// toolkit/pro_functions.def.
std::vector<std::string> StatusFunctionsCalled();
