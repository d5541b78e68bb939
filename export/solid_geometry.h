// The surface export of one solid: the visits that collect its surfaces, and the record they
// fill. ExportSolidGeometry itself is an operation of the plug-in object
// (plugin/plugin_application.h).
#pragma once

#include <optional>
#include <set>
#include <string>
#include <vector>

#include "toolkit/pro_toolkit.h"

// The application data of the surface and quilt visits of one solid.
struct SolidVisitData {
    // The surfaces in the order the visits delivered them: the solid's own, then each quilt's.
    // A surface delivered twice is held twice.
    std::vector<ProSurface> surfaces;
    // The host id of each of those surfaces, at its position in surfaces, asked once as the visit
    // delivers the surface; none when the host cannot give one.
    std::vector<std::optional<int>> surfaceIdAt;
    // The ids of surfaceIdAt as a set: the NURBS pairing looks interface surfaces up in it, and
    // the trim loops take edge curves from the surfaces it holds.
    std::set<int> surfaceIds;
    // The solid being exported; the filters read it.
    ProSolid solid = nullptr;
};

// The model's name as the scene carries it (the names of components, solids and their objects):
// the host's name narrowed by the host into the system's ANSI code page, cut to 31 bytes.
std::string NarrowModelName(ProMdl model);

// Visit filters: PRO_TK_CONTINUE skips the item, PRO_TK_NO_ERROR visits it. data is a
// SolidVisitData.
ProError SurfaceFeatureFilter(ProSurface surface, ProAppData data);
ProError QuiltVisibilityFilter(ProQuilt quilt, ProAppData data);

// Visit actions: keep the surface (or every surface of the quilt that passes
// SurfaceFeatureFilter) in the SolidVisitData; PRO_TK_NO_ERROR. A failure of any of the four
// answers PRO_TK_GENERAL_ERROR (hostcall/host_callback_guard.h).
ProError CollectSurfaceId(ProSurface surface, ProError status, ProAppData data);
ProError CollectQuiltSurfaceIds(ProQuilt quilt, ProError status, ProAppData data);
