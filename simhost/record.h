// The record of a session: what the plug-in did to the host, section by section, written as JSON
// for tests and readers. Sections, in this order:
//   "commands"         commands registered: keys, description, current icon, icons set
//   "runs"             commands run: name, the action's answer, a stop message
//   "dialogs"          each activation of a dialog: its controls as built, what the user did,
//                      the exit status
//   "file_dialogs"     save and open dialogs: title, filter, defaults, answer
//   "simprep_choices"  choices of a simplified representation
//   "selections"       ProSelect calls and their picks
//   "messages"         texts asked of the message files
//   "console"          what the plug-in printed
//   "problems"         toolkit calls the host refused (unknown dialog, bad argument, ...)
//   "host_memory"      host memory handed out and not freed
//   "stopped"          why the session stopped early, or null
#pragma once

#include <string>

#include <nlohmann/json.hpp>

namespace sim {

class Record {
public:
    Record() { Clear(); }
    void Clear();

    // Appends entry to the list section and answers its position in it.
    size_t Append(const char* section, nlohmann::ordered_json entry);
    // An entry appended before; valid until the next Append to the same section.
    nlohmann::ordered_json& At(const char* section, size_t index);
    void Set(const char* section, nlohmann::ordered_json value);
    void AddConsole(const std::string& text);

    const nlohmann::ordered_json& Document() const { return document_; }
    // Writes the document, indented, to path; false with error set when it cannot.
    bool Write(const std::string& path, std::string& error) const;

private:
    nlohmann::ordered_json document_;
};

}  // namespace sim
