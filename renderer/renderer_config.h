// What the stand-in renderer is told by its installation and its environment.
//
// Its live-link ports come from the registry, as the plug-in reads them: the values
// "LiveLinkPort" and "LiveLinkMaxPort" of the current user's key "SOFTWARE\Tarvex\<version>",
// where <version> is the machine's "SOFTWARE\Tarvex" value "VistrelVersion" ("Vistrel 4"
// without it). Without "LiveLinkPort" the renderer uses 4000; without a usable maximum, the
// port alone. The rest comes from the environment, so that tests can run renderers side by
// side:
//   VISTREL_RENDERER_INSTANCES          the folder of the instance announcements
//   VISTREL_RENDERER_OUTPUT             where sessions are stored (default: the temporary folder)
//   VISTREL_RENDERER_IDLE_MS            how long it waits without a session before it ends (5000)
//   VISTREL_RENDERER_SESSION_TIMEOUT_MS how long a session may stay silent (60000)
//   VISTREL_RENDERER_MAX_SESSION_BYTES  the largest session it takes; a larger one is dropped
#pragma once

#include <cstdint>
#include <filesystem>

struct RendererConfig {
    int majorVersion = 5;
    int firstPort = 4000;
    int lastPort = 4000;
    std::filesystem::path instanceFolder;
    std::filesystem::path outputFolder;
    int idleMs = 5000;
    int sessionTimeoutMs = 60000;
    std::uint64_t maxSessionBytes = std::uint64_t{1} << 32;
};

RendererConfig ReadRendererConfig();

// The port range from the registry values, when read (null when missing): at most 1000 ports,
// all of them from 1 to 65535.
void ChoosePortRange(const std::uint32_t* port, const std::uint32_t* maxPort, int& first, int& last);
