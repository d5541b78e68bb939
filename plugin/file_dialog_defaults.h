// The default folder and file name that the host's save and open dialogs offer, taken from a
// stored path (the last export path, the last frame file).
#pragma once

#include <cstddef>
#include <string>

#include "toolkit/pro_toolkit.h"

struct FileDialogDefaults {
    // Buffer sizes the dialogs take, terminator included.
    static constexpr std::size_t kFolderSize = PRO_PATH_SIZE;
    static constexpr std::size_t kNameSize = 40;

    ProWchar folder[kFolderSize] = {};
    ProWchar name[kNameSize] = {};
};

// The folder before the path's last separator ("\" or "/") and the name after it; a path
// without a separator is offered whole as the folder and as the name. A part too long for its
// buffer is left out rather than cut, which would name another folder or file.
FileDialogDefaults FileDialogDefaultsOf(const std::u16string& path);
