#include "tests/sim_geometry_host.h"

#include <map>

#include "simhost/function_table.h"
#include "simhost/host_functions.h"
#include "simhost/host_memory.h"
#include "simhost/model_functions.h"
#include "toolkit/toolkit_binding.h"
#include "sim_test_world.h"

namespace sim_geometry {
namespace {

Log hostLog;
std::set<std::string> missingFunctions;
std::map<ProSurfaceTessellationInput, int> inputNumbers;
std::map<ProSurfaceTessellationInput, double> chordHeights;

int NumberOf(ProSurfaceTessellationInput input) {
    const auto found = inputNumbers.find(input);
    return found == inputNumbers.end() ? 0 : found->second;
}

ProError InputAlloc(ProSurfaceTessellationInput* input) {
    const ProError answer = sim::ProSurfacetessellationinputAlloc(input);
    if (answer == PRO_TK_NO_ERROR) inputNumbers[*input] = ++hostLog.inputsMade;
    return answer;
}

ProError InputFree(ProSurfaceTessellationInput input) {
    const ProError answer = sim::ProSurfacetessellationinputFree(input);
    if (answer == PRO_TK_NO_ERROR) {
        ++hostLog.inputsFreed;
        inputNumbers.erase(input);
        chordHeights.erase(input);
    }
    return answer;
}

ProError ChordheightSet(ProSurfaceTessellationInput input, double height) {
    hostLog.calls.push_back({InputCall::ChordHeight, NumberOf(input), height, PRO_TK_NO_ERROR});
    chordHeights[input] = height;
    return sim::ProSurfacetessellationinputChordheightSet(input, height);
}

ProError UvprojectionSet(ProSurfaceTessellationInput input,
                         ProSurfaceTessellationProjection projection, ProUvProjectionData* data) {
    hostLog.calls.push_back({InputCall::UvProjection, NumberOf(input), 0.0, PRO_TK_NO_ERROR});
    return sim::ProSurfacetessellationinputUvprojectionSet(input, projection, data);
}

ProError TessellationGet(ProSurface surface, ProSurfaceTessellationInput input,
                         ProTessellation* tessellation) {
    const ProError answer = sim::ProSurfaceTessellationGet(surface, input, tessellation);
    hostLog.calls.push_back({InputCall::Tessellate, NumberOf(input), chordHeights[input], answer});
    return answer;
}

ProError FacetsGet(ProTessellation tessellation, ProTriangle** facets) {
    const ProError answer = sim::ProTessellationFacetsGet(tessellation, facets);
    if (answer == PRO_TK_NO_ERROR && *facets != nullptr)
        for (int f = 0; f < sim::HostArraySize(*facets); ++f)
            for (int& vertex : (*facets)[f]) vertex += hostLog.facetShift;
    return answer;
}

const sim::FunctionTable& Functions() {
    static const sim::FunctionTable table = [] {
        sim::FunctionTable functions;
        sim::RegisterRuntimeFunctions(functions);
        sim::RegisterModelFunctions(functions);
        functions.Add("ProSurfacetessellationinputAlloc", reinterpret_cast<void*>(&InputAlloc));
        functions.Add("ProSurfacetessellationinputFree", reinterpret_cast<void*>(&InputFree));
        functions.Add("ProSurfacetessellationinputChordheightSet",
                      reinterpret_cast<void*>(&ChordheightSet));
        functions.Add("ProSurfacetessellationinputUvprojectionSet",
                      reinterpret_cast<void*>(&UvprojectionSet));
        functions.Add("ProSurfaceTessellationGet", reinterpret_cast<void*>(&TessellationGet));
        functions.Add("ProTessellationFacetsGet", reinterpret_cast<void*>(&FacetsGet));
        return functions;
    }();
    return table;
}

void* Lookup(const char* name) {
    if (missingFunctions.count(name) != 0) return nullptr;
    return Functions().Find(name);
}

}  // namespace

Log& HostLog() { return hostLog; }

bool BindGeometryHost(const std::string& world, const std::set<std::string>& missing) {
    hostLog = Log();
    inputNumbers.clear();
    chordHeights.clear();
    missingFunctions = missing;
    if (!sim::UseWorld(world)) return false;
    ToolkitBind(&Lookup);
    return true;
}

void UnbindGeometryHost() {
    ToolkitUnbind();
    missingFunctions.clear();
}

ProMdl Model(const std::string& name) { return sim::Handle(name); }

std::vector<InputCall> Tries() {
    std::vector<InputCall> tries;
    for (const InputCall& call : hostLog.calls) {
        if (call.kind == InputCall::Tessellate) tries.push_back(call);
    }
    return tries;
}

}  // namespace sim_geometry
