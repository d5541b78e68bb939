// The simulated host's table of toolkit functions by name: what the plug-in's lookup answers.
// Each group of host functions registers its implementations here; a name that nobody
// registered is answered with null, as a host that lacks the function would.
#pragma once

#include <functional>
#include <map>
#include <string>

#include "toolkit/pro_function_types.h"

namespace sim {

class FunctionTable {
public:
    void Add(const char* name, void* address) { functions_[name] = address; }
    void* Find(const char* name) const {
        auto found = functions_.find(name);
        return found == functions_.end() ? nullptr : found->second;
    }
    size_t Size() const { return functions_.size(); }

private:
    // A look-up makes no string of the name: like the real host's, it must not use the
    // plug-in's operator new, whose next allocation a test may make fail.
    std::map<std::string, void*, std::less<>> functions_;
};

}  // namespace sim

// Registers sim::Name under "Name", checked at compile time against the toolkit's signature
// (toolkit/pro_functions.def), so the two sides cannot disagree.
#define SIM_ADD_FUNCTION(table, Name)                                                     \
    (table).Add(#Name, reinterpret_cast<void*>(static_cast<Name##_fn>(&::sim::Name)))
