#include "simhost/model/json_node.h"

#include <cmath>
#include <limits>

namespace sim {

void JsonNode::FailAt(const std::string& file, const std::string& pointer,
                      const std::string& what) {
    throw ModelFileError(file + ": " + (pointer.empty() ? "/" : pointer) + ": " + what);
}

void JsonNode::Fail(const std::string& what) const { FailAt(*file_, pointer_, what); }

void JsonNode::ExpectObject(std::initializer_list<const char*> keys) const {
    if (!value_->is_object()) Fail("expected an object");
    for (const auto& member : value_->items()) {
        bool known = false;
        for (const char* key : keys) known = known || member.key() == key;
        if (!known) Fail("unknown key '" + member.key() + "'");
    }
}

bool JsonNode::Has(const char* key) const {
    if (!value_->is_object()) Fail("expected an object");
    auto found = value_->find(key);
    return found != value_->end() && !found->is_null();
}

JsonNode JsonNode::operator[](const char* key) const {
    if (!Has(key)) Fail(std::string("missing '") + key + "'");
    return JsonNode(value_->at(key), pointer_ + "/" + key, *file_);
}

size_t JsonNode::Size() const {
    if (!value_->is_array()) Fail("expected an array");
    return value_->size();
}

JsonNode JsonNode::operator[](size_t index) const {
    if (index >= Size()) Fail("missing item " + std::to_string(index));
    return JsonNode((*value_)[index], pointer_ + "/" + std::to_string(index), *file_);
}

std::string JsonNode::String() const {
    if (!value_->is_string()) Fail("expected a string");
    return value_->get<std::string>();
}

bool JsonNode::Bool() const {
    if (!value_->is_boolean()) Fail("expected true or false");
    return value_->get<bool>();
}

int JsonNode::Int() const {
    if (value_->is_number_unsigned()) {
        auto n = value_->get<std::uint64_t>();
        if (n <= static_cast<std::uint64_t>(std::numeric_limits<int>::max()))
            return static_cast<int>(n);
    } else if (value_->is_number_integer()) {
        auto n = value_->get<std::int64_t>();
        if (n >= std::numeric_limits<int>::min() && n <= std::numeric_limits<int>::max())
            return static_cast<int>(n);
    } else {
        Fail("expected an integer");
    }
    Fail("integer out of range");
}

double JsonNode::Number() const {
    if (!value_->is_number()) Fail("expected a number");
    double n = value_->get<double>();
    if (!std::isfinite(n)) Fail("number out of range");
    return n;
}

std::string JsonNode::String(const char* key, const std::string& fallback) const {
    return Has(key) ? (*this)[key].String() : fallback;
}
bool JsonNode::Bool(const char* key, bool fallback) const {
    return Has(key) ? (*this)[key].Bool() : fallback;
}
int JsonNode::Int(const char* key, int fallback) const {
    return Has(key) ? (*this)[key].Int() : fallback;
}
double JsonNode::Number(const char* key, double fallback) const {
    return Has(key) ? (*this)[key].Number() : fallback;
}

}  // namespace sim
