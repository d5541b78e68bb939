#include "plugin/file_dialog_defaults.h"

#include <algorithm>

namespace {

// Copies text into a zero-filled buffer of size units when it fits with its terminator.
void CopyIfFits(const std::u16string& text, ProWchar* buffer, std::size_t size) {
    if (text.size() < size) std::copy(text.begin(), text.end(), buffer);
}

}  // namespace

FileDialogDefaults FileDialogDefaultsOf(const std::u16string& path) {
    FileDialogDefaults defaults;
    const std::size_t separator = path.find_last_of(u"\\/");
    if (separator == std::u16string::npos) {
        // A path with no folder in it: the dialog is pointed at the path itself, and the stored
        // name is offered as well, so the user finds it filled in wherever the dialog opens.
        CopyIfFits(path, defaults.folder, FileDialogDefaults::kFolderSize);
        CopyIfFits(path, defaults.name, FileDialogDefaults::kNameSize);
        return defaults;
    }
    CopyIfFits(path.substr(0, separator), defaults.folder, FileDialogDefaults::kFolderSize);
    CopyIfFits(path.substr(separator + 1), defaults.name, FileDialogDefaults::kNameSize);
    return defaults;
}
