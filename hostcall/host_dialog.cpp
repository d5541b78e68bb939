#include "hostcall/host_dialog.h"

#include "hostcall/host_callback_guard.h"

namespace {

// Throws unless the host ran the dialog: it answers PRO_TK_USER_ABORT when it closed the dialog
// without an action (as a closed window does).
void ExpectRan(ProError answer, const char* name) {
    if (answer != PRO_TK_NO_ERROR && answer != PRO_TK_USER_ABORT) throw DialogNotShown(name);
}

}  // namespace

HostDialog::HostDialog(const char* name) : name_(name) {
    if (ProUIDialogCreate(name, nullptr) != PRO_TK_NO_ERROR) throw DialogNotShown(name);
}

HostDialog::~HostDialog() { ProUIDialogDestroy(name_); }

int HostDialog::Run() {
    int status = 0;
    ExpectRan(CallRunningCallbacks(ProUIDialogActivate, name_, &status), name_);
    return status;
}

void HostDialog::Show() {
    ExpectRan(CallRunningCallbacks(ProUIDialogActivate, name_, nullptr), name_);
}
