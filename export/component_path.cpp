#include "export/component_path.h"

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
