#include "simhost/user_script.h"

#include <fstream>
#include <limits>
#include <sstream>

namespace sim {
namespace {

using Json = nlohmann::ordered_json;

struct StepError {
    std::string message;
};

std::string Quote(const std::string& text) { return "\"" + text + "\""; }

void CheckKeys(const Json& step, std::initializer_list<const char*> allowed) {
    for (auto item = step.begin(); item != step.end(); ++item) {
        bool known = false;
        for (const char* key : allowed) known = known || item.key() == key;
        if (!known) throw StepError{"unknown key " + Quote(item.key())};
    }
}

std::string NonEmptyText(const Json& value, const char* what) {
    if (!value.is_string() || value.get<std::string>().empty())
        throw StepError{std::string(what) + " must be a non-empty text"};
    return value.get<std::string>();
}

std::vector<int> ParsePath(const Json& value) {
    if (!value.is_array()) throw StepError{"each pick must be a list of feature ids"};
    std::vector<int> path;
    for (const Json& id : value) {
        if (!id.is_number_integer() || id.get<long long>() < std::numeric_limits<int>::min() ||
            id.get<long long>() > std::numeric_limits<int>::max())
            throw StepError{"a feature id must be an integer"};
        path.push_back(id.get<int>());
    }
    return path;
}

void ParseDialog(const Json& step, ScriptStep& out) {
    CheckKeys(step, {"dialog", "set", "press"});
    out.question = Question::Dialog;
    out.dialog = NonEmptyText(step["dialog"], "the dialog name");
    if (step.contains("set")) {
        if (!step["set"].is_object()) throw StepError{"\"set\" must be an object"};
        for (auto item = step["set"].begin(); item != step["set"].end(); ++item)
            out.sets.emplace_back(item.key(), item.value());
    }
    if (!step.contains("press")) throw StepError{"a dialog step needs \"press\""};
    const Json& press = step["press"];
    if (press.is_array()) {
        for (const Json& button : press) out.presses.push_back(NonEmptyText(button, "a button name"));
    } else {
        out.presses.push_back(NonEmptyText(press, "\"press\""));
    }
    if (out.presses.empty()) throw StepError{"\"press\" names no button"};
}

Question CancelledQuestion(const Json& value) {
    const std::string name = value.is_string() ? value.get<std::string>() : "";
    for (Question question : {Question::SaveDialog, Question::OpenDialog, Question::SimprepChoice,
                              Question::Select})
        if (name == QuestionName(question)) return question;
    throw StepError{"\"cancel\" must be \"save\", \"open\", \"simprep\" or \"select\""};
}

ScriptStep ParseStep(const Json& step) {
    if (!step.is_object()) throw StepError{"a step must be an object"};
    ScriptStep out;
    if (step.contains("dialog")) {
        ParseDialog(step, out);
    } else if (step.contains("save") || step.contains("open")) {
        const bool save = step.contains("save");
        CheckKeys(step, {save ? "save" : "open"});
        out.question = save ? Question::SaveDialog : Question::OpenDialog;
        out.text = NonEmptyText(step[save ? "save" : "open"], "the path");
    } else if (step.contains("simprep")) {
        CheckKeys(step, {"simprep"});
        out.question = Question::SimprepChoice;
        out.text = NonEmptyText(step["simprep"], "the representation name");
    } else if (step.contains("select")) {
        CheckKeys(step, {"select"});
        out.question = Question::Select;
        if (!step["select"].is_array()) throw StepError{"\"select\" must be a list of picks"};
        for (const Json& pick : step["select"]) out.picks.push_back(ParsePath(pick));
    } else if (step.contains("cancel")) {
        CheckKeys(step, {"cancel"});
        out.question = CancelledQuestion(step["cancel"]);
        out.cancel = true;
    } else if (step.contains("model")) {
        CheckKeys(step, {"model"});
        out.question = Question::ModelChange;
        out.change = step["model"];
    } else if (step.contains("pause")) {
        CheckKeys(step, {"pause"});
        out.question = Question::Pause;
        const Json& ms = step["pause"];
        if (!ms.is_number_integer() || ms.get<long long>() < 0 || ms.get<long long>() > 600000)
            throw StepError{"\"pause\" must be a number of milliseconds up to 600000"};
        out.pauseMs = ms.get<int>();
    } else if (step.contains("refuse")) {
        CheckKeys(step, {"refuse"});
        out.question = Question::DialogRefusal;
        out.dialog = NonEmptyText(step["refuse"], "the dialog name");
    } else {
        throw StepError{"a step must hold one of \"save\", \"open\", \"simprep\", \"select\", "
                        "\"cancel\", \"dialog\", \"model\", \"pause\" or \"refuse\""};
    }
    return out;
}

}  // namespace

const char* QuestionName(Question question) {
    switch (question) {
        case Question::SaveDialog: return "save";
        case Question::OpenDialog: return "open";
        case Question::SimprepChoice: return "simprep";
        case Question::Select: return "select";
        case Question::Dialog: return "dialog";
        case Question::ModelChange: return "model";
        case Question::Pause: return "pause";
        case Question::DialogRefusal: return "refuse";
    }
    return "?";
}

std::string ScriptStep::Describe() const {
    std::string text = "step " + std::to_string(number) + " (";
    if (cancel) text += "cancel ";
    text += QuestionName(question);
    if (question == Question::Dialog || question == Question::DialogRefusal)
        text += " " + Quote(dialog);
    return text + ")";
}

bool UserScript::Parse(const std::string& text, std::string& error) {
    steps_.clear();
    next_ = 0;
    Json document;
    try {
        document = Json::parse(text);
    } catch (const Json::exception& e) {
        error = std::string("the script is no valid JSON: ") + e.what();
        return false;
    }
    if (!document.is_object() || !document.contains("steps") || !document["steps"].is_array() ||
        document.size() != 1) {
        error = "the script must be an object holding just a list \"steps\"";
        return false;
    }
    std::vector<ScriptStep> steps;
    for (const Json& step : document["steps"]) {
        const int number = static_cast<int>(steps.size()) + 1;
        try {
            steps.push_back(ParseStep(step));
            steps.back().number = number;
        } catch (const StepError& e) {
            error = "script step " + std::to_string(number) + ": " + e.message;
            return false;
        }
    }
    steps_ = std::move(steps);
    return true;
}

bool UserScript::Load(const std::string& path, std::string& error) {
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        error = "cannot read the script \"" + path + "\"";
        return false;
    }
    std::ostringstream text;
    text << in.rdbuf();
    return Parse(text.str(), error);
}

}  // namespace sim
