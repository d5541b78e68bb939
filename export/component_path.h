// Component paths and placements: the order of the host's component paths, by which every map
// keyed by a path is sorted, and the two matrix operations the model export shares.
//
// A ProMatrix is row-major with points as row vectors (p' = p x M): rows 0 to 2 hold the rotation
// with its scale, row 3 the translation, and column 3 reads 0, 0, 0, 1.
#pragma once

#include "toolkit/pro_toolkit.h"

// True when a comes before b: fewer identifiers first, then the identifiers one by one as signed
// integers. The owner model takes no part, so paths of two top models with the same identifiers
// are the same key. A count outside 0 to 25 is read as the nearest of those bounds.
bool ComponentPathLess(ProAsmcomppath a, ProAsmcomppath b);

// ComponentPathLess as the comparator of an ordered container.
struct ComponentPathOrder {
    bool operator()(const ProAsmcomppath& a, const ProAsmcomppath& b) const {
        return ComponentPathLess(a, b);
    }
};

// The inverse of a placement made of a rotation with uniform scale and a translation. A null m
// gives the identity. Answers 1 on success; 0 when the squared length of row 0 is below 1e-18 (no
// usable scale), and out is then left untouched. out may be the matrix m points at.
int InvertTransform(const ProMatrix* m, ProMatrix out);

// out = a x b (a applied first, then b) and answers out. out may be the same matrix as a or b.
double (*MultiplyMatrix(const ProMatrix a, ProMatrix out, const ProMatrix b))[4];
