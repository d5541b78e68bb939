// The exact NURBS form of a solid's surfaces, from the host's interface data: pairing its
// surfaces with the host surfaces that the surface export visited, and the "nurbs" geometry
// blocks written beside the triangle meshes.
#pragma once

#include <map>
#include <set>
#include <vector>

#include "export/trim_loops.h"
#include "hostcall/host_held.h"
#include "toolkit/pro_toolkit.h"

// Host surface id -> the interface surfaces paired with it, in pairing order. The records point
// into the interface data.
typedef std::map<int, std::vector<ProSurfacedata*>> InterfaceSurfaceMap;

// The interface data of one solid and what the NURBS export needs of it while the solid's
// material groups are written.
struct InterfacePairing {
    ProSolid solid = nullptr;
    // Null when the host made none. Held also when the pairing failed; it goes with the pairing,
    // so the pairing must outlive the solid's last NURBS object.
    HeldIntfData interfaceData;
    EdgeIndexMap edgeIndexMap;
    InterfaceSurfaceMap surfaceMap;  // empty when the host made no interface data
};

// Has the host build solid's interface data and pairs each of its surfaces (quilt surfaces
// included) with a host surface: by equal id when the id is in surfaceIds, else with the first
// of surfaces, in order, that has a contour holding every edge id of one of its contours.
// Interface surfaces paired with no host surface, or with one whose id the host cannot give,
// are left out.
InterfacePairing PairInterfaceSurfaces(ProSolid solid, const std::set<int>& surfaceIds,
                                       const std::vector<ProSurface>& surfaces);

// The representation record handed to ProPartToProIntfData.
ProOutputBrepRepresentation InterfaceRepresentation();
