#include "plugin/settings_file.h"

#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include <tinyxml.h>

#include "platform/win32_wide.h"

const char kSettingsFileName[] = "vistrel_plugin_settings.xml";

namespace {

const char kRootName[] = "vistrel_plugin_settings";

// A settings file holds a few hundred bytes plus two paths; anything far larger is not one.
constexpr std::size_t kMaxFileSize = 1 << 20;
// TinyXML parses and frees nested elements recursively, so the depth of a document must be
// bounded before it is parsed. Bounding the number of element starts bounds the depth, and a
// settings file has nine elements.
constexpr int kMaxElementStarts = 256;
// Numbers are formatted into a buffer of this size (a double's "%f" takes at most 317 bytes).
constexpr int kNumberBufferSize = 1024;

// ---- Writing ---------------------------------------------------------------------------------

std::string FormatDouble(double value) {
    char buffer[kNumberBufferSize];
    std::snprintf(buffer, sizeof buffer, "%f", value);
    return buffer;
}

std::string FormatInt(int32_t value) {
    char buffer[kNumberBufferSize];
    std::snprintf(buffer, sizeof buffer, "%d", static_cast<int>(value));
    return buffer;
}

const char* FormatBool(bool value) { return value ? "true" : "false"; }

// The path in the ANSI code page, whole; a character the code page lacks becomes "?".
std::string ToAnsi(const std::u16string& path) {
    if (path.empty()) return std::string();
    const int size = WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, Win32Wide(path.c_str()), -1,
                                         nullptr, 0, nullptr, nullptr);
    if (size <= 0) return std::string();
    std::string narrow(static_cast<std::size_t>(size), '\0');
    const int written = WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, Win32Wide(path.c_str()),
                                            -1, &narrow[0], size, nullptr, nullptr);
    narrow.resize(written > 0 ? static_cast<std::size_t>(written - 1) : 0);
    return narrow;
}

void AddTextElement(TiXmlElement& root, const char* name, const std::string& text) {
    TiXmlElement* element = new TiXmlElement(name);
    root.LinkEndChild(element);
    element->LinkEndChild(new TiXmlText(text));
}

// ---- Reading ---------------------------------------------------------------------------------

// An upper bound of the elements in text: every "<" that starts no end tag, comment,
// declaration or processing instruction.
int CountElementStarts(const std::string& text) {
    int count = 0;
    for (std::size_t i = 0; i + 1 < text.size(); ++i) {
        if (text[i] == '<' && std::strchr("/!?", text[i + 1]) == nullptr) ++count;
    }
    return count;
}

// Line ends as TinyXML's own file loading leaves them: "\r\n" and a lone "\r" become "\n".
std::string NormalizeLineEnds(const std::string& text) {
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '\r') {
            out += text[i];
        } else {
            out += '\n';
            if (i + 1 < text.size() && text[i + 1] == '\n') ++i;
        }
    }
    return out;
}

// TinyXML folds runs of white space in text by default, which would change a path holding two
// blanks in a row; the setting is global, so it is put back afterwards.
class WhiteSpaceKept {
public:
    WhiteSpaceKept() : previous(TiXmlBase::IsWhiteSpaceCondensed()) {
        TiXmlBase::SetCondenseWhiteSpace(false);
    }
    ~WhiteSpaceKept() { TiXmlBase::SetCondenseWhiteSpace(previous); }
    WhiteSpaceKept(const WhiteSpaceKept&) = delete;
    WhiteSpaceKept& operator=(const WhiteSpaceKept&) = delete;

private:
    bool previous;
};

// A keyword as TinyXML's default reading gives it, which folds white space and so drops the
// blanks and line breaks around a word. The folding is off here to keep the blanks of paths, so
// the keywords are trimmed by hand: "true " still reads as "true".
std::string Keyword(const char* text) {
    const char* const blanks = " \t\n\v\f\r";
    const std::string word(text);
    const std::size_t first = word.find_first_not_of(blanks);
    if (first == std::string::npos) return std::string();
    return word.substr(first, word.find_last_not_of(blanks) - first + 1);
}

// The text of root's first child element of that name; null when there is no such element or
// it holds no text.
const char* ElementText(TiXmlHandle root, const char* name) {
    const TiXmlElement* element = root.FirstChildElement(name).ToElement();
    if (element == nullptr) return nullptr;
    const char* text = element->GetText();
    return text != nullptr && *text != '\0' ? text : nullptr;
}

// atoi's reading, without its undefined behaviour on a number out of range.
int32_t ParseInt(const char* text) {
    const long value = std::strtol(text, nullptr, 10);
    if (value > INT32_MAX) return INT32_MAX;
    if (value < INT32_MIN) return INT32_MIN;
    return static_cast<int32_t>(value);
}

std::u16string FromAnsi(const char* text) {
    const int size = MultiByteToWideChar(CP_ACP, 0, text, -1, nullptr, 0);
    if (size <= 0) return std::u16string();
    std::u16string wide(static_cast<std::size_t>(size), u'\0');
    const int written = MultiByteToWideChar(CP_ACP, 0, text, -1, Win32Wide(&wide[0]), size);
    wide.resize(written > 0 ? static_cast<std::size_t>(written - 1) : 0);
    return wide;
}

void ReadSettingsElements(TiXmlHandle root, PluginSettings& settings) {
    if (const char* text = ElementText(root, "tessellationQuality")) {
        settings.tessellationQuality = std::atof(text);
    }
    if (const char* text = ElementText(root, "upAxis")) settings.upAxis = ParseInt(text);
    if (const char* text = ElementText(root, "selectionMode")) {
        const std::string mode = Keyword(text);
        if (mode == "automatic") settings.selectionMode = 0;
        if (mode == "manual") settings.selectionMode = 1;
    }
    if (const char* text = ElementText(root, "includeNURBS")) {
        settings.includeNURBS = Keyword(text) == "true";
    }
    if (const char* text = ElementText(root, "separateMaterials")) {
        settings.separateMaterials = Keyword(text) == "true";
    }
    if (const char* text = ElementText(root, "promptForMechanism")) {
        settings.promptForMechanism = Keyword(text) == "true";
    }
    if (const char* text = ElementText(root, "exportPath")) settings.exportPath = FromAnsi(text);
    if (const char* text = ElementText(root, "fraPath")) settings.fraPath = FromAnsi(text);
}

}  // namespace

void WriteSettingsFile(const PluginSettings& settings, const char* fileName) {
    TiXmlDocument document;
    document.LinkEndChild(new TiXmlDeclaration("1.0", "", ""));
    TiXmlElement* root = new TiXmlElement(kRootName);
    document.LinkEndChild(root);
    AddTextElement(*root, "tessellationQuality", FormatDouble(settings.tessellationQuality));
    AddTextElement(*root, "upAxis", FormatInt(settings.upAxis));
    AddTextElement(*root, "selectionMode", settings.selectionMode == 0 ? "automatic" : "manual");
    AddTextElement(*root, "includeNURBS", FormatBool(settings.includeNURBS));
    AddTextElement(*root, "separateMaterials", FormatBool(settings.separateMaterials));
    AddTextElement(*root, "promptForMechanism", FormatBool(settings.promptForMechanism));
    AddTextElement(*root, "exportPath", ToAnsi(settings.exportPath));
    AddTextElement(*root, "fraPath", ToAnsi(settings.fraPath));
    document.SaveFile(fileName);
}

void ReadSettingsText(const std::string& text, PluginSettings& settings) {
    if (text.size() > kMaxFileSize || CountElementStarts(text) > kMaxElementStarts) return;
    const std::string normalized = NormalizeLineEnds(text);
    // A file saved by a text editor may begin with the UTF-8 byte order mark, which TinyXML's
    // own reading passes over; the byte-wise reading below would fail on it as text before the
    // declaration.
    const char* start = normalized.c_str();
    if (normalized.compare(0, 3, "\xEF\xBB\xBF") == 0) start += 3;
    TiXmlDocument document;
    {
        WhiteSpaceKept whiteSpaceKept;
        // The file is in the ANSI code page, not UTF-8: TinyXML must take each byte as one
        // character, or a code-page letter would swallow the bytes after it (an end tag, or the
        // text's terminator).
        document.Parse(start, nullptr, TIXML_ENCODING_LEGACY);
    }
    if (document.Error()) return;
    TiXmlElement* root = document.FirstChildElement();
    if (root == nullptr) return;
    ReadSettingsElements(TiXmlHandle(root), settings);
}

void ReadSettingsFile(const char* fileName, PluginSettings& settings) {
    FILE* file = std::fopen(fileName, "rb");
    if (file == nullptr) return;
    std::string text;
    char chunk[4096];
    std::size_t n;
    while ((n = std::fread(chunk, 1, sizeof chunk, file)) > 0 && text.size() <= kMaxFileSize) {
        text.append(chunk, n);
    }
    const bool failed = std::ferror(file) != 0;
    std::fclose(file);
    if (!failed) ReadSettingsText(text, settings);
}
