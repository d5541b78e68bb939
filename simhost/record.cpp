#include "simhost/record.h"

#include <fstream>

namespace sim {

using Json = nlohmann::ordered_json;

void Record::Clear() {
    document_ = Json::object();
    for (const char* list : {"commands", "runs", "dialogs", "file_dialogs", "simprep_choices",
                             "selections", "messages"})
        document_[list] = Json::array();
    document_["console"] = "";
    document_["problems"] = Json::array();
    document_["host_memory"] = Json::array();
    document_["stopped"] = nullptr;
}

size_t Record::Append(const char* section, Json entry) {
    Json& list = document_[section];
    if (!list.is_array()) list = Json::array();
    list.push_back(std::move(entry));
    return list.size() - 1;
}

Json& Record::At(const char* section, size_t index) { return document_[section].at(index); }

void Record::Set(const char* section, Json value) { document_[section] = std::move(value); }

void Record::AddConsole(const std::string& text) {
    document_["console"] = document_["console"].get<std::string>() + text;
}

bool Record::Write(const std::string& path, std::string& error) const {
    std::ofstream out(path, std::ios::binary);
    if (out) out << document_.dump(2, ' ', false, Json::error_handler_t::replace) << "\n";
    if (!out) {
        error = "cannot write the record \"" + path + "\"";
        return false;
    }
    return true;
}

}  // namespace sim
