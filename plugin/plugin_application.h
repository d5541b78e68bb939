// The plug-in object: all state of the plug-in, in one heap object behind one global pointer.
//
// It holds the user's settings, the identifiers of the six host commands, the scene builder
// through which an export reaches the open scene output, the state one run leaves for the next
// (component version stamps, animation frames, the manual selection, the last live-link port)
// and the working buffers of the geometry export. Everything runs on the host's thread: nothing
// is locked.
#pragma once

#include <cstdint>

#include "export/animation_frames.h"
#include "export/component_version_stamps.h"
#include "export/mesh_buffers.h"
#include "export/nurbs_surfaces.h"
#include "export/nurbs_trim_buffers.h"
#include "export/part_instance_registry.h"
#include "plugin/export_outcome.h"
#include "plugin/plugin_settings.h"
#include "scene/scene_builder.h"
#include "toolkit/pro_toolkit.h"

class PluginApplication {
public:
    // Sets the setting defaults, reads the settings file over them, then the run state.
    PluginApplication();

    PluginApplication(const PluginApplication&) = delete;
    PluginApplication& operator=(const PluginApplication&) = delete;

    // ---- Settings ----------------------------------------------------------------------------
    // The setters check nothing: values outside their range are stored as given.

    // Keeps the quality it replaces for RestoreTessellationQuality, at every call.
    void SetTessellationQuality(float quality);
    void RestoreTessellationQuality();
    void SetUpAxis(int32_t axis);
    // Also shows the mode on the two selection commands' icons; saves nothing.
    void SetSelectionMode(bool manual);
    void SetIncludeNURBS(bool include);
    void SetSeparateMaterials(bool separate);
    void SetPromptForMechanism(bool prompt);
    void SetExportPath(const ProWchar* path);
    void SetFraPath(const ProWchar* path);

    // A copy of the whole record, both paths included.
    PluginSettings GetSettings() const { return settings; }

    // The settings file in the current directory: the whole record is written, or read back
    // key by key. A file that is there but was not read (plugin/settings_file.h) holds the
    // user's settings, not the defaults in memory: from then on SaveSettings leaves it as it
    // is, and only SaveConfirmedSettings, after the user confirmed every value in the settings
    // dialog, writes over it (and lets SaveSettings write again).
    void SaveSettings();
    void SaveConfirmedSettings();
    void LoadSettings();

    // ---- Run state ---------------------------------------------------------------------------

    bool IsUpdateInProgress() const { return updateInProgress; }
    bool IsManualSelection() const { return settings.selectionMode == 1; }
    ProSelection* GetSelectedComponents() const { return selectedComponents; }
    int32_t GetSelectedComponentCount() const { return selectedComponentCount; }
    SceneBuilder* GetSceneBuilder() { return &sceneBuilder; }

    // ---- Commands and roads ------------------------------------------------------------------

    // Registers the six host commands with their labels and icons.
    void RegisterCommands();
    // Sends the current model to a scene file, a new renderer, or a running renderer (whole,
    // when the Update had to start one). Nothing they throw leaves them: a road that fails on
    // the way (its animation dialog not shown included) gives back its file or session and
    // empties the component stamps; Render and Update then print "Failed" on the console.
    // ExportToSceneFile answers how the Export ended (plugin/export_outcome.h).
    ExportOutcome ExportToSceneFile();
    void RenderOverLiveLink();
    void UpdateOverLiveLink();
    // Reads the settings file again and runs the settings dialog; true when it was confirmed.
    // Throws DialogNotShown when the host could not make or show the dialog.
    bool ShowSettingsDialog();

    // ---- Model export: component walk, cameras and units (export/component_walk.cpp, export/cameras.cpp)

    // The model traversal of one run, inside the road's open model group: the cameras, then for
    // an assembly (mode 5) the walk of its components, then for a part or assembly (modes 1, 2,
    // 5) the top model's own surfaces. root is the road's record (export/component_walk.h), name
    // the top model's narrow name.
    void ExportModel(ProSolid* model, int mode, struct ComponentVisitData* root, std::string name);
    // One camera for the model's current view, then one per saved view, in the host's order.
    void ExportCameras(ProMdl& model);
    // How many of the model's length units make one metre; 1 for a unit it does not know.
    float MetreScaleOfModel(ProMdl model);

    // ---- Model export: surfaces, tessellation, materials, part instances (export/solid_geometry.cpp, ...)

    // Writes one solid's surfaces into the open scene as a group named name: when writeGeometry
    // is set the flags 0x400 and one object per material group (meshes, and NURBS objects when
    // chosen), then in every case the animation block of fullPath/localPath and the transform.
    // A solid without surfaces writes nothing.
    void ExportSolidGeometry(ProSolid solid, const ProAsmcomppath& fullPath,
                             const ProAsmcomppath& localPath, const std::string& name,
                             const ProMatrix transform, bool writeGeometry);
    // Writes key as one material block into the open object, after its geometry; partName is the
    // solid's narrow model name, which the material's name carries when separateMaterials is on.
    void WriteMaterial(const char* partName, const MaterialKey& key);
    // Whether the solid with this registry key (model name plus ".prt" or ".asm") is written as
    // instances.
    bool HasPartInstances(const std::string& key) const;
    // Writes the instance objects registered for key, each group and object named name; nothing
    // when key is not registered.
    void ExportSolidInstances(const std::string& key, const std::string& name);

    // ---- Model export: NURBS surfaces and trim loops (export/nurbs_surfaces.cpp, export/trim_loops.cpp)

    // Writes one object per interface surface that pairing pairs with hostSurface (whose host id
    // is hostSurfaceId): a "nurbs" geometry block with the B-spline surface and the trim loops of
    // hostSurface's contours, then the material of key. Objects are named modelName.
    // exportedSurfaceIds holds the ids of every surface grouped for the solid: an edge shared
    // with one of them gives its curve when it does not border hostSurface.
    void WriteNurbsObjects(const InterfacePairing& pairing, const std::set<int>& exportedSurfaceIds,
                           const char* modelName, ProSurface hostSurface, int hostSurfaceId,
                           const MaterialKey& key);
    // Into the open "nurbs" geometry block: the surface parameters "umin" to "Pw" of
    // interfaceSurface, nothing when the host cannot give it as a B-spline.
    void WriteNurbsSurface(ProSurfacedata* interfaceSurface);
    // Into the open "nurbs" geometry block: trimBuffers as the eight trim parameters, nothing
    // when it holds no loop.
    void WriteNurbsTrims();

    // ---- Model export: animation (export/animation.cpp)

    // Replaces animationFrames with the placements of an open frame file and frameCount with its
    // count (export/frame_file.h), dropping every component whose placements are all equal; no
    // file (null) leaves no frames and a count of 0. A read that fails on the way changes
    // neither. Reads from the start of the file; neither opens nor closes it.
    void ReadFrameFile(FILE* file);
    // Inside the component's open scene group: its "fbx_animation" block when animationFrames
    // holds placements for fullPath (each relative to the placement localPath gives now);
    // nothing otherwise.
    void WriteComponentAnimation(ProAsmcomppath fullPath, ProAsmcomppath localPath,
                                 const char* name);

    // ---- Dialogs: animation dialog (ui/animation_dialog.cpp)

    // Asks for the frame file of a mechanism animation; true when the user confirmed (the frames
    // are then those of the file named and the settings saved), false on Cancel or when no model
    // is current. Throws DialogNotShown (hostcall/host_dialog.h) when the host could not make or
    // show the dialog.
    bool ShowAnimationDialog();

    // ---- Members, in this order ----------------------------------------------------------------
    // Public: the export walk, the roads and the dialogs work on them directly, and the visit
    // callbacks among them are free functions.

    MeshBuffers meshBuffers;                    // merged mesh of the material group being written
    NurbsTrimBuffers trimBuffers;               // trim loops of the NURBS surface being written
    uiCmdCmdId renderCommandId = 0;             // the six commands, as RegisterCommands got them
    uiCmdCmdId exportCommandId = 0;
    uiCmdCmdId settingsCommandId = 0;
    uiCmdCmdId updateCommandId = 0;
    uiCmdCmdId manualCommandId = 0;             // its icon follows the selection mode
    uiCmdCmdId automaticCommandId = 0;          // likewise
    ComponentVersionStamps componentVersionStamps;  // per component path, as the last run saw it
    SceneBuilder sceneBuilder;                  // the scene output of the run under way
    double previousTessellationQuality = 0.0;  // what RestoreTessellationQuality puts back
    AnimationFrames animationFrames;            // placements per frame from the frame file
    int32_t frameCount = 0;                     // frames of the last frame file read
    bool updateInProgress = false;              // true while an Update runs
    int32_t lastLiveLinkPort = -1;              // renderer port of the last live run; -1 none
    ProSelection* selectedComponents = nullptr;  // last manual pick; the host's array
    int32_t selectedComponentCount = 0;
    int32_t FramesPerSecond = 25;               // frame rate of the animation blocks
    float metreScale = 1.0f;                    // model units per metre, set by every run
    PluginSettings settings;                    // the user's settings
    bool settingsFileUnread = false;            // a settings file is there that was not read
    PartInstanceRegistry partInstanceRegistry;  // solids written as instances; emptied each run

private:
    // The icons that show the selection mode on the two selection commands.
    void ShowSelectionModeIcons();
};

// The plug-in object, created on first use: every entry from the host goes through here.
// A failed allocation throws std::bad_alloc and stores nothing.
PluginApplication* GetPluginApplication();

// The plug-in object when there is one, else null; creates nothing.
PluginApplication* FindPluginApplication();

// Destroys the plug-in object when there is one; saves nothing.
void DestroyPluginApplication();
