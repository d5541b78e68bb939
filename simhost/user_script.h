// The scripted user: the answers that the simulated host gives to the plug-in's questions (file
// dialogs, the simplified-representation choice, picks, modal dialogs) and the changes of the
// model between commands, as one list of steps taken in order.
//
//   {"steps": [
//     {"save": "out.vsb"},                 the save dialog's answer
//     {"open": "run.fra"},                 the open dialog's answer
//     {"simprep": "Light"},                the simplified representation chosen, by name
//     {"select": [[], [3, 7]]},            picks: component paths as feature ids, [] the top model
//     {"cancel": "save"},                  cancel of "save", "open", "simprep" or "select"
//     {"dialog": "Vistrel_Settings",       a modal dialog: the values the user sets, in order,
//      "set": {"stepbox": 0.35},           then the buttons pressed until one ends the dialog
//      "press": "Vistrel_OK"},
//     {"model": {...}}                     a change of the model before the next command
//     {"pause": 3000}                      a wait of that many milliseconds before the next
//                                          command (for a renderer to end by itself, say)
//     {"refuse": "Vistrel_Animation"}      the host cannot make that dialog: its next
//                                          ProUIDialogCreate answers PRO_TK_GENERAL_ERROR
//   ]}
#pragma once

#include <string>
#include <utility>
#include <vector>

#include <nlohmann/json.hpp>

namespace sim {

// What the host asks the user.
enum class Question {
    SaveDialog, OpenDialog, SimprepChoice, Select, Dialog, ModelChange, Pause, DialogRefusal
};

// The script's name of a question kind ("save", "open", ...), for messages.
const char* QuestionName(Question question);

struct ScriptStep {
    int number = 0;  // 1-based position in the script, for messages
    Question question = Question::SaveDialog;
    bool cancel = false;
    std::string text;                       // path (save, open), representation name
    std::vector<std::vector<int>> picks;    // select
    std::string dialog;                     // dialog name (dialog, refuse)
    int pauseMs = 0;                        // pause
    std::vector<std::pair<std::string, nlohmann::ordered_json>> sets;  // dialog: in order
    std::vector<std::string> presses;       // dialog: in order
    nlohmann::ordered_json change;          // model change, for the model side

    // "step 3 (dialog \"Vistrel_Settings\")", for messages.
    std::string Describe() const;
};

class UserScript {
public:
    // Parses a script text; on failure answers false, sets error (naming the step) and keeps
    // no steps.
    bool Parse(const std::string& text, std::string& error);
    // Reads and parses the file at path.
    bool Load(const std::string& path, std::string& error);

    // The next step, or null when every step is taken.
    const ScriptStep* Next() const { return next_ < steps_.size() ? &steps_[next_] : nullptr; }
    void Take() { if (next_ < steps_.size()) ++next_; }
    size_t Remaining() const { return steps_.size() - next_; }

private:
    std::vector<ScriptStep> steps_;
    size_t next_ = 0;
};

}  // namespace sim
