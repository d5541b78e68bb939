#include "hostcall/host_dialog.h"

#include "hostcall/host_callback_guard.h"

HostDialog::HostDialog(const char* name)
    : name_(name), created_(ProUIDialogCreate(name, nullptr) == PRO_TK_NO_ERROR) {}

HostDialog::~HostDialog() {
    if (created_) ProUIDialogDestroy(name_);
}

int HostDialog::Run() {
    int status = 0;
    CallRunningCallbacks(ProUIDialogActivate, name_, &status);
    return status;
}

void HostDialog::Show() { CallRunningCallbacks(ProUIDialogActivate, name_, nullptr); }
