#include "tests/recording_scene.h"

#include <cstdarg>
#include <cstdio>

RecordingScene::RecordingScene() : shader_(reinterpret_cast<ShaderBuffer*>(&calls_)) {}

RecordingScene::~RecordingScene() = default;

void RecordingScene::DeletingDestructor(unsigned int flags) { DestroyImplementation(this, flags); }

std::vector<std::string> RecordingScene::CallsStartingWith(
    const std::vector<std::string>& prefixes) const {
    std::vector<std::string> found;
    for (const std::string& call : calls_) {
        for (const std::string& prefix : prefixes) {
            if (call.compare(0, prefix.size(), prefix) == 0) {
                found.push_back(call);
                break;
            }
        }
    }
    return found;
}

bool RecordingScene::Record(const char* operation, const Args& arguments, bool answer) {
    std::string call = std::string(operation) + "(";
    for (std::size_t i = 0; i < arguments.size(); ++i) call += (i > 0 ? ", " : "") + arguments[i];
    calls_.push_back(call + ")");
    return answer;
}

void RecordingScene::WriteRaw(const char* format, ...) {
    char buffer[4096];
    va_list arguments;
    va_start(arguments, format);
    std::vsnprintf(buffer, sizeof buffer, format, arguments);
    va_end(arguments);
    Record("WriteRaw", {buffer});
}

std::string RecordingScene::Number(double value) {
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "%g", value);
    return buffer;
}

std::string RecordingScene::Numbers(const double* values, int count) {
    std::string text;
    for (int i = 0; i < count; ++i) text += (i > 0 ? " " : "") + Number(values[i]);
    return text;
}

std::string RecordingScene::Numbers(const double* x, const double* y, const double* z) {
    return Number(*x) + " " + Number(*y) + " " + Number(*z);
}

// A typed value: numbers with %g, Bool as on/off, texts as they are.
std::string RecordingScene::Value(SceneValueType type, const void* value) {
    switch (type) {
        case SceneValueType::Float: return Number(*static_cast<const float*>(value));
        case SceneValueType::Double: return Number(*static_cast<const double*>(value));
        case SceneValueType::Int: return std::to_string(*static_cast<const std::int32_t*>(value));
        case SceneValueType::Bool:
            return *static_cast<const std::int32_t*>(value) != 0 ? "on" : "off";
        case SceneValueType::Double3: return Numbers(static_cast<const double*>(value), 3);
        case SceneValueType::Matrix: return Numbers(static_cast<const double*>(value), 16);
        case SceneValueType::String: return static_cast<const char*>(value);
        case SceneValueType::StringRef: return *static_cast<const char* const*>(value);
        case SceneValueType::Shader: return "shader";
        default: return "type " + std::to_string(static_cast<std::uint32_t>(type));
    }
}
