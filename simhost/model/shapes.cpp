#include "simhost/model/shapes.h"

#include <cmath>

#include "simhost/model/outline.h"

namespace sim {

namespace {

const double kHalfRoot2 = std::sqrt(0.5);

BsplineCurve UvLine(std::array<double, 2> from, std::array<double, 2> to) {
    BsplineCurve line;
    line.degree = 1;
    line.knots = {0.0, 0.0, 1.0, 1.0};
    line.points = {{from[0], from[1], 0.0}, {to[0], to[1], 0.0}};
    return line;
}

bool Near(Point3 a, Point3 b, double tolerance) { return Length(a - b) <= tolerance; }

// Builds the surfaces of one shape and joins their sides into edges: a side whose end points and
// middle meet those of a side made earlier, run the other way, is the same edge seen from the
// other surface.
class ShapeBuilder {
public:
    ShapeBuilder(Model& model, std::vector<Surface>& surfaces, const Matrix& placement,
                 const ShapeStyle& style, IdSource& ids, double size)
        : model_(model),
          surfaces_(surfaces),
          placement_(placement),
          style_(style),
          ids_(ids),
          tolerance_(1e-9 * (1.0 + size)) {}

    // Adds a patch given in the shape's own coordinates.
    void AddFace(BsplineSurface shape) {
        for (Point3& p : shape.points) p = Transform(p, placement_);
        Surface surface;
        surface.id = ids_.Take();
        surface.interfaceId = surface.id;
        surface.feature = style_.feature;
        surface.appearance = style_.appearance;
        surface.texture = style_.texture;
        surface.faults = style_.faults;
        surface.chordMin = style_.chordMin;
        surface.chordMax = style_.chordMax;
        surface.shape = std::move(shape);

        const BsplineSurface& s = surface.shape;
        const std::array<std::array<double, 2>, 4> corners{{{s.UMin(), s.VMin()},
                                                            {s.UMax(), s.VMin()},
                                                            {s.UMax(), s.VMax()},
                                                            {s.UMin(), s.VMax()}}};
        Contour contour;
        contour.traversal = 1;
        for (int k = 0; k < 4; ++k)
            contour.edges.push_back(JoinSide(surface, corners[k], corners[(k + 1) % 4]));
        surface.contours.push_back(std::move(contour));
        surfaces_.push_back(std::move(surface));
    }

private:
    struct OpenSide {
        Point3 start, end, middle;
        size_t edge;  // index into model.edges
    };

    // The edge of the side from `from` to `to` of surface's parameter rectangle.
    int JoinSide(const Surface& surface, std::array<double, 2> from, std::array<double, 2> to) {
        const BsplineSurface& s = surface.shape;
        Point3 start = EvaluateSurface(s, from[0], from[1]).point;
        Point3 end = EvaluateSurface(s, to[0], to[1]).point;
        Point3 middle = EvaluateSurface(s, (from[0] + to[0]) / 2, (from[1] + to[1]) / 2).point;
        for (size_t k = 0; k < open_.size(); ++k) {
            const OpenSide& side = open_[k];
            if (Near(side.start, end, tolerance_) && Near(side.end, start, tolerance_) &&
                Near(side.middle, middle, tolerance_)) {
                Edge& edge = model_.edges[side.edge];
                edge.sides[1].surface = surface.id;
                edge.sides[1].direction = 1;  // the curve runs with the edge, the contour against
                edge.sides[1].curve = UvLine(to, from);
                open_.erase(open_.begin() + static_cast<std::ptrdiff_t>(k));
                return edge.id;
            }
        }
        Edge edge;
        edge.id = ids_.Take();
        edge.sides[0].surface = surface.id;
        edge.sides[0].direction = 0;
        edge.sides[0].curve = UvLine(from, to);
        edge.sides[1].surface = -1;  // until a second surface meets it
        model_.edges.push_back(edge);
        open_.push_back({start, end, middle, model_.edges.size() - 1});
        return edge.id;
    }

    Model& model_;
    std::vector<Surface>& surfaces_;
    const Matrix& placement_;
    const ShapeStyle& style_;
    IdSource& ids_;
    double tolerance_;
    std::vector<OpenSide> open_;
};

// The plane patch origin + u * a + v * b for u, v in [0, 1]; a x b is its outward side.
BsplineSurface PlanePatch(Point3 origin, Point3 a, Point3 b) {
    BsplineSurface s;
    s.degreeU = s.degreeV = 1;
    s.knotsU = s.knotsV = {0.0, 0.0, 1.0, 1.0};
    s.points = {origin, origin + b, origin + a, origin + a + b};  // v runs fastest
    return s;
}

// The quadrant point k (at k * 90 degrees) of the circle of radius r at height z, exactly.
Point3 Quadrant(double r, int k, double z) {
    static const double kCos[4] = {1, 0, -1, 0}, kSin[4] = {0, 1, 0, -1};
    return {r * kCos[k % 4], r * kSin[k % 4], z};
}

// The middle control point of the quarter arc from quadrant k to quadrant k + 1: the corner of
// the square around the circle between them.
Point3 QuarterCorner(double r, int k, double z) {
    Point3 a = Quadrant(r, k, z), b = Quadrant(r, k + 1, z);
    return {a.x + b.x, a.y + b.y, z};
}

// The quarter k of the side of the cylinder, from angle k * 90 to (k + 1) * 90 degrees along u
// (counter-clockwise seen from +z, so du x dz points outward) and from z = 0 to height along v.
BsplineSurface CylinderQuarter(double radius, double height, int k) {
    BsplineSurface s;
    s.degreeU = 2;
    s.degreeV = 1;
    s.knotsU = {0.0, 0.0, 0.0, 1.0, 1.0, 1.0};
    s.knotsV = {0.0, 0.0, 1.0, 1.0};
    const Point3 arc[3] = {Quadrant(radius, k, 0.0), QuarterCorner(radius, k, 0.0),
                           Quadrant(radius, k + 1, 0.0)};
    const double weights[3] = {1.0, kHalfRoot2, 1.0};
    for (int i = 0; i < 3; ++i) {
        for (double z : {0.0, height}) {
            s.points.push_back({arc[i].x, arc[i].y, z});
            s.weights.push_back(weights[i]);
        }
    }
    return s;
}

// The disc of the cylinder at height z as one rational biquadratic patch whose four sides are the
// quarter arcs between the quadrant points, facing +z (up) or -z.
BsplineSurface CylinderDisc(double radius, double z, bool up) {
    // Net (i along u, j along v) facing +z: corners on the circle at 270, 0, 90 and 180 degrees,
    // side middles at the corners of the surrounding square, the centre in the middle.
    const double r = radius;
    const Point3 net[3][3] = {
        {{0, -r, z}, {-r, -r, z}, {-r, 0, z}},
        {{r, -r, z}, {0, 0, z}, {-r, r, z}},
        {{r, 0, z}, {r, r, z}, {0, r, z}},
    };
    const double w[3] = {1.0, kHalfRoot2, 1.0};
    BsplineSurface s;
    s.degreeU = s.degreeV = 2;
    s.knotsU = s.knotsV = {0.0, 0.0, 0.0, 1.0, 1.0, 1.0};
    for (int i = 0; i < 3; ++i) {
        for (int j = 0; j < 3; ++j) {
            // Facing -z: u and v swap roles, which turns du x dv around.
            s.points.push_back(up ? net[i][j] : net[j][i]);
            s.weights.push_back(w[i] * w[j]);
        }
    }
    return s;
}

}  // namespace

void AddBox(Model& model, std::vector<Surface>& surfaces, Point3 min, Point3 max,
            const Matrix& placement, const ShapeStyle& style, IdSource& ids) {
    const Point3 size = max - min;
    const Point3 x{size.x, 0, 0}, y{0, size.y, 0}, z{0, 0, size.z};
    ShapeBuilder builder(model, surfaces, placement, style, ids, Length(size) + Length(min));
    builder.AddFace(PlanePatch(min, y, x));      // -z
    builder.AddFace(PlanePatch(min + z, x, y));  // +z
    builder.AddFace(PlanePatch(min, x, z));      // -y
    builder.AddFace(PlanePatch(min + y, z, x));  // +y
    builder.AddFace(PlanePatch(min, z, y));      // -x
    builder.AddFace(PlanePatch(min + x, y, z));  // +x
}

void AddCylinder(Model& model, std::vector<Surface>& surfaces, double radius, double height,
                 const Matrix& placement, const ShapeStyle& style, IdSource& ids) {
    ShapeBuilder builder(model, surfaces, placement, style, ids, radius + height);
    for (int k = 0; k < 4; ++k) builder.AddFace(CylinderQuarter(radius, height, k));
    builder.AddFace(CylinderDisc(radius, height, true));
    builder.AddFace(CylinderDisc(radius, 0.0, false));
}

void AddRectangle(Model& model, std::vector<Surface>& surfaces, double width, double height,
                  const Matrix& placement, const ShapeStyle& style, IdSource& ids) {
    ShapeBuilder builder(model, surfaces, placement, style, ids, width + height);
    builder.AddFace(PlanePatch({0, 0, 0}, {width, 0, 0}, {0, height, 0}));
}

}  // namespace sim
