// Writing a file that takes the place of another only once it is whole. The new content goes
// into a file of its own in the folder of the one it replaces, so that putting it in place is a
// move within one file system; until then the previous file stays as it was, and a write that
// fails on the way leaves it so.
#pragma once

#include <cstdio>
#include <string>

// The path of the file that a new file written for path replaces: path itself, or, where path
// is a symbolic link (or a chain of them), the path the link leads to, also when no file is
// there yet; so a link stays and the file it points at is replaced or made. Only links are
// resolved: every other path is used as given. False, with target left as it was, for what may
// not be replaced: a folder, a device, a FIFO, a file the user may not write, a loop of links.
bool ReplacementTarget(const std::u16string& path, std::u16string& target);

// Creates the empty file that a new file for target is written to, open for writing in binary
// mode, and answers it with its path in writtenPath. It is made in target's folder with a short
// name of its own, "~vistrel<process id>-<n>.tmp" with the first n from 0 whose file is not
// there: created exclusively, so that no other process's file and no file left over by an
// export that never ended is written into, and however many are left over, a free name follows.
// Where the folder takes no new file (the user may not write it, or the name of its own would
// make the path too long) but the file at target may be written, target itself is opened in
// place, emptied or created, and inPlace set. Null when neither opens (writtenPath is then left
// as it was).
FILE* CreateReplacementFile(const std::u16string& target, std::u16string& writtenPath,
                            bool& inPlace);

// Hands what the stream holds to the system and the system's buffers of its file to the disk,
// so that the file is whole on the disk before it takes another's place.
bool FlushToDisk(FILE* file);

// Puts the file at temporary in target's place in one step. Over a file that is there,
// ReplaceFileW, so that the new file keeps the replaced one's permissions (on Windows its ACL,
// attributes, creation time and streams; on POSIX its mode, and its owner and group where the
// process may set them); where none is (a new file, or one removed meanwhile), MoveFileExW.
bool PutInPlace(const std::u16string& temporary, const std::u16string& target);
