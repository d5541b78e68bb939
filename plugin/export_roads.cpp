// The export roads: the current model to a scene file (Export), to a newly started renderer
// (Render) or to a running renderer (Update). The three share their shape and differ in the
// output, the header lines, the import options, the model group's flags and the run state they
// keep or empty.
#include <cstdint>
#include <cstdio>
#include <string>

#include "export/component_walk.h"
#include "export/simplified_rep.h"
#include "link/live_link_connection.h"
#include "platform/win32_wide.h"
#include "plugin/plugin_application.h"
#include "plugin/scene_file_output.h"
#include "plugin/scene_head.h"
#include "scene/scene_api.h"
#include "hostcall/host_callback_guard.h"
#include "hostcall/on_exit.h"

namespace {

constexpr unsigned kSceneId = 1;
constexpr int kRequiredRendererMajor = 5;
// Scene group flags of the model group of a live run.
constexpr std::uint32_t kLiveModelGroupFlags = 0x8000;
// The narrow model name of a road: the host's name has at most 31 characters.
constexpr int kModelNameSize = 260;

// The host's current model as a road needs it.
struct CurrentModel {
    ProMdl model = nullptr;
    ProMode mode = 0;
    std::string name;  // narrow: names the model group
};

// False when the host has no current model.
bool GetCurrentModel(CurrentModel& current) {
    if (ProMdlCurrentGet(&current.model) != PRO_TK_NO_ERROR) return false;
    ProName wide = {};
    ProMdlNameGet(current.model, wide);
    wide[PRO_NAME_SIZE - 1] = 0;
    ProModeCurrentGet(&current.mode);
    char narrow[kModelNameSize] = {};
    if (WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, Win32Wide(wide), -1, narrow,
                            kModelNameSize, nullptr, nullptr) == 0) {
        narrow[0] = 0;  // a name that does not convert names the group ""
    }
    narrow[kModelNameSize - 1] = 0;
    current.name = narrow;
    return true;
}

// The root record of a run's walk, with the run's own map of simplified-representation items.
ComponentVisitData RootRecord(SimprepItemMap& items, bool selectedInherited) {
    ComponentVisitData root;
    root.simprepItems = &items;
    root.selectedInherited = selectedInherited;
    return root;
}

// The common end of Render and Update once the live link stands: the road's head, the model
// group flagged as a live run's around the walk, then the end of the session, which is closed
// on every way out, also when the walk failed on the way.
void StreamModel(PluginApplication& app, ExportRoad road, CurrentModel& current,
                 ComponentVisitData& root) {
    SceneBuilder& builder = app.sceneBuilder;
    const OnExit endSession([&builder] { builder.CloseSession(); });
    trvScene_api& api = *builder.GetSceneApi();
    const PluginSettings& settings = app.settings;
    WriteSceneHead(api, road, settings.includeNURBS, settings.upAxis, app.metreScale);
    builder.OpenGroup(current.name.c_str());
    api.SetFlags(kLiveModelGroupFlags);
    app.ExportModel(&current.model, current.mode, &root, current.name);
    builder.CloseGroup();
}

// Runs a road. The solids written as instances are the walk's own and are forgotten after
// every road. A road that fails on the way (an exception: memory ran out, say) has by then
// given back what it held, its file or its live session; the component stamps are emptied as
// well, as the walk recorded components whose output never arrived, and the next Update must
// send them again. Answers whether the road ran to its end.
template <typename Road>
bool RunRoad(PluginApplication& app, Road road) {
    const bool ranToItsEnd = RunsToItsEnd(road);
    app.partInstanceRegistry.clear();
    if (!ranToItsEnd) app.componentVersionStamps.clear();
    return ranToItsEnd;
}

// The Export road; outcome tells how it ended. It turns to FileNotWritten as the road sets out
// to write the file, so that a failure from there on is told as a file that could not be
// written, and one before it as a plain failure.
void WriteSceneFile(PluginApplication& app, ExportOutcome& outcome) {
    const PluginSettings& settings = app.settings;
    outcome = ExportOutcome::EndedEarly;
    if (settings.promptForMechanism && !app.ShowAnimationDialog()) return;
    if (settings.exportPath.empty()) return;
    CurrentModel current;
    if (!GetCurrentModel(current)) return;
    app.metreScale = app.MetreScaleOfModel(current.model);

    SimprepItemMap simprepItems;
    ComponentVisitData root = RootRecord(simprepItems, false);
    if (current.mode == PRO_MODE_ASSEMBLY && !ChooseSimplifiedRep(&current.model, &root)) return;
    // Every component counts as changed and has its stamp recorded afresh.
    app.componentVersionStamps.clear();

    outcome = ExportOutcome::FileNotWritten;
    SceneBuilder& builder = app.sceneBuilder;
    SceneFileOutput output(builder, settings.exportPath);
    if (!output.IsOpen()) return;
    trvScene_api& api = *builder.GetSceneApi();
    WriteSceneHead(api, ExportRoad::Export, settings.includeNURBS, settings.upAxis,
                   app.metreScale);
    builder.OpenGroup(current.name.c_str());
    app.ExportModel(&current.model, current.mode, &root, current.name);
    builder.CloseGroup();
    if (output.Close()) outcome = ExportOutcome::Written;
}

void RenderRoad(PluginApplication& app) {
    app.animationFrames.clear();
    if (app.settings.promptForMechanism && !app.ShowAnimationDialog()) return;
    CurrentModel current;
    if (!GetCurrentModel(current)) return;
    app.metreScale = app.MetreScaleOfModel(current.model);

    SimprepItemMap simprepItems;
    ComponentVisitData root = RootRecord(simprepItems, false);
    if (current.mode == PRO_MODE_ASSEMBLY && !ChooseSimplifiedRep(&current.model, &root)) return;
    app.componentVersionStamps.clear();

    if (ConnectLiveLink(false, kRequiredRendererMajor, &app.lastLiveLinkPort, &app.sceneBuilder,
                        kSceneId) == LiveLink::None) {
        std::printf("Failed");
        return;
    }
    StreamModel(app, ExportRoad::Render, current, root);
}

void UpdateRoad(PluginApplication& app) {
    if (app.settings.promptForMechanism && !app.ShowAnimationDialog()) return;
    app.updateInProgress = true;
    const OnExit endUpdate([&app] { app.updateInProgress = false; });

    CurrentModel current;
    if (!GetCurrentModel(current)) return;
    app.metreScale = app.MetreScaleOfModel(current.model);

    // The pick of the previous Update is dropped whatever the mode; the host's array of the new
    // pick stays the host's.
    app.selectedComponents = nullptr;
    app.selectedComponentCount = 0;
    if (app.settings.selectionMode == 1 && current.mode == PRO_MODE_ASSEMBLY) {
        ProSelect("prt_or_asm", -1, nullptr, nullptr, nullptr, nullptr, &app.selectedComponents,
                  &app.selectedComponentCount);
    }
    SimprepItemMap simprepItems;
    ComponentVisitData root = RootRecord(
        simprepItems, PicksTopModel(app.selectedComponents, app.selectedComponentCount));
    if (current.mode == PRO_MODE_ASSEMBLY && !ChooseSimplifiedRep(&current.model, &root)) return;
    // The version stamps are kept: the walk compares each component with the previous run. A
    // renderer that the Update had to start holds nothing of the model, so there every
    // component counts as changed and is sent whole, as by a Render.
    const LiveLink link = ConnectLiveLink(true, kRequiredRendererMajor, &app.lastLiveLinkPort,
                                          &app.sceneBuilder, kSceneId);
    if (link == LiveLink::None) return;
    if (link == LiveLink::StartedRenderer) app.componentVersionStamps.clear();
    StreamModel(app, ExportRoad::Update, current, root);
}

}  // namespace

ExportOutcome PluginApplication::ExportToSceneFile() {
    ExportOutcome outcome = ExportOutcome::Failed;
    if (RunRoad(*this, [this, &outcome] { WriteSceneFile(*this, outcome); })) return outcome;
    return outcome == ExportOutcome::FileNotWritten ? outcome : ExportOutcome::Failed;
}

// A live road that fails on the way says so on the console, as Render does when it makes no
// link.
void PluginApplication::RenderOverLiveLink() {
    if (!RunRoad(*this, [this] { RenderRoad(*this); })) std::printf("Failed");
}

void PluginApplication::UpdateOverLiveLink() {
    if (!RunRoad(*this, [this] { UpdateRoad(*this); })) std::printf("Failed");
}
