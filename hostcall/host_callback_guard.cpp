#include "hostcall/host_callback_guard.h"

namespace {

// The failure kept between a callback and the plug-in code that made the host call.
std::exception_ptr g_keptFailure;

}  // namespace

void KeepCallbackFailure(std::exception_ptr failure) noexcept {
  if (!g_keptFailure) g_keptFailure = failure;
}

bool CallbackFailureKept() noexcept { return static_cast<bool>(g_keptFailure); }

void callback_guard_detail::RethrowCallbackFailure() {
  if (!g_keptFailure) return;
  std::exception_ptr failure = g_keptFailure;
  g_keptFailure = nullptr;
  std::rethrow_exception(failure);
}

void ForgetCallbackFailure() noexcept { g_keptFailure = nullptr; }
