#include "link/instance_list.h"

#include <cstring>

namespace {

const char kInstanceTag[] = "<vistrel_instance>";
const char kMajorTag[] = "<version_major>";
const char kMajorEnd[] = "</version_major>";
const char kPortTag[] = "<livelink_port>";
const char kPortEnd[] = "</livelink_port>";

// The reading looks for each tag from positions that only ever move forward, so each search
// remembers where it found its tag: a later search from a position not beyond that answers it
// again without reading the text once more. This keeps a text of many unfinished instances
// from costing quadratic time.
class TagSearch {
public:
    TagSearch(const std::string& text, const char* tag) : text_(text), tag_(tag) {}

    // The first occurrence of the tag at or after from, or npos.
    std::size_t From(std::size_t from)
    {
        if (!searched_ || from < searchedFrom_ || (found_ != std::string::npos && from > found_)) {
            found_ = text_.find(tag_, from);
            searchedFrom_ = from;
            searched_ = true;
        }
        return found_;
    }

    std::size_t Length() const { return std::strlen(tag_); }

private:
    const std::string& text_;
    const char* tag_;
    bool searched_ = false;
    std::size_t searchedFrom_ = 0;
    std::size_t found_ = std::string::npos;
};

bool IsBlank(char c) { return c == ' ' || (c >= '\t' && c <= '\r'); }

// atoi of text[begin, end), saturating at the limits of int32 instead of overflowing.
std::int32_t ReadNumber(const std::string& text, std::size_t begin, std::size_t end)
{
    while (begin < end && IsBlank(text[begin])) ++begin;
    const bool negative = begin < end && text[begin] == '-';
    if (begin < end && (text[begin] == '-' || text[begin] == '+')) ++begin;
    const long long limit = negative ? -static_cast<long long>(INT32_MIN) : INT32_MAX;
    long long value = 0;
    for (; begin < end && text[begin] >= '0' && text[begin] <= '9'; ++begin) {
        value = value * 10 + (text[begin] - '0');
        if (value > limit) value = limit;
    }
    return static_cast<std::int32_t>(negative ? -value : value);
}

}  // namespace

InstancePortSet ParseInstanceList(const std::string& text, int requiredMajor)
{
    InstancePortSet ports;
    TagSearch instance(text, kInstanceTag);
    TagSearch major(text, kMajorTag);
    TagSearch majorEnd(text, kMajorEnd);
    TagSearch port(text, kPortTag);
    TagSearch portEnd(text, kPortEnd);

    std::size_t at = instance.From(0);
    while (at != std::string::npos) {
        const std::size_t majorTag = major.From(at);
        if (majorTag == std::string::npos) break;
        // The cursor: where the major version begins. Its closing tag is looked for from one
        // character on, so an empty version takes the next closing tag.
        std::size_t cursor = majorTag + major.Length();
        const std::size_t majorClose = majorEnd.From(cursor + 1);
        if (majorClose == std::string::npos) break;
        if (ReadNumber(text, cursor, majorClose) >= requiredMajor) {
            const std::size_t portTag = port.From(cursor);
            if (portTag == std::string::npos) break;
            cursor = portTag + port.Length();
            const std::size_t portClose = portEnd.From(cursor);
            if (portClose == std::string::npos) break;
            if (portClose > cursor) ports.insert(ReadNumber(text, cursor, portClose));
        }
        at = instance.From(cursor + 1);
    }
    return ports;
}
