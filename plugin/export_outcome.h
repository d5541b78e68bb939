// How an Export ended, which the Export command tells the user.
#pragma once

enum class ExportOutcome {
    // The scene file was written whole and is in place.
    Written,
    // The road ended before it wrote anything, as the user asked (a cancel) or for want of a
    // model or a path: no file was touched.
    EndedEarly,
    // The road failed before it set out to write the scene file (memory ran out in the
    // animation dialog, say): no file was touched.
    Failed,
    // The scene file could not be opened or written whole; the file at the path is as it was.
    FileNotWritten,
};
