// How the simulated host's model functions hand out the session's world: handles are pointers
// into the world (a ProMdl is a sim::Model*, a ProSurface a sim::Surface*, ...), checked on the
// way back in, and model items carry the item types below. Shared by simhost/functions_*.cpp.
#pragma once

#include <string>
#include <vector>

#include "simhost/model/world.h"
#include "toolkit/pro_toolkit.h"

namespace sim {

// Model item types (ProModelitem::type) the host gives. A model's own item carries its model
// type; features and quilts share their numbers with their layer item kinds.
constexpr ProType kItemAssembly = PRO_MDL_ASSEMBLY;
constexpr ProType kItemPart = PRO_MDL_PART;
constexpr ProType kItemFeature = PRO_LAYER_ITEM_FEATURE;
constexpr ProType kItemSurface = 5;
constexpr ProType kItemQuilt = PRO_LAYER_ITEM_QUILT;
constexpr ProType kItemLayer = 40;
constexpr ProType kItemSimprep = 70;

// Surface and curve kinds of the interface data.
constexpr ProSrftype kSurfaceBspline = 36;
constexpr ProSrftype kSurfacePlane = 34;  // what a surface marked "not_bspline" claims to be
constexpr ProEnttype kCurveLine = 2;      // what a UV curve marked "not_bspline" claims to be

// ---- Handles -----------------------------------------------------------------------------------
// The look-ups answer null (or an empty reference) for anything that is not part of the
// session's world, so a stray handle is refused instead of followed.

ProMdl ToHandle(const Model& model);
Model* ModelOf(ProMdl handle);

ProSurface ToHandle(const Surface& surface);
struct SurfaceRef {
    Model* model = nullptr;
    Surface* surface = nullptr;
};
SurfaceRef SurfaceOf(ProSurface handle);

ProQuilt ToHandle(const Quilt& quilt);
struct QuiltRef {
    Model* model = nullptr;
    Quilt* quilt = nullptr;
};
QuiltRef QuiltOf(ProQuilt handle);

ProContour ToHandle(const Contour& contour);
struct ContourRef {
    Model* model = nullptr;
    Surface* surface = nullptr;
    Contour* contour = nullptr;
};
ContourRef ContourOf(ProContour handle);

ProEdge ToHandle(const Edge& edge);
const Edge* EdgeOf(ProEdge handle);

ProView ToHandle(const View& view);
const View* ViewOf(const Model& model, ProView handle);

// The item's model and, for a feature, the feature; null when either is missing.
Model* OwnerOf(const ProModelitem* item);
Feature* FeatureOf(const ProModelitem* item);

// A call refused for what the plug-in passed (a stray handle, a null output): noted in the
// session's record as a problem; answers PRO_TK_BAD_INPUTS.
ProError Refuse(const char* function, const std::string& why);

// ---- Values ------------------------------------------------------------------------------------

void CopyMatrix(const Matrix& from, ProMatrix to);
Matrix ToMatrix(const ProMatrix from);
Matrix Multiply(const Matrix& a, const Matrix& b);  // a x b: a applied first
// Inverse of an affine placement (column 3 reads 0, 0, 0, 1); false when it has none.
bool Invert(const Matrix& m, Matrix& inverse);

// UTF-8 text into a host buffer of size wide characters, cut to fit, ended by zero.
void CopyWide(const std::string& utf8, ProWchar* buffer, int size);
// UTF-8 text into a narrow host buffer of size bytes, cut to fit, ended by zero.
void CopyNarrow(const std::string& text, char* buffer, int size);

// ---- Visits ------------------------------------------------------------------------------------
// The host's rules: the filter (when given) sees each item first and PRO_TK_CONTINUE skips it;
// any other answer is handed to the action as its status. An action answering anything but
// PRO_TK_NO_ERROR ends the visit, which then answers what the action answered; a visit that runs
// to its end answers PRO_TK_NO_ERROR, also when there was nothing to visit. No action:
// PRO_TK_BAD_INPUTS. The items are gathered before the first call, so visits may nest. The host
// is C: an exception thrown by a callback cannot pass through it and ends the process (noexcept),
// as it would end the real host.

template <typename Item, typename Action, typename Filter>
ProError VisitItems(const std::vector<Item>& items, Action action, Filter filter,
                    ProAppData data) noexcept {
    if (!action) return PRO_TK_BAD_INPUTS;
    for (Item item : items) {
        ProError status = filter ? filter(item, data) : PRO_TK_NO_ERROR;
        if (status == PRO_TK_CONTINUE) continue;
        ProError answer = action(item, status, data);
        if (answer != PRO_TK_NO_ERROR) return answer;
    }
    return PRO_TK_NO_ERROR;
}

// The same for items handed over by address (features, representations): each call gets its own
// copy, so what the plug-in does to it does not reach the next call.
template <typename Item, typename Action, typename Filter>
ProError VisitItemsByAddress(const std::vector<Item>& items, Action action, Filter filter,
                             ProAppData data) noexcept {
    if (!action) return PRO_TK_BAD_INPUTS;
    for (const Item& item : items) {
        Item copy = item;
        ProError status = filter ? filter(&copy, data) : PRO_TK_NO_ERROR;
        if (status == PRO_TK_CONTINUE) continue;
        copy = item;
        ProError answer = action(&copy, status, data);
        if (answer != PRO_TK_NO_ERROR) return answer;
    }
    return PRO_TK_NO_ERROR;
}

}  // namespace sim
