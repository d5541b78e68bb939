// The host's tessellation of a solid's surfaces: the chord height that a tessellation quality
// asks for on a solid of a given size, and the tessellation of one surface, tried again at other
// qualities when the host gives none.
//
// The arithmetic is in free functions on plain values; only SolidChordHeights and
// TessellateSurface ask the host.
#pragma once

#include <cstdint>

#include "export/mesh_buffers.h"
#include "toolkit/pro_toolkit.h"

// The chord heights of one solid, from the diagonal d of its outline: base (d x 0.01 x 0.05) is
// what the coarse qualities give, fine (d x 0.01 x 0.00001) what quality 1 gives, span the
// difference.
struct ChordHeights {
    double base = 0.0;
    double fine = 0.0;
    double span = 0.0;
};

ChordHeights ChordHeightsForDiagonal(double diagonal);

// The length of the diagonal between an outline's two corners.
double OutlineDiagonal(const ProOutline outline);

// The chord height for quality q: base - (ln(q) x 0.2 + 1) x span, or base for q below 1e-6.
// So q = 1 gives fine and q = e^-5 gives base; qualities between 1e-6 and e^-5 give more than
// base.
double ChordHeightForQuality(const ChordHeights& heights, double quality);

// The setting as the tessellation uses it: within 0 to 1, and 0 for a value that is no number.
// A quality far outside its range (a hand-edited settings file) would otherwise give negative
// chord heights and endless retries.
double UsableQuality(double quality);

// Retries after the host refused a first tessellation (status): tryAt(q) for q = quality + 0.1,
// + 0.2, ... while q < 1, then for q = quality - 0.1, - 0.2, ... while q >= 0, q being one running
// sum; each phase stops at the first try that answers PRO_TK_NO_ERROR, and the down phase runs
// only when the up phase found none. Answers the status of the last try (status when none ran).
template <class TryAt>
ProError RetryAtOtherQualities(double quality, ProError status, TryAt&& tryAt) {
    for (double q = quality + 0.1; q < 1.0 && status != PRO_TK_NO_ERROR; q += 0.1) {
        status = tryAt(q);
    }
    for (double q = quality - 0.1; q >= 0.0 && status != PRO_TK_NO_ERROR; q -= 0.1) {
        status = tryAt(q);
    }
    return status;
}

// The outline's chord heights of solid; a solid without an outline counts as one of diagonal 1.
ChordHeights SolidChordHeights(ProSolid solid);

// The host's tessellation of surface with sharedInput (already set for quality), or, when the
// host refuses it, with a retry input at the qualities of RetryAtOtherQualities. Null when no
// try gave one, also when a try answered PRO_TK_NO_ERROR without a tessellation. The caller
// releases what it gets with ProTessellationFree.
ProTessellation TessellateSurface(ProSurface surface, ProSurfaceTessellationInput sharedInput,
                                  const ChordHeights& heights, double quality);

// Appends the arrays of a host tessellation to mesh (AppendTessellation), then releases them
// and the tessellation. An array the host does not give counts as absent.
void AppendHostTessellation(ProTessellation tessellation, MeshBuffers& mesh, int32_t& vertexBase);
