// The guard around every function of the plug-in that the host calls: the library's entries,
// command actions, dialog actions, visit actions and filters.
//
// The host is C and cannot unwind: an exception that reached its frames (a failed allocation,
// say) would end the host process and the user's unsaved work with it. So each such function
// runs its body through one of the guards below, and nothing it throws leaves it.
//
// A failure inside a callback is carried past the host instead: the guard keeps the exception,
// the callback answers a failure (which stops a visit, or ends a dialog), and the host call that
// ran it, made through CallRunningCallbacks, throws it again as soon as the host returns. It so
// unwinds through the plug-in's own frames only, up to the road or command that ends the run
// and reports it. Everything runs on the host's one thread.
#pragma once

#include <exception>
#include <utility>

#include "toolkit/pro_toolkit.h"

// Keeps a failure for the plug-in code that made the host call. While one is kept, a later
// one is dropped: the first failure is the one reported.
void KeepCallbackFailure(std::exception_ptr failure) noexcept;
// Whether a failure is kept.
bool CallbackFailureKept() noexcept;
// Forgets the kept failure: its end has been handled.
void ForgetCallbackFailure() noexcept;

namespace callback_guard_detail {
// Throws the kept failure, if any, and forgets it.
void RethrowCallbackFailure();
}  // namespace callback_guard_detail

// The one way to make a host call that may run the plug-in's guarded callbacks (a visit, a
// modal dialog): calls hostFunction with arguments and answers its status, or throws the failure
// that a callback kept during the call. What the call handed out must be held so that it is
// given back on the way out (hostcall/host_held.h).
template <typename... Parameters, typename... Arguments>
ProError CallRunningCallbacks(ProError (*hostFunction)(Parameters...), Arguments&&... arguments) {
  const ProError status = hostFunction(std::forward<Arguments>(arguments)...);
  callback_guard_detail::RethrowCallbackFailure();
  return status;
}

// Runs body; answers true when it returned. When it threw, what it threw is kept and false is
// answered.
template <typename Body>
bool CatchCallbackFailure(Body&& body) noexcept {
  try {
    body();
    return true;
  } catch (...) {
    KeepCallbackFailure(std::current_exception());
    return false;
  }
}

// For the code that ends a run itself (an export road, a command action, a library entry):
// runs body and answers whether it returned with no failure kept. The failure, its own or one
// a callback kept, is then forgotten: the caller reports it.
template <typename Body>
bool RunsToItsEnd(Body&& body) noexcept {
  const bool ended = CatchCallbackFailure(body) && !CallbackFailureKept();
  ForgetCallbackFailure();
  return ended;
}

// The body of a visit action or filter, answering the status to give the host. A failure
// answers PRO_TK_GENERAL_ERROR: from an action it stops the visit; from a filter it hands the
// item to the action, which answers it too, since no body runs while a failure is kept.
template <typename Body>
ProError GuardVisitCallback(Body&& body) noexcept {
  ProError answer = PRO_TK_GENERAL_ERROR;
  if (!CallbackFailureKept()) CatchCallbackFailure([&] { answer = body(); });
  return answer;
}

// The body of a dialog action of dialog. A failure ends the dialog with the status
// PRO_TK_GENERAL_ERROR, and the code that ran the dialog rethrows it.
template <typename Body>
void GuardDialogAction(const char* dialog, Body&& body) noexcept {
  if (CallbackFailureKept() || !CatchCallbackFailure(body))
    ProUIDialogExit(dialog, PRO_TK_GENERAL_ERROR);
}

// The body of a command action: a failure ends the command, and the action answers 0 as
// always. The roads report their own failures; one that comes here has nobody left to tell.
template <typename Body>
int GuardCommandAction(Body&& body) noexcept {
  RunsToItsEnd(body);
  return 0;
}
