// Test support: an allocation failure at a chosen point. A program that links
// allocation_failure.cpp has its operator new and delete replaced (over malloc and free); once
// armed, the next allocation throws std::bad_alloc, as a full address space would.
//
// ThenFailAllocation<&sim::ProSomething>::Call is the simulated host's function that arms the
// failure when it returns: bound in its place, it makes the plug-in's next allocation after that
// host call fail, wherever in the export the call stands.
#pragma once

#include "toolkit/pro_toolkit.h"

// Makes the next allocation throw std::bad_alloc.
void FailNextAllocation();
// How many allocations failed so far.
int FailedAllocations();

template <auto HostFunction>
struct ThenFailAllocation;

template <typename... Parameters, ProError (*HostFunction)(Parameters...)>
struct ThenFailAllocation<HostFunction> {
    static ProError Call(Parameters... arguments) {
        const ProError answer = HostFunction(arguments...);
        FailNextAllocation();
        return answer;
    }
};
