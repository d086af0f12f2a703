// The three models by name and by the code they report.
#include <array>
#include <string_view>

#include "simulator/options.h"

namespace simulator {
namespace {

struct ModelRow {
    Model model;
    const char* name;
    int code;
};

constexpr std::array<ModelRow, 3> kModels{{
    {Model::Rv7010, "RV-7010", 4},
    {Model::Rv7020, "RV-7020", 1},
    {Model::Rv7030, "RV-7030", 2},
}};

const ModelRow& row(Model model) {
    for (const ModelRow& r : kModels)
        if (r.model == model) return r;
    return kModels[1];
}

}  // namespace

const char* model_name(Model model) { return row(model).name; }
int model_code(Model model) { return row(model).code; }

std::optional<Model> model_from_name(const std::string& name) {
    for (const ModelRow& r : kModels)
        if (name == r.name) return r.model;
    return std::nullopt;
}

}  // namespace simulator
