#include "export/nurbs_surfaces.h"

#include "plugin/plugin_application.h"

// Not built yet
InterfacePairing PairInterfaceSurfaces(ProSolid solid, const std::set<int>&,
                                       const std::vector<ProSurface>&)
{
    InterfacePairing pairing;
    pairing.solid = solid;
    return pairing;
}

// Not built yet
ProOutputBrepRepresentation InterfaceRepresentation() { return {}; }

// Not built yet
void PluginApplication::WriteNurbsObjects(const InterfacePairing&, const std::set<int>&,
                                          const char*, ProSurface, int, const MaterialKey&)
{
}

// Not built yet
void PluginApplication::WriteNurbsSurface(ProSurfacedata*) {}

// Not built yet
void PluginApplication::WriteNurbsTrims() {}
