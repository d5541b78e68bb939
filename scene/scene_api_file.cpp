// The writer's lifecycle, its reserved operations and its single-line statements.
#include "scene/scene_api_file.h"

#include <cstdarg>

#include "scene/output_primitives.h"
#include "scene/scene_value.h"

namespace {

// WriteRaw formats into a buffer of this size; longer output is cut to what fits.
constexpr std::size_t RawTextSize = 4096;

} // namespace

trvScene_api_file::trvScene_api_file(FILE* file, bool binaryArrays) : state_(file, binaryArrays) {}

// The state record frees its buffers, closes the file and puts the numeric locale back. Blocks
// still open stay unclosed in the file.
trvScene_api_file::~trvScene_api_file() = default;

void trvScene_api_file::DeletingDestructor(unsigned int flags) { DestroyImplementation(this, flags); }

// Reserved operations: they stand in the interface for the live-link library.
void trvScene_api_file::Reserved1() {}
std::uint32_t trvScene_api_file::Reserved17(std::uint32_t x) { return x; }
std::uint32_t trvScene_api_file::Reserved30(std::uint32_t x) { return x; }
void trvScene_api_file::Reserved32(std::uint32_t, std::uint32_t) {}
std::uint32_t trvScene_api_file::Reserved42() { return 0; }
bool trvScene_api_file::Reserved45(std::uint32_t) { return false; }
void trvScene_api_file::Reserved46() {}
bool trvScene_api_file::Reserved57(std::uint32_t) { return false; }
void trvScene_api_file::Reserved66(std::uint32_t) {}
std::uint32_t trvScene_api_file::Reserved75() { return 10; }
std::uint32_t trvScene_api_file::Reserved78(std::uint32_t) { return 10; }

bool trvScene_api_file::Render()
{
    WriteIndented(state_, "\nrender\n");
    return true;
}

void trvScene_api_file::SetGlobalPhotons(int count)
{
    WriteIndented(state_, "global photons %d\n", count);
}

void trvScene_api_file::SetCausticPhotons(int count)
{
    WriteIndented(state_, "caustic photons %d\n", count);
}

void trvScene_api_file::SetVolumePhotons(int count)
{
    WriteIndented(state_, "volume photons %d\n", count);
}

void trvScene_api_file::SetAttribute(const char* name, const char* value)
{
    WriteIndented(state_, "attribute ");
    WriteNameUnindented(state_, name);
    WritePlain(state_, " ");
    WriteNameUnindented(state_, value);
    WritePlain(state_, "\n");
}

// The header lines go through here. The text is formatted once and then written as text, so a
// '%' in it is not read as a format again.
void trvScene_api_file::WriteRaw(const char* format, ...)
{
    char text[RawTextSize];
    va_list args;
    va_start(args, format);
    if (std::vsnprintf(text, sizeof text, format, args) < 0)
        text[0] = '\0';
    va_end(args);
    WriteIndented(state_, "%s", text);
}

std::uint32_t trvScene_api_file::SetOutputMode(std::uint32_t flags, std::uint32_t)
{
    const auto binary = static_cast<std::uint32_t>(OutputModeFlag::BinaryArrays);
    state_.binaryArrays = (flags & binary) != 0 ? 1 : 0;
    state_.outputMode = flags;
    return flags;
}

void trvScene_api_file::ReportProgress(const char* name, float value)
{
    WriteIndented(state_, "progress ");
    WriteNameUnindented(state_, name);
    WritePlain(state_, " %f\n\n", Printable(value));
}

void trvScene_api_file::SetIcon(const void* data, int length)
{
    WriteIndented(state_, "icon ");
    WriteHexBlob(state_, data, length);
    WriteIndented(state_, "\n");
}

void trvScene_api_file::SetBinaryValue(const char* key, const void* data, int length)
{
    WriteIndented(state_, "%s ", key);
    WriteHexBlob(state_, data, length);
    WriteIndented(state_, "\n");
}

void trvScene_api_file::SetId(std::uint32_t id)
{
    WriteIndented(state_, "id %u\n", static_cast<unsigned>(id));
}

// Group flags do not belong inside an object.
void trvScene_api_file::SetFlags(std::uint32_t flags)
{
    if (state_.openBlock != TopBlock::Object)
        WriteIndented(state_, "flags %u\n", static_cast<unsigned>(flags));
}
