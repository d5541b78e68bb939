// A point in the (u, v) parameter plane of a surface, where its trim loops lie.
#pragma once

struct TrimPoint {
    double u;
    double v;
};
