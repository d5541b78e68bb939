#include "simhost/message_file.h"

#include <fstream>

#include "simhost/wide_text.h"

namespace sim {
namespace {

bool ReadLine(std::istream& in, std::string& line) {
    if (!std::getline(in, line)) return false;
    if (!line.empty() && line.back() == '\r') line.pop_back();
    return true;
}

}  // namespace

void MessageFile::Read(std::istream& in) {
    std::string key;
    int lineNumber = 0;
    while (ReadLine(in, key)) {
        ++lineNumber;
        if (key.empty()) continue;  // blank lines may separate entries
        const int keyLine = lineNumber;
        std::string rest[3];
        int got = 0;
        while (got < 3 && ReadLine(in, rest[got])) {
            ++got;
            ++lineNumber;
        }
        if (got < 3) {
            problems_.push_back("line " + std::to_string(keyLine) + ": entry \"" + key +
                                "\" is cut short");
            if (got == 0) break;
        }
        if (texts_.count(key)) {
            problems_.push_back("line " + std::to_string(keyLine) + ": key \"" + key +
                                "\" is given again; the first entry counts");
            continue;
        }
        texts_[key] = Utf8ToUtf16(rest[0]);
    }
}

bool MessageFile::Load(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) return false;
    Read(in);
    return true;
}

const std::u16string* MessageFile::Find(const std::string& key) const {
    auto found = texts_.find(key);
    return found == texts_.end() ? nullptr : &found->second;
}

}  // namespace sim
