// Test support: the simulated host's toolkit functions bound in this process to the plug-in's
// forwarders, so that export code runs against a model file (tests/sim_test_world.h) without the
// plug-in library being loaded.
#pragma once

// Binds every toolkit function of the simulated host (runtime and model side) through
// ToolkitBind; ToolkitUnbind undoes it. The function named replacedName, when given, is bound to
// replacement instead.
void BindSimulatedHost(const char* replacedName = nullptr, void* replacement = nullptr);
