// The tables of the live-link library's objects as the renderer's compiler (Microsoft's, 32-bit)
// lays them out: an object starts with a pointer to its table of function pointers, one per
// operation at its place; place 0 of the scene object and of the factory is the deleting
// destructor with its flag; every operation is thiscall, except the variadic WriteRaw (cdecl).
//
// The places are written down here on their own, not taken from scene/scene_api.h or
// link/live_link_interface.h: the stand-in library's Windows objects are built from these
// tables, so a plug-in whose interface headers moved an operation calls the wrong entry, and
// the layout test holds those headers to these places.
#pragma once

#include <cstddef>
#include <cstdint>

#include "link/live_link_interface.h"
#include "scene/scene_api.h"

#if defined(_WIN32) && defined(__i386__)
#define VISTREL_THISCALL __attribute__((thiscall))
#else
#define VISTREL_THISCALL
#endif

// The operations of the scene object, place by place: X(place, answer, name, (parameters)).
#define VISTREL_SCENE_OPERATIONS(X)                                                   \
    X(0, void, DeletingDestructor, (unsigned int))                                    \
    X(1, void, Reserved1, ())                                                         \
    X(2, bool, Render, ())                                                            \
    X(3, bool, Connect, (const char*, int, int))                                      \
    X(4, bool, Disconnect, ())                                                        \
    X(5, bool, Reserved5, (std::uint32_t, std::uint32_t, std::uint32_t))              \
    X(6, void, Transform, (const double*, bool))                                      \
    X(7, void, Scale, (const double*, const double*, const double*))                  \
    X(8, void, Rotate, (const double*, const double*, const double*))                 \
    X(9, void, Translate, (const double*, const double*, const double*))              \
    X(10, void, Motion, (const double*, float))                                       \
    X(11, bool, BeginGroup, (const char*, bool))                                      \
    X(12, void, EndGroup, ())                                                         \
    X(13, bool, BeginFrame, (int))                                                    \
    X(14, void, EndFrame, ())                                                         \
    X(15, bool, BeginMatrixDefinition, (const char*))                                 \
    X(16, void, EndMatrixDefinition, ())                                              \
    X(17, std::uint32_t, Reserved17, (std::uint32_t))                                 \
    X(18, bool, BeginOptions, ())                                                     \
    X(19, void, EndOptions, ())                                                       \
    X(20, bool, BeginCamera, (const char*))                                           \
    X(21, void, EndCamera, ())                                                        \
    X(22, bool, ModifyCamera, (const char*))                                          \
    X(23, bool, BeginImage, ())                                                       \
    X(24, void, EndImage, ())                                                         \
    X(25, bool, BeginOutput, (const char*, const char*, const char*))                 \
    X(26, void, EndOutput, ())                                                        \
    X(27, bool, BeginObject, (const char*, bool))                                     \
    X(28, void, EndObject, ())                                                        \
    X(29, void, SetObjectFlag, (std::uint32_t, bool))                                 \
    X(30, std::uint32_t, Reserved30, (std::uint32_t))                                 \
    X(31, bool, ModifyObject, (const char*))                                          \
    X(32, void, Reserved32, (std::uint32_t, std::uint32_t))                           \
    X(33, bool, BeginLight, (const char*, std::uint32_t))                             \
    X(34, bool, ModifyLight, (const char*))                                           \
    X(35, void, EndLight, ())                                                         \
    X(36, void, SetGlobalPhotons, (int))                                              \
    X(37, void, SetCausticPhotons, (int))                                             \
    X(38, void, SetVolumePhotons, (int))                                              \
    X(39, bool, BeginGeometryDefinition, (const char*, const char*))                  \
    X(40, bool, BeginGeometry, (const char*))                                         \
    X(41, void, EndGeometry, ())                                                      \
    X(42, std::uint32_t, Reserved42, ())                                              \
    X(43, bool, BeginAccel, (const char*))                                            \
    X(44, void, EndAccel, ())                                                         \
    X(45, bool, Reserved45, (std::uint32_t))                                          \
    X(46, void, Reserved46, ())                                                       \
    X(47, bool, PlaceInstance, (const char*))                                         \
    X(48, bool, BeginAnimation, (const char*, const char*))                           \
    X(49, void, EndAnimation, ())                                                     \
    X(50, bool, BeginMaterial, (const char*, bool))                                   \
    X(51, bool, UseMaterial, (const char*, std::uint32_t))                            \
    X(52, void, EndMaterial, ())                                                      \
    X(53, void, BindShader, (int, ShaderBuffer*))                                     \
    X(54, bool, ModifyMaterial, (const char*))                                        \
    X(55, bool, BeginShader, (const char*, const char*))                              \
    X(56, void, EndShader, (std::uint32_t))                                           \
    X(57, bool, Reserved57, (std::uint32_t))                                          \
    X(58, ShaderBuffer*, CurrentShaderBuffer, ())                                     \
    X(59, void, PushShaderBuffer, ())                                                 \
    X(60, void, PopShaderBuffer, ())                                                  \
    X(61, bool, BeginLoad, (const char*))                                             \
    X(62, void, EndLoad, ())                                                          \
    X(63, void, SetAttribute, (const char*, const char*))                             \
    X(64, void, WriteRaw, (const char*, ...))                                         \
    X(65, std::uint32_t, SetOutputMode, (std::uint32_t, std::uint32_t))               \
    X(66, void, Reserved66, (std::uint32_t))                                          \
    X(67, void, ReportProgress, (const char*, float))                                 \
    X(68, void, SetIcon, (const void*, int))                                          \
    X(69, void, SetBinaryValue, (const char*, const void*, int))                      \
    X(70, void, SetId, (std::uint32_t))                                               \
    X(71, void, SetFlags, (std::uint32_t))                                            \
    X(72, bool, SetParameter, (const char*, SceneValueType, const void*))             \
    X(73, bool, SetShaderParameter, (const char*, ShaderBuffer*))                     \
    X(74, void, AddArrayElement, (SceneValueType, const void*))                       \
    X(75, std::uint32_t, Reserved75, ())                                              \
    X(76, bool, BeginArray, (const char*))                                            \
    X(77, void, EndArray, ())                                                         \
    X(78, std::uint32_t, Reserved78, (std::uint32_t))

// The operations of the factory and of the instance lister, in the same form.
#define VISTREL_FACTORY_OPERATIONS(X)                 \
    X(0, void, DeletingDestructor, (unsigned int))    \
    X(1, trvScene_api*, CreateSceneApi, ())           \
    X(2, InstanceLister*, GetInstanceLister, ())
#define VISTREL_LISTER_OPERATIONS(X)                  \
    X(0, const char*, GetInstancesText, ())           \
    X(1, bool, Reserved2, ())                         \
    X(2, bool, IsOpen, ())                            \
    X(3, void, Close, ())

// The table entry of an operation of signature Signature, called on the object at its first
// argument: thiscall, or cdecl when the operation is variadic.
template <typename Signature>
struct TableEntry;
template <typename Answer, typename... Parameters>
struct TableEntry<Answer(Parameters...)> {
    using Type = Answer(VISTREL_THISCALL*)(void* object, Parameters...);
};
template <typename Answer, typename... Parameters>
struct TableEntry<Answer(Parameters..., ...)> {
    using Type = Answer (*)(void* object, Parameters..., ...);
};

#define VISTREL_TABLE_FIELD(place, answer, name, parameters) \
    TableEntry<answer parameters>::Type name;
#define VISTREL_TABLE_PLACE(table, place, name) \
    static_assert(offsetof(table, name) == (place) * sizeof(void*), #name " stands at its place");

struct SceneTable {
    VISTREL_SCENE_OPERATIONS(VISTREL_TABLE_FIELD)
};
struct FactoryTable {
    VISTREL_FACTORY_OPERATIONS(VISTREL_TABLE_FIELD)
};
struct ListerTable {
    VISTREL_LISTER_OPERATIONS(VISTREL_TABLE_FIELD)
};

#define VISTREL_SCENE_PLACE(place, answer, name, parameters) \
    VISTREL_TABLE_PLACE(SceneTable, place, name)
#define VISTREL_FACTORY_PLACE(place, answer, name, parameters) \
    VISTREL_TABLE_PLACE(FactoryTable, place, name)
#define VISTREL_LISTER_PLACE(place, answer, name, parameters) \
    VISTREL_TABLE_PLACE(ListerTable, place, name)
VISTREL_SCENE_OPERATIONS(VISTREL_SCENE_PLACE)
VISTREL_FACTORY_OPERATIONS(VISTREL_FACTORY_PLACE)
VISTREL_LISTER_OPERATIONS(VISTREL_LISTER_PLACE)
static_assert(sizeof(SceneTable) == 79 * sizeof(void*), "79 scene operations");
static_assert(sizeof(FactoryTable) == 3 * sizeof(void*), "3 factory operations");
static_assert(sizeof(ListerTable) == 4 * sizeof(void*), "4 lister operations");

// The table at the start of an object, read as the library's compiler lays it out.
template <typename Table>
const Table& TableOf(const void* object)
{
    return **static_cast<const Table* const*>(object);
}
