#include "simhost/host_session.h"

#include "simhost/host_memory.h"
#include "simhost/model_functions.h"

namespace sim {
namespace {

std::unique_ptr<HostSession>& SessionSlot() {
    static std::unique_ptr<HostSession> session = std::make_unique<HostSession>();
    return session;
}

}  // namespace

HostSession& Session() { return *SessionSlot(); }

void ResetSession() {
    SessionSlot() = std::make_unique<HostSession>();
    // Model records point into host arrays: free them before the arrays they point into.
    FreeModelRecords();
    FreeAllHostBlocks();
}

const ScriptStep* HostSession::TakeAnswer(Question question, const std::string& what) {
    if (Stopped()) return nullptr;
    const ScriptStep* step = script.Next();
    if (step && step->question == question) {
        script.Take();
        return step;
    }
    Stop("the script does not answer the " + what +
         (step ? ": its next step is " + step->Describe() : ": it has no steps left"));
    return nullptr;
}

const ScriptStep* HostSession::TakeDialogAnswer(const std::string& dialog) {
    if (Stopped()) return nullptr;
    const ScriptStep* step = script.Next();
    if (!step || step->question != Question::Dialog || step->dialog != dialog) return nullptr;
    script.Take();
    return step;
}

bool HostSession::TakeDialogRefusal(const std::string& dialog) {
    const ScriptStep* step = Stopped() ? nullptr : script.Next();
    if (!step || step->question != Question::DialogRefusal || step->dialog != dialog) return false;
    script.Take();
    return true;
}

void HostSession::Stop(const std::string& message) {
    if (!Stopped()) stopMessage_ = message;
}

void HostSession::Problem(const std::string& function, const std::string& message) {
    record.Append("problems", function + ": " + message);
}

const MessageFile* HostSession::Messages(const std::string& fileName) {
    auto found = messageFiles_.find(fileName);
    if (found != messageFiles_.end()) return found->second.get();
    auto file = std::make_unique<MessageFile>();
    const std::string path = (textFolder.empty() ? std::string(".") : textFolder) + "/" + fileName;
    if (fileName.empty() || fileName.find_first_of("/\\") != std::string::npos || !file->Load(path)) {
        Problem("message file", "cannot read \"" + path + "\"");
        file.reset();
    } else {
        for (const std::string& problem : file->Problems()) Problem("message file " + fileName, problem);
    }
    return (messageFiles_[fileName] = std::move(file)).get();
}

void HostSession::ReplaceSelections(const std::vector<ProAsmcomppath>& paths) {
    selectionArray_.clear();
    selections_.clear();
    for (const ProAsmcomppath& path : paths) {
        selections_.push_back(std::make_unique<ProSelectionObject>(ProSelectionObject{path}));
        selectionArray_.push_back(selections_.back().get());
    }
}

bool HostSession::IsSelection(ProSelection selection) const {
    for (const auto& object : selections_)
        if (object.get() == selection) return true;
    return false;
}

}  // namespace sim
