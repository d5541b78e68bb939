#include "tests/scoped_environment.h"

#include <cstdlib>

#ifdef _WIN32
#include <windows.h>
#endif

namespace {

void SetVariable(const std::string& name, const std::string& value)
{
#ifdef _WIN32
    // Both the C runtime's copy and the process environment that CreateProcessW hands down.
    _putenv_s(name.c_str(), value.c_str());
    SetEnvironmentVariableA(name.c_str(), value.empty() ? nullptr : value.c_str());
#else
    if (value.empty()) {
        unsetenv(name.c_str());
    } else {
        setenv(name.c_str(), value.c_str(), 1);
    }
#endif
}

}  // namespace

ScopedEnvironment::ScopedEnvironment(const std::string& name, const std::string& value)
    : name_(name)
{
    if (const char* old = std::getenv(name.c_str())) {
        previous_ = old;
        hadPrevious_ = true;
    }
    SetVariable(name, value);
}

ScopedEnvironment::~ScopedEnvironment() { SetVariable(name_, hadPrevious_ ? previous_ : ""); }
