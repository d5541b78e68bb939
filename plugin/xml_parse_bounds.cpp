#include "plugin/xml_parse_bounds.h"

#include <cstddef>

namespace {

// TinyXML's white space: what isspace takes in the C locale.
bool IsSpace(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

bool IsHexDigit(char c) {
    return IsDigit(c) || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
}

// TinyXML's letters for text read byte by byte: ASCII letters and every byte from 127 up.
bool IsLetter(char c) {
    const unsigned char u = static_cast<unsigned char>(c);
    return u >= 127 || (u >= 'a' && u <= 'z') || (u >= 'A' && u <= 'Z');
}

bool IsNameStart(char c) { return IsLetter(c) || c == '_'; }

bool IsNameChar(char c) {
    return IsNameStart(c) || IsDigit(c) || c == '-' || c == '.' || c == ':';
}

bool IsQuote(char c) { return c == '\'' || c == '"'; }

char Lower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

// Follows TinyXML's parse of a text node by node, keeping only the depth of the open elements.
// Each step answers false where TinyXML would stop: at an error or at the end of the text.
class ParseBoundsScan {
public:
    ParseBoundsScan(std::string_view text, int maxDepth, int maxAttributes)
        : text_(text), maxDepth_(maxDepth), maxAttributes_(maxAttributes) {}

    bool Run() {
        while (!exceeded_) {
            if (depth_ == 0) {
                // Between the document's nodes TinyXML skips white space and stops at text.
                SkipSpace();
                if (Peek(0) != '<') break;
            } else if (Peek(0) != '<' && !SkipText('<')) {
                break;
            }
            if (depth_ > 0 && Peek(1) == '/') {
                // An element's end tag; TinyXML stops when it names another element.
                --depth_;
                if (!SkipPast(">")) break;
            } else if (!Node()) {
                break;
            }
        }
        return !exceeded_;
    }

private:
    char Peek(std::size_t ahead) const {
        return pos_ + ahead < text_.size() ? text_[pos_ + ahead] : '\0';
    }

    bool StartsWith(std::string_view prefix, bool ignoreCase = false) const {
        if (text_.size() - pos_ < prefix.size()) return false;
        for (std::size_t i = 0; i < prefix.size(); ++i) {
            const char c = text_[pos_ + i];
            if ((ignoreCase ? Lower(c) : c) != prefix[i]) return false;
        }
        return true;
    }

    void SkipSpace() {
        while (pos_ < text_.size() && IsSpace(text_[pos_])) ++pos_;
    }

    bool SkipPast(std::string_view end) {
        const std::size_t found = text_.find(end, pos_);
        if (found == std::string_view::npos) return false;
        pos_ = found + end.size();
        return true;
    }

    // A comment or CDATA section whose opening marker is opener characters long: its end is
    // looked for after the marker, as TinyXML does ("<!-->" does not end the comment it opens).
    bool SkipEnclosed(std::size_t opener, std::string_view end) {
        pos_ += opener;
        return SkipPast(end);
    }

    // A node at "<", as TinyXML tells the kinds apart.
    bool Node() {
        if (StartsWith("<?xml", true)) return Declaration();
        if (StartsWith("<!--")) return SkipEnclosed(4, "-->");
        if (StartsWith("<![CDATA[")) return SkipEnclosed(9, "]]>");
        if (IsNameStart(Peek(1))) return StartTag();
        return SkipPast(">");  // "<!" or anything else TinyXML does not know
    }

    // An element one level below the open ones, even one that is empty or cut short.
    bool StartTag() {
        exceeded_ = depth_ >= maxDepth_;
        if (exceeded_) return false;
        ++pos_;
        while (IsNameChar(Peek(0))) ++pos_;
        int attributes = 0;
        while (true) {
            SkipSpace();
            const char c = Peek(0);
            if (c == '/') {
                if (Peek(1) != '>') return false;  // "/" ends only an empty element
                pos_ += 2;
                return true;
            }
            if (c == '>') {
                ++pos_;
                ++depth_;
                return true;
            }
            exceeded_ = ++attributes > maxAttributes_;
            if (exceeded_ || !Attribute()) return false;
        }
    }

    // version, encoding and standalone are read as attributes; any other word up to white
    // space or ">" is passed over, quotes included.
    bool Declaration() {
        pos_ += 5;
        while (pos_ < text_.size()) {
            if (Peek(0) == '>') {
                ++pos_;
                return true;
            }
            SkipSpace();
            if (StartsWith("version", true) || StartsWith("encoding", true) ||
                StartsWith("standalone", true)) {
                if (!Attribute()) return false;
            } else {
                while (pos_ < text_.size() && Peek(0) != '>' && !IsSpace(Peek(0))) ++pos_;
            }
        }
        return false;
    }

    // name = "value", name = 'value' or name = value.
    bool Attribute() {
        if (!IsNameStart(Peek(0))) return false;
        while (IsNameChar(Peek(0))) ++pos_;
        SkipSpace();
        if (Peek(0) != '=') return false;
        ++pos_;
        SkipSpace();
        const char quote = Peek(0);
        if (IsQuote(quote)) {
            ++pos_;
            if (!SkipText(quote)) return false;
            ++pos_;
            return pos_ < text_.size();
        }
        for (char c = Peek(0); c != '\0' && !IsSpace(c) && c != '/' && c != '>'; c = Peek(0)) {
            if (IsQuote(c)) return false;
            ++pos_;
        }
        return pos_ < text_.size();
    }

    // Text up to the character end, which stays unread.
    bool SkipText(char end) {
        while (pos_ < text_.size()) {
            if (text_[pos_] == end) return true;
            if (text_[pos_] == '&') {
                if (!SkipReference()) return false;
            } else {
                ++pos_;
            }
        }
        return false;
    }

    // TinyXML takes "&#" up to the first ";" after it as one character reference when what
    // stands between that ";" and the nearest "x" (or "#") before it are digits, so a reference
    // may run over markup; other references hold plain letters.
    bool SkipReference() {
        if (Peek(1) != '#' || Peek(2) == '\0') {
            ++pos_;
            return true;
        }
        const bool hex = Peek(2) == 'x';
        if (hex && Peek(3) == '\0') return false;
        const std::size_t semicolon = text_.find(';', pos_ + (hex ? 3 : 2));
        if (semicolon == std::string_view::npos) return false;
        for (std::size_t q = semicolon - 1; text_[q] != (hex ? 'x' : '#'); --q) {
            if (!(hex ? IsHexDigit(text_[q]) : IsDigit(text_[q]))) return false;
        }
        pos_ = semicolon + 1;
        return true;
    }

    std::string_view text_;
    int maxDepth_;
    int maxAttributes_;
    std::size_t pos_ = 0;
    int depth_ = 0;  // elements open at pos_
    bool exceeded_ = false;
};

}  // namespace

bool XmlParseWithinBounds(std::string_view text, int maxDepth, int maxAttributes) {
    return ParseBoundsScan(text.substr(0, text.find('\0')), maxDepth, maxAttributes).Run();
}
