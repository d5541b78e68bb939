// The animation block of an animated component: its placements from the frame file, each
// relative to the component's current placement, and one timestamp per frame. The plug-in
// object's ReadFrameFile and WriteComponentAnimation (export/animation.cpp) wrap these with the
// host's calls.
#pragma once

#include <cstdint>
#include <vector>

#include "export/animation_frames.h"
#include "export/frame_file.h"
#include "scene/scene_api.h"
#include "toolkit/pro_toolkit.h"

// Writes one "fbx_animation" block named name into the open scene group:
//   "start_time" Int 0, "duration" Float (frameCount frames at framesPerSecond, in seconds),
//   "folder" String "Creo animation",
//   "matrices": per placement F, in order, the product F x currentInverse (F applied first),
//   "timestamps": per frame i from 0, i / framesPerSecond in whole milliseconds.
// The two arrays are not fitted to each other: "matrices" has one element per placement and
// "timestamps" one per frame. frameCount is taken between 0 and kMaxFrameCount; framesPerSecond
// must be above 0.
void WriteAnimationBlock(trvScene_api& scene, const char* name,
                         const std::vector<FramePlacement>& placements,
                         const ProMatrix currentInverse, int32_t frameCount,
                         int32_t framesPerSecond);
