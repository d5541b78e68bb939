#include "plugin/scene_file_output.h"

#include <sys/stat.h>

#include <cstdio>

#include "platform/win32_wide.h"

namespace {

bool IsPlainFile(FILE* file) {
    struct stat info;
    return fstat(fileno(file), &info) == 0 && S_ISREG(info.st_mode);
}

}  // namespace

SceneFileOutput::SceneFileOutput(SceneBuilder& builder, const std::u16string& path)
    : builder_(builder), path_(path) {
    FILE* file = _wfopen(Win32Wide(path_.c_str()), Win32Wide(u"wb+"));
    if (file == nullptr) return;
    plainFile_ = IsPlainFile(file);
    // The writer owns the file from here on; should it not be made, the file is closed and
    // removed here, as nothing else holds it yet.
    try {
        writer_.reset(new trvScene_api_file(file, true));
    } catch (...) {
        std::fclose(file);
        Remove();
        throw;
    }
    builder_.file = file;
    builder_.api = writer_.get();
}

SceneFileOutput::~SceneFileOutput() {
    if (IsOpen()) {
        Finish();
        Remove();
    }
}

bool SceneFileOutput::Close() {
    if (!IsOpen()) return false;
    const bool whole = Finish();
    if (!whole) Remove();
    return whole;
}

bool SceneFileOutput::Finish() {
    const bool whole = writer_->CloseFile();
    writer_.reset();
    builder_.api = nullptr;
    builder_.file = nullptr;
    return whole;
}

void SceneFileOutput::Remove() const {
    if (plainFile_) _wremove(Win32Wide(path_.c_str()));
}
