// Runs a function on every way out of a scope: what must be undone also when a failure unwinds
// through the plug-in's frames (a session to close, a flag to reset, a value to put back). The
// function runs in a destructor, so it must not throw: nothing that allocates.
#pragma once

template <typename F>
class OnExit {
public:
    explicit OnExit(F f) : f_(f) {}
    ~OnExit() { f_(); }
    OnExit(const OnExit&) = delete;
    OnExit& operator=(const OnExit&) = delete;

private:
    F f_;
};
