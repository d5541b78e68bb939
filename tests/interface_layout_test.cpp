// The places of the scene interface, the live-link factory and the instance lister in this
// build, held to the tables of the renderer's library (renderer/live_link_tables.h). A probe
// implements each interface, every operation recording the place the table gives its name.
// The test reads the probe's table as raw function pointers and calls entry N as a plain
// function of the library's calling convention (thiscall; cdecl for WriteRaw): the operation
// that answers must be the one of place N, and it must see its object. A header that gives the
// destructor two slots, or moves any operation, fails here whatever our compiler agrees with.
#include <gtest/gtest.h>

#include "renderer/live_link_tables.h"

namespace {

int calledPlace = -1;
const void* calledObject = nullptr;

template <typename Answer>
Answer Record(int place, const void* object)
{
    calledPlace = place;
    calledObject = object;
    return Answer();
}

#define PROBE_OPERATION(place, answer, name, parameters) \
    answer name parameters override { return Record<answer>(place, this); }

class SceneProbe final : public trvScene_api {
public:
    VISTREL_SCENE_OPERATIONS(PROBE_OPERATION)
};
class FactoryProbe final : public LiveLinkFactory {
public:
    VISTREL_FACTORY_OPERATIONS(PROBE_OPERATION)
};
class ListerProbe final : public InstanceLister {
public:
    VISTREL_LISTER_OPERATIONS(PROBE_OPERATION)
};

// Calls a table entry with zero arguments of the operation's parameter types.
template <typename Signature>
struct ZeroCall;
template <typename Answer, typename... Parameters>
struct ZeroCall<Answer(Parameters...)> {
    template <typename Function>
    static void Run(Function entry, void* object) { entry(object, Parameters()...); }
};
template <typename Answer, typename... Parameters>
struct ZeroCall<Answer(Parameters..., ...)> : ZeroCall<Answer(Parameters...)> {};

// The place of the operation that answers entry, and whether it saw object.
template <typename Signature, typename Function>
int PlaceAnswering(Function entry, void* object)
{
    calledPlace = -1;
    calledObject = nullptr;
    ZeroCall<Signature>::Run(entry, object);
    return calledObject == object ? calledPlace : -2;
}

#define EXPECT_AT_PLACE(Table, object, place, answer, name, parameters)                     \
    EXPECT_EQ(PlaceAnswering<answer parameters>(TableOf<Table>(object).name, object), place) \
        << #name;

TEST(InterfaceLayout, EveryOperationAnswersFromItsPlaceInTheLibrarysTable)
{
    SceneProbe sceneProbe;
    FactoryProbe factoryProbe;
    ListerProbe listerProbe;
    void* scene = static_cast<trvScene_api*>(&sceneProbe);
    void* factory = static_cast<LiveLinkFactory*>(&factoryProbe);
    void* lister = static_cast<InstanceLister*>(&listerProbe);
#define EXPECT_SCENE_PLACE(...) EXPECT_AT_PLACE(SceneTable, scene, __VA_ARGS__)
#define EXPECT_FACTORY_PLACE(...) EXPECT_AT_PLACE(FactoryTable, factory, __VA_ARGS__)
#define EXPECT_LISTER_PLACE(...) EXPECT_AT_PLACE(ListerTable, lister, __VA_ARGS__)
    VISTREL_SCENE_OPERATIONS(EXPECT_SCENE_PLACE)
    VISTREL_FACTORY_OPERATIONS(EXPECT_FACTORY_PLACE)
    VISTREL_LISTER_OPERATIONS(EXPECT_LISTER_PLACE)
}

}  // namespace
