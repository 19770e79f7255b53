#include "opt_out/kept_choices_file.hpp"

#include <filesystem>
#include <fstream>
#include <nlohmann/json.hpp>
#include <system_error>

#include "config/config.hpp"

namespace Bellwright {

std::string KeptChoicesFilePath() {
  return PluginFolderPath() + "/bellwright_unwritten_opt_outs.json";
}

std::vector<Storage::StoredChoice> ReadKeptChoices() {
  std::vector<Storage::StoredChoice> choices;
  std::ifstream file(KeptChoicesFilePath(), std::ios::binary);
  if (!file) {
    return choices;
  }
  const nlohmann::json document = nlohmann::json::parse(file, nullptr, /*allow_exceptions=*/false);
  if (!document.is_object()) {
    return choices;
  }
  for (const auto& [player_key, opted_out] : document.items()) {
    if (opted_out.is_boolean()) {
      choices.push_back({player_key, opted_out.get<bool>()});
    }
  }
  return choices;
}

std::string KeepChoices(const std::vector<Storage::StoredChoice>& choices) {
  namespace fs = std::filesystem;
  const fs::path path = fs::u8path(KeptChoicesFilePath());
  std::error_code error;
  if (choices.empty()) {
    fs::remove(path, error);
    return error ? error.message() : std::string();
  }
  nlohmann::json document = nlohmann::json::object();
  for (const Storage::StoredChoice& choice : choices) {
    document[choice.player_key] = choice.opted_out;
  }
  // Written beside and renamed over, so a crash leaves the old file or the new one.
  fs::path temporary = path;
  temporary += ".new";
  {
    std::ofstream file(temporary, std::ios::binary | std::ios::trunc);
    file << document.dump(1, '\t', false, nlohmann::json::error_handler_t::replace) << '\n';
    if (!file.flush()) {
      return "cannot write " + temporary.string();
    }
  }
  fs::rename(temporary, path, error);
  return error ? error.message() : std::string();
}

}  // namespace Bellwright
