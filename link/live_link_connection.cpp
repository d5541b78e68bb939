#include "link/live_link_connection.h"

bool ConnectLiveLink(bool, int, int*, SceneBuilder*, unsigned)
{
    // Not built yet
    return false;
}
