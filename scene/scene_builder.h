// The holder of the open scene output inside the plug-in object: the scene file of a running
// Export and the scene interface in use (the file writer during an Export, the live scene
// object of the renderer's live-link library during Render and Update). Everything that writes
// scene content reaches the output through GetSceneApi() or the composite operations here,
// and never knows which of the two it is.
//
// The builder owns neither: the Export road deletes the writer (which closes the file) and
// clears both fields; the live object belongs to the live-link library. No operation reads an
// answer of the interface, and all but CloseSession need api to be set.
#pragma once

#include <cstdio>

class trvScene_api;

class SceneBuilder {
public:
    trvScene_api* GetSceneApi() const { return api; }

    // A placed group (not a definition) named name, and its end. OpenGroup passes back
    // BeginGroup's answer.
    bool OpenGroup(const char* name);
    void CloseGroup();

    // Opens a camera block named cameraName that carries the renderer's environment map as its
    // "reflection map" parameter. The map's shader is captured and closed before the camera
    // opens; the camera stays open for the setters below and the caller's own parameters.
    void BeginCameraWithEnvironment(const char* cameraName);
    // The camera's standard parameters: "position", "direction" and "up" as three doubles,
    // "fov" as a float.
    void SetCameraPosition(float x, float y, float z);
    void SetCameraDirection(float x, float y, float z);
    void SetCameraUp(float x, float y, float z);
    void SetCameraFov(float fov);
    void FinishCamera();

    // Ends a live session: Disconnect() on the live object, then unloads the live-link library,
    // which ends the object. Nothing (and no unload) while api is null. api is left as it is;
    // the next road sets it again before any use.
    void CloseSession();

    FILE* file = nullptr;        // the scene file of a running Export, else null
    trvScene_api* api = nullptr; // the scene output in use; owned by the road or the live-link library
};
