#include "export/material_key.h"

bool MaterialKeyLess(const MaterialKey& a, const MaterialKey& b) {
    if (a.red != b.red) return a.red < b.red;
    if (a.green != b.green) return a.green < b.green;
    if (a.blue != b.blue) return a.blue < b.blue;
    return a.texturePath < b.texturePath;
}
