#include "simhost/host_world.h"

#include "simhost/model/world.h"

namespace sim {

World& HostWorld() {
    static World world;
    return world;
}

}  // namespace sim
