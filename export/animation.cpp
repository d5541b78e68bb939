#include "export/animation.h"

#include "plugin/plugin_application.h"

void ReadFrames(std::istream&, AnimationFrames&, int32_t&) {
    // Not built yet
}

void PluginApplication::ReadFrameFile(FILE*) {
    // Not built yet
}

void PluginApplication::WriteComponentAnimation(ProAsmcomppath, ProAsmcomppath, const char*) {
    // Not built yet
}
