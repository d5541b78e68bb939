#include "plugin/settings_file.h"

#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <new>
#include <utility>

#include <tinyxml.h>

#include "platform/regular_file.h"
#include "platform/win32_wide.h"
#include "plugin/xml_parse_bounds.h"

const char kSettingsFileName[] = "vistrel_plugin_settings.xml";

namespace {

const char kRootName[] = "vistrel_plugin_settings";

// A settings file holds a few hundred bytes plus two paths; anything far larger is not one.
constexpr std::size_t kMaxFileSize = 1 << 20;
// What TinyXML may be given, as counts of "<" and "=" bytes (see xml_parse_bounds.h). The file
// the plug-in writes holds 19 "<" and one "=" besides those its paths hold, so these leave room
// for anything a person would add. TinyXML's recursion takes under 262 bytes of stack a level,
// so the deepest nesting they let through takes about a quarter of a megabyte of the host's
// stack, and the most attributes half a million name comparisons.
constexpr int kMaxElementDepth = 1000;
constexpr int kMaxAttributesPerElement = 1000;
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

// The text of root's first child element of that name without the white space at its ends, as
// TinyXML's default reading gives it: "true " reads as "true", and a path written over several
// lines loses the line breaks and indents around it. (That folding is off here because it would
// also fold the runs of blanks inside a path.) Empty when there is no such element or it holds
// no text but white space.
std::string ElementText(TiXmlHandle root, const char* name) {
    const TiXmlElement* element = root.FirstChildElement(name).ToElement();
    const char* text = element != nullptr ? element->GetText() : nullptr;
    if (text == nullptr) return std::string();
    const char* const blanks = " \t\n\v\f\r";
    const std::string whole(text);
    const std::size_t first = whole.find_first_not_of(blanks);
    if (first == std::string::npos) return std::string();
    return whole.substr(first, whole.find_last_not_of(blanks) - first + 1);
}

// atoi's reading, without its undefined behaviour on a number out of range.
int32_t ParseInt(const char* text) {
    const long value = std::strtol(text, nullptr, 10);
    if (value > INT32_MAX) return INT32_MAX;
    if (value < INT32_MIN) return INT32_MIN;
    return static_cast<int32_t>(value);
}

std::u16string FromAnsi(const std::string& narrow) {
    const char* text = narrow.c_str();
    const int size = MultiByteToWideChar(CP_ACP, 0, text, -1, nullptr, 0);
    if (size <= 0) return std::u16string();
    std::u16string wide(static_cast<std::size_t>(size), u'\0');
    const int written = MultiByteToWideChar(CP_ACP, 0, text, -1, Win32Wide(&wide[0]), size);
    wide.resize(written > 0 ? static_cast<std::size_t>(written - 1) : 0);
    return wide;
}

// A flag is true only as "true"; a path is in the ANSI code page.
void ReadFlag(TiXmlHandle root, const char* name, bool& flag) {
    const std::string text = ElementText(root, name);
    if (!text.empty()) flag = text == "true";
}

void ReadPath(TiXmlHandle root, const char* name, std::u16string& path) {
    const std::string text = ElementText(root, name);
    if (!text.empty()) path = FromAnsi(text);
}

// A field whose element is missing or holds no text keeps its value.
void ReadSettingsElements(TiXmlHandle root, PluginSettings& settings) {
    std::string text = ElementText(root, "tessellationQuality");
    if (!text.empty()) settings.tessellationQuality = std::atof(text.c_str());
    text = ElementText(root, "upAxis");
    if (!text.empty()) settings.upAxis = ParseInt(text.c_str());
    text = ElementText(root, "selectionMode");
    if (text == "automatic") settings.selectionMode = 0;
    if (text == "manual") settings.selectionMode = 1;
    ReadFlag(root, "includeNURBS", settings.includeNURBS);
    ReadFlag(root, "separateMaterials", settings.separateMaterials);
    ReadFlag(root, "promptForMechanism", settings.promptForMechanism);
    ReadPath(root, "exportPath", settings.exportPath);
    ReadPath(root, "fraPath", settings.fraPath);
}

// Only a regular file is read or written: a FIFO at the settings path would block the host for
// good, and a folder or a device is not a settings file, nor the plug-in's to write over. The
// name is in the ANSI code page, as the C runtime reads a narrow file name.
HeldFile OpenSettingsFile(const char* fileName, const char16_t* mode) {
    return OpenRegularFile(FromAnsi(fileName).c_str(), mode);
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
    const HeldFile file = OpenSettingsFile(fileName, u"w");
    if (file != nullptr) document.SaveFile(file.get());
}

bool ReadSettingsText(const std::string& text, PluginSettings& settings) {
    if (text.size() > kMaxFileSize) return false;
    const std::string normalized = NormalizeLineEnds(text);
    // A file saved by a text editor may begin with the UTF-8 byte order mark, which TinyXML's
    // own reading passes over; the byte-wise reading below would fail on it as text before the
    // declaration.
    const char* start = normalized.c_str();
    if (normalized.compare(0, 3, "\xEF\xBB\xBF") == 0) start += 3;
    if (!XmlParseWithinBounds(start, kMaxElementDepth, kMaxAttributesPerElement)) return false;
    TiXmlDocument document;
    {
        WhiteSpaceKept whiteSpaceKept;
        // The file is in the ANSI code page, not UTF-8: TinyXML must take each byte as one
        // character, or a code-page letter would swallow the bytes after it (an end tag, or the
        // text's terminator).
        document.Parse(start, nullptr, TIXML_ENCODING_LEGACY);
    }
    if (document.Error()) return false;
    TiXmlElement* root = document.FirstChildElement();
    if (root == nullptr) return false;
    ReadSettingsElements(TiXmlHandle(root), settings);
    return true;
}

SettingsFileRead ReadSettingsFile(const char* fileName, PluginSettings& settings) {
    try {
        errno = 0;
        const HeldFile file = OpenSettingsFile(fileName, u"rb");
        // Only a file that is not there is absent; one that would not open (memory ran out on
        // the way, it may not be read, or it is no regular file) is there all the same.
        if (file == nullptr)
            return errno == ENOENT ? SettingsFileRead::Absent : SettingsFileRead::Unread;
        std::string text;
        char chunk[4096];
        std::size_t n;
        while ((n = std::fread(chunk, 1, sizeof chunk, file.get())) > 0 &&
               text.size() <= kMaxFileSize) {
            text.append(chunk, n);
        }
        if (std::ferror(file.get()) != 0) return SettingsFileRead::Unread;
        // Read into a copy, so that a read that fails half-way changes nothing.
        PluginSettings read = settings;
        if (!ReadSettingsText(text, read)) return SettingsFileRead::Unread;
        std::swap(settings, read);
        return SettingsFileRead::Read;
    } catch (const std::bad_alloc&) {
        return SettingsFileRead::Unread;
    }
}
