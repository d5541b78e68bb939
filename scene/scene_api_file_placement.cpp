// Placement statements: transform, scale, rotate, translate and motion.
#include "scene/scene_api_file.h"

#include "scene/output_primitives.h"
#include "scene/scene_value.h"

void trvScene_api_file::Transform(const double m[16], bool set)
{
    float f[16];
    NarrowMatrix(m, f);
    WriteIndented(state_, "%stransform %g %g %g %g %g %g %g %g %g %g %g %g %g %g %g %g\n",
                  set ? "set " : "", f[0], f[1], f[2], f[3], f[4], f[5], f[6], f[7],
                  f[8], f[9], f[10], f[11], f[12], f[13], f[14], f[15]);
}

void trvScene_api_file::Scale(const double* x, const double* y, const double* z)
{
    WriteIndented(state_, "scale %g %g %g\n", *x, *y, *z);
}

void trvScene_api_file::Rotate(const double* x, const double* y, const double* z)
{
    WriteIndented(state_, "rotate %g %g %g\n", *x, *y, *z);
}

void trvScene_api_file::Translate(const double* x, const double* y, const double* z)
{
    WriteIndented(state_, "translate %g %g %g\n", *x, *y, *z);
}

void trvScene_api_file::Motion(const double m[16], float time)
{
    WriteIndented(state_, "motion %g {\n", static_cast<double>(time));
    state_.indent += 2;
    WriteIndented(state_, "transform ");
    WriteValue(state_, SceneValueType::Matrix, m);
    WriteIndented(state_, "\n");
    state_.indent -= 2;
    WriteIndented(state_, "}\n");
}
