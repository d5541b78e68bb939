#include "link/live_link_connection.h"

#include <algorithm>
#include <iterator>

#include "hostcall/on_exit.h"
#include "link/instance_list.h"
#include "link/link_sleep.h"
#include "link/live_link_loader.h"
#include "link/live_link_port.h"
#include "link/renderer_launch.h"
#include "scene/scene_api.h"
#include "scene/scene_builder.h"

namespace {

const char kLoopback[] = "127.0.0.1";
// How long a renderer that was just started is given to show up in the instance list.
constexpr int kStartPolls = 20;
constexpr std::uint32_t kPollMilliseconds = 1000;
// Connect's third argument for a renderer that was already running.
constexpr int kRunningRenderer = 1;

// One connection attempt: the live scene object, the lister, the major version asked for, and
// where the port of a successful connection goes.
struct Attempt {
    trvScene_api* scene;
    InstanceLister* lister;
    int requiredMajor;
    int* lastPort;

    bool Connect(int port, int n) const
    {
        if (!scene->Connect(kLoopback, port, n)) return false;
        if (lastPort != nullptr) *lastPort = port;
        return true;
    }

    // The instances listed now into ports; false, leaving ports as they were, when there is no
    // lister or it gives no text.
    bool ListInstances(InstancePortSet& ports) const
    {
        const char* text = lister != nullptr ? lister->GetInstancesText() : nullptr;
        if (text == nullptr) return false;
        ports = ParseInstanceList(text, requiredMajor);
        return true;
    }
};

// A listed renderer: the one used last while it is still listed, else the highest port.
bool ReuseListed(const Attempt& attempt, const InstancePortSet& known, int lastPort)
{
    const int port = known.count(lastPort) != 0 ? lastPort : *known.rbegin();
    return attempt.Connect(port, kRunningRenderer);
}

// The registry's port when it was read (the maximum may be missing).
bool ConnectRegistryPort(const Attempt& attempt)
{
    int port = -1;
    int maxPort = -1;
    const int found = ReadLiveLinkPortRange(&port, &maxPort);
    return (found == 0 || found == -1) && attempt.Connect(port, kRunningRenderer);
}

// The registry's port as the last resort after a start: only when its whole range is recorded,
// first as a running renderer, then as the one just started.
bool ConnectRegistryFallback(const Attempt& attempt)
{
    int port = -1;
    int maxPort = -1;
    if (ReadLiveLinkPortRange(&port, &maxPort) != 0) return false;
    return attempt.Connect(port, kRunningRenderer) ||
           (port > 0 && attempt.Connect(port, attempt.requiredMajor));
}

// Polls the lister once a second for an instance not in known; answers the lowest new port,
// or -1 when none showed up.
int WaitForNewInstance(const Attempt& attempt, const InstancePortSet& known)
{
    InstancePortSet current;
    for (int poll = 0; poll < kStartPolls; ++poll) {
        LinkSleep(kPollMilliseconds);
        attempt.ListInstances(current);  // without a text the previous poll's list stays
        InstancePortSet fresh;
        std::set_difference(current.begin(), current.end(), known.begin(), known.end(),
                            std::inserter(fresh, fresh.end()));
        if (!fresh.empty()) return *fresh.begin();
    }
    return -1;
}

// Starts a renderer and connects to it once it is listed, else to the registry's port.
bool StartAndConnect(const Attempt& attempt, const InstancePortSet& known)
{
    if (!LaunchRenderer(attempt.requiredMajor)) return false;
    if (attempt.lister != nullptr) {
        const int port = WaitForNewInstance(attempt, known);
        if (port > 0) return attempt.Connect(port, attempt.requiredMajor);
    }
    return ConnectRegistryFallback(attempt);
}

LiveLink ConnectScene(bool reuse, const Attempt& attempt, int lastPort)
{
    InstancePortSet known;  // the instances that run before anything is started
    attempt.ListInstances(known);
    if (reuse && !known.empty())
        return ReuseListed(attempt, known, lastPort) ? LiveLink::RunningRenderer : LiveLink::None;
    if (reuse && ConnectRegistryPort(attempt)) return LiveLink::RunningRenderer;
    return StartAndConnect(attempt, known) ? LiveLink::StartedRenderer : LiveLink::None;
}

}  // namespace

LiveLink ConnectLiveLink(bool reuse, int requiredMajor, int* lastPort, SceneBuilder* builder,
                         unsigned sceneId)
{
    if (builder == nullptr) return LiveLink::None;
    builder->api = nullptr;
    builder->api = CreateLiveSceneApi();
    if (builder->api == nullptr) return LiveLink::None;
    builder->api->SetId(sceneId);

    const Attempt attempt{builder->api, CreateInstanceLister(), requiredMajor, lastPort};
    // Closed at the end of the attempt on every way out: a failure on the way (memory ran out
    // while the list was read) must not leave it open in the library.
    InstanceLister* lister = attempt.lister;
    const OnExit closeLister([lister] {
        if (lister != nullptr && lister->IsOpen()) lister->Close();
    });
    return ConnectScene(reuse, attempt, lastPort != nullptr ? *lastPort : -1);
}
