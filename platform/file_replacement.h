// Writing a file that takes the place of another only once it is whole. The new content goes
// into a file of its own beside the one it replaces, in the same folder so that putting it in
// place is a move within one file system (MoveFileExW with MOVEFILE_REPLACE_EXISTING); until
// then the previous file stays as it was, and a write that fails on the way leaves it so.
#pragma once

#include <cstdio>
#include <string>

// The path of the file that a new file written for path replaces: for an existing file its
// final path, every symbolic link followed, so that a link stays and the file it points at is
// replaced; path itself when nothing is there. False, with target left as it was, for what may
// not be replaced: a folder, a device, a FIFO, a file the user may not write, a file whose final
// path the system cannot tell.
bool ReplacementTarget(const std::u16string& path, std::u16string& target);

// Creates an empty file beside target, named after it "<target>.<n>.tmp" with the first n whose
// file does not exist yet: it is created exclusively, so that no other export and no file left
// over is ever written into. Answers it open for writing in binary mode, its path in
// temporaryPath; null when none could be made (temporaryPath is then left as it was).
FILE* CreateFileBeside(const std::u16string& target, std::u16string& temporaryPath);
