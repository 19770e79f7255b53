#include "opt_out/kept_choices_file.hpp"

#include <filesystem>
#include <fstream>
#include <nlohmann/json.hpp>
#include <system_error>

#include "base/platform_text.hpp"
#include "config/config.hpp"

namespace Bellwright {

std::string KeptChoicesFilePath() {
  return Platform::Utf8FromPath(PluginFolderPath() / "bellwright_unwritten_opt_outs.json");
}

namespace {

// Null when there is no file or it is not JSON.
nlohmann::json ReadKeptFile(const std::string& path) {
  std::ifstream file(Platform::PathFromUtf8(path), std::ios::binary);
  if (!file) {
    return nullptr;
  }
  nlohmann::json document = nlohmann::json::parse(file, nullptr, /*allow_exceptions=*/false);
  return document.is_discarded() ? nlohmann::json(nullptr) : document;
}

// Replaces the file with `document`, or removes it when `empty`.
std::string WriteKeptFile(const std::string& path_text, const nlohmann::json& document,
                          bool empty) {
  namespace fs = std::filesystem;
  const fs::path path = Platform::PathFromUtf8(path_text);
  std::error_code error;
  if (empty) {
    fs::remove(path, error);
    return error ? error.message() : std::string();
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

}  // namespace

std::vector<Storage::StoredChoice> ReadKeptChoices() {
  std::vector<Storage::StoredChoice> choices;
  const nlohmann::json document = ReadKeptFile(KeptChoicesFilePath());
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
  nlohmann::json document = nlohmann::json::object();
  for (const Storage::StoredChoice& choice : choices) {
    document[choice.player_key] = choice.opted_out;
  }
  return WriteKeptFile(KeptChoicesFilePath(), document, choices.empty());
}

std::string KeptGreetingsFilePath() {
  return Platform::Utf8FromPath(PluginFolderPath() / "bellwright_unrecorded_greetings.json");
}

std::vector<std::string> ReadKeptGreetings() {
  std::vector<std::string> player_keys;
  const nlohmann::json document = ReadKeptFile(KeptGreetingsFilePath());
  if (document.is_array()) {
    for (const auto& player_key : document) {
      if (player_key.is_string()) {
        player_keys.push_back(player_key.get<std::string>());
      }
    }
  }
  return player_keys;
}

std::string KeepGreetings(const std::vector<std::string>& player_keys) {
  return WriteKeptFile(KeptGreetingsFilePath(), player_keys, player_keys.empty());
}

}  // namespace Bellwright
