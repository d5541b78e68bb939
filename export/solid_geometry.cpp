#include "export/solid_geometry.h"

#include "plugin/plugin_application.h"

ProError SurfaceFeatureFilter(ProSurface, ProAppData) {
    // Not built yet
    return PRO_TK_NO_ERROR;
}

ProError QuiltVisibilityFilter(ProQuilt, ProAppData) {
    // Not built yet
    return PRO_TK_NO_ERROR;
}

ProError CollectSurfaceId(ProSurface, ProError, ProAppData) {
    // Not built yet
    return PRO_TK_NO_ERROR;
}

ProError CollectQuiltSurfaceIds(ProQuilt, ProError, ProAppData) {
    // Not built yet
    return PRO_TK_NO_ERROR;
}

void PluginApplication::ExportSolidGeometry(ProSolid, const ProAsmcomppath&, const ProAsmcomppath&,
                                            const std::string&, const ProMatrix, bool) {
    // Not built yet
}
