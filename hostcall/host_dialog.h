// A dialog of the host's from its creation to its destruction. The host keeps dialogs by name:
// one left behind by a failure between its creation and its destruction would refuse every
// later creation of that name, and the dialog would not open again for the rest of the session.
// So the dialog is destroyed when its holder goes out of scope, on every way out.
#pragma once

#include <stdexcept>

#include "toolkit/pro_toolkit.h"

// What a HostDialog throws when the host could not make or show the dialog: the user gave no
// answer, which is neither a confirmation nor a cancel, so the command ends as failed.
class DialogNotShown : public std::runtime_error {
public:
    explicit DialogNotShown(const char* name) : std::runtime_error(name) {}
};

class HostDialog {
public:
    // Creates the dialog name (a literal: the host and the holder keep the pointer). Throws
    // DialogNotShown when the host does not make it: nothing more is asked of it then.
    explicit HostDialog(const char* name);
    // Destroys the dialog.
    ~HostDialog();

    HostDialog(const HostDialog&) = delete;
    HostDialog& operator=(const HostDialog&) = delete;

    // Runs the dialog modally and answers the status that its action passed to ProUIDialogExit;
    // the status starts at 0, which a host that runs no action leaves. Throws DialogNotShown
    // when the host answers that it did not run the dialog (any answer but PRO_TK_NO_ERROR, and
    // PRO_TK_USER_ABORT for a dialog it closed itself, as a closed window), and throws the
    // failure an action kept (the dialog is destroyed all the same when its holder goes).
    int Run();
    // Runs the dialog modally for an answer that is not asked (no status is passed to the
    // host); throws as Run does.
    void Show();

private:
    const char* name_;
};
