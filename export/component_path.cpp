#include "export/component_path.h"

#include <cstring>

namespace {

// A path read from outside (a frame file, the host) may carry any count: never read past the
// identifier table.
int UsableCount(const ProAsmcomppath& path) {
    if (path.table_num < 0) return 0;
    return path.table_num < PRO_MAX_ASSEMBLY_LEVEL ? path.table_num : PRO_MAX_ASSEMBLY_LEVEL;
}

}  // namespace

bool ComponentPathLess(ProAsmcomppath a, ProAsmcomppath b) {
    if (a.table_num != b.table_num) return a.table_num < b.table_num;
    const int count = UsableCount(a);
    for (int i = 0; i < count; ++i) {
        if (a.comp_id_table[i] != b.comp_id_table[i]) return a.comp_id_table[i] < b.comp_id_table[i];
    }
    return false;
}

int InvertTransform(const ProMatrix* m, ProMatrix out) {
    if (m == nullptr) {
        for (int r = 0; r < 4; ++r) {
            for (int c = 0; c < 4; ++c) out[r][c] = r == c ? 1.0 : 0.0;
        }
        return 1;
    }
    // A copy, so that out may be the matrix m points at.
    ProMatrix in;
    std::memcpy(in, *m, sizeof(in));
    const double s2 = in[0][0] * in[0][0] + in[0][1] * in[0][1] + in[0][2] * in[0][2];
    if (1e-18 > s2) return 0;
    // The rotation's inverse is its transpose; the uniform scale s becomes 1 / s, hence 1 / s2
    // on the transposed scaled rows.
    const double k = 1.0 / s2;
    for (int r = 0; r < 3; ++r) {
        for (int c = 0; c < 3; ++c) out[r][c] = in[c][r] * k;
        out[r][3] = 0.0;
    }
    for (int c = 0; c < 3; ++c) {
        out[3][c] = 0.0 - in[3][0] * in[c][0] * k - in[3][1] * in[c][1] * k -
                    in[3][2] * in[c][2] * k;
    }
    out[3][3] = 1.0;
    return 1;
}

double (*MultiplyMatrix(const ProMatrix a, ProMatrix out, const ProMatrix b))[4] {
    // b is copied whole first and each row of a before its row of out is written, so out may
    // share its storage with either operand.
    ProMatrix right;
    std::memcpy(right, b, sizeof(right));
    for (int r = 0; r < 4; ++r) {
        const double row[4] = {a[r][0], a[r][1], a[r][2], a[r][3]};
        for (int c = 0; c < 4; ++c) {
            out[r][c] = row[0] * right[0][c] + row[1] * right[1][c] + row[2] * right[2][c] +
                        row[3] * right[3][c];
        }
    }
    return out;
}
