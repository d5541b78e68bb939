// Materials of the exported surfaces: the key of a surface, from the host's appearances and
// textures, and the name under which a key is written. WriteMaterial, which writes a key as a
// material block, is an operation of the plug-in object (plugin/plugin_application.h).
#pragma once

#include <string>

#include "export/material_key.h"
#include "toolkit/pro_toolkit.h"

// The material key of one surface, from the first source that has a named appearance: the
// surface's own appearance (with its texture), else the model-level appearance the caller got
// (with the model-level texture, also when its name is empty), else the host's default
// appearance (with its texture); without any, grey 0.5 and no texture. The colour is the
// diffuse coefficient times the appearance colour; the texture's path is resolved by the host,
// and a texture it cannot resolve is left out.
//
// surfaceItem is the surface as a geometry item; modelAppearance and modelTexture are the
// solid's, or null where the host gave none. partName and componentPath take no part.
MaterialKey GetSurfaceMaterialKey(const char* partName, ProGeomitem* surfaceItem,
                                  const ProAsmcomppath& componentPath,
                                  const ProSurfaceAppearanceProps* modelAppearance,
                                  const ProSurfaceTextureProps* modelTexture);

// A colour component as the material name writes it: the integer part of c x 255 + 0.5, not
// clamped to 0 to 255; a component beyond the range of int ends at its bound, and one that is no
// number gives 0.
int MaterialColourLevel(double component);

// The scene name of key's material, lower-cased: "part:base:R:G:B" when separate (materials
// per part), else "base:R:G:B". The texture takes no part, so keys that differ only in texture
// share the name.
std::string MaterialName(const char* partName, const MaterialKey& key, bool separate);
