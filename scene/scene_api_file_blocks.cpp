// Structural blocks: groups, frames, matrix definitions, the top-level options, camera and image
// blocks, output blocks, objects, lights and load blocks.
#include "scene/scene_api_file.h"

#include "scene/output_primitives.h"

// Closes a block that leaves the parameter style as it is.
void trvScene_api_file::CloseBlock()
{
    state_.indent -= 2;
    WriteIndented(state_, "}\n");
}

// Opens a block whose parameters take their own style; its end restores the outer one.
void trvScene_api_file::OpenStyledBlock(std::uint8_t style)
{
    state_.indent += 2;
    PushByte(state_.savedStyles, state_.paramStyle);
    state_.paramStyle = style;
}

void trvScene_api_file::CloseStyledBlock()
{
    CloseBlock();
    state_.paramStyle = PopByte(state_.savedStyles);
}

// Options, camera and image blocks do not nest, neither in each other nor in an object. They end
// a shader capture: their text and everything after it go to the file.
bool trvScene_api_file::OpenTopBlock(TopBlock block, const char* head, const char* name)
{
    if (state_.openBlock != TopBlock::None)
        return false;
    state_.memoryMode = 0;
    if (name == nullptr) {
        WriteIndented(state_, "\n%s {\n", head);
    } else {
        WriteIndented(state_, "\n%s ", head);
        WriteNameUnindented(state_, name);
        WritePlain(state_, " {\n");
    }
    state_.paramStyle = 1;
    state_.openBlock = block;
    state_.indent += 2;
    return true;
}

// Only the block's own End closes it, but every End leaves no top-level block open.
void trvScene_api_file::CloseTopBlock(TopBlock block)
{
    if (state_.openBlock == block)
        CloseBlock();
    state_.openBlock = TopBlock::None;
    state_.paramStyle = 0;
}

bool trvScene_api_file::BeginGroup(const char* name, bool place)
{
    WritePlain(state_, "\n");
    if (!place)
        WriteIndented(state_, "#define ");
    WriteIndented(state_, "group ");
    WriteNameUnindented(state_, name);
    WritePlain(state_, " {\n");
    OpenStyledBlock(1);
    return true;
}

void trvScene_api_file::EndGroup() { CloseStyledBlock(); }

bool trvScene_api_file::BeginFrame(int frame)
{
    WriteIndented(state_, "frame %d {\n", frame);
    state_.indent += 2;
    return true;
}

void trvScene_api_file::EndFrame() { CloseBlock(); }

bool trvScene_api_file::BeginMatrixDefinition(const char* name)
{
    WriteIndented(state_, "#define matrix ");
    WriteNameUnindented(state_, name);
    WritePlain(state_, " {\n");
    state_.indent += 2;
    return true;
}

void trvScene_api_file::EndMatrixDefinition() { CloseBlock(); }

bool trvScene_api_file::BeginOptions() { return OpenTopBlock(TopBlock::Options, "options", nullptr); }
void trvScene_api_file::EndOptions() { CloseTopBlock(TopBlock::Options); }
bool trvScene_api_file::BeginCamera(const char* name) { return OpenTopBlock(TopBlock::Camera, "camera", name); }
void trvScene_api_file::EndCamera() { CloseTopBlock(TopBlock::Camera); }
bool trvScene_api_file::BeginImage() { return OpenTopBlock(TopBlock::Image, "image", nullptr); }
void trvScene_api_file::EndImage() { CloseTopBlock(TopBlock::Image); }

// "#modify " stays written even when the camera is refused.
bool trvScene_api_file::ModifyCamera(const char* name)
{
    WriteIndented(state_, "#modify ");
    return BeginCamera(name);
}

// Output blocks set their style without saving the outer one; their end sets style 1.
bool trvScene_api_file::BeginOutput(const char* a, const char* b, const char* c)
{
    state_.paramStyle = 0;
    WriteIndented(state_, "output ");
    WriteNameUnindented(state_, a);
    WritePlain(state_, " ");
    WriteNameUnindented(state_, b);
    WritePlain(state_, " ");
    WriteNameUnindented(state_, c);
    WritePlain(state_, " {\n");
    state_.indent += 2;
    return true;
}

void trvScene_api_file::EndOutput()
{
    CloseBlock();
    state_.paramStyle = 1;
}

// Objects open without the top-level test and start with the caustics and ambient bits set.
bool trvScene_api_file::BeginObject(const char* name, bool place)
{
    WritePlain(state_, "\n");
    WriteIndented(state_, place ? "object " : "#define object ");
    WriteNameUnindented(state_, name);
    WritePlain(state_, " {\n");
    OpenStyledBlock(1);
    state_.openBlock = TopBlock::Object;
    state_.objectFlags = 0xF00;
    return true;
}

// The flag lines say only what differs from the renderer's default: every effect on, visible.
void trvScene_api_file::EndObject()
{
    const std::uint32_t flags = state_.objectFlags;
    const auto has = [flags](ObjectFlag bit) { return (flags & static_cast<std::uint32_t>(bit)) != 0; };
    if (!has(ObjectFlag::CausticsStore))
        WriteIndented(state_, "caustics store off\n");
    if (!has(ObjectFlag::CausticsTrace))
        WriteIndented(state_, "caustics trace off\n");
    if (!has(ObjectFlag::AmbientStore))
        WriteIndented(state_, "ambient store off\n");
    if (!has(ObjectFlag::AmbientTrace))
        WriteIndented(state_, "ambient trace off\n");
    if (has(ObjectFlag::Invisible))
        WriteIndented(state_, "invisible on\n");
    CloseStyledBlock();
    state_.openBlock = TopBlock::None;
}

void trvScene_api_file::SetObjectFlag(std::uint32_t mask, bool on)
{
    if (on)
        state_.objectFlags |= mask;
    else
        state_.objectFlags &= ~mask;
}

// A modified object keeps the flags that the last object or SetObjectFlag left.
bool trvScene_api_file::ModifyObject(const char* name)
{
    WriteIndented(state_, "#modify object ");
    WriteNameUnindented(state_, name);
    WritePlain(state_, " {\n");
    OpenStyledBlock(1);
    state_.openBlock = TopBlock::Object;
    return true;
}

bool trvScene_api_file::BeginLight(const char* name, std::uint32_t)
{
    WritePlain(state_, "\n");
    WriteIndented(state_, "light ");
    WriteNameUnindented(state_, name);
    WritePlain(state_, " {\n");
    state_.indent += 2;
    return true;
}

bool trvScene_api_file::ModifyLight(const char* name)
{
    WriteIndented(state_, "#modify light ");
    WriteNameUnindented(state_, name);
    WritePlain(state_, " {\n");
    state_.indent += 2;
    return true;
}

void trvScene_api_file::EndLight() { CloseBlock(); }

bool trvScene_api_file::BeginLoad(const char* name)
{
    WriteIndented(state_, "load ");
    WriteNameUnindented(state_, name);
    WritePlain(state_, " {\n");
    state_.indent += 2;
    return true;
}

void trvScene_api_file::EndLoad() { CloseBlock(); }
