#include "export/materials.h"

#include "plugin/plugin_application.h"

MaterialKey GetSurfaceMaterialKey(const char*, ProGeomitem*, const ProAsmcomppath&,
                                  const ProSurfaceAppearanceProps*, const ProSurfaceTextureProps*) {
    // Not built yet
    return MaterialKey();
}

void PluginApplication::WriteMaterial(const char*, const MaterialKey&) {
    // Not built yet
}
