// The simulated host's session data: the models of the model file, what is current, and the
// faults a model file asks for. Plain data: the toolkit functions (simhost/functions_*.cpp) read
// it and hand out pointers into it, so nothing is added to or removed from its containers once a
// model file is loaded (the operations below change values only).
//
// Names are UTF-8 here; the toolkit functions widen them when they answer.
#pragma once

#include <array>
#include <cstdint>
#include <limits>
#include <optional>
#include <string>
#include <vector>

#include "simhost/model/bspline.h"

namespace sim {

// Row-major 4x4, points as row vectors (p' = p x M), row 3 the translation: the host's ProMatrix.
using Matrix = std::array<std::array<double, 4>, 4>;
Matrix IdentityMatrix();

// ---- Faults ------------------------------------------------------------------------------------
// Answers a model file can make fail, by name in a "faults" list on the object concerned.
//
//   model:   "no_outline"          ProSolidOutlineGet fails
//            "no_verstamp"         ProMdlVerstampGet fails
//            "no_units"            ProMdlPrincipalunitsystemGet fails
//            "no_interface_data"   ProPartToProIntfData fails
//   surface: "tessellation_refused" ProSurfaceTessellationGet fails at every chord height
//                                  (see also Surface::chordMin/chordMax)
//            "no_tessellation"     ProSurfaceTessellationGet succeeds without a tessellation
//            "no_vertices", "no_normals", "no_params", "no_facets"
//                                  the tessellation lacks that array
//            "not_bspline"         its interface surface is no B-spline
//                                  (ProBsplinesrfdataGet fails)
//            "no_id"               ProSurfaceIdGet fails
//   texture: "unresolvable"        ProTexturePathGet cannot resolve its file name
//   edge:    "no_edge_record"      ProIntfDataEdgeGet fails for it
//   side:    "no_uv_curve"         the edge record has no UV curve on that side
//            "not_bspline"         that UV curve is no B-spline (ProCurvedataTypeGet != 19)
//   simprep: "data_unreadable"     ProSimprepdataGet fails
//
// No current model is a model file without "current".
enum class Fault : unsigned {
    NoOutline = 1u << 0,
    NoVerstamp = 1u << 1,
    NoUnits = 1u << 2,
    NoInterfaceData = 1u << 3,
    TessellationRefused = 1u << 4,
    NoTessellation = 1u << 5,
    NoVertices = 1u << 6,
    NoNormals = 1u << 7,
    NoParams = 1u << 8,
    NoFacets = 1u << 9,
    NotBspline = 1u << 10,
    Unresolvable = 1u << 11,
    NoEdgeRecord = 1u << 12,
    NoUvCurve = 1u << 13,
    DataUnreadable = 1u << 14,
    NoId = 1u << 15,
};

class FaultSet {
public:
    bool Has(Fault fault) const { return (bits_ & static_cast<unsigned>(fault)) != 0; }
    void Add(Fault fault) { bits_ |= static_cast<unsigned>(fault); }
    bool Empty() const { return bits_ == 0; }

private:
    unsigned bits_ = 0;
};

// ---- Appearances -------------------------------------------------------------------------------

struct Appearance {
    std::string name;  // may be empty: an appearance without a name
    double diffuse = 1.0;
    std::array<double, 3> color{{1.0, 1.0, 1.0}};
};

struct Texture {
    std::string file;  // the file name the host keeps (narrow text)
    std::string path;  // what ProTexturePathGet resolves it to (the file name when not given)
    FaultSet faults;   // Unresolvable
};

// ---- Geometry of a solid -----------------------------------------------------------------------

struct Contour {
    int traversal = 1;       // 1 external, -1 internal
    std::vector<int> edges;  // edge ids, in the contour's order
};

struct Surface {
    int id = 0;
    int interfaceId = 0;  // its id in the interface data; normally the same as id
    int feature = 0;      // id of the feature that owns it
    bool inactive = false;
    std::optional<Appearance> appearance;  // none: ProSurfaceAppearancepropsGet fails
    std::optional<Texture> texture;        // none: ProSurfaceTexturepropsGet fails
    BsplineSurface shape;
    std::vector<Contour> contours;
    // Chord heights at which the host tessellates it; outside them ProSurfaceTessellationGet fails.
    double chordMin = 0.0;
    double chordMax = std::numeric_limits<double>::infinity();
    FaultSet faults;
};

struct Quilt {
    int id = 0;
    int feature = 0;
    bool inactive = false;
    bool hidden = false;
    bool backup = false;  // backup geometry
    int layerStatus = 1;  // ProLayeritemStatusGet of its layer item (0 hidden, 1 shown)
    std::vector<Surface> surfaces;
};

// One side of an edge: the surface it bounds, how that surface's contour runs along the edge
// (0 with the curve, 1 against it) and the edge's curve in that surface's parameter space.
struct EdgeSide {
    int surface = -1;  // -1: no surface on this side (the border of an open quilt)
    int direction = 0;
    BsplineCurve curve;
    FaultSet faults;  // NoUvCurve, NotBspline
};

struct Edge {
    int id = 0;
    std::array<EdgeSide, 2> sides;
    FaultSet faults;  // NoEdgeRecord
};

// ---- Structure of a model ----------------------------------------------------------------------

struct Layer {
    int id = 0;
    std::string name;
    int display = 1;  // ProLayerDisplaystatusGet
};

// A feature; a component of an assembly is a feature with a model.
struct Feature {
    int id = 0;
    int type = 0;    // 1000 for a component
    int status = 0;  // 0 active
    bool hidden = false;
    int layerStatus = 1;      // ProLayeritemStatusGet of its layer item
    std::vector<int> layers;  // indices into Model::layers of the layers that hold it
    int model = -1;           // component: index into World::models; -1 for other features
    Matrix placement = IdentityMatrix();  // component: its placement in the assembly

    bool IsComponent() const { return model >= 0; }
};

struct SimprepItem {
    std::vector<int> path;    // component identifiers from the representation's owner
    bool isComponent = true;  // false: an item that is no component (the host gives path size -1)
    std::array<int32_t, 31> action{};  // the host's action record; word 0 is the action type
};

struct Simprep {
    int id = 0;
    std::string name;
    int defaultAction = 2;
    std::vector<SimprepItem> items;
    FaultSet faults;  // DataUnreadable
};

struct View {
    std::string name;
    Matrix matrix = IdentityMatrix();
};

enum class ModelType { Assembly = 1, Part = 2 };

struct Model {
    std::string name;
    ModelType type = ModelType::Part;
    std::string lengthUnit = "mm";
    int verstamp = 1;  // bumped when the model changes
    Matrix currentView = IdentityMatrix();
    std::vector<View> views;
    std::optional<Appearance> appearance;  // model-level
    std::optional<Texture> texture;
    std::vector<Layer> layers;
    std::vector<Feature> features;  // in the host's feature order; components among them
    std::vector<Simprep> simpreps;
    std::vector<Surface> surfaces;  // the solid's own surfaces, quilts' surfaces not included
    std::vector<Quilt> quilts;
    std::vector<Edge> edges;
    FaultSet faults;  // NoOutline, NoVerstamp, NoUnits, NoInterfaceData
};

struct World {
    std::vector<Model> models;
    int current = -1;  // index into models; -1: no current model
    int mode = 0;      // ProModeCurrentGet: 5 assembly, 1 part
    // What ProSurfaceAppearancepropsGet / ProSurfaceTexturepropsGet answer for no item.
    std::optional<Appearance> defaultAppearance;
    std::optional<Texture> defaultTexture;
};

// ---- Look-ups ----------------------------------------------------------------------------------
// Null when absent. Surfaces are found among the solid's own and its quilts' surfaces.

Model* FindModel(World& world, const std::string& name);
const Model* FindModel(const World& world, const std::string& name);
int ModelIndex(const World& world, const Model* model);  // -1 when not a model of world
Feature* FindFeature(Model& model, int id);
const Feature* FindFeature(const Model& model, int id);
Surface* FindSurface(Model& model, int id);
const Surface* FindSurface(const Model& model, int id);
Quilt* FindQuilt(Model& model, int id);
const Quilt* FindQuilt(const Model& model, int id);
Edge* FindEdge(Model& model, int id);
const Edge* FindEdge(const Model& model, int id);

// ---- Changes between commands (the scripted user) ----------------------------------------------
// Each answers false, changing nothing, when the model or component does not exist.

// The model changed: its version stamp moves on.
bool BumpVerstamp(World& world, const std::string& model);
// The component feature componentId of assembly gets a new placement.
bool MoveComponent(World& world, const std::string& assembly, int componentId,
                   const Matrix& placement);
// Another model becomes current, in the given mode; an empty name leaves no model current.
bool SetCurrentModel(World& world, const std::string& model, int mode);

}  // namespace sim
