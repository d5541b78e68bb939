#include "simhost/model/model_file.h"

#include <climits>
#include <cmath>
#include <cstdio>
#include <map>
#include <set>
#include <utility>
#include <vector>

#include <nlohmann/json.hpp>

#include "simhost/model/json_node.h"
#include "simhost/model/shapes.h"

#ifdef _WIN32
#include <windows.h>
#endif

namespace sim {

namespace {

using nlohmann::json;

constexpr int kAddedFeatureType = 917;  // the type of the feature the loader adds
constexpr int kNoFeature = INT_MIN;     // "belongs to the added feature", until it exists
constexpr int kComponentFeatureType = 1000;

// ---- Small values ------------------------------------------------------------------------------

struct FaultName {
    const char* name;
    Fault fault;
};

const FaultName kFaultNames[] = {
    {"no_outline", Fault::NoOutline},
    {"no_verstamp", Fault::NoVerstamp},
    {"no_units", Fault::NoUnits},
    {"no_interface_data", Fault::NoInterfaceData},
    {"tessellation_refused", Fault::TessellationRefused},
    {"no_tessellation", Fault::NoTessellation},
    {"no_vertices", Fault::NoVertices},
    {"no_normals", Fault::NoNormals},
    {"no_params", Fault::NoParams},
    {"no_facets", Fault::NoFacets},
    {"not_bspline", Fault::NotBspline},
    {"unresolvable", Fault::Unresolvable},
    {"no_edge_record", Fault::NoEdgeRecord},
    {"no_uv_curve", Fault::NoUvCurve},
    {"data_unreadable", Fault::DataUnreadable},
    {"no_id", Fault::NoId},
};

FaultSet Faults(std::initializer_list<Fault> faults) {
    FaultSet set;
    for (Fault fault : faults) set.Add(fault);
    return set;
}

const FaultSet kModelFaults =
    Faults({Fault::NoOutline, Fault::NoVerstamp, Fault::NoUnits, Fault::NoInterfaceData});
const FaultSet kSurfaceFaults =
    Faults({Fault::TessellationRefused, Fault::NoTessellation, Fault::NoVertices, Fault::NoNormals,
            Fault::NoParams, Fault::NoFacets, Fault::NotBspline, Fault::NoId});
const FaultSet kTextureFaults = Faults({Fault::Unresolvable});
const FaultSet kEdgeFaults = Faults({Fault::NoEdgeRecord});
const FaultSet kSideFaults = Faults({Fault::NoUvCurve, Fault::NotBspline});
const FaultSet kSimprepFaults = Faults({Fault::DataUnreadable});

// A list of fault names, each of which must be one that this kind of object knows.
FaultSet ReadFaults(const JsonNode& node, const FaultSet& allowed) {
    FaultSet faults;
    for (size_t i = 0; i < node.Size(); ++i) {
        const std::string name = node[i].String();
        bool found = false;
        for (const FaultName& entry : kFaultNames) {
            if (name == entry.name && allowed.Has(entry.fault)) {
                faults.Add(entry.fault);
                found = true;
            }
        }
        if (!found) node[i].Fail("no fault '" + name + "' here");
    }
    return faults;
}

std::vector<double> ReadNumbers(const JsonNode& node) {
    std::vector<double> numbers;
    for (size_t i = 0; i < node.Size(); ++i) numbers.push_back(node[i].Number());
    return numbers;
}

// A point of `count` numbers; missing coordinates (a UV point's third) are 0.
Point3 ReadPoint(const JsonNode& node, size_t minCount) {
    const size_t size = node.Size();
    if (size < minCount || size > 3)
        node.Fail(minCount == 3 ? "expected 3 numbers" : "expected 2 or 3 numbers");
    double c[3] = {0, 0, 0};
    for (size_t i = 0; i < size; ++i) c[i] = node[i].Number();
    return {c[0], c[1], c[2]};
}

double Negated(double value) { return 0.0 - value; }  // never -0

// The cosine and sine of an angle in degrees, by arithmetic of its own rather than the C
// runtime's cos and sin, whose last digits differ between runtimes: every build places a part
// alike, and whole quarter turns come out exact. The nearest quarter turn is taken off in
// degrees (exact: fmod rounds nothing, nor does subtracting a multiple of 90 that near), the
// rest, within 45 degrees, goes through the Taylor series up to its 17th power.
std::pair<double, double> CosSinDegrees(double degrees) {
    const double turn = std::fmod(degrees, 360.0);
    const double quarters = std::nearbyint(turn / 90.0);
    const double x = (turn - quarters * 90.0) * (3.14159265358979323846 / 180.0);
    const double x2 = x * x;
    double c = 1.0, s = 1.0;
    for (int n = 16; n > 0; n -= 2) {
        c = 1.0 - x2 / (n * (n - 1)) * c;
        s = 1.0 - x2 / ((n + 1) * n) * s;
    }
    s *= x;
    switch (static_cast<int>(quarters) & 3) {
        case 0: return {c, s};
        case 1: return {Negated(s), c};
        case 2: return {Negated(c), Negated(s)};
        default: return {s, Negated(c)};
    }
}

// A rotation about an axis followed by a translation, as a placement for row vectors.
Matrix ReadMotion(const JsonNode& node) {
    node.ExpectObject({"translate", "rotate"});
    Matrix m = IdentityMatrix();
    if (node.Has("rotate")) {
        JsonNode rotate = node["rotate"];
        rotate.ExpectObject({"axis", "degrees"});
        Point3 axis = ReadPoint(rotate["axis"], 3);
        double length = Length(axis);
        if (!(length > 0)) rotate["axis"].Fail("the axis must not be zero");
        axis = axis * (1.0 / length);
        const auto [c, s] = CosSinDegrees(rotate["degrees"].Number());
        const double t = 1 - c;
        const double x = axis.x, y = axis.y, z = axis.z;
        // Rodrigues' rotation for column vectors, transposed for row vectors.
        const double r[3][3] = {{t * x * x + c, t * x * y - s * z, t * x * z + s * y},
                                {t * x * y + s * z, t * y * y + c, t * y * z - s * x},
                                {t * x * z - s * y, t * y * z + s * x, t * z * z + c}};
        for (int row = 0; row < 3; ++row)
            for (int col = 0; col < 3; ++col) m[row][col] = r[col][row];
    }
    if (node.Has("translate")) {
        Point3 t = ReadPoint(node["translate"], 3);
        m[3][0] = t.x;
        m[3][1] = t.y;
        m[3][2] = t.z;
    }
    return m;
}

// A placement: four rows of four numbers, or a motion.
Matrix ReadPlacement(const JsonNode& node) {
    if (!node.IsArray()) return ReadMotion(node);
    if (node.Size() != 4) node.Fail("expected 4 rows of 4 numbers");
    Matrix m{};
    for (size_t r = 0; r < 4; ++r) {
        JsonNode row = node[r];
        if (row.Size() != 4) row.Fail("expected 4 numbers");
        for (size_t c = 0; c < 4; ++c) m[r][c] = row[c].Number();
    }
    return m;
}

Appearance ReadAppearance(const JsonNode& node) {
    node.ExpectObject({"name", "diffuse", "color"});
    Appearance appearance;
    appearance.name = node["name"].String();
    appearance.diffuse = node.Number("diffuse", 1.0);
    JsonNode color = node["color"];
    if (color.Size() != 3) color.Fail("expected 3 numbers");
    for (size_t i = 0; i < 3; ++i) appearance.color[i] = color[i].Number();
    return appearance;
}

Texture ReadTexture(const JsonNode& node) {
    node.ExpectObject({"file", "path", "faults"});
    Texture texture;
    texture.file = node["file"].String();
    texture.path = node.String("path", texture.file);
    if (node.Has("faults")) texture.faults = ReadFaults(node["faults"], kTextureFaults);
    return texture;
}

BsplineSurface ReadPatch(const JsonNode& node) {
    node.ExpectObject({"degree", "knots_u", "knots_v", "points", "weights"});
    BsplineSurface patch;
    JsonNode degree = node["degree"];
    if (degree.Size() != 2) degree.Fail("expected 2 integers");
    patch.degreeU = degree[0].Int();
    patch.degreeV = degree[1].Int();
    patch.knotsU = ReadNumbers(node["knots_u"]);
    patch.knotsV = ReadNumbers(node["knots_v"]);
    JsonNode points = node["points"];
    for (size_t i = 0; i < points.Size(); ++i) patch.points.push_back(ReadPoint(points[i], 3));
    if (node.Has("weights")) patch.weights = ReadNumbers(node["weights"]);
    std::string why;
    if (!IsValidSurface(patch, &why)) node.Fail(why);
    if (patch.CountU() > kMaxPatchPoints || patch.CountV() > kMaxPatchPoints)
        node.Fail("at most 256 control points along u and along v");
    return patch;
}

BsplineCurve ReadCurve(const JsonNode& node) {
    node.ExpectObject({"degree", "knots", "points", "weights"});
    BsplineCurve curve;
    curve.degree = node["degree"].Int();
    curve.knots = ReadNumbers(node["knots"]);
    JsonNode points = node["points"];
    if (points.Size() > static_cast<size_t>(kMaxCurvePoints)) points.Fail("too many points");
    for (size_t i = 0; i < points.Size(); ++i) curve.points.push_back(ReadPoint(points[i], 2));
    if (node.Has("weights")) curve.weights = ReadNumbers(node["weights"]);
    std::string why;
    if (!IsValidCurve(curve, &why)) node.Fail(why);
    return curve;
}

void ReadChordRange(const JsonNode& node, double& min, double& max) {
    if (node.Size() != 2) node.Fail("expected 2 numbers");
    min = node[0].Number();
    max = node[1].Number();
    if (min > max) node.Fail("the first number must not exceed the second");
}

// ---- One model ---------------------------------------------------------------------------------

// Reads the models of a file. Every model's name is known before any model is read, so
// components can name models further down the file.
class ModelReader {
public:
    ModelReader(World& world, Model& model, const JsonNode& node, const std::string& file)
        : world_(world), model_(model), node_(node), file_(file) {}

    void Read() {
        node_.ExpectObject({"name", "type", "units", "verstamp", "view", "views", "appearance",
                            "texture", "layers", "features", "simpreps", "surfaces", "quilts",
                            "edges", "shapes", "faults"});
        model_.lengthUnit = node_.String("units", "mm");
        model_.verstamp = node_.Int("verstamp", 1);
        if (node_.Has("view")) model_.currentView = ReadPlacement(node_["view"]);
        if (node_.Has("appearance")) model_.appearance = ReadAppearance(node_["appearance"]);
        if (node_.Has("texture")) model_.texture = ReadTexture(node_["texture"]);
        if (node_.Has("faults")) model_.faults = ReadFaults(node_["faults"], kModelFaults);
        ForEach("views", [&](const JsonNode& n) { ReadView(n); });
        ForEach("layers", [&](const JsonNode& n) { ReadLayer(n); });
        ForEach("features", [&](const JsonNode& n) { ReadFeature(n); });
        ForEach("simpreps", [&](const JsonNode& n) { ReadSimprep(n); });
        ForEach("surfaces", [&](const JsonNode& n) { model_.surfaces.push_back(ReadSurface(n)); });
        ForEach("quilts", [&](const JsonNode& n) { ReadQuilt(n); });
        ForEach("edges", [&](const JsonNode& n) { ReadEdge(n); });
        CheckContours();
        ExpandShapes();
        AddImpliedFeature();
    }

private:
    template <typename Read>
    void ForEach(const char* key, Read read) {
        if (!node_.Has(key)) return;
        JsonNode list = node_[key];
        for (size_t i = 0; i < list.Size(); ++i) read(list[i]);
    }

    int ReadId(const JsonNode& node, std::set<int>& used) {
        JsonNode id = node["id"];
        int value = id.Int();
        if (!used.insert(value).second) id.Fail("id " + std::to_string(value) + " is used twice");
        maxId_ = std::max(maxId_, value);
        return value;
    }

    void ReadView(const JsonNode& node) {
        node.ExpectObject({"name", "matrix"});
        View view;
        view.name = node["name"].String();
        if (node.Has("matrix")) view.matrix = ReadPlacement(node["matrix"]);
        model_.views.push_back(view);
    }

    void ReadLayer(const JsonNode& node) {
        node.ExpectObject({"name", "display"});
        Layer layer;
        layer.name = node["name"].String();
        for (const Layer& other : model_.layers)
            if (other.name == layer.name) node["name"].Fail("layer '" + layer.name + "' twice");
        layer.id = static_cast<int>(model_.layers.size()) + 1;
        layer.display = node.Int("display", 1);
        model_.layers.push_back(layer);
    }

    int LayerIndex(const JsonNode& name) const {
        const std::string text = name.String();
        for (size_t i = 0; i < model_.layers.size(); ++i)
            if (model_.layers[i].name == text) return static_cast<int>(i);
        name.Fail("no layer named '" + text + "'");
    }

    void ReadFeature(const JsonNode& node) {
        node.ExpectObject(
            {"id", "type", "status", "hidden", "layer_status", "layers", "model", "placement"});
        Feature feature;
        feature.id = ReadId(node, featureIds_);
        if (node.Has("model")) {
            JsonNode name = node["model"];
            if (model_.type != ModelType::Assembly) name.Fail("a part has no components");
            const Model* child = FindModel(world_, name.String());
            if (!child) name.Fail("no model named '" + name.String() + "'");
            feature.model = ModelIndex(world_, child);
        }
        feature.type =
            node.Int("type", feature.IsComponent() ? kComponentFeatureType : kAddedFeatureType);
        feature.status = node.Int("status", 0);
        feature.hidden = node.Bool("hidden", false);
        feature.layerStatus = node.Int("layer_status", 1);
        if (node.Has("layers")) {
            JsonNode layers = node["layers"];
            for (size_t i = 0; i < layers.Size(); ++i)
                feature.layers.push_back(LayerIndex(layers[i]));
        }
        if (node.Has("placement")) feature.placement = ReadPlacement(node["placement"]);
        model_.features.push_back(feature);
    }

    void ReadSimprep(const JsonNode& node) {
        node.ExpectObject({"id", "name", "default_action", "items", "faults"});
        Simprep rep;
        rep.id = ReadId(node, simprepIds_);
        rep.name = node.String("name", "");
        rep.defaultAction = node.Int("default_action", 2);
        if (node.Has("faults")) rep.faults = ReadFaults(node["faults"], kSimprepFaults);
        if (node.Has("items")) {
            JsonNode items = node["items"];
            for (size_t i = 0; i < items.Size(); ++i)
                rep.items.push_back(ReadSimprepItem(items[i]));
        }
        model_.simpreps.push_back(rep);
    }

    static SimprepItem ReadSimprepItem(const JsonNode& node) {
        node.ExpectObject({"path", "action"});
        SimprepItem item;
        item.action[0] = node.Int("action", 2);
        if (!node.Has("path")) {
            item.isComponent = false;  // "path": null, or none: an item that is no component
            return item;
        }
        JsonNode path = node["path"];
        if (path.Size() > 25) path.Fail("a component path holds at most 25 identifiers");
        for (size_t i = 0; i < path.Size(); ++i) item.path.push_back(path[i].Int());
        return item;
    }

    int ReadFeatureRef(const JsonNode& node) {
        if (!node.Has("feature")) return kNoFeature;
        JsonNode ref = node["feature"];
        int id = ref.Int();
        if (!FindFeature(model_, id)) ref.Fail("no feature " + std::to_string(id));
        return id;
    }

    Surface ReadSurface(const JsonNode& node) {
        node.ExpectObject({"id", "interface_id", "feature", "inactive", "appearance", "texture",
                           "patch", "contours", "chord_height_range", "faults"});
        Surface surface;
        surface.id = ReadId(node, surfaceIds_);
        surface.interfaceId = node.Int("interface_id", surface.id);
        surface.feature = ReadFeatureRef(node);
        surface.inactive = node.Bool("inactive", false);
        if (node.Has("appearance")) surface.appearance = ReadAppearance(node["appearance"]);
        if (node.Has("texture")) surface.texture = ReadTexture(node["texture"]);
        surface.shape = ReadPatch(node["patch"]);
        if (node.Has("chord_height_range"))
            ReadChordRange(node["chord_height_range"], surface.chordMin, surface.chordMax);
        if (node.Has("faults")) surface.faults = ReadFaults(node["faults"], kSurfaceFaults);
        if (node.Has("contours")) {
            JsonNode contours = node["contours"];
            for (size_t i = 0; i < contours.Size(); ++i)
                surface.contours.push_back(ReadContour(contours[i], surface.id));
        }
        return surface;
    }

    Contour ReadContour(const JsonNode& node, int surfaceId) {
        node.ExpectObject({"traversal", "edges"});
        Contour contour;
        contour.traversal = node.Int("traversal", 1);
        JsonNode edges = node["edges"];
        for (size_t i = 0; i < edges.Size(); ++i) {
            contour.edges.push_back(edges[i].Int());
            contourRefs_.push_back({edges[i].Pointer(), surfaceId, contour.edges.back()});
        }
        return contour;
    }

    void ReadQuilt(const JsonNode& node) {
        node.ExpectObject({"id", "feature", "inactive", "hidden", "backup", "layer_status",
                           "surfaces", "shapes"});
        Quilt quilt;
        quilt.id = node.Has("id") ? ReadId(node, quiltIds_) : 0;
        quilt.feature = ReadFeatureRef(node);
        quilt.inactive = node.Bool("inactive", false);
        quilt.hidden = node.Bool("hidden", false);
        quilt.backup = node.Bool("backup", false);
        quilt.layerStatus = node.Int("layer_status", 1);
        if (node.Has("surfaces")) {
            JsonNode surfaces = node["surfaces"];
            for (size_t i = 0; i < surfaces.Size(); ++i)
                quilt.surfaces.push_back(ReadSurface(surfaces[i]));
        }
        if (!node.Has("id")) quiltsWithoutId_.push_back(model_.quilts.size());
        if (node.Has("shapes")) quiltShapes_.push_back({model_.quilts.size(), node["shapes"]});
        model_.quilts.push_back(std::move(quilt));
    }

    void ReadEdge(const JsonNode& node) {
        node.ExpectObject({"id", "sides", "faults"});
        Edge edge;
        edge.id = ReadId(node, edgeIds_);
        if (node.Has("faults")) edge.faults = ReadFaults(node["faults"], kEdgeFaults);
        JsonNode sides = node["sides"];
        if (sides.Size() < 1 || sides.Size() > 2) sides.Fail("expected 1 or 2 sides");
        for (size_t i = 0; i < sides.Size(); ++i) edge.sides[i] = ReadSide(sides[i]);
        model_.edges.push_back(edge);
    }

    EdgeSide ReadSide(const JsonNode& node) {
        node.ExpectObject({"surface", "direction", "curve", "faults"});
        EdgeSide side;
        JsonNode surface = node["surface"];
        side.surface = surface.Int();
        if (!FindSurface(model_, side.surface))
            surface.Fail("no surface " + std::to_string(side.surface));
        side.direction = node.Int("direction", 0);
        if (node.Has("faults")) side.faults = ReadFaults(node["faults"], kSideFaults);
        if (node.Has("curve")) {
            side.curve = ReadCurve(node["curve"]);
        } else {
            side.faults.Add(Fault::NoUvCurve);
        }
        return side;
    }

    // Every edge a contour names exists and bounds the contour's surface.
    void CheckContours() const {
        for (const ContourRef& ref : contourRefs_) {
            const Edge* edge = FindEdge(model_, ref.edge);
            if (!edge) JsonNode::FailAt(file_, ref.pointer, "no edge " + std::to_string(ref.edge));
            if (edge->sides[0].surface != ref.surface && edge->sides[1].surface != ref.surface)
                JsonNode::FailAt(file_, ref.pointer,
                                 "edge " + std::to_string(ref.edge) + " does not bound surface " +
                                     std::to_string(ref.surface));
        }
    }

    void ExpandShapes() {
        ids_.next = maxId_ + 1;
        for (size_t index : quiltsWithoutId_) model_.quilts[index].id = ids_.Take();
        ForEach("shapes", [&](const JsonNode& n) { ExpandShape(n, model_.surfaces); });
        for (auto& [index, shapes] : quiltShapes_)
            for (size_t i = 0; i < shapes.Size(); ++i)
                ExpandShape(shapes[i], model_.quilts[index].surfaces);
    }

    void ExpandShape(const JsonNode& node, std::vector<Surface>& into) {
        node.ExpectObject({"box", "cylinder", "rectangle", "placement", "feature", "appearance",
                           "texture", "chord_height_range", "surface_faults"});
        ShapeStyle style;
        style.feature = ReadFeatureRef(node);
        if (node.Has("appearance")) style.appearance = ReadAppearance(node["appearance"]);
        if (node.Has("texture")) style.texture = ReadTexture(node["texture"]);
        if (node.Has("chord_height_range"))
            ReadChordRange(node["chord_height_range"], style.chordMin, style.chordMax);
        if (node.Has("surface_faults"))
            style.faults = ReadFaults(node["surface_faults"], kSurfaceFaults);
        const Matrix placement =
            node.Has("placement") ? ReadPlacement(node["placement"]) : IdentityMatrix();

        const int kinds = node.Has("box") + node.Has("cylinder") + node.Has("rectangle");
        if (kinds != 1) node.Fail("expected one of 'box', 'cylinder' and 'rectangle'");
        if (node.Has("box")) {
            JsonNode box = node["box"];
            box.ExpectObject({"min", "max"});
            Point3 min = ReadPoint(box["min"], 3), max = ReadPoint(box["max"], 3);
            if (!(min.x < max.x && min.y < max.y && min.z < max.z))
                box.Fail("'max' must exceed 'min' in every coordinate");
            AddBox(model_, into, min, max, placement, style, ids_);
        } else if (node.Has("cylinder")) {
            JsonNode cylinder = node["cylinder"];
            cylinder.ExpectObject({"radius", "height"});
            double radius = cylinder["radius"].Number(), height = cylinder["height"].Number();
            if (!(radius > 0 && height > 0)) cylinder.Fail("radius and height must be positive");
            AddCylinder(model_, into, radius, height, placement, style, ids_);
        } else {
            JsonNode rectangle = node["rectangle"];
            rectangle.ExpectObject({"size"});
            JsonNode size = rectangle["size"];
            if (size.Size() != 2) size.Fail("expected 2 numbers");
            double width = size[0].Number(), height = size[1].Number();
            if (!(width > 0 && height > 0)) size.Fail("the sizes must be positive");
            AddRectangle(model_, into, width, height, placement, style, ids_);
        }
    }

    // Surfaces and quilts that name no feature belong to one feature added after the others.
    void AddImpliedFeature() {
        int added = kNoFeature;
        auto resolve = [&](int& feature) {
            if (feature != kNoFeature) return;
            if (added == kNoFeature) {
                Feature implied;
                implied.id = added = ids_.Take();
                implied.type = kAddedFeatureType;
                model_.features.push_back(implied);
            }
            feature = added;
        };
        for (Surface& surface : model_.surfaces) resolve(surface.feature);
        for (Quilt& quilt : model_.quilts) {
            resolve(quilt.feature);
            for (Surface& surface : quilt.surfaces) resolve(surface.feature);
        }
    }

    struct ContourRef {
        std::string pointer;
        int surface;
        int edge;
    };

    World& world_;
    Model& model_;
    const JsonNode& node_;
    const std::string& file_;
    IdSource ids_;
    int maxId_ = 0;
    std::set<int> featureIds_, surfaceIds_, quiltIds_, edgeIds_, simprepIds_;
    std::vector<ContourRef> contourRefs_;
    std::vector<size_t> quiltsWithoutId_;
    std::vector<std::pair<size_t, JsonNode>> quiltShapes_;
};

// ---- The whole file ----------------------------------------------------------------------------

// Refuses an assembly that contains itself, and nesting deeper than kMaxAssemblyDepth, walking
// the component structure without recursion.
void CheckNesting(const World& world, const std::string& file) {
    const size_t count = world.models.size();
    std::vector<int> depth(count, 0);  // levels below and including the model, once known
    std::vector<char> onPath(count, 0);
    for (size_t root = 0; root < count; ++root) {
        if (depth[root]) continue;
        std::vector<std::pair<size_t, size_t>> stack{{root, 0}};  // model, next feature
        onPath[root] = 1;
        while (!stack.empty()) {
            auto& [index, next] = stack.back();
            const Model& model = world.models[index];
            if (next < model.features.size()) {
                const Feature& feature = model.features[next++];
                if (!feature.IsComponent()) continue;
                size_t child = static_cast<size_t>(feature.model);
                if (onPath[child])
                    JsonNode::FailAt(file, "/models/" + std::to_string(index),
                                     "assembly '" + model.name + "' contains itself through '" +
                                         world.models[child].name + "'");
                if (!depth[child]) {
                    onPath[child] = 1;
                    stack.push_back({child, 0});
                }
                continue;
            }
            int deepest = 0;
            for (const Feature& feature : model.features)
                if (feature.IsComponent())
                    deepest = std::max(deepest, depth[static_cast<size_t>(feature.model)]);
            depth[index] = deepest + 1;
            if (depth[index] > kMaxAssemblyDepth)
                JsonNode::FailAt(
                    file, "/models/" + std::to_string(index),
                    "assemblies nest deeper than " + std::to_string(kMaxAssemblyDepth) + " levels");
            onPath[index] = 0;
            stack.pop_back();
        }
    }
}

World ReadWorld(const json& document, const std::string& file) {
    const JsonNode root(document, "", file);
    root.ExpectObject({"current", "mode", "default_appearance", "default_texture", "models"});
    World world;
    const JsonNode models = root["models"];
    // Names and types first, so that components may name models further down.
    for (size_t i = 0; i < models.Size(); ++i) {
        const JsonNode node = models[i];
        if (!node.IsObject()) node.Fail("expected an object");
        Model model;
        model.name = node["name"].String();
        if (model.name.empty()) node["name"].Fail("a model needs a name");
        if (FindModel(world, model.name)) node["name"].Fail("model '" + model.name + "' twice");
        const std::string type = node["type"].String();
        if (type != "assembly" && type != "part")
            node["type"].Fail("expected 'assembly' or 'part'");
        model.type = type == "assembly" ? ModelType::Assembly : ModelType::Part;
        world.models.push_back(model);
    }
    for (size_t i = 0; i < models.Size(); ++i) {
        const JsonNode node = models[i];
        ModelReader(world, world.models[i], node, file).Read();
    }
    CheckNesting(world, file);

    if (root.Has("default_appearance"))
        world.defaultAppearance = ReadAppearance(root["default_appearance"]);
    if (root.Has("default_texture")) world.defaultTexture = ReadTexture(root["default_texture"]);
    if (root.Has("current")) {
        const JsonNode current = root["current"];
        const Model* model = FindModel(world, current.String());
        if (!model) current.Fail("no model named '" + current.String() + "'");
        world.current = ModelIndex(world, model);
        world.mode = root.Int("mode", model->type == ModelType::Assembly ? 5 : 1);
    } else {
        world.mode = root.Int("mode", 0);
    }
    return world;
}

// "line L, column C" of the byte at offset in text (1-based).
std::string LineAndColumn(const std::string& text, size_t offset) {
    size_t line = 1, column = 1;
    for (size_t i = 0; i < offset && i < text.size(); ++i) {
        if (text[i] == '\n') {
            ++line;
            column = 1;
        } else {
            ++column;
        }
    }
    return "line " + std::to_string(line) + ", column " + std::to_string(column);
}

// nlohmann's message without its own prefix ("[json.exception...] ") and position ("parse error
// at line L, column C: ").
std::string ParseReason(const std::string& message) {
    std::string reason = message;
    if (reason.rfind("[json.exception.", 0) == 0 && reason.find("] ") != std::string::npos)
        reason = reason.substr(reason.find("] ") + 2);
    size_t column = reason.find("column ");
    size_t colon = column == std::string::npos ? std::string::npos : reason.find(": ", column);
    return colon == std::string::npos ? reason : reason.substr(colon + 2);
}

bool ReadFile(const std::string& path, std::string& text) {
#ifdef _WIN32
    // Paths are UTF-8; Windows opens them by their wide form.
    int length = MultiByteToWideChar(CP_UTF8, 0, path.c_str(), -1, nullptr, 0);
    if (length <= 0) return false;
    std::wstring wide(static_cast<size_t>(length), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, path.c_str(), -1, &wide[0], length);
    FILE* file = _wfopen(wide.c_str(), L"rb");
#else
    FILE* file = std::fopen(path.c_str(), "rb");
#endif
    if (!file) return false;
    char buffer[65536];
    size_t read;
    while ((read = std::fread(buffer, 1, sizeof buffer, file)) > 0) text.append(buffer, read);
    bool ok = !std::ferror(file);
    std::fclose(file);
    return ok;
}

}  // namespace

bool ParseModelFile(const std::string& text, const std::string& fileName, World& world,
                    std::string& error) {
    json document;
    try {
        document = json::parse(text, nullptr, true, /*ignore_comments=*/true);
    } catch (const json::parse_error& e) {
        size_t offset = e.byte > 0 ? e.byte - 1 : 0;
        error = fileName + ": " + LineAndColumn(text, offset) + ": " + ParseReason(e.what());
        return false;
    } catch (const json::exception& e) {
        error = fileName + ": " + ParseReason(e.what());  // a number too large for a double
        return false;
    }
    try {
        world = ReadWorld(document, fileName);
        return true;
    } catch (const ModelFileError& e) {
        error = e.what();
    } catch (const json::exception& e) {
        error = fileName + ": " + e.what();  // not expected: every access checks its type
    }
    return false;
}

bool LoadModelFile(const std::string& path, World& world, std::string& error) {
    std::string text;
    if (!ReadFile(path, text)) {
        error = path + ": cannot read the file";
        return false;
    }
    return ParseModelFile(text, path, world, error);
}

}  // namespace sim
