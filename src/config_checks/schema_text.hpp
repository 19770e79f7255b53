#pragma once

#include <string_view>

namespace Bellwright::ConfigCheck {

// The text of schema/config.schema.json, embedded when the library is built.
std::string_view SchemaText();

}  // namespace Bellwright::ConfigCheck
