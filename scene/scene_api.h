// The scene-output interface through which every part of the plug-in writes a scene, and the
// value types and small enumerations its operations take.
//
// Two implementations exist: trvScene_api_file (scene/scene_api_file.h) writes the scene
// description language into a file, and the renderer's live-link library builds its live scene
// object against this same header and streams the description to a running renderer. The order
// of the virtual operations, their argument lists and their answers are therefore a binary
// contract with that library: never add, drop, move or change an operation, also not the
// reserved ones that the plug-in itself never calls.
//
// The library is built by Microsoft's compiler, whose table gives a virtual destructor one slot:
// a deleting destructor taking a flag. A C++ virtual destructor would take two slots in our
// Windows build (mingw), moving every later operation by one place. So the interface declares
// that slot as an ordinary operation at place 0, DeletingDestructor(flags), and its destructor
// is not virtual: an object is destroyed through DeletingDestructor, or as its own final class.
//
// Rules every caller keeps:
// - Blocks pair: each Begin/Modify operation is closed by its End operation; nobody checks it.
// - Options, camera and image blocks do not nest: while one of them or an object is open,
//   BeginOptions, BeginCamera and BeginImage refuse (answer false, write nothing). BeginObject
//   and ModifyObject never refuse.
// - Begin/Modify operations, Render, PlaceInstance, UseMaterial, SetParameter,
//   SetShaderParameter and BeginArray answer true when written; only those refusals answer false.
// - BeginShader(nullptr, type) captures an anonymous shader in a new ShaderBuffer that becomes
//   the current one; EndShader ends the capture but leaves that buffer current, so
//   CurrentShaderBuffer() answers it both before and after EndShader. The buffer stays valid
//   until the output object is destroyed. Use Push/PopShaderBuffer around an inner capture when
//   an outer one goes on afterwards.
// - Text arguments are zero-terminated and never null, except the names of BeginCamera and
//   BeginShader.
#pragma once

#include <cstdint>

// The capture buffer of an anonymous shader. Callers only pass it back to the output object
// that made it; its layout belongs to the implementation.
struct ShaderBuffer;

// Type code of a parameter value or array element. The value argument of SetParameter and
// AddArrayElement points at the data described beside each code.
enum class SceneValueType : std::uint32_t {
    Float3 = 1,       // three floats
    Float4A = 2,      // four floats
    Float = 3,        // one float
    Double = 4,       // one double
    Double3 = 5,      // three doubles
    Int = 6,          // one int32
    Bool = 7,         // one int32, 0 for false
    Reserved8 = 8,    // no value form
    Matrix = 9,       // 16 doubles in storage order
    String = 10,      // the text itself
    Shader = 11,      // a ShaderBuffer* (the value points at the pointer)
    Reserved12 = 12,  // no value form
    StringRef = 13,   // a const char* (the value points at the pointer)
    Float2 = 14,      // two floats
    Float4B = 15,     // four floats
    Int2 = 16,        // two int32
    Int3 = 17,        // three int32
    Int4 = 18,        // four int32
    // Added to a code: the value points at a SceneArray of elements of that code.
    Array = 0x8000,
};

constexpr SceneValueType operator|(SceneValueType a, SceneValueType b)
{
    return static_cast<SceneValueType>(static_cast<std::uint32_t>(a) | static_cast<std::uint32_t>(b));
}

// The value of an array parameter: count elements laid out one after the other at data
// (count counts elements, not numbers: a Float3 array of count 2 holds six floats; a String or
// StringRef array holds count text pointers).
struct SceneArray {
    const void* data;
    std::uint32_t count;
};

// The top-level block open in a file writer.
enum class TopBlock : std::int32_t {
    None = 0,
    Options = 1,
    Camera = 2,
    Image = 3,
    Object = 4,
};

// Bits of an object's flags (SetObjectFlag). An object begins with 0xF00: the four caustics and
// ambient bits set, not invisible. Not the same as the scene group flags passed to SetFlags.
enum class ObjectFlag : std::uint32_t {
    CausticsTrace = 0x100,
    CausticsStore = 0x200,
    AmbientTrace = 0x400,
    AmbientStore = 0x800,
    Invisible = 0x4000,
};

// The first argument of BindShader. Any other value is written as Surface.
enum class ShaderKind : int {
    Surface = 0,
    Shadow = 1,
    Volume = 2,
    ReflectionMap = 3,
    Init = 8,
};

// Bits of SetOutputMode.
enum class OutputModeFlag : std::uint32_t {
    BinaryArrays = 0x2,
};

#if defined(__GNUC__) && !defined(__clang__)
#define VISTREL_PRINTF_FORMAT(fmt, args) __attribute__((format(gnu_printf, fmt, args)))
#elif defined(__clang__)
#define VISTREL_PRINTF_FORMAT(fmt, args) __attribute__((format(printf, fmt, args)))
#else
#define VISTREL_PRINTF_FORMAT(fmt, args)
#endif

// The bit of DeletingDestructor's flags that frees the object's memory (made with new) once it
// is destroyed; without it the object is only destroyed.
constexpr unsigned int kDeleteFreesMemory = 1;

// DeletingDestructor of a final implementation class T of the interfaces here and in
// link/live_link_interface.h.
template <typename T>
void DestroyImplementation(T* object, unsigned int flags)
{
    if (flags & kDeleteFreesMemory) {
        delete object;
    } else {
        object->~T();
    }
}

// The scene-output interface: the deleting destructor and 78 operations, in this exact order.
// Only Connect, Disconnect and Reserved5 have a version of their own here.
class trvScene_api {
public:
    // Destroys the object (the file writer closes its file), and frees it as flags say.
    virtual void DeletingDestructor(unsigned int flags) = 0;                          // 0

    virtual void Reserved1() = 0;                                                     // 1
    virtual bool Render() = 0;                                                        // 2
    // Opens a live session with a renderer on host:port; a file has no connection.
    virtual bool Connect(const char* host, int port, int n)                           // 3
    {
        (void)host; (void)port; (void)n;
        return false;
    }
    virtual bool Disconnect() { return false; }                                       // 4
    virtual bool Reserved5(std::uint32_t a, std::uint32_t b, std::uint32_t c)         // 5
    {
        (void)a; (void)b; (void)c;
        return false;
    }

    // Placement of the open group, object or camera.
    virtual void Transform(const double m[16], bool set) = 0;                         // 6
    virtual void Scale(const double* x, const double* y, const double* z) = 0;        // 7
    virtual void Rotate(const double* x, const double* y, const double* z) = 0;       // 8
    virtual void Translate(const double* x, const double* y, const double* z) = 0;    // 9
    virtual void Motion(const double m[16], float time) = 0;                          // 10

    // Groups, frames and matrix definitions.
    virtual bool BeginGroup(const char* name, bool place) = 0;                        // 11
    virtual void EndGroup() = 0;                                                      // 12
    virtual bool BeginFrame(int frame) = 0;                                           // 13
    virtual void EndFrame() = 0;                                                      // 14
    virtual bool BeginMatrixDefinition(const char* name) = 0;                         // 15
    virtual void EndMatrixDefinition() = 0;                                           // 16
    virtual std::uint32_t Reserved17(std::uint32_t x) = 0;                            // 17

    // Top-level blocks.
    virtual bool BeginOptions() = 0;                                                  // 18
    virtual void EndOptions() = 0;                                                    // 19
    virtual bool BeginCamera(const char* name) = 0; // name may be null              // 20
    virtual void EndCamera() = 0;                                                     // 21
    virtual bool ModifyCamera(const char* name) = 0;                                  // 22
    virtual bool BeginImage() = 0;                                                    // 23
    virtual void EndImage() = 0;                                                      // 24
    virtual bool BeginOutput(const char* a, const char* b, const char* c) = 0;        // 25
    virtual void EndOutput() = 0;                                                     // 26

    // Objects and lights.
    virtual bool BeginObject(const char* name, bool place) = 0;                       // 27
    virtual void EndObject() = 0;                                                     // 28
    virtual void SetObjectFlag(std::uint32_t mask, bool on) = 0;                      // 29
    virtual std::uint32_t Reserved30(std::uint32_t x) = 0;                            // 30
    virtual bool ModifyObject(const char* name) = 0;                                  // 31
    virtual void Reserved32(std::uint32_t a, std::uint32_t b) = 0;                    // 32
    virtual bool BeginLight(const char* name, std::uint32_t x) = 0;                   // 33
    virtual bool ModifyLight(const char* name) = 0;                                   // 34
    virtual void EndLight() = 0;                                                      // 35
    virtual void SetGlobalPhotons(int count) = 0;                                     // 36
    virtual void SetCausticPhotons(int count) = 0;                                    // 37
    virtual void SetVolumePhotons(int count) = 0;                                     // 38

    // Geometry, accelerators, instances and animations.
    virtual bool BeginGeometryDefinition(const char* name, const char* type) = 0;     // 39
    virtual bool BeginGeometry(const char* type) = 0;                                 // 40
    virtual void EndGeometry() = 0;                                                   // 41
    virtual std::uint32_t Reserved42() = 0;                                           // 42
    virtual bool BeginAccel(const char* name) = 0;                                    // 43
    virtual void EndAccel() = 0;                                                      // 44
    virtual bool Reserved45(std::uint32_t x) = 0;                                     // 45
    virtual void Reserved46() = 0;                                                    // 46
    virtual bool PlaceInstance(const char* name) = 0;                                 // 47
    virtual bool BeginAnimation(const char* type, const char* name) = 0;              // 48
    virtual void EndAnimation() = 0;                                                  // 49

    // Materials and shaders.
    virtual bool BeginMaterial(const char* name, bool place) = 0;                     // 50
    virtual bool UseMaterial(const char* name, std::uint32_t x) = 0;                  // 51
    virtual void EndMaterial() = 0;                                                   // 52
    virtual void BindShader(int kind, ShaderBuffer* buffer) = 0;                      // 53
    virtual bool ModifyMaterial(const char* name) = 0;                                // 54
    // name may be null: the shader is then captured in a new ShaderBuffer.
    virtual bool BeginShader(const char* name, const char* type) = 0;                 // 55
    virtual void EndShader(std::uint32_t x) = 0;                                      // 56
    virtual bool Reserved57(std::uint32_t x) = 0;                                     // 57
    virtual ShaderBuffer* CurrentShaderBuffer() = 0;                                  // 58
    virtual void PushShaderBuffer() = 0;                                              // 59
    virtual void PopShaderBuffer() = 0;                                               // 60

    // Load blocks, attributes, raw text and output settings.
    virtual bool BeginLoad(const char* name) = 0;                                     // 61
    virtual void EndLoad() = 0;                                                       // 62
    virtual void SetAttribute(const char* name, const char* value) = 0;               // 63
    virtual void WriteRaw(const char* format, ...) VISTREL_PRINTF_FORMAT(2, 3) = 0;   // 64
    virtual std::uint32_t SetOutputMode(std::uint32_t flags, std::uint32_t x) = 0;    // 65
    virtual void Reserved66(std::uint32_t x) = 0;                                     // 66
    virtual void ReportProgress(const char* name, float value) = 0;                   // 67
    virtual void SetIcon(const void* data, int length) = 0;                           // 68
    virtual void SetBinaryValue(const char* key, const void* data, int length) = 0;   // 69
    virtual void SetId(std::uint32_t id) = 0;                                         // 70
    virtual void SetFlags(std::uint32_t flags) = 0;                                   // 71

    // Parameters and arrays.
    virtual bool SetParameter(const char* name, SceneValueType type, const void* value) = 0; // 72
    virtual bool SetShaderParameter(const char* name, ShaderBuffer* buffer) = 0;      // 73
    virtual void AddArrayElement(SceneValueType type, const void* value) = 0;         // 74
    virtual std::uint32_t Reserved75() = 0;                                           // 75
    virtual bool BeginArray(const char* name) = 0;                                    // 76
    virtual void EndArray() = 0;                                                      // 77
    virtual std::uint32_t Reserved78(std::uint32_t x) = 0;                            // 78

protected:
    ~trvScene_api() = default;
};
