// Test support: an allocation that fails at a chosen point. A program that links
// allocation_failure.cpp has every form of operator new and delete replaced (over malloc and
// free). ThenFailAllocation<&sim::ProX>::Call, bound in place of the simulated host's ProX, makes
// the plug-in's next allocation after that host call throw std::bad_alloc.
#pragma once

#include "toolkit/pro_toolkit.h"

// Makes the next allocation throw std::bad_alloc, or the one after the next allocations that
// succeed; how many did so far.
void FailNextAllocation();
void FailAllocationAfter(int allocations);
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
