#include "platform/registry_file.h"

#include <cstdio>
#include <optional>

#include "platform/utf8.h"

namespace {

constexpr std::string_view kHeader = "Windows Registry Editor Version 5.00";
constexpr std::uint32_t kRegSz = 1;
constexpr std::uint32_t kRegBinary = 3;
constexpr std::uint32_t kRegDword = 4;

constexpr std::string_view kRoots[] = {
    "HKEY_CLASSES_ROOT", "HKEY_CURRENT_USER", "HKEY_LOCAL_MACHINE", "HKEY_USERS",
    "HKEY_CURRENT_CONFIG",
};

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

std::string_view TrimLeft(std::string_view s)
{
    while (!s.empty() && IsBlank(s.front())) s.remove_prefix(1);
    return s;
}

std::string_view TrimRight(std::string_view s)
{
    while (!s.empty() && (IsBlank(s.back()) || s.back() == '\r')) s.remove_suffix(1);
    return s;
}

int HexDigit(char c)
{
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

// One to eight hexadecimal digits and nothing else.
std::optional<std::uint32_t> ParseHex32(std::string_view s)
{
    if (s.empty() || s.size() > 8) return std::nullopt;
    std::uint32_t value = 0;
    for (char c : s) {
        const int digit = HexDigit(c);
        if (digit < 0) return std::nullopt;
        value = (value << 4) | static_cast<std::uint32_t>(digit);
    }
    return value;
}

// The file's text as UTF-8: a UTF-16LE file (byte order mark FF FE) is converted, a UTF-8
// byte order mark dropped.
std::string DecodeText(std::string_view bytes)
{
    if (bytes.size() >= 2 && static_cast<unsigned char>(bytes[0]) == 0xFF &&
        static_cast<unsigned char>(bytes[1]) == 0xFE) {
        std::u16string wide;
        wide.reserve(bytes.size() / 2);
        for (std::size_t i = 2; i + 1 < bytes.size(); i += 2) {
            wide += static_cast<char16_t>(static_cast<unsigned char>(bytes[i]) |
                                          (static_cast<unsigned char>(bytes[i + 1]) << 8));
        }
        return Utf16ToUtf8(wide);
    }
    if (bytes.size() >= 3 && bytes.substr(0, 3) == "\xEF\xBB\xBF") bytes.remove_prefix(3);
    return std::string(bytes);
}

// Reads a quoted text at the start of s (s[0] is the opening quote), undoing the escapes "\\"
// and "\"". Answers the text and leaves s after the closing quote; nullopt when the text is
// not closed or holds another escape.
std::optional<std::string> ReadQuoted(std::string_view& s)
{
    std::string text;
    for (std::size_t i = 1; i < s.size(); ++i) {
        const char c = s[i];
        if (c == '"') {
            s.remove_prefix(i + 1);
            return text;
        }
        if (c == '\\') {
            if (i + 1 >= s.size() || (s[i + 1] != '\\' && s[i + 1] != '"')) return std::nullopt;
            text += s[++i];
        } else {
            text += c;
        }
    }
    return std::nullopt;
}

std::vector<std::uint8_t> StringData(const std::string& text)
{
    const std::u16string wide = Utf8ToUtf16(text);
    std::vector<std::uint8_t> data;
    data.reserve((wide.size() + 1) * 2);
    for (char16_t c : wide) {
        data.push_back(static_cast<std::uint8_t>(c & 0xFF));
        data.push_back(static_cast<std::uint8_t>(c >> 8));
    }
    data.push_back(0);
    data.push_back(0);
    return data;
}

// "0a,ff, 3" (blanks allowed around the bytes, an empty list allowed).
std::optional<std::vector<std::uint8_t>> ParseHexBytes(std::string_view s)
{
    std::vector<std::uint8_t> data;
    s = TrimLeft(TrimRight(s));
    if (s.empty()) return data;
    while (true) {
        const std::size_t comma = s.find(',');
        const std::string_view item = TrimLeft(TrimRight(s.substr(0, comma)));
        if (item.empty() || item.size() > 2) return std::nullopt;
        const auto value = ParseHex32(item);
        if (!value) return std::nullopt;
        data.push_back(static_cast<std::uint8_t>(*value));
        if (comma == std::string_view::npos) return data;
        s.remove_prefix(comma + 1);
    }
}

// The data part of a value line (after "="); nullopt when malformed.
std::optional<RegistryValue> ParseData(std::string_view s)
{
    RegistryValue value;
    if (!s.empty() && s.front() == '"') {
        const auto text = ReadQuoted(s);
        if (!text || !TrimRight(s).empty()) return std::nullopt;
        value.type = kRegSz;
        value.data = StringData(*text);
        return value;
    }
    constexpr std::string_view kDword = "dword:";
    if (s.substr(0, kDword.size()) == kDword) {
        const auto number = ParseHex32(TrimRight(s.substr(kDword.size())));
        if (!number) return std::nullopt;
        value.type = kRegDword;
        for (int shift = 0; shift < 32; shift += 8) {
            value.data.push_back(static_cast<std::uint8_t>(*number >> shift));
        }
        return value;
    }
    constexpr std::string_view kHex = "hex";
    if (s.substr(0, kHex.size()) != kHex) return std::nullopt;
    s.remove_prefix(kHex.size());
    value.type = kRegBinary;
    if (!s.empty() && s.front() == '(') {
        const std::size_t close = s.find(')');
        if (close == std::string_view::npos) return std::nullopt;
        const auto type = ParseHex32(s.substr(1, close - 1));
        if (!type) return std::nullopt;
        value.type = *type;
        s.remove_prefix(close + 1);
    }
    if (s.empty() || s.front() != ':') return std::nullopt;
    auto bytes = ParseHexBytes(s.substr(1));
    if (!bytes) return std::nullopt;
    value.data = std::move(*bytes);
    return value;
}

bool IsKnownRoot(std::string_view folded)
{
    for (std::string_view root : kRoots) {
        if (folded == root) return true;
    }
    return false;
}

// A folded key path whose first component is a known root and whose components are not
// empty; nullopt otherwise.
std::optional<std::string> NormalizeKeyPath(std::string_view path)
{
    const std::string folded = RegistryFile::Fold(path);
    const std::string_view view = folded;
    const std::size_t first = view.find('\\');
    if (!IsKnownRoot(view.substr(0, first))) return std::nullopt;
    if (first != std::string_view::npos) {
        if (view.find("\\\\") != std::string_view::npos || view.back() == '\\') return std::nullopt;
    }
    return folded;
}

}  // namespace

class RegistryFileParser {
public:
    explicit RegistryFileParser(RegistryFile& file) : file_(file) {}

    void ParseLine(std::string_view line)
    {
        line = TrimLeft(TrimRight(line));
        if (line.empty() || line.front() == ';') return;
        if (line.front() == '[') {
            ParseSection(line);
        } else if (line.front() == '"' || line.front() == '@') {
            ParseValue(line);
        }
    }

private:
    void ParseSection(std::string_view line)
    {
        current_ = nullptr;
        if (line.back() != ']') return;
        std::string_view path = line.substr(1, line.size() - 2);
        const bool remove = !path.empty() && path.front() == '-';
        if (remove) path.remove_prefix(1);
        const auto folded = NormalizeKeyPath(path);
        if (!folded) return;
        if (remove) {
            RemoveKey(*folded);
        } else {
            current_ = &file_.keys_[*folded];
        }
    }

    void RemoveKey(const std::string& folded)
    {
        auto& keys = file_.keys_;
        keys.erase(folded);
        const std::string prefix = folded + '\\';
        for (auto it = keys.lower_bound(prefix);
             it != keys.end() && it->first.compare(0, prefix.size(), prefix) == 0;) {
            it = keys.erase(it);
        }
    }

    void ParseValue(std::string_view line)
    {
        if (current_ == nullptr) return;
        std::string name;
        if (line.front() == '@') {
            line.remove_prefix(1);
        } else {
            auto quoted = ReadQuoted(line);
            if (!quoted) return;
            name = RegistryFile::Fold(*quoted);
        }
        line = TrimLeft(line);
        if (line.empty() || line.front() != '=') return;
        line = TrimLeft(line.substr(1));
        if (line == "-") {
            current_->erase(name);
            return;
        }
        auto value = ParseData(line);
        if (value) (*current_)[name] = std::move(*value);
    }

    RegistryFile& file_;
    RegistryFile::ValueMap* current_ = nullptr;
};

std::string RegistryFile::Fold(std::string_view name)
{
    std::string folded(name);
    for (char& c : folded) {
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    }
    return folded;
}

RegistryFile RegistryFile::Parse(std::string_view bytes)
{
    RegistryFile file;
    RegistryFileParser parser(file);
    const std::string text = DecodeText(bytes);
    std::string_view rest = text;
    bool first = true;
    std::string logical;  // a value line with its continuation lines joined
    while (!rest.empty()) {
        const std::size_t end = rest.find('\n');
        std::string_view line = TrimRight(rest.substr(0, end));
        rest.remove_prefix(end == std::string_view::npos ? rest.size() : end + 1);
        if (first) {
            if (line != kHeader) return file;
            first = false;
            continue;
        }
        logical += logical.empty() ? line : TrimLeft(line);
        const bool valueLine = !logical.empty() && (logical.front() == '"' || logical.front() == '@');
        if (valueLine && logical.back() == '\\') {
            logical.pop_back();
            continue;
        }
        parser.ParseLine(logical);
        logical.clear();
    }
    if (!logical.empty()) parser.ParseLine(logical);
    return file;
}

RegistryFile RegistryFile::Load(const std::string& path)
{
    // C streams, which answer a read error (a folder, an unreadable file) instead of throwing.
    FILE* file = std::fopen(path.c_str(), "rb");
    if (file == nullptr) return RegistryFile();
    std::string bytes;
    char chunk[64 * 1024];
    std::size_t got = 0;
    while ((got = std::fread(chunk, 1, sizeof chunk, file)) > 0) bytes.append(chunk, got);
    const bool failed = std::ferror(file) != 0;
    std::fclose(file);
    return failed ? RegistryFile() : Parse(bytes);
}

bool RegistryFile::HasKey(std::string_view path) const
{
    const auto folded = NormalizeKeyPath(path);
    if (!folded) return false;
    if (folded->find('\\') == std::string::npos) return true;  // a root
    if (keys_.count(*folded) != 0) return true;
    const std::string prefix = *folded + '\\';
    const auto it = keys_.lower_bound(prefix);
    return it != keys_.end() && it->first.compare(0, prefix.size(), prefix) == 0;
}

const RegistryFile::ValueMap* RegistryFile::Values(std::string_view path) const
{
    const auto folded = NormalizeKeyPath(path);
    if (!folded) return nullptr;
    const auto it = keys_.find(*folded);
    return it == keys_.end() ? nullptr : &it->second;
}
