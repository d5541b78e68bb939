// The places of the scene interface, the live-link factory and the instance lister in this
// build, held to the tables of the renderer's library (renderer/live_link_tables.h), and what
// crosses them. A probe implements each interface, every operation recording the place the
// table gives its name, its object and its arguments, and answering a value of its own. The
// test calls entry N of the probe's table as a plain function of the library's calling
// convention (thiscall; cdecl for WriteRaw) with a distinctive value for each parameter: the
// operation of place N must answer, see its object and every value, and its answer come back.
#include <gtest/gtest.h>

#include <cstdarg>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>
#include <type_traits>
#include <utility>
#include <vector>

#include "renderer/live_link_tables.h"

namespace {

// What the operation called last saw; the values as their bits, so that every kind compares.
struct Seen {
    int place = -1;
    const void* object = nullptr;
    std::vector<std::uint64_t> values;
    std::string text;  // what WriteRaw formatted
} seen;

template <typename T>
std::uint64_t Bits(T value)
{
    std::uint64_t bits = 0;
    if constexpr (std::is_pointer_v<T>) {
        bits = reinterpret_cast<std::uintptr_t>(value);
    } else {
        std::memcpy(&bits, &value, sizeof value);
    }
    return bits;
}

// The value of each parameter kind at each position (0 to 2; answers take 3), different from
// its neighbours', so that a value read from another place shows.
template <typename T>
struct Kind {};
constexpr int kAnswerPosition = 3;
bool Sample(Kind<bool>, int) { return true; }
int Sample(Kind<int>, int position) { return -1000 - position; }
std::uint32_t Sample(Kind<std::uint32_t>, int position) { return 0xC0DE0001u + position; }
float Sample(Kind<float>, int position) { return 1.375f + position; }
SceneValueType Sample(Kind<SceneValueType>, int position)
{
    return static_cast<SceneValueType>(0x8001 + position);
}
template <typename T>
T* Sample(Kind<T*>, int position)
{
    alignas(double) static char storage[kAnswerPosition + 1][16];
    return reinterpret_cast<T*>(storage[position]);
}

template <typename Interface>
class ProbeRoot : public Interface {
protected:
    template <typename Answer, typename... Values>
    Answer Record(int place, Values... values)
    {
        seen = {place, static_cast<Interface*>(this), {Bits(values)...}, ""};
        if constexpr (!std::is_void_v<Answer>) return Sample(Kind<Answer>(), kAnswerPosition);
    }
    void RecordFormatted(int place, const char* format, va_list rest)
    {
        Record<void>(place, format);
        char text[64];
        std::vsnprintf(text, sizeof text, format, rest);
        seen.text = text;
    }
};

// One operation of a probe on top of Base: a class template per operation, so that its
// parameters, however many, have a name to be recorded by.
#define PROBE_LAYER(place, answer, name, parameters)                   \
    template <typename Base, typename Signature>                       \
    struct name##Layer;                                                \
    template <typename Base, typename Answer, typename... Parameters>  \
    struct name##Layer<Base, Answer(Parameters...)> : Base {           \
        Answer name(Parameters... values) override                     \
        {                                                              \
            return Base::template Record<Answer>(place, values...);    \
        }                                                              \
    };                                                                 \
    template <typename Base>                                           \
    struct name##Layer<Base, void(const char*, ...)> : Base {          \
        void name(const char* format, ...) override                    \
        {                                                              \
            va_list rest;                                              \
            va_start(rest, format);                                    \
            Base::RecordFormatted(place, format, rest);                \
            va_end(rest);                                              \
        }                                                              \
    };                                                                 \
    template <typename Base>                                           \
    using name##Probe = name##Layer<Base, answer parameters>;
#define PROBE_NAME(place, answer, name, parameters) , name##Probe

// Root with every layer of Layers on top of it.
template <typename Root, template <typename> class... Layers>
struct Stacked {
    using Type = Root;
};
template <typename Root, template <typename> class Layer, template <typename> class... Rest>
struct Stacked<Root, Layer, Rest...> {
    using Type = Layer<typename Stacked<Root, Rest...>::Type>;
};

namespace scene {
VISTREL_SCENE_OPERATIONS(PROBE_LAYER)
using Probe = Stacked<ProbeRoot<trvScene_api> VISTREL_SCENE_OPERATIONS(PROBE_NAME)>::Type;
}  // namespace scene
namespace factory {
VISTREL_FACTORY_OPERATIONS(PROBE_LAYER)
using Probe = Stacked<ProbeRoot<LiveLinkFactory> VISTREL_FACTORY_OPERATIONS(PROBE_NAME)>::Type;
}  // namespace factory
namespace lister {
VISTREL_LISTER_OPERATIONS(PROBE_LAYER)
using Probe = Stacked<ProbeRoot<InstanceLister> VISTREL_LISTER_OPERATIONS(PROBE_NAME)>::Type;
}  // namespace lister

// Calls entry with the value of each parameter: the operation of place must see them and its
// object, and its answer come back. WriteRaw gets a format and one argument of each kind.
template <typename Signature>
struct Crossing;
template <typename Answer, typename... Parameters>
struct Crossing<Answer(Parameters...)> {
    template <typename Function>
    static void Check(int place, Function entry, void* object)
    {
        Check(place, entry, object, std::index_sequence_for<Parameters...>());
    }
    template <typename Function, std::size_t... Positions>
    static void Check(int place, Function entry, void* object, std::index_sequence<Positions...>)
    {
        seen = Seen();
        if constexpr (std::is_void_v<Answer>) {
            entry(object, Sample(Kind<Parameters>(), Positions)...);
        } else {
            EXPECT_EQ(Bits(entry(object, Sample(Kind<Parameters>(), Positions)...)),
                      Bits(Sample(Kind<Answer>(), kAnswerPosition)));
        }
        EXPECT_EQ(seen.place, place);
        EXPECT_EQ(seen.object, object);
        EXPECT_EQ(seen.values,
                  (std::vector<std::uint64_t>{Bits(Sample(Kind<Parameters>(), Positions))...}));
    }
};
template <>
struct Crossing<void(const char*, ...)> {
    template <typename Function>
    static void Check(int place, Function entry, void* object)
    {
        const char* format = "%d %u %g %s";
        seen = Seen();
        entry(object, format, -7, 4000000000u, -2.5e-300, "tail");
        EXPECT_EQ(seen.place, place);
        EXPECT_EQ(seen.object, object);
        EXPECT_EQ(seen.values, std::vector<std::uint64_t>{Bits(format)});
        EXPECT_EQ(seen.text, "-7 4000000000 -2.5e-300 tail");
    }
};

#define EXPECT_CROSSES(Table, object, place, answer, name, parameters)                  \
    {                                                                                   \
        SCOPED_TRACE(#name);                                                            \
        Crossing<answer parameters>::Check(place, TableOf<Table>(object).name, object); \
    }

TEST(InterfaceLayout, EveryOperationAnswersFromItsPlaceWithWhatItWasGiven)
{
    scene::Probe sceneProbe;
    factory::Probe factoryProbe;
    lister::Probe listerProbe;
    void* scene = static_cast<trvScene_api*>(&sceneProbe);
    void* factory = static_cast<LiveLinkFactory*>(&factoryProbe);
    void* lister = static_cast<InstanceLister*>(&listerProbe);
#define EXPECT_SCENE_CROSSES(...) EXPECT_CROSSES(SceneTable, scene, __VA_ARGS__)
#define EXPECT_FACTORY_CROSSES(...) EXPECT_CROSSES(FactoryTable, factory, __VA_ARGS__)
#define EXPECT_LISTER_CROSSES(...) EXPECT_CROSSES(ListerTable, lister, __VA_ARGS__)
    VISTREL_SCENE_OPERATIONS(EXPECT_SCENE_CROSSES)
    VISTREL_FACTORY_OPERATIONS(EXPECT_FACTORY_CROSSES)
    VISTREL_LISTER_OPERATIONS(EXPECT_LISTER_CROSSES)
}

}  // namespace
