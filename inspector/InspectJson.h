// The document the inspector builds for a database: every decoded field, the problems found,
// in the order written. `quilinspect --json` prints it; the text report and the drawings of
// the forms are made from it, so all three show the same content.
#pragma once

#include <nlohmann/json.hpp>

using Json = nlohmann::ordered_json;
