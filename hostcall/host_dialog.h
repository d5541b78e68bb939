// A dialog of the host's from its creation to its destruction. The host keeps dialogs by name:
// one left behind by a failure between its creation and its destruction would refuse every
// later creation of that name, and the dialog would not open again for the rest of the session.
// So the dialog is destroyed when its holder goes out of scope, on every way out.
#pragma once

#include "toolkit/pro_toolkit.h"

class HostDialog {
public:
    // Creates the dialog name (a literal: the host and the holder keep the pointer).
    explicit HostDialog(const char* name);
    // Destroys the dialog when it was created.
    ~HostDialog();

    HostDialog(const HostDialog&) = delete;
    HostDialog& operator=(const HostDialog&) = delete;

    // Runs the dialog modally and answers the status that its action passed to ProUIDialogExit;
    // the status starts at 0, which a host that runs no action leaves. Throws the failure an
    // action kept (the dialog is destroyed all the same when its holder goes).
    int Run();
    // Runs the dialog modally for an answer that is not asked (no status is passed to the host).
    void Show();

private:
    const char* name_;
    bool created_;
};
