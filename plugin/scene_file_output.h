// The scene file of an Export while it is written: the file opened at the chosen path and the
// file writer on it, both held in the scene builder for the length of the run.
//
// The file ends in one of two ways: closed whole, or removed. A file that was cut short (a full
// disk, a write or close that failed, an export that failed on the way) must not be left where
// the renderer would read it as a scene. Only a plain file is removed: a device that was named
// as the path (/dev/full, say) stays.
#pragma once

#include <memory>
#include <string>

#include "scene/scene_api_file.h"
#include "scene/scene_builder.h"

class SceneFileOutput {
public:
    // Opens path with "wb+" (created, or emptied when it exists) and, when it opened, puts the
    // file and a writer on it with binary arrays on into builder.
    SceneFileOutput(SceneBuilder& builder, const std::u16string& path);
    // A file not yet closed is closed and removed: the run ended on the way.
    ~SceneFileOutput();

    SceneFileOutput(const SceneFileOutput&) = delete;
    SceneFileOutput& operator=(const SceneFileOutput&) = delete;

    bool IsOpen() const { return writer_ != nullptr; }

    // Destroys the writer, which closes the file, and clears the builder's fields. Answers
    // whether everything written reached the file; when it did not, the file is removed. False
    // when the file did not open.
    bool Close();

private:
    // Closes the file, destroys the writer and clears the builder's fields; answers whether
    // everything written reached the file.
    bool Finish();
    void Remove() const;

    SceneBuilder& builder_;
    const std::u16string path_;
    std::unique_ptr<trvScene_api_file> writer_;
    bool plainFile_ = false;  // a regular file, which Remove may delete
};
