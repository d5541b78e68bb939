// Sets an environment variable for the length of a test and puts the old value back after.
// Child processes started meanwhile inherit the new value.
#pragma once

#include <string>

class ScopedEnvironment {
public:
    // An empty value removes the variable.
    ScopedEnvironment(const std::string& name, const std::string& value);
    ~ScopedEnvironment();

    ScopedEnvironment(const ScopedEnvironment&) = delete;
    ScopedEnvironment& operator=(const ScopedEnvironment&) = delete;

private:
    std::string name_;
    std::string previous_;
    bool hadPrevious_ = false;
};
