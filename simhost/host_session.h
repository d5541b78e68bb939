// The state of one session of the simulated host that the toolkit functions share: the scripted
// user, the commands and dialogs the plug-in made, the message files, the last selection and the
// record. The toolkit functions are plain C-style functions, so they reach it through Session().
#pragma once

#include <map>
#include <memory>
#include <string>
#include <vector>

#include "simhost/command_registry.h"
#include "simhost/dialog_registry.h"
#include "simhost/message_file.h"
#include "simhost/record.h"
#include "simhost/user_script.h"
#include "toolkit/pro_toolkit.h"

// A pick of ProSelect: the host's selection object behind the ProSelection handle.
struct ProSelectionObject {
    ProAsmcomppath path;
};

namespace sim {

class HostSession {
public:
    // ---- Set up before the plug-in is loaded
    UserScript script;
    std::string saveAs;      // standing answer of save dialogs the script does not answer
    std::string textFolder;  // folder of the message files

    // ---- What the plug-in made
    CommandRegistry commands;
    DialogRegistry dialogs;
    Record record;

    // ---- The scripted user
    // The script's answer to question, taken from the script. Null when the next step answers
    // something else or the script has ended: the session is then stopped with a message that
    // names the question (what, e.g. "save dialog \"Save as vsb\"") and the step waiting.
    // Once stopped, every question goes unanswered without a further message.
    const ScriptStep* TakeAnswer(Question question, const std::string& what);
    // The next step when it answers dialog, taken; null (not stopped) otherwise.
    const ScriptStep* TakeDialogAnswer(const std::string& dialog);
    // Whether the next step refuses to make dialog; it is then taken.
    bool TakeDialogRefusal(const std::string& dialog);
    void Stop(const std::string& message);
    bool Stopped() const { return !stopMessage_.empty(); }
    const std::string& StopMessage() const { return stopMessage_; }

    // A toolkit call the host refused; noted in the record.
    void Problem(const std::string& function, const std::string& message);

    // The message file of that name in the text folder, read on first use; null when it cannot
    // be read (noted as a problem once).
    const MessageFile* Messages(const std::string& fileName);

    // ---- The picks of the last ProSelect: kept until the next ProSelect, as the host does.
    void ReplaceSelections(const std::vector<ProAsmcomppath>& paths);
    ProSelection* SelectionArray() { return selectionArray_.empty() ? nullptr : selectionArray_.data(); }
    bool IsSelection(ProSelection selection) const;

private:
    std::string stopMessage_;
    std::map<std::string, std::unique_ptr<MessageFile>> messageFiles_;
    std::vector<std::unique_ptr<ProSelectionObject>> selections_;
    std::vector<ProSelection> selectionArray_;
};

// The one session of the process.
HostSession& Session();
// Starts a fresh session: everything above emptied, the host memory freed.
void ResetSession();

}  // namespace sim
