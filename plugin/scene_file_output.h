// The scene file of an Export while it is written: a file of its own beside the chosen path and
// the file writer on it, both held in the scene builder for the length of the run.
//
// The scene takes the place of the file at the chosen path only once it is whole: written,
// flushed to the disk and closed, it is put there, with the permissions of the file it replaces;
// otherwise (a full disk, a write or close that failed, an export that failed on the way) it is
// removed, and whatever was at the path stays as it was, so that the renderer never reads a
// scene cut short and a failed export never costs the previous one. Through a symbolic link the
// file it points at is replaced, or made, and the link stays. What may not be replaced (a folder,
// a device, a FIFO, a file the user may not write) is left alone, and the file counts as not
// opened.
//
// Where no file can be made beside the path (a folder the user may not write, a path that a
// name of its own would make too long) but the file at the path may be written, the scene is
// written there in place, as a plain open would; a failure on the way then removes the file cut
// short, as the previous scene is gone by then.
#pragma once

#include <memory>
#include <string>

#include "scene/scene_api_file.h"
#include "scene/scene_builder.h"

class SceneFileOutput {
public:
    // Creates the file beside path (or opens path in place) and, when it could be made, puts the
    // file and a writer on it with binary arrays on into builder.
    SceneFileOutput(SceneBuilder& builder, const std::u16string& path);
    // A file not yet closed is closed and removed: the run ended on the way.
    ~SceneFileOutput();

    SceneFileOutput(const SceneFileOutput&) = delete;
    SceneFileOutput& operator=(const SceneFileOutput&) = delete;

    bool IsOpen() const { return writer_ != nullptr; }

    // Flushes the file to the disk, destroys the writer, which closes the file, and clears the
    // builder's fields. Answers whether the scene was written whole and now stands at the path;
    // when it does not, the file written is removed. False when the file did not open.
    bool Close();

private:
    // Closes the file, destroys the writer and clears the builder's fields; answers whether
    // everything written reached the file (and, with toDisk, the disk).
    bool Finish(bool toDisk);
    void RemoveWrittenFile();

    SceneBuilder& builder_;
    std::u16string target_;   // the file the scene replaces, links followed
    std::u16string written_;  // the file written: beside target_, or target_ itself in place;
                              // empty once it is gone or in place
    bool inPlace_ = false;
    std::unique_ptr<trvScene_api_file> writer_;
};
