// The component walk: from the host's current model to the nested scene groups of its
// components. ExportModel (an operation of PluginApplication, export/component_walk.cpp) writes
// the cameras, walks an assembly's components depth-first through the host's feature visit and
// hands every part, every sub-assembly's own surfaces and the top model's own surfaces to the
// surface export, each with its placement in the scene group that encloses it.
#pragma once

#include "export/component_version_stamps.h"
#include "export/simprep_item_map.h"
#include "toolkit/pro_toolkit.h"

// The record handed to one visit of an assembly's component features: to the filter and the
// action of every feature of that assembly. The road owns the root record; VisitComponent makes
// one for each sub-assembly, which lives for the visit of that sub-assembly's features.
struct ComponentVisitData {
    // The visited assembly's path from the top model; the top model's empty path at the root.
    ProAsmcomppath assemblyPath = {};
    // The visited assembly; the top model at the root. It owns the one-level component paths and
    // the layer items made for the filter.
    ProSolid assemblyModel = nullptr;
    // The plug-in object's stamps: read for the change test, written for every admitted component.
    ComponentVersionStamps* versionStamps = nullptr;
    // The inclusion handed down to this assembly's components; true at the root when no
    // simplified representation applies.
    bool includeInherited = true;
    // A component above, or the top model itself, is in the manual selection.
    bool selectedInherited = false;
    // The chosen representation's default action; 2 (include) when none applies.
    int defaultAction = PRO_SIMPREP_INCLUDE;
    // The representation's item actions by full path; the road's map.
    SimprepItemMap* simprepItems = nullptr;
    // Maps top-model coordinates into the visited assembly's; the identity at the root.
    ProMatrix parentTransform = {{1, 0, 0, 0}, {0, 1, 0, 0}, {0, 0, 1, 0}, {0, 0, 0, 1}};
};

// The filter of the feature visit: PRO_TK_NO_ERROR admits an active, displayed component
// feature that has a model; PRO_TK_CONTINUE skips anything else, and a skipped component gets
// nothing (no group, no stamp, no visit of its own components). data is a ComponentVisitData.
ProError ComponentFeatureFilter(ProAsmcomp* component, ProAppData data);

// The action of the feature visit: records the component's stamp and writes its group (a
// sub-assembly's group with its components inside, or a part's geometry group). data is the
// ComponentVisitData of the visited assembly. Answers PRO_TK_NO_ERROR; status is not read.
// Like every visit callback here, it answers PRO_TK_GENERAL_ERROR when it failed, and keeps the
// failure for the caller of the visit (hostcall/host_callback_guard.h).
ProError VisitComponent(ProAsmcomp* component, ProError status, ProAppData data);

// Whether one of an Update's manual picks is the top model itself: a pick whose component path
// holds no identifier. The walk then counts every component as selected.
bool PicksTopModel(ProSelection* picks, int count);
