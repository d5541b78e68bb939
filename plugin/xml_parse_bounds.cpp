#include "plugin/xml_parse_bounds.h"

#include <algorithm>

bool XmlParseWithinBounds(std::string_view text, int maxDepth, int maxAttributes) {
    const std::string_view parsed = text.substr(0, text.find('\0'));
    return std::count(parsed.begin(), parsed.end(), '<') <= maxDepth &&
           std::count(parsed.begin(), parsed.end(), '=') <= maxAttributes;
}
