#include "renderer/tabled_objects.h"

#include <cstdarg>
#include <new>
#include <set>

#include "renderer/live_link_tables.h"
#include "renderer/live_scene.h"
#include "renderer/stand_in_objects.h"

namespace {

int strayFrees = 0;
// The addresses of the table objects made and not yet freed.
std::set<const void*>& LiveObjects()
{
    static std::set<const void*> live;
    return live;
}

// An object as the library's compiler lays it out: its table first, then the C++ object whose
// operations the table's entries call. Its memory is counted: the plug-in frees a factory
// through place 0, and it must go at the address it was made at.
template <typename Impl>
struct Tabled {
    explicit Tabled(const void* table) : table(table) {}

    static void* operator new(std::size_t size)
    {
        void* memory = ::operator new(size);
        try {
            LiveObjects().insert(memory);
        } catch (...) {
            ::operator delete(memory);
            throw;
        }
        return memory;
    }
    static void* operator new(std::size_t size, const std::nothrow_t&) noexcept
    {
        try {
            return operator new(size);
        } catch (...) {
            return nullptr;
        }
    }
    static void operator delete(void* memory) noexcept
    {
        // An address never made is counted and kept from the heap, which it would corrupt.
        if (LiveObjects().erase(memory) == 0) {
            ++strayFrees;
            return;
        }
        ::operator delete(memory);
    }
    static void operator delete(void* memory, const std::nothrow_t&) noexcept
    {
        operator delete(memory);
    }

    const void* table;
    Impl impl;
};

// The table entry of Impl's operation Method: a thiscall function on the Tabled<Impl> object.
template <typename Impl, auto Method>
struct Entry;
template <typename Impl, typename Answer, typename... Parameters,
          Answer (Impl::*Method)(Parameters...)>
struct Entry<Impl, Method> {
    static Answer VISTREL_THISCALL Call(void* object, Parameters... parameters)
    {
        return (static_cast<Tabled<Impl>*>(object)->impl.*Method)(parameters...);
    }
};

// Place 0: destroys the whole object, table and all, and frees it when flagged.
template <typename Impl>
struct DeletingDestructorEntry {
    static void VISTREL_THISCALL Call(void* object, unsigned int flags)
    {
        DestroyImplementation(static_cast<Tabled<Impl>*>(object), flags);
    }
};

using TabledScene = Tabled<LiveScene>;
using TabledLister = Tabled<StandInInstanceLister>;

template <>
struct Entry<LiveScene, &LiveScene::DeletingDestructor> : DeletingDestructorEntry<LiveScene> {};

// The variadic operation: cdecl, its arguments handed on as a list.
template <>
struct Entry<LiveScene, &LiveScene::WriteRaw> {
    static void Call(void* object, const char* format, ...)
    {
        va_list arguments;
        va_start(arguments, format);
        static_cast<TabledScene*>(object)->impl.WriteRawList(format, arguments);
        va_end(arguments);
    }
};

#define VISTREL_SCENE_ENTRY(place, answer, name, parameters) \
    &Entry<LiveScene, &LiveScene::name>::Call,
const SceneTable kSceneTable = {VISTREL_SCENE_OPERATIONS(VISTREL_SCENE_ENTRY)};

#define VISTREL_LISTER_ENTRY(place, answer, name, parameters) \
    &Entry<StandInInstanceLister, &StandInInstanceLister::name>::Call,
const ListerTable kListerTable = {VISTREL_LISTER_OPERATIONS(VISTREL_LISTER_ENTRY)};

// What the factory's entries call.
class TabledFactory {
public:
    trvScene_api* CreateSceneApi()
    {
        return reinterpret_cast<trvScene_api*>(scenes_.Add(&kSceneTable));
    }
    InstanceLister* GetInstanceLister() { return reinterpret_cast<InstanceLister*>(&lister_); }

private:
    SceneObjects<TabledScene> scenes_;
    TabledLister lister_{&kListerTable};
};

const FactoryTable kFactoryTable = {
    &DeletingDestructorEntry<TabledFactory>::Call,
    &Entry<TabledFactory, &TabledFactory::CreateSceneApi>::Call,
    &Entry<TabledFactory, &TabledFactory::GetInstanceLister>::Call,
};

}  // namespace

LiveLinkFactory* NewTabledFactory()
{
    return reinterpret_cast<LiveLinkFactory*>(new (std::nothrow)
                                                  Tabled<TabledFactory>(&kFactoryTable));
}

TabledObjectCount CountTabledObjects()
{
    return {static_cast<int>(LiveObjects().size()), strayFrees};
}
