#include "export/simplified_rep.h"

#include "hostcall/host_callback_guard.h"
#include "hostcall/host_held.h"

namespace {

// No representation applies: every component is included.
void IncludeEverything(ComponentVisitData& root) {
    root.includeInherited = true;
    root.defaultAction = PRO_SIMPREP_INCLUDE;
}

}  // namespace

bool ChooseSimplifiedRep(ProSolid* model, ComponentVisitData* root) {
    SimprepCount reps;
    CallRunningCallbacks(ProSolidSimprepVisit, *model, nullptr, CountSimplifiedReps, &reps);
    if (reps.count <= 0) {
        IncludeEverything(*root);
        return true;
    }
    ProSimprep rep = reps.first;
    // The host writes the user's choice into rep; a single representation is taken as it is.
    if (reps.count > 1 && ProSimprepSelect(*model, &rep) == PRO_TK_USER_ABORT) return false;

    // The master representation (-1) includes everything that no item excludes.
    root->includeInherited = rep.id == -1;
    ProSimprepdata* data = nullptr;
    if (ProSimprepdataGet(&rep, &data) != PRO_TK_NO_ERROR || data == nullptr) {
        IncludeEverything(*root);
        return true;
    }
    const HeldSimprepdata held(data);
    ProSimprepActionType defaultAction = PRO_SIMPREP_INCLUDE;
    ProSimprepdataDefaultGet(data, &defaultAction);
    root->defaultAction = defaultAction;
    SimprepItemVisitData items;
    items.items = root->simprepItems;
    items.model = *model;
    if (items.items != nullptr)
        CallRunningCallbacks(ProSimprepdataitemsVisit, data, nullptr, CollectSimprepItem, &items);
    return true;
}

ProError CountSimplifiedReps(ProSimprep* rep, ProError /*status*/, ProAppData data) {
    return GuardVisitCallback([&] {
        auto& reps = *static_cast<SimprepCount*>(data);
        if (reps.count == 0) reps.first = *rep;
        ++reps.count;
        return PRO_TK_NO_ERROR;
    });
}

ProError CollectSimprepItem(ProSimprepitem* item, ProError /*status*/, ProAppData data) {
    return GuardVisitCallback([&] {
        auto& visit = *static_cast<SimprepItemVisitData*>(data);
        // -1: an item that is no component. A count the identifier table cannot hold is refused
        // before the host would read past it.
        if (item->path_size < 0 || item->path_size > PRO_MAX_ASSEMBLY_LEVEL) {
            return PRO_TK_NO_ERROR;
        }
        ProAsmcomppath path = {};
        if (ProAsmcomppathInit(visit.model, item->item_path, item->path_size, &path) !=
            PRO_TK_NO_ERROR) {
            return PRO_TK_NO_ERROR;
        }
        (*visit.items)[path] = item->action;
        return PRO_TK_NO_ERROR;
    });
}
