// A value of a parsed model file together with its place in the file (a JSON pointer such as
// "/models/2/features/0/model"), so that every complaint names the file and the place.
#pragma once

#include <initializer_list>
#include <stdexcept>
#include <string>

#include <nlohmann/json.hpp>

namespace sim {

// A model file that cannot be used: what() is "<file>: <place>: <what is wrong>".
class ModelFileError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

class JsonNode {
public:
    JsonNode(const nlohmann::json& value, std::string pointer, const std::string& file)
        : value_(&value), pointer_(std::move(pointer)), file_(&file) {}

    const std::string& Pointer() const { return pointer_; }
    [[noreturn]] void Fail(const std::string& what) const;
    // The same complaint for a place remembered as a pointer.
    [[noreturn]] static void FailAt(const std::string& file, const std::string& pointer,
                                    const std::string& what);

    bool IsArray() const { return value_->is_array(); }
    bool IsObject() const { return value_->is_object(); }

    // Objects. Expect an object whose keys are all among `keys` (a misspelt key is an error).
    void ExpectObject(std::initializer_list<const char*> keys) const;
    bool Has(const char* key) const;             // present and not null
    JsonNode operator[](const char* key) const;  // the member, which must be present

    // Arrays.
    size_t Size() const;  // expects an array
    JsonNode operator[](size_t index) const;
    JsonNode operator[](int index) const { return (*this)[static_cast<size_t>(index)]; }

    // Scalars, each checking its type.
    std::string String() const;
    bool Bool() const;
    int Int() const;        // an integer that fits 32 bits
    double Number() const;  // any finite number

    // Optional members with a default.
    std::string String(const char* key, const std::string& fallback) const;
    bool Bool(const char* key, bool fallback) const;
    int Int(const char* key, int fallback) const;
    double Number(const char* key, double fallback) const;

private:
    const nlohmann::json* value_;
    std::string pointer_;
    const std::string* file_;
};

}  // namespace sim
