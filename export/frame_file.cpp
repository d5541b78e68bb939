#include "export/frame_file.h"

#include <charconv>
#include <cstddef>
#include <string>

namespace {

// Tokens are read as "%255s" reads them.
constexpr std::size_t kMaxTokenLength = 255;
// The stream is read in chunks of this size; consumed text is dropped once a chunk's worth of it
// has piled up, so memory follows the longest number or token, not the file.
constexpr std::size_t kChunkSize = 64 * 1024;

bool IsSpace(int c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

bool IsDigit(int c) {
    return c >= '0' && c <= '9';
}

int Lower(int c) {
    return c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c;
}

// Reads the frame file the way the host's C runtime scans it: tokens, integers and numbers, each
// after white space. Unlike the C runtime it looks ahead as far as it needs, so an integer or a
// number that does not convert consumes nothing at all, and it ignores the process's locale.
class FrameFileScanner {
public:
    explicit FrameFileScanner(std::istream& in) : in_(in) {}

    // The next run of non-blank characters, at most kMaxTokenLength of them; false at the end.
    bool NextToken(std::string& token) {
        SkipSpace();
        token.clear();
        while (token.size() < kMaxTokenLength && Peek(0) >= 0 && !IsSpace(Peek(0))) {
            token += static_cast<char>(Peek(0));
            Advance(1);
        }
        return !token.empty();
    }

    // An optional sign and decimal digits that fit an int32.
    bool ReadInt(int32_t& value) {
        SkipSpace();
        std::size_t length = Peek(0) == '+' || Peek(0) == '-' ? 1 : 0;
        const std::size_t digitsStart = length;
        while (IsDigit(Peek(length))) ++length;
        if (length == digitsStart) return false;
        return Convert(length, value);
    }

    // A decimal number (digits with an optional point and exponent), or inf, infinity or nan,
    // with an optional sign; it must be within the range of a float.
    bool ReadFloat(float& value) {
        SkipSpace();
        const std::size_t sign = Peek(0) == '+' || Peek(0) == '-' ? 1 : 0;
        std::size_t length = DecimalLength(sign);
        if (length == 0) length = WordLength(sign);
        if (length == 0) return false;
        return Convert(length, value);
    }

    // Consumes c when it comes next, with no white space before it.
    bool Literal(char c) {
        if (Peek(0) != static_cast<unsigned char>(c)) return false;
        Advance(1);
        return true;
    }

    void SkipSpace() {
        while (IsSpace(Peek(0))) Advance(1);
    }

private:
    // The character ahead characters from here, as an unsigned char value; -1 past the end.
    int Peek(std::size_t ahead) {
        while (pos_ + ahead >= buffer_.size() && Refill()) {
        }
        if (pos_ + ahead >= buffer_.size()) return -1;
        return static_cast<unsigned char>(buffer_[pos_ + ahead]);
    }

    void Advance(std::size_t count) { pos_ += count; }

    bool Refill() {
        if (ended_) return false;
        if (pos_ >= kChunkSize) {
            buffer_.erase(0, pos_);
            pos_ = 0;
        }
        const std::size_t kept = buffer_.size();
        buffer_.resize(kept + kChunkSize);
        in_.read(&buffer_[kept], static_cast<std::streamsize>(kChunkSize));
        const std::size_t got = static_cast<std::size_t>(in_.gcount());
        buffer_.resize(kept + got);
        if (got == 0) ended_ = true;
        return got > 0;
    }

    // Length of "digits[.digits][e[sign]digits]" after the sign (at least one digit before the
    // exponent), counted from here; 0 when there is none.
    std::size_t DecimalLength(std::size_t sign) {
        std::size_t length = sign;
        std::size_t digits = 0;
        for (; IsDigit(Peek(length)); ++length) ++digits;
        if (Peek(length) == '.') {
            ++length;
            for (; IsDigit(Peek(length)); ++length) ++digits;
        }
        if (digits == 0) return 0;
        if (Lower(Peek(length)) == 'e') {
            std::size_t exponent = length + 1;
            if (Peek(exponent) == '+' || Peek(exponent) == '-') ++exponent;
            if (IsDigit(Peek(exponent))) {
                while (IsDigit(Peek(exponent))) ++exponent;
                length = exponent;
            }
        }
        return length;
    }

    // Length of "infinity", "inf" or "nan" (any case) after the sign; 0 when none stands there.
    std::size_t WordLength(std::size_t sign) {
        for (const char* word : {"infinity", "inf", "nan"}) {
            std::size_t i = 0;
            while (word[i] != 0 && Lower(Peek(sign + i)) == word[i]) ++i;
            if (word[i] == 0) return sign + i;
        }
        return 0;
    }

    // Converts the next length characters and consumes them; consumes nothing when they do not
    // convert (out of range). from_chars takes no "+", so a plus sign is stepped over.
    template <class T>
    bool Convert(std::size_t length, T& value) {
        const std::size_t skip = buffer_[pos_] == '+' ? 1 : 0;
        const char* first = buffer_.data() + pos_ + skip;
        const char* last = buffer_.data() + pos_ + length;
        T converted{};
        const std::from_chars_result result = std::from_chars(first, last, converted);
        if (result.ec != std::errc() || result.ptr != last) return false;
        value = converted;
        Advance(length);
        return true;
    }

    std::istream& in_;
    std::string buffer_;   // text read from in_ and not yet dropped
    std::size_t pos_ = 0;  // the next character to scan, in buffer_
    bool ended_ = false;
};

// Reads tokens up to and including keyword; false when the file ends first.
bool SkipPast(FrameFileScanner& scanner, const char* keyword) {
    std::string token;
    while (scanner.NextToken(token))
        if (token == keyword) return true;
    return false;
}

// One record after its "Part:": the count, the identifiers in parentheses, the twelve numbers.
// False as soon as a piece does not convert; path and placement are then of no use.
bool ReadRecord(FrameFileScanner& scanner, ProAsmcomppath& path, ProMatrix placement) {
    int32_t count = 0;
    if (!scanner.ReadInt(count) || count < 1 || count > PRO_MAX_ASSEMBLY_LEVEL) return false;
    path = ProAsmcomppath{};
    path.table_num = count;
    scanner.SkipSpace();
    if (!scanner.Literal('(')) return false;
    for (int32_t i = 0; i < count; ++i)
        if (!scanner.ReadInt(path.comp_id_table[i])) return false;
    if (!scanner.Literal(')')) return false;
    for (int row = 0; row < 4; ++row) {
        for (int column = 0; column < 3; ++column) {
            float number = 0.0f;
            if (!scanner.ReadFloat(number)) return false;
            placement[row][column] = number;
        }
        placement[row][3] = row == 3 ? 1.0 : 0.0;
    }
    return true;
}

// Appends the records of the file to frames; frameCount from the "frames:" line.
void ReadRecords(FrameFileScanner& scanner, AnimationFrames& frames, int32_t& frameCount) {
    int32_t ignored = 0;
    if (!SkipPast(scanner, "parts:")) return;
    scanner.ReadInt(ignored);  // the number of parts: the records tell
    if (!SkipPast(scanner, "frames:")) return;
    int32_t count = 0;
    if (scanner.ReadInt(count) && count >= 0 && count <= kMaxFrameCount) frameCount = count;
    if (!SkipPast(scanner, "MaFrame")) return;
    scanner.ReadInt(ignored);  // the frame number: records are counted per path instead

    std::string token;
    while (scanner.NextToken(token)) {
        if (token != "Part:") continue;
        ProAsmcomppath path{};
        FramePlacement placement{};
        if (ReadRecord(scanner, path, placement.matrix)) frames[path].push_back(placement);
    }
}

bool SameNumbers(const ProMatrix a, const ProMatrix b) {
    for (int row = 0; row < 4; ++row)
        for (int column = 0; column < 4; ++column)
            if (!(a[row][column] == b[row][column])) return false;
    return true;
}

// True when every placement equals every other and itself; a NaN never equals, not even itself.
// Comparing each with the first (itself included) is enough: without NaN, equality is transitive.
bool AllEqual(const std::vector<FramePlacement>& placements) {
    for (const FramePlacement& placement : placements)
        if (!SameNumbers(placement.matrix, placements.front().matrix)) return false;
    return true;
}

// A component that never moves needs no animation.
void DropStillComponents(AnimationFrames& frames) {
    for (auto entry = frames.begin(); entry != frames.end();) {
        if (entry->second.empty() || AllEqual(entry->second))
            entry = frames.erase(entry);
        else
            ++entry;
    }
}

}  // namespace

void ReadFrames(std::istream& in, AnimationFrames& frames, int32_t& frameCount) {
    FrameFileScanner scanner(in);
    ReadRecords(scanner, frames, frameCount);
    DropStillComponents(frames);
}
