// The holder of the open scene output inside the plug-in object: the scene file of a running
// Export and the scene interface in use (the file writer, or the live scene object).
// Minimal for now; grows with the camera and session operations.
#pragma once

#include <cstdio>

class trvScene_api;

class SceneBuilder {
public:
    trvScene_api* GetSceneApi() const { return api; }

    FILE* file = nullptr;        // the scene file of a running Export, else null
    trvScene_api* api = nullptr; // the scene output in use; owned by the road or the live-link library
};
