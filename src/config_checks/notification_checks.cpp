#include "config_checks/notification_checks.hpp"

#include <fmt/format.h>

#include "config_checks/json_text/document_walk.hpp"
#include "config_checks/json_text/findings.hpp"
#include "config_checks/json_text/json_pointer.hpp"

namespace Bellwright::ConfigCheck {

void CheckNotificationVisible(const nlohmann::json& object, const std::string& pointer,
                              std::string_view prefix, std::string_view whose, Findings& findings) {
  struct Value {
    const char* name;
    const char* words;
    const char* fix;
  };
  constexpr Value kValues[] = {
      {"DisplayTime", "display time", "give it the seconds it should stay, such as 10"},
      {"DisplayScale", "display scale", "1 is the normal size"},
  };
  for (const Value& value : kValues) {
    const std::string key = fmt::format("{}{}", prefix, value.name);
    const nlohmann::json* number = Member(object, key);
    if (number != nullptr && number->is_number() && number->get<double>() <= 0) {
      findings.AtValue(Severity::kWarning, ChildPointer(pointer, key),
                       fmt::format("{} {}: {} cannot be seen; {}", value.words, number->dump(),
                                   whose, value.fix));
    }
  }
}

}  // namespace Bellwright::ConfigCheck
