// Reading a mechanism frame file ("*.fra"): the component placements of an animation, frame by
// frame, as the host writes them:
//
//   Model: ROBOT_CELL
//   Number of parts: 3
//   Number of frames: 5
//   MaFrame 1
//   Part: 2 (3 12)
//   1.000000000000e+000 0.000000000000e+000 0.000000000000e+000     (four rows of three
//   ...                                                              numbers: rotation, then
//   2.000000000000e+001 0.000000000000e+000 -5.000000000000e+000     translation)
//
// The file is read as white-space separated tokens of at most 255 characters (a longer run is
// read as several tokens); keywords are whole tokens, compared byte for byte. The integer after
// "frames:" is the frame count. From the first "MaFrame" on, each "Part:" opens a record: the
// number of component identifiers k, the identifiers in parentheses with the ")" right behind
// the last one, then twelve numbers. Everything else is skipped, later "MaFrame" lines included:
// the n-th record of a component path is taken as its n-th frame.
#pragma once

#include <cstdint>
#include <istream>

#include "export/animation_frames.h"

// A frame count above this is not believed: at 25 frames per second it is eleven hours of
// animation, and the animation block writes one timestamp per frame.
constexpr int32_t kMaxFrameCount = 1000000;

// Reads a frame file from where in stands to its end, appends each record's placement to the
// list of its path in frames (after what frames holds already), then drops every entry of frames
// whose placements are all equal, a single placement included (so is an empty list). A NaN
// never equals, so an entry holding one is kept.
//
// frameCount takes the count that follows "frames:" when it is an integer from 0 to
// kMaxFrameCount; otherwise, and when the file has no such count, it keeps its value.
//
// Malformed input is never an error; reading simply goes on with the next token:
// - a record whose count lies outside 1 to PRO_MAX_ASSEMBLY_LEVEL, whose identifiers are not
//   integers in parentheses, or whose twelve numbers do not all convert (one beyond the range of
//   a float included) is dropped; what follows the part that did not convert is read as tokens
//   again, so a "Part:" there opens the next record;
// - a number that does not convert consumes nothing.
// Numbers are read as the C locale writes them, whatever the process's locale: decimal, with an
// optional exponent, or "inf", "infinity" and "nan" in any case. Each placement number is
// rounded to single precision and widened again, as the host's precision goes no further.
void ReadFrames(std::istream& in, AnimationFrames& frames, int32_t& frameCount);
