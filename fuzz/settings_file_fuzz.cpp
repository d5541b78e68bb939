// Fuzz target: the settings file reader, on any bytes that may lie in the settings file; and
// the bound on TinyXML's parse, checked against what TinyXML's parse then builds.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include <tinyxml.h>

#include "plugin/settings_file.h"
#include "plugin/xml_parse_bounds.h"

namespace {

constexpr int kDepth = 6;
constexpr int kAttributes = 3;

// Whether every element below node lies at most depth levels deep and has at most
// kAttributes attributes.
bool TreeWithinBounds(const TiXmlNode* node, int depth) {
    for (const TiXmlNode* child = node->FirstChild(); child; child = child->NextSibling()) {
        const TiXmlElement* element = child->ToElement();
        if (element == nullptr) continue;
        if (depth < 1) return false;
        int attributes = 0;
        for (const TiXmlAttribute* a = element->FirstAttribute(); a; a = a->Next()) ++attributes;
        if (attributes > kAttributes || !TreeWithinBounds(element, depth - 1)) return false;
    }
    return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    PluginSettings settings;
    ReadSettingsText(text, settings);

    // Small bounds, so that the fuzzer reaches them: whatever the bound lets through, TinyXML
    // must build within them, also when it stops on an error half way. White space is kept, as
    // the plug-in reads its file.
    if (XmlParseWithinBounds(text, kDepth, kAttributes)) {
        TiXmlBase::SetCondenseWhiteSpace(false);
        TiXmlDocument document;
        document.Parse(text.c_str(), nullptr, TIXML_ENCODING_LEGACY);
        if (!TreeWithinBounds(&document, kDepth)) std::abort();
    }
    return 0;
}
