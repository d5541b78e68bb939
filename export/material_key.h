// The identity of a material: its base name, texture and diffuse colour.
#pragma once

#include <string>

struct MaterialKey {
    std::string baseName;        // "color"
    std::u16string texturePath;  // full path of the texture image; empty without texture
    double red = 0.0;            // diffuse coefficient times the appearance colour
    double green = 0.0;
    double blue = 0.0;
};

// True when a comes before b: by red, green, blue, then texture path (code units as unsigned
// numbers, a prefix first). The base name takes no part.
bool MaterialKeyLess(const MaterialKey& a, const MaterialKey& b);

// MaterialKeyLess as the comparator of an ordered container.
struct MaterialKeyOrder {
    bool operator()(const MaterialKey& a, const MaterialKey& b) const {
        return MaterialKeyLess(a, b);
    }
};
