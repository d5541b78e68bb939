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
// number of component identifiers k, the identifiers in parentheses (the ")" right behind the
// last one, or missing), then twelve numbers. Everything else is skipped, later "MaFrame" lines
// included: the n-th record of a component path is taken as its n-th frame.
#pragma once

#include <cstdint>
#include <istream>

#include "export/animation_frames.h"

// A frame count above this is not believed: at 25 frames per second it is eleven hours of
// animation, and the animation block writes one timestamp per frame.
constexpr int32_t kMaxFrameCount = 1000000;

// Reads a frame file from where in stands to its end: answers the placements of each path, one
// per record in file order, without the paths whose placements are all equal (a single
// placement included).
//
// frameCount is always set from this file: the integer that follows "frames:", held between 0
// and kMaxFrameCount (one beyond the int32 range included); when the file has no such integer,
// the number of frames read, that is the most records of any one path (0 without records), so
// that the timestamps match the placements read.
//
// Malformed input is never an error; reading simply goes on with the next token:
// - a record whose count lies outside 1 to PRO_MAX_ASSEMBLY_LEVEL, or whose identifiers are not
//   integers after a "(", names no path and is skipped;
// - a record whose path reads but whose twelve numbers do not all convert keeps its frame's
//   place: it repeats the path's placement before it, or, when the path has none yet, the first
//   one that follows (a path with no readable placement gets none);
// - what follows the part that did not convert is read as tokens again, so a "Part:" there opens
//   the next record; a number that does not convert consumes nothing.
// Numbers are decimal, with an optional exponent, read as the C locale writes them, whatever the
// process's locale; each is rounded to single precision and widened again, as the host's
// precision goes no further. One too small for a float reads as zero; one too large for it, and
// "inf" and "nan", do not convert: the renderer cannot read a placement that is not finite.
AnimationFrames ReadFrames(std::istream& in, int32_t& frameCount);
