// The user's settings: the eight values that the settings file keeps, and nothing else.
#pragma once

#include <cstdint>
#include <string>

struct PluginSettings {
    // 0 (coarse) to 1 (fine); drives the chord height of the tessellation. Not clamped here.
    double tessellationQuality = 0.2;
    // Up axis of the model: 0 x, 1 y, 2 z, 3 -x, 4 -y, 5 -z. Not checked here.
    int32_t upAxis = 1;
    // 0 automatic, 1 manual: in manual mode an Update on an assembly first asks for components.
    int32_t selectionMode = 0;
    // Export, Render and Update first ask for a frame file.
    bool promptForMechanism = false;
    // The scene file of the last Export; seeds the save dialog.
    std::u16string exportPath;
    // The frame file chosen last.
    std::u16string fraPath;
    // Write NURBS surfaces beside the meshes.
    bool includeNURBS = true;
    // Material names carry the part's name.
    bool separateMaterials = true;
};
