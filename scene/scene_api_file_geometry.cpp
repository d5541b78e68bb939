// Geometry blocks and definitions, accelerators, instances and animations.
#include "scene/scene_api_file.h"

#include "scene/output_primitives.h"

bool trvScene_api_file::BeginGeometryDefinition(const char* name, const char* type)
{
    WriteIndented(state_, "#define geometry ");
    WriteNameUnindented(state_, name);
    WritePlain(state_, " ");
    WriteNameUnindented(state_, type);
    WritePlain(state_, " {\n");
    OpenStyledBlock(0);
    state_.inGeometryDefinition = 1;
    return true;
}

// Inside a definition the definition itself is the geometry block: nothing more opens, and the
// EndGeometry that follows closes the definition.
bool trvScene_api_file::BeginGeometry(const char* type)
{
    if (state_.inGeometryDefinition != 0)
        return true;
    WriteIndented(state_, "geometry ");
    WriteNameUnindented(state_, type);
    WritePlain(state_, " {\n");
    OpenStyledBlock(0);
    return true;
}

void trvScene_api_file::EndGeometry()
{
    CloseBlock();
    state_.inGeometryDefinition = 0;
    state_.paramStyle = PopByte(state_.savedStyles);
}

bool trvScene_api_file::BeginAccel(const char* name)
{
    WriteIndented(state_, "\naccel ");
    WriteNameUnindented(state_, name);
    WritePlain(state_, " {\n");
    OpenStyledBlock(0);
    return true;
}

void trvScene_api_file::EndAccel() { CloseStyledBlock(); }

bool trvScene_api_file::PlaceInstance(const char* name)
{
    WriteIndented(state_, "instance ");
    WriteNameUnindented(state_, name);
    WritePlain(state_, "\n");
    return true;
}

// The blank between the two names is an indented piece: it carries the indentation too.
bool trvScene_api_file::BeginAnimation(const char* type, const char* name)
{
    WriteIndented(state_, "animation ");
    WriteNameUnindented(state_, type);
    WriteIndented(state_, " ");
    WriteNameUnindented(state_, name);
    WritePlain(state_, " {\n");
    OpenStyledBlock(0);
    return true;
}

void trvScene_api_file::EndAnimation() { CloseStyledBlock(); }
