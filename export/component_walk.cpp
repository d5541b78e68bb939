#include "export/component_walk.h"

#include "plugin/plugin_application.h"

void PluginApplication::ExportModel(ProSolid*, int, ComponentVisitData*, std::string) {
    // Not built yet
}

ProError ComponentFeatureFilter(ProAsmcomp*, ProAppData) {
    // Not built yet
    return PRO_TK_CONTINUE;
}

ProError VisitComponent(ProAsmcomp*, ProError, ProAppData) {
    // Not built yet
    return PRO_TK_NO_ERROR;
}
