// The choice of an assembly's simplified representation and the loading of its per-component
// actions into the run's SimprepItemMap, before the component walk.
#pragma once

#include "export/component_walk.h"
#include "export/simprep_item_map.h"
#include "toolkit/pro_toolkit.h"

// What the count of the assembly's representations gathers: the first one visited (offered to
// the user first) and how many there are.
struct SimprepCount {
    ProSimprep first = {};
    int count = 0;
};

// What the visit of a representation's items gathers into: the run's map, and the top model
// that owns the items' paths.
struct SimprepItemVisitData {
    SimprepItemMap* items = nullptr;
    ProSolid model = nullptr;
};

// Lets the user pick one of the assembly's representations when it has more than one, takes a
// single one without asking, and sets root's includeInherited and defaultAction and fills its
// simprepItems from the representation chosen. Answers false only when the user cancels; root is
// then untouched. model points at the top model's handle.
bool ChooseSimplifiedRep(ProSolid* model, ComponentVisitData* root);

// The two visit actions answer PRO_TK_GENERAL_ERROR when they fail (hostcall/host_callback_guard.h).

// The action of the representation visit: keeps the first representation and counts. data is a
// SimprepCount. Answers PRO_TK_NO_ERROR.
ProError CountSimplifiedReps(ProSimprep* rep, ProError status, ProAppData data);

// The action of the items visit: stores the item's action under its component path, replacing
// an earlier record of the same path; an item without a usable path adds nothing. data is a
// SimprepItemVisitData. Answers PRO_TK_NO_ERROR.
ProError CollectSimprepItem(ProSimprepitem* item, ProError status, ProAppData data);
