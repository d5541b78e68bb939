// Reading a symbolic link without following it, so that a link to a file that is not there yet
// can be followed to where that file is to be made.
#pragma once

#include <string>

enum class LinkAtPath {
    None,        // no symbolic link at the path: a file, a folder, anything else, or nothing
    Link,        // a symbolic link; target holds the path written in it
    Unreadable,  // a symbolic link whose path cannot be read or named again
};

// What stands at path, and for a symbolic link the path it holds, as written in it: absolute, or
// relative to the link's folder. Only a symbolic link counts: a Windows junction or other
// reparse point, a hard link or a file on a drive without a letter is None, as a plain file is.
LinkAtPath ReadSymbolicLink(const std::u16string& path, std::u16string& target);
