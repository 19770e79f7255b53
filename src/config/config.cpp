#include "config/config.hpp"

#include <fstream>
#include <iterator>
#include <sstream>
#include <utility>

#include "base/log.hpp"
#include "host/tools.hpp"

namespace Bellwright {
namespace {

// Made on first use: the library's start-up runs before its other static objects
// are constructed.
nlohmann::json& LiveDocument() {
  static nlohmann::json document;
  return document;
}

}  // namespace

std::string ConfigFilePath() {
  return AsaApi::Tools::GetCurrentDir() + "/ArkApi/Plugins/BellwrightEx/config.json";
}

nlohmann::json ParseConfigText(std::string_view text) {
  // The stream form of the parser stops after the first value; the string form
  // would refuse what follows it.
  std::istringstream stream{std::string(text)};
  nlohmann::json document;
  stream >> document;
  return document;
}

ConfigRead ReadConfigFile() {
  std::ifstream file(ConfigFilePath(), std::ios::binary);
  if (!file.is_open()) {
    return {std::nullopt, "Can't open config.json"};
  }
  const std::string text{std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
  try {
    return {LoadedConfig(ParseConfigText(text)), {}};
  } catch (const nlohmann::json::exception& error) {
    return {std::nullopt, error.what()};
  }
}

bool StartConfig() {
  ConfigRead read = ReadConfigFile();
  if (!read.config) {
    Log::Error("Load stopped: {}", read.failure);
    return false;
  }
  UseConfig(std::move(*read.config));
  return true;
}

void StopConfig() {
  LiveDocument() = nullptr;
}

void UseConfig(LoadedConfig config) {
  LiveDocument() = std::move(config.document_);
}

const nlohmann::json& ConfigDocument() {
  return LiveDocument();
}

}  // namespace Bellwright
