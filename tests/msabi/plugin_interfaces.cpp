// The live-link library's classes as the plug-in's headers declare them, and the stand-in
// library's tables as classes whose operations stand in the order of their places (the tables'
// own static_asserts hold each place to that order), for clang to lay out as our compilers do
// (check_vtable_layouts.cmake).
#include "link/live_link_interface.h"
#include "renderer/live_link_tables.h"
#include "scene/scene_api.h"

#define PLACES_OPERATION(place, answer, name, parameters) virtual answer name parameters = 0;
struct ScenePlaces {
    VISTREL_SCENE_OPERATIONS(PLACES_OPERATION)
};
struct FactoryPlaces {
    VISTREL_FACTORY_OPERATIONS(PLACES_OPERATION)
};
struct ListerPlaces {
    VISTREL_LISTER_OPERATIONS(PLACES_OPERATION)
};

// A call through each class makes clang lay it out.
void LayOut(trvScene_api& scene, LiveLinkFactory& factory, InstanceLister& lister,
            ScenePlaces& scenePlaces, FactoryPlaces& factoryPlaces, ListerPlaces& listerPlaces)
{
    scene.Reserved1();
    factory.CreateSceneApi();
    lister.Close();
    scenePlaces.Reserved1();
    factoryPlaces.CreateSceneApi();
    listerPlaces.Close();
}
