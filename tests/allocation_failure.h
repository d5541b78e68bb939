// Test support: an allocation of the plug-in's that fails at a chosen point. A program that links
// allocation_failure.cpp has every form of operator new and delete replaced (over malloc and
// free). Only the plug-in's allocations (and the test's own) count and fail: those made while the
// host's own code runs never do, as the host is C and answers its failures with status codes.
// tests/simhost_binding marks that time with HostCodeRuns.
#pragma once

#include "toolkit/pro_toolkit.h"

// Makes the plug-in's next allocation throw std::bad_alloc, or the one after the next allocations
// that succeed (-1: none fails); how many failed so far.
void FailNextAllocation();
void FailAllocationAfter(int allocations);
int FailedAllocations();

// How deep the allocations now made are in the host's own code: 0 in the plug-in's.
inline int& HostCodeDepth() {
    static int depth = 0;
    return depth;
}

// For its lifetime: the host's own code runs.
struct HostCodeRuns {
    HostCodeRuns() { ++HostCodeDepth(); }
    ~HostCodeRuns() { --HostCodeDepth(); }
};

// For its lifetime: the plug-in's code runs, called back by the host.
struct PluginCodeRuns {
    PluginCodeRuns() : hostDepth(HostCodeDepth()) { HostCodeDepth() = 0; }
    ~PluginCodeRuns() { HostCodeDepth() = hostDepth; }
    const int hostDepth;
};

// ThenFailAllocation<&sim::ProX>::Call, bound in place of the simulated host's ProX, answers as
// ProX and makes the plug-in's next allocation after that host call fail.
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
