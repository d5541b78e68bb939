#include "plugin/scene_file_output.h"

#include <cstdio>

#include "platform/file_replacement.h"
#include "platform/win32_wide.h"

SceneFileOutput::SceneFileOutput(SceneBuilder& builder, const std::u16string& path)
    : builder_(builder) {
    if (!ReplacementTarget(path, target_)) return;
    FILE* file = CreateFileBeside(target_, temporary_);
    if (file == nullptr) return;
    // The writer owns the file from here on; should it not be made, the file is closed and
    // removed here, as nothing else holds it yet and the destructor does not run.
    try {
        writer_.reset(new trvScene_api_file(file, true));
    } catch (...) {
        std::fclose(file);
        RemoveTemporaryFile();
        throw;
    }
    builder_.file = file;
    builder_.api = writer_.get();
}

SceneFileOutput::~SceneFileOutput() {
    if (IsOpen()) Finish();
    RemoveTemporaryFile();
}

bool SceneFileOutput::Close() {
    if (!IsOpen()) return false;
    const bool whole = Finish() && MoveFileExW(Win32Wide(temporary_.c_str()),
                                               Win32Wide(target_.c_str()),
                                               MOVEFILE_REPLACE_EXISTING);
    if (!whole) RemoveTemporaryFile();
    temporary_.clear();  // removed, or moved into place as the scene file
    return whole;
}

bool SceneFileOutput::Finish() {
    const bool whole = writer_->CloseFile();
    writer_.reset();
    builder_.api = nullptr;
    builder_.file = nullptr;
    return whole;
}

void SceneFileOutput::RemoveTemporaryFile() {
    if (temporary_.empty()) return;
    _wremove(Win32Wide(temporary_.c_str()));
    temporary_.clear();
}
