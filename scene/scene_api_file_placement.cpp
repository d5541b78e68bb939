// Placement statements: transform, scale, rotate, translate and motion.
#include "scene/scene_api_file.h"

#include "scene/output_primitives.h"
#include "scene/scene_value.h"

void trvScene_api_file::Transform(const double m[16], bool set)
{
    double p[16];
    PrintableMatrix(m, true, p);
    WriteIndented(state_, "%stransform %g %g %g %g %g %g %g %g %g %g %g %g %g %g %g %g\n",
                  set ? "set " : "", p[0], p[1], p[2], p[3], p[4], p[5], p[6], p[7],
                  p[8], p[9], p[10], p[11], p[12], p[13], p[14], p[15]);
}

void trvScene_api_file::Scale(const double* x, const double* y, const double* z)
{
    WriteIndented(state_, "scale %g %g %g\n", Printable(*x), Printable(*y), Printable(*z));
}

void trvScene_api_file::Rotate(const double* x, const double* y, const double* z)
{
    WriteIndented(state_, "rotate %g %g %g\n", Printable(*x), Printable(*y), Printable(*z));
}

void trvScene_api_file::Translate(const double* x, const double* y, const double* z)
{
    WriteIndented(state_, "translate %g %g %g\n", Printable(*x), Printable(*y),
                  Printable(*z));
}

void trvScene_api_file::Motion(const double m[16], float time)
{
    WriteIndented(state_, "motion %g {\n", Printable(time));
    state_.indent += 2;
    WriteIndented(state_, "transform ");
    WriteValue(state_, SceneValueType::Matrix, m);
    WriteIndented(state_, "\n");
    state_.indent -= 2;
    WriteIndented(state_, "}\n");
}
