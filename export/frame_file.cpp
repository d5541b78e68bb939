#include "export/frame_file.h"

#include <algorithm>
#include <charconv>
#include <cstddef>
#include <map>
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

// The decimal order of magnitude of a number's text ("digits[.digits][e[sign]digits]"), near
// enough to tell a number far below one from one far above it.
long long RoughDecimalOrder(const char* first, const char* last) {
    long long order = 0;  // integer digits from the first non-zero one, or minus leading zeros
    bool point = false;
    bool nonZero = false;
    const char* p = first;
    for (; p != last && *p != 'e' && *p != 'E'; ++p) {
        if (*p == '.') {
            point = true;
        } else if (!nonZero && *p == '0') {
            if (point) --order;
        } else {
            nonZero = true;
            if (!point) ++order;
        }
    }
    if (p == last) return order;
    ++p;
    const bool negative = p != last && *p == '-';
    if (p != last && (*p == '+' || *p == '-')) ++p;
    long long exponent = 0;
    for (; p != last && exponent < 1000000000; ++p) exponent = exponent * 10 + (*p - '0');
    return negative ? order - exponent : order + exponent;
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
        const std::size_t length = IntLength();
        return length != 0 && Convert(length, value) == std::errc();
    }

    // An integer as ReadInt reads it, held between low and high; one beyond the int32 range,
    // which ReadInt does not take, is held too.
    bool ReadIntBetween(int32_t low, int32_t high, int32_t& value) {
        const std::size_t length = IntLength();
        if (length == 0) return false;
        int32_t read = 0;
        if (Convert(length, read) == std::errc::result_out_of_range) {
            read = Peek(0) == '-' ? low : high;
            Advance(length);
        }
        value = read < low ? low : read > high ? high : read;
        return true;
    }

    // A decimal number (digits with an optional point and exponent, an optional sign), rounded
    // to the nearest float as "%f" rounds it: one too small for a float gives zero. One too large
    // for a float would be infinite, and like "inf" and "nan" it is no usable number: the
    // placement goes to the renderer, which cannot read them.
    bool ReadFloat(float& value) {
        SkipSpace();
        const std::size_t sign = Peek(0) == '+' || Peek(0) == '-' ? 1 : 0;
        const std::size_t length = DecimalLength(sign);
        if (length == 0) return false;
        const std::errc result = Convert(length, value);
        if (result != std::errc::result_out_of_range) return result == std::errc();
        const char* first = buffer_.data() + pos_ + sign;
        if (RoughDecimalOrder(first, first + (length - sign)) > 0) return false;
        value = Peek(0) == '-' ? -0.0f : 0.0f;
        Advance(length);
        return true;
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
        if (Peek(length) == 'e' || Peek(length) == 'E') {
            std::size_t exponent = length + 1;
            if (Peek(exponent) == '+' || Peek(exponent) == '-') ++exponent;
            if (IsDigit(Peek(exponent))) {
                while (IsDigit(Peek(exponent))) ++exponent;
                length = exponent;
            }
        }
        return length;
    }

    // Length of an optional sign and decimal digits after white space; 0 when there are no
    // digits.
    std::size_t IntLength() {
        SkipSpace();
        std::size_t length = Peek(0) == '+' || Peek(0) == '-' ? 1 : 0;
        const std::size_t digitsStart = length;
        while (IsDigit(Peek(length))) ++length;
        return length == digitsStart ? 0 : length;
    }

    // Converts the next length characters, already scanned, and consumes them when they convert;
    // consumes nothing otherwise. from_chars takes no "+", so a plus sign is stepped over.
    template <class T>
    std::errc Convert(std::size_t length, T& value) {
        const std::size_t skip = buffer_[pos_] == '+' ? 1 : 0;
        const char* first = buffer_.data() + pos_ + skip;
        const char* last = buffer_.data() + pos_ + length;
        T converted{};
        const std::from_chars_result result = std::from_chars(first, last, converted);
        if (result.ec != std::errc()) return result.ec;
        if (result.ptr != last) return std::errc::invalid_argument;
        value = converted;
        Advance(length);
        return std::errc();
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

// The path of a record after its "Part:": the count k, then the k identifiers as
// " (%d ... %d)" reads them, so that a missing ")" only ends the pattern. False when the count
// or an identifier does not convert: the record then belongs to no path.
bool ReadRecordPath(FrameFileScanner& scanner, ProAsmcomppath& path) {
    int32_t count = 0;
    if (!scanner.ReadInt(count) || count < 1 || count > PRO_MAX_ASSEMBLY_LEVEL) return false;
    path = ProAsmcomppath{};
    path.table_num = count;
    scanner.SkipSpace();
    if (!scanner.Literal('(')) return false;
    for (int32_t i = 0; i < count; ++i)
        if (!scanner.ReadInt(path.comp_id_table[i])) return false;
    scanner.Literal(')');
    return true;
}

// The twelve numbers of a placement, row by row; false as soon as one does not convert.
bool ReadPlacement(FrameFileScanner& scanner, ProMatrix placement) {
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

// Appends placements to the lists of their paths. The n-th record of a path is its n-th frame,
// so a record whose placement cannot be read still takes its frame's place: it repeats the
// path's placement before it, or, before the path has any, the first one that follows.
class FrameListAppender {
public:
    explicit FrameListAppender(AnimationFrames& frames) : frames_(frames) {}

    void Append(const ProAsmcomppath& path, const FramePlacement& placement) {
        std::vector<FramePlacement>& list = frames_[path];
        const auto waiting = waiting_.find(path);
        if (waiting != waiting_.end()) {
            list.insert(list.end(), waiting->second, placement);
            waiting_.erase(waiting);
        }
        list.push_back(placement);
    }

    void AppendUnreadable(const ProAsmcomppath& path) {
        const auto found = frames_.find(path);
        if (found == frames_.end() || found->second.empty()) {
            ++waiting_[path];
            return;
        }
        const FramePlacement previous = found->second.back();
        found->second.push_back(previous);
    }

private:
    AnimationFrames& frames_;
    // Per path, the unreadable records that came before its first placement.
    std::map<ProAsmcomppath, std::size_t, ComponentPathOrder> waiting_;
};

// Appends the records of the file to frames; answers whether the "frames:" line gave the frame
// count, which then is in frameCount.
bool ReadRecords(FrameFileScanner& scanner, AnimationFrames& frames, int32_t& frameCount) {
    int32_t ignored = 0;
    if (!SkipPast(scanner, "parts:")) return false;
    scanner.ReadInt(ignored);  // the number of parts: the records tell
    if (!SkipPast(scanner, "frames:")) return false;
    const bool counted = scanner.ReadIntBetween(0, kMaxFrameCount, frameCount);
    if (!SkipPast(scanner, "MaFrame")) return counted;
    scanner.ReadInt(ignored);  // the frame number: records are counted per path instead

    FrameListAppender lists(frames);
    std::string token;
    while (scanner.NextToken(token)) {
        if (token != "Part:") continue;
        ProAsmcomppath path{};
        if (!ReadRecordPath(scanner, path)) continue;
        FramePlacement placement{};
        if (ReadPlacement(scanner, placement.matrix))
            lists.Append(path, placement);
        else
            lists.AppendUnreadable(path);
    }
    return counted;
}

// The frames read: the most placements of any one path.
int32_t MostPlacements(const AnimationFrames& frames) {
    std::size_t most = 0;
    for (const auto& entry : frames) most = std::max(most, entry.second.size());
    return static_cast<int32_t>(std::min<std::size_t>(most, kMaxFrameCount));
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

AnimationFrames ReadFrames(std::istream& in, int32_t& frameCount) {
    FrameFileScanner scanner(in);
    AnimationFrames frames;
    if (!ReadRecords(scanner, frames, frameCount)) frameCount = MostPlacements(frames);
    DropStillComponents(frames);
    return frames;
}
