// A live scene object connected to a running renderer, for the Render and Update roads.
#pragma once

class SceneBuilder;

// What a connection attempt made of the builder's live scene object.
enum class LiveLink {
    None,             // not connected
    RunningRenderer,  // connected to a renderer that ran before the attempt
    StartedRenderer,  // connected after the attempt started a renderer: it holds no scene yet
};

// Puts a new live scene object into builder and connects it to a renderer on "127.0.0.1".
// With reuse (Update) a listed renderer is reused: the one on *lastPort when it is still
// listed, else the listed one with the highest port; with none listed, the registry's port and
// then a renderer started as without reuse. Without reuse (Render) a renderer is started and
// the call waits, up to 20 polls one second apart, for a new instance to be listed, falling
// back to the registry's port. requiredMajor is the renderer's lowest acceptable major version,
// sceneId goes to the object's SetId first.
//
// Answers whether builder holds a connected object, and to which renderer: one connected after
// the call started a renderer (by the new instance, or by the registry's port after the start)
// counts as started. *lastPort is then its port. On None builder still holds the object when
// one was made (the live-link library stays loaded), and nothing else changed but a renderer
// that may have been started.
LiveLink ConnectLiveLink(bool reuse, int requiredMajor, int* lastPort, SceneBuilder* builder,
                         unsigned sceneId);
