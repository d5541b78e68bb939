#include "simhost/model_handles.h"

#include <cmath>
#include <functional>

#include "simhost/host_session.h"
#include "simhost/host_world.h"
#include "simhost/wide_text.h"

namespace sim {

namespace {

// Whether p is the address of one of the elements of items (compared without undefined
// behaviour across unrelated arrays).
template <typename T>
T* ElementOf(std::vector<T>& items, const void* p) {
    if (items.empty() || !p) return nullptr;
    std::less<const void*> less;
    const T* first = items.data();
    const T* last = first + items.size();
    if (less(p, first) || !less(p, last)) return nullptr;
    for (T& item : items)
        if (&item == p) return &item;
    return nullptr;
}

}  // namespace

ProMdl ToHandle(const Model& model) { return reinterpret_cast<ProMdl>(const_cast<Model*>(&model)); }

Model* ModelOf(ProMdl handle) {
    return ElementOf(HostWorld().models, reinterpret_cast<const void*>(handle));
}

ProSurface ToHandle(const Surface& surface) {
    return reinterpret_cast<ProSurface>(const_cast<Surface*>(&surface));
}

SurfaceRef SurfaceOf(ProSurface handle) {
    const void* p = reinterpret_cast<const void*>(handle);
    for (Model& model : HostWorld().models) {
        if (Surface* s = ElementOf(model.surfaces, p)) return {&model, s};
        for (Quilt& quilt : model.quilts)
            if (Surface* s = ElementOf(quilt.surfaces, p)) return {&model, s};
    }
    return {};
}

ProQuilt ToHandle(const Quilt& quilt) {
    return reinterpret_cast<ProQuilt>(const_cast<Quilt*>(&quilt));
}

QuiltRef QuiltOf(ProQuilt handle) {
    const void* p = reinterpret_cast<const void*>(handle);
    for (Model& model : HostWorld().models)
        if (Quilt* q = ElementOf(model.quilts, p)) return {&model, q};
    return {};
}

ProContour ToHandle(const Contour& contour) {
    return reinterpret_cast<ProContour>(const_cast<Contour*>(&contour));
}

ContourRef ContourOf(ProContour handle) {
    const void* p = reinterpret_cast<const void*>(handle);
    auto search = [&](Model& model, std::vector<Surface>& surfaces) -> ContourRef {
        for (Surface& surface : surfaces)
            if (Contour* c = ElementOf(surface.contours, p)) return {&model, &surface, c};
        return {};
    };
    for (Model& model : HostWorld().models) {
        ContourRef found = search(model, model.surfaces);
        for (size_t q = 0; !found.contour && q < model.quilts.size(); ++q)
            found = search(model, model.quilts[q].surfaces);
        if (found.contour) return found;
    }
    return {};
}

ProEdge ToHandle(const Edge& edge) { return reinterpret_cast<ProEdge>(const_cast<Edge*>(&edge)); }

const Edge* EdgeOf(ProEdge handle) {
    const void* p = reinterpret_cast<const void*>(handle);
    for (Model& model : HostWorld().models)
        if (Edge* e = ElementOf(model.edges, p)) return e;
    return nullptr;
}

ProView ToHandle(const View& view) { return reinterpret_cast<ProView>(const_cast<View*>(&view)); }

const View* ViewOf(const Model& model, ProView handle) {
    return ElementOf(const_cast<Model&>(model).views, reinterpret_cast<const void*>(handle));
}

Model* OwnerOf(const ProModelitem* item) { return item ? ModelOf(item->owner) : nullptr; }

Feature* FeatureOf(const ProModelitem* item) {
    Model* model = OwnerOf(item);
    return model ? FindFeature(*model, item->id) : nullptr;
}

ProError Refuse(const char* function, const std::string& why) {
    Session().Problem(function, why);
    return PRO_TK_BAD_INPUTS;
}

void CopyMatrix(const Matrix& from, ProMatrix to) {
    for (int r = 0; r < 4; ++r)
        for (int c = 0; c < 4; ++c) to[r][c] = from[r][c];
}

Matrix ToMatrix(const ProMatrix from) {
    Matrix m{};
    for (int r = 0; r < 4; ++r)
        for (int c = 0; c < 4; ++c) m[r][c] = from[r][c];
    return m;
}

Matrix Multiply(const Matrix& a, const Matrix& b) {
    Matrix out{};
    for (int r = 0; r < 4; ++r)
        for (int c = 0; c < 4; ++c)
            out[r][c] =
                a[r][0] * b[0][c] + a[r][1] * b[1][c] + a[r][2] * b[2][c] + a[r][3] * b[3][c];
    return out;
}

bool Invert(const Matrix& m, Matrix& inverse) {
    // The 3x3 part by its adjugate, then the translation moved back through it.
    const double a = m[0][0], b = m[0][1], c = m[0][2];
    const double d = m[1][0], e = m[1][1], f = m[1][2];
    const double g = m[2][0], h = m[2][1], i = m[2][2];
    const double det = a * (e * i - f * h) - b * (d * i - f * g) + c * (d * h - e * g);
    if (!std::isfinite(det) || std::fabs(det) < 1e-300) return false;
    const double r[3][3] = {{(e * i - f * h) / det, (c * h - b * i) / det, (b * f - c * e) / det},
                            {(f * g - d * i) / det, (a * i - c * g) / det, (c * d - a * f) / det},
                            {(d * h - e * g) / det, (b * g - a * h) / det, (a * e - b * d) / det}};
    inverse = Matrix{};
    for (int row = 0; row < 3; ++row)
        for (int col = 0; col < 3; ++col) inverse[row][col] = r[row][col];
    for (int col = 0; col < 3; ++col)
        inverse[3][col] = -(m[3][0] * r[0][col] + m[3][1] * r[1][col] + m[3][2] * r[2][col]);
    inverse[3][3] = 1.0;
    return true;
}

void CopyWide(const std::string& utf8, ProWchar* buffer, int size) {
    if (buffer && size > 0) CopyToWideBuffer(Utf8ToUtf16(utf8), buffer, static_cast<size_t>(size));
}

void CopyNarrow(const std::string& text, char* buffer, int size) {
    if (!buffer || size <= 0) return;
    const size_t length = std::min(text.size(), static_cast<size_t>(size) - 1);
    text.copy(buffer, length);
    buffer[length] = '\0';
}

}  // namespace sim
