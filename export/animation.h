// Animation from a mechanism frame file: reading the file's component placements, and writing
// an animated component's "fbx_animation" block.
#pragma once

#include <cstdint>
#include <istream>

#include "export/animation_frames.h"

// Reads a frame file's placements from in (from where it stands) and appends them to frames.
void ReadFrames(std::istream& in, AnimationFrames& frames, int32_t& frameCount);
