#include "export/tessellation.h"

#include <cfloat>
#include <cmath>

#include "hostcall/host_held.h"

namespace {

// Qualities below this give the base chord height: ln would run away towards 0.
constexpr double kSmallestQuality = 0.000001;

// One try of the host's tessellation. An answer other than PRO_TK_NO_ERROR leaves tessellation
// null, also from a host that wrote one anyway (it is released then).
ProError TryTessellation(ProSurface surface, ProSurfaceTessellationInput input,
                         ProTessellation& tessellation) {
    tessellation = nullptr;
    const ProError status = ProSurfaceTessellationGet(surface, input, &tessellation);
    if (status != PRO_TK_NO_ERROR && tessellation != nullptr) {
        ProTessellationFree(tessellation);
        tessellation = nullptr;
    }
    return status;
}

// Asks one array of the tessellation with get. The array is held as soon as the host hands it
// out, also with an answer that keeps it from being used; answers it, and its element count,
// when the answer lets it be used, else null and 0.
template <typename Element, typename Get>
const Element* AskTessellationArray(Get get, ProTessellation tessellation, HeldHostArray& held,
                                    int& count) {
    Element* array = nullptr;
    const ProError answer = get(tessellation, &array);
    held.reset(array);
    count = 0;
    if (answer != PRO_TK_NO_ERROR || array == nullptr) return nullptr;
    ProArraySizeGet(array, &count);
    if (count < 0) count = 0;
    return array;
}

}  // namespace

ChordHeights ChordHeightsForDiagonal(double diagonal) {
    ChordHeights heights;
    // Each product left to right, first d x 0.01, so that the values are the same to the bit
    // wherever they are formed.
    heights.base = diagonal * 0.01 * 0.05;
    heights.fine = diagonal * 0.01 * 0.00001;
    heights.span = heights.base - heights.fine;
    return heights;
}

double OutlineDiagonal(const ProOutline outline) {
    const double dx = outline[1][0] - outline[0][0];
    const double dy = outline[1][1] - outline[0][1];
    const double dz = outline[1][2] - outline[0][2];
    const double squares = dx * dx + dy * dy + dz * dz;
    // The plain sum wherever no square overflows or sinks below the normal doubles, so that
    // every ordinary outline keeps the bits of its chord heights.
    if (squares >= DBL_MIN && squares <= DBL_MAX) return std::sqrt(squares);
    // Else scaled: halving the corners first keeps even the widest difference finite, and the
    // scaled hypotenuse neither overflows nor underflows. A diagonal longer than the largest
    // double is held there, so that the chord heights stay numbers.
    const double half = std::hypot(outline[1][0] * 0.5 - outline[0][0] * 0.5,
                                   outline[1][1] * 0.5 - outline[0][1] * 0.5,
                                   outline[1][2] * 0.5 - outline[0][2] * 0.5);
    return half >= DBL_MAX / 2.0 ? DBL_MAX : half * 2.0;
}

double ChordHeightForQuality(const ChordHeights& heights, double quality) {
    const double factor = quality < kSmallestQuality ? 0.0 : std::log(quality) * 0.2 + 1.0;
    return heights.base - factor * heights.span;
}

double UsableQuality(double quality) {
    if (!(quality >= 0.0)) return 0.0;  // negative, or no number at all
    return quality > 1.0 ? 1.0 : quality;
}

ChordHeights SolidChordHeights(ProSolid solid) {
    ProOutline outline = {};
    const double diagonal =
        ProSolidOutlineGet(solid, outline) == PRO_TK_NO_ERROR ? OutlineDiagonal(outline) : 1.0;
    return ChordHeightsForDiagonal(diagonal);
}

ProTessellation TessellateSurface(ProSurface surface, ProSurfaceTessellationInput sharedInput,
                                  const ChordHeights& heights, double quality) {
    ProTessellation tessellation = nullptr;
    ProError status = TryTessellation(surface, sharedInput, tessellation);
    if (status == PRO_TK_NO_ERROR) return tessellation;

    // The retry input carries chord heights only; it is made for the first retry, so that a
    // quality without retries (neither up nor down fits) asks the host for nothing.
    ProSurfaceTessellationInput retryInput = nullptr;
    status = RetryAtOtherQualities(quality, status, [&](double q) {
        if (retryInput == nullptr) ProSurfacetessellationinputAlloc(&retryInput);
        ProSurfacetessellationinputChordheightSet(retryInput, ChordHeightForQuality(heights, q));
        return TryTessellation(surface, retryInput, tessellation);
    });
    if (retryInput != nullptr) ProSurfacetessellationinputFree(retryInput);
    return status == PRO_TK_NO_ERROR ? tessellation : nullptr;
}

void AppendHostTessellation(ProTessellation tessellation, MeshBuffers& mesh, int32_t& vertexBase) {
    // The tessellation and its arrays go back to the host on every way out.
    const HeldTessellation heldTessellation(tessellation);
    HeldHostArray held[4];
    TessellationArrays arrays;
    // Asked in this order; each answer is read before the next call.
    arrays.vertices = AskTessellationArray<ProVector>(ProTessellationVerticesGet, tessellation,
                                                      held[0], arrays.vertexCount);
    arrays.normals = AskTessellationArray<ProVector>(ProTessellationNormalsGet, tessellation,
                                                     held[1], arrays.normalCount);
    arrays.params = AskTessellationArray<ProUvParam>(ProTessellationParamsGet, tessellation,
                                                     held[2], arrays.paramCount);
    arrays.facets = AskTessellationArray<ProTriangle>(ProTessellationFacetsGet, tessellation,
                                                      held[3], arrays.facetCount);

    AppendTessellation(arrays, mesh, vertexBase);
}
