#include "export/simplified_rep.h"

bool ChooseSimplifiedRep(ProSolid*, ComponentVisitData* root) {
    // Not built yet
    root->includeInherited = true;
    root->defaultAction = PRO_SIMPREP_INCLUDE;
    return true;
}

ProError CountSimplifiedReps(ProSimprep*, ProError, ProAppData) {
    // Not built yet
    return PRO_TK_NO_ERROR;
}

ProError CollectSimprepItem(ProSimprepitem*, ProError, ProAppData) {
    // Not built yet
    return PRO_TK_NO_ERROR;
}
