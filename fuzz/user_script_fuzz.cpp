// The scripted user's file and the steps it holds: any text either parses into steps or is
// refused with a message, without a crash, overrun or leak.
#include <cstddef>
#include <cstdint>
#include <string>

#include "simhost/model/world.h"
#include "simhost/model_change.h"
#include "simhost/user_script.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    sim::UserScript script;
    std::string error;
    if (!script.Parse(std::string(reinterpret_cast<const char*>(data), size), error)) return 0;
    // Model changes are handed to the world as the host does between commands.
    sim::World world;
    world.models.resize(1);
    world.models[0].name = "CAR";
    world.models[0].type = sim::ModelType::Assembly;
    while (const sim::ScriptStep* step = script.Next()) {
        if (step->question == sim::Question::ModelChange) sim::ApplyModelChange(world, step->change, error);
        step->Describe();
        script.Take();
    }
    return 0;
}
