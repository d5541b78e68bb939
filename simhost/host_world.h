// The simulated host's session: the models loaded from the model file and what is current.
// Toolkit functions of every group reach it here.
#pragma once

namespace sim {

struct World;  // simhost/model/world.h

// The session's world; valid from the loading of the model file to the end of the program.
World& HostWorld();

}  // namespace sim
