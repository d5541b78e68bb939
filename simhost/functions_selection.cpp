// The user's picks: ProSelect of parts and sub-assemblies by their component paths (the top model
// itself among them), the paths read back from the picks, and the choice of a simplified
// representation. All are answered by the scripted user; a cancel answers PRO_TK_USER_ABORT.
#include "simhost/host_functions.h"
#include "simhost/host_session.h"
#include "simhost/host_world.h"
#include "simhost/model/world.h"
#include "simhost/model_handles.h"

namespace sim {
namespace {

using Json = nlohmann::ordered_json;

std::string PathText(const std::vector<int>& path) { return Json(path).dump(); }

// Checks that path leads from the current model (there is one) through component features; sets
// error when not.
bool IsComponentPath(const World& world, const std::vector<int>& path, std::string& error) {
    if (path.size() > static_cast<size_t>(PRO_MAX_ASSEMBLY_LEVEL)) {
        error = "pick " + PathText(path) + " is deeper than a component path can be";
        return false;
    }
    const Model* model = &world.models[static_cast<size_t>(world.current)];
    for (int id : path) {
        const Feature* feature = FindFeature(*model, id);
        if (!feature || !feature->IsComponent() ||
            static_cast<size_t>(feature->model) >= world.models.size()) {
            error = "pick " + PathText(path) + " is no component of \"" +
                    world.models[static_cast<size_t>(world.current)].name + "\"";
            return false;
        }
        model = &world.models[static_cast<size_t>(feature->model)];
    }
    return true;
}

// The component paths of the step's picks, owned by the current model; false (session stopped)
// when a pick is not a component or there are more than max_count.
bool PickedPaths(const ScriptStep& step, int maxCount, std::vector<ProAsmcomppath>& paths) {
    HostSession& session = Session();
    const World& world = HostWorld();
    if (world.current < 0 || static_cast<size_t>(world.current) >= world.models.size()) {
        session.Stop("script " + step.Describe() + ": there is no current model to pick from");
        return false;
    }
    if (maxCount > 0 && step.picks.size() > static_cast<size_t>(maxCount)) {
        session.Stop("script " + step.Describe() + ": more picks than the " +
                     std::to_string(maxCount) + " asked for");
        return false;
    }
    const ProMdl owner = ToHandle(world.models[static_cast<size_t>(world.current)]);
    for (const std::vector<int>& pick : step.picks) {
        std::string error;
        if (!IsComponentPath(world, pick, error)) {
            session.Stop("script " + step.Describe() + ": " + error);
            return false;
        }
        ProAsmcomppath path{};
        path.owner = owner;
        for (size_t i = 0; i < pick.size(); ++i) path.comp_id_table[i] = pick[i];
        path.table_num = static_cast<int>(pick.size());
        paths.push_back(path);
    }
    return true;
}

}  // namespace

// The picks stay the host's, valid until the next ProSelect; the plug-in frees nothing.
ProError ProSelect(const char* option, int max_count, ProSelection* /*initial*/,
                   ProSelFunctions* /*functions*/, ProSelectionEnv /*environment*/,
                   ProSelAppAction /*action*/, ProSelection** selections, int* count) {
    HostSession& session = Session();
    const std::string kind = option ? option : "";
    session.ReplaceSelections({});  // the picks of the previous call end here, whatever comes
    Json entry = {{"option", kind}, {"max_count", max_count}};
    const ScriptStep* step = session.TakeAnswer(Question::Select, "selection of \"" + kind + "\"");
    std::vector<ProAsmcomppath> paths;
    if (!step || step->cancel || !selections || !count || !PickedPaths(*step, max_count, paths)) {
        entry["picks"] = nullptr;
        session.record.Append("selections", entry);
        return selections && count ? PRO_TK_USER_ABORT : PRO_TK_BAD_INPUTS;
    }
    session.ReplaceSelections(paths);
    entry["picks"] = step->picks;
    session.record.Append("selections", entry);
    *selections = session.SelectionArray();
    *count = static_cast<int>(paths.size());
    return PRO_TK_NO_ERROR;
}

ProError ProSelectionAsmcomppathGet(ProSelection selection, ProAsmcomppath* path) {
    if (!path || !Session().IsSelection(selection)) {
        Session().Problem("ProSelectionAsmcomppathGet", "not a selection of the last ProSelect");
        return PRO_TK_BAD_INPUTS;
    }
    *path = selection->path;
    return PRO_TK_NO_ERROR;
}

// The script names the representation; rep keeps its kind and receives the chosen one's id.
ProError ProSimprepSelect(ProSolid solid, ProSimprep* rep) {
    HostSession& session = Session();
    const Model* model = ModelOf(solid);
    if (!model || !rep) {
        session.Problem("ProSimprepSelect", "needs a model of the session and a representation");
        return PRO_TK_BAD_INPUTS;
    }
    Json entry = {{"model", model->name}};
    const ScriptStep* step = session.TakeAnswer(
        Question::SimprepChoice, "choice of a simplified representation of \"" + model->name + "\"");
    const Simprep* chosen = nullptr;
    for (size_t i = 0; step && !step->cancel && i < model->simpreps.size(); ++i)
        if (model->simpreps[i].name == step->text) chosen = &model->simpreps[i];
    if (step && !step->cancel && !chosen)
        session.Stop("script " + step->Describe() + ": \"" + model->name +
                     "\" has no simplified representation \"" + step->text + "\"");
    entry["choice"] = chosen ? Json(chosen->name) : Json(nullptr);
    session.record.Append("simprep_choices", entry);
    if (!chosen) return PRO_TK_USER_ABORT;
    rep->owner = solid;
    rep->id = chosen->id;
    return PRO_TK_NO_ERROR;
}

void RegisterSelectionFunctions(FunctionTable& table) {
    SIM_ADD_FUNCTION(table, ProSelect);
    SIM_ADD_FUNCTION(table, ProSelectionAsmcomppathGet);
    SIM_ADD_FUNCTION(table, ProSimprepSelect);
}

}  // namespace sim
