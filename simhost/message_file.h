// The host's message files ("vistrel_msg.txt"): the texts that ProMessageToBuffer and
// ProCmdDesignate look up by key.
//
// Format, per entry four lines: the key, the text, its translation or "#", and a reserved line
// "#". Empty lines between entries are allowed; "\r\n" line ends are accepted. The file is UTF-8.
// This host runs in English, so the text (line 2) is what a key gives.
#pragma once

#include <istream>
#include <map>
#include <string>
#include <vector>

namespace sim {

class MessageFile {
public:
    // Reads the entries of in. Malformed input never fails the whole file: what can be read is
    // kept, and each problem (an entry cut short, a key given twice) is listed in Problems().
    void Read(std::istream& in);
    // Reads the file at path; false when it does not open.
    bool Load(const std::string& path);

    // The text of key, or null when the file has no such key.
    const std::u16string* Find(const std::string& key) const;
    size_t Size() const { return texts_.size(); }
    const std::vector<std::string>& Problems() const { return problems_; }

private:
    std::map<std::string, std::u16string> texts_;
    std::vector<std::string> problems_;
};

}  // namespace sim
