#include "simhost/model_change.h"

#include <cstdint>

#include "simhost/model/world.h"

namespace sim {
namespace {

using Json = nlohmann::ordered_json;

bool ReadMatrix(const Json& value, Matrix& matrix) {
    if (!value.is_array() || value.size() != 4) return false;
    for (size_t row = 0; row < 4; ++row) {
        if (!value[row].is_array() || value[row].size() != 4) return false;
        for (size_t column = 0; column < 4; ++column) {
            if (!value[row][column].is_number()) return false;
            matrix[row][column] = value[row][column].get<double>();
        }
    }
    return true;
}

bool Move(World& world, const Json& move, std::string& error) {
    Matrix placement{};
    if (!move.is_object() || !move.contains("assembly") || !move["assembly"].is_string() ||
        !move.contains("component") || !move["component"].is_number_integer() ||
        !move.contains("placement") || !ReadMatrix(move["placement"], placement)) {
        error = "\"move\" needs \"assembly\" (a name), \"component\" (a feature id) and "
                "\"placement\" (4 rows of 4 numbers)";
        return false;
    }
    const std::string assembly = move["assembly"].get<std::string>();
    const long long id = move["component"].get<long long>();
    if (id < INT32_MIN || id > INT32_MAX ||
        !MoveComponent(world, assembly, static_cast<int>(id), placement)) {
        error = "assembly \"" + assembly + "\" has no component " + std::to_string(id);
        return false;
    }
    return true;
}

bool MakeCurrent(World& world, const Json& change, std::string& error) {
    const std::string name = change["current"].is_string() ? change["current"].get<std::string>() : "";
    const Model* model = FindModel(world, name);
    if (!change["current"].is_string() || (!name.empty() && !model)) {
        error = "\"current\" must name a model of the model file, or be \"\" for none";
        return false;
    }
    int mode = 0;
    if (change.contains("mode")) {
        if (!change["mode"].is_number_integer()) {
            error = "\"mode\" must be an integer";
            return false;
        }
        mode = change["mode"].get<int>();
    } else if (model) {
        mode = model->type == ModelType::Assembly ? 5 : 1;
    }
    return SetCurrentModel(world, name, mode);
}

}  // namespace

bool ApplyModelChange(World& world, const Json& change, std::string& error) {
    if (!change.is_object()) {
        error = "a model change must be an object";
        return false;
    }
    if (change.contains("bump") && change.size() == 1) {
        const std::string name = change["bump"].is_string() ? change["bump"].get<std::string>() : "";
        if (!BumpVerstamp(world, name)) {
            error = "no model \"" + name + "\" to bump";
            return false;
        }
        return true;
    }
    if (change.contains("move") && change.size() == 1) return Move(world, change["move"], error);
    if (change.contains("current") && (change.size() == 1 || (change.size() == 2 && change.contains("mode"))))
        return MakeCurrent(world, change, error);
    error = "a model change holds one of \"bump\", \"move\" or \"current\" (with \"mode\")";
    return false;
}

}  // namespace sim
