#include "config/opt_out_settings.hpp"

#include "config/settings.hpp"

namespace Bellwright {
namespace {

const nlohmann::json& TimedSection(const nlohmann::json& document) {
  return Settings::SectionOrEmpty(document, "TimedMessages");
}

}  // namespace

std::string OptOutCommandName(const nlohmann::json& document) {
  return Settings::ValueOr<std::string>(TimedSection(document), "OptOutCommand", "");
}

std::string OptOutAnswerLine(bool opted_out, const nlohmann::json& document) {
  const nlohmann::json& timed = TimedSection(document);
  return opted_out
             ? Settings::ValueOr<std::string>(timed, "OptOutOffMessage", kDefaultOptOutOffLine)
             : Settings::ValueOr<std::string>(timed, "OptOutOnMessage", kDefaultOptOutOnLine);
}

}  // namespace Bellwright
