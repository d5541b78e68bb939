// Holders of the memory the host hands out: records, arrays and wide strings that the plug-in
// must give back with the host's own function for them. A holder gives its block back when it
// goes out of scope, on every way out: a failure that unwinds through the plug-in's frames
// (hostcall/host_callback_guard.h) must not leave the host's memory behind it. release() hands
// the block on to a new owner (a list of curves, the record that takes over an array, ...).
#pragma once

#include <memory>

#include "toolkit/pro_toolkit.h"

// Deleter that calls Free(block), for the host functions that take the block itself.
template <auto Free>
struct HostFree {
    template <typename T>
    void operator()(T* block) const noexcept { Free(block); }
};

// Deleter that calls Free(&block), for the host functions that take the block's address.
template <auto Free>
struct HostFreeByAddress {
    template <typename T>
    void operator()(T* block) const noexcept { Free(&block); }
};

using HeldCurvedata = std::unique_ptr<ProCurvedata, HostFree<&ProCurvedataMemoryFree>>;
using HeldEdgedata = std::unique_ptr<ProEdgedata, HostFree<&ProEdgedataMemoryFree>>;
using HeldQuiltdata = std::unique_ptr<ProQuiltdata, HostFree<&ProQuiltdataMemoryFree>>;
using HeldIntfData = std::unique_ptr<ProIntfData, HostFree<&ProIntfDataFree>>;
using HeldTessellation = std::unique_ptr<ProTessellationObject, HostFree<&ProTessellationFree>>;
using HeldGeomitemdata = std::unique_ptr<ProGeomitemdata, HostFreeByAddress<&ProGeomitemdataFree>>;
using HeldSimprepdata = std::unique_ptr<ProSimprepdata, HostFreeByAddress<&ProSimprepdataFree>>;
using HeldWstring = std::unique_ptr<ProWchar, HostFree<&ProWstringFree>>;
// A host array (ProArray) of any element type.
using HeldHostArray = std::unique_ptr<void, HostFreeByAddress<&ProArrayFree>>;
