// Materials of the exported surfaces: the key of a surface from the host's appearances and
// textures. WriteMaterial, which writes a key as a material block, is an operation of the plug-in
// object (plugin/plugin_application.h).
#pragma once

#include "export/material_key.h"
#include "toolkit/pro_toolkit.h"

// The material key of one surface. surfaceItem is the surface as a geometry item; the
// model-level appearance and texture are those of the solid, or null where the host gave none.
// partName and componentPath take no part in the result.
MaterialKey GetSurfaceMaterialKey(const char* partName, ProGeomitem* surfaceItem,
                                  const ProAsmcomppath& componentPath,
                                  const ProSurfaceAppearanceProps* modelAppearance,
                                  const ProSurfaceTextureProps* modelTexture);
