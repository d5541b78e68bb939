#include "plugin/scene_file_output.h"

#include <cstdio>

#include "platform/file_replacement.h"
#include "platform/win32_wide.h"

SceneFileOutput::SceneFileOutput(SceneBuilder& builder, const std::u16string& path)
    : builder_(builder) {
    if (!ReplacementTarget(path, target_)) return;
    FILE* file = CreateReplacementFile(target_, written_, inPlace_);
    if (file == nullptr) return;
    // The writer owns the file from here on; should it not be made, the file is closed and
    // removed here, as nothing else holds it yet and the destructor does not run.
    try {
        writer_.reset(new trvScene_api_file(file, true));
    } catch (...) {
        std::fclose(file);
        RemoveWrittenFile();
        throw;
    }
    builder_.file = file;
    builder_.api = writer_.get();
}

SceneFileOutput::~SceneFileOutput() {
    if (IsOpen()) Finish(false);
    RemoveWrittenFile();
}

bool SceneFileOutput::Close() {
    if (!IsOpen()) return false;
    const bool whole = Finish(true) && (inPlace_ || PutInPlace(written_, target_));
    if (!whole) RemoveWrittenFile();
    written_.clear();  // removed, or in place as the scene file
    return whole;
}

bool SceneFileOutput::Finish(bool toDisk) {
    const bool flushed = !toDisk || FlushToDisk(builder_.file);
    const bool whole = writer_->CloseFile() && flushed;
    writer_.reset();
    builder_.api = nullptr;
    builder_.file = nullptr;
    return whole;
}

void SceneFileOutput::RemoveWrittenFile() {
    if (written_.empty()) return;
    _wremove(Win32Wide(written_.c_str()));
    written_.clear();
}
