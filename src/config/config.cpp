#include "config/config.hpp"

#include <fstream>
#include <stdexcept>
#include <string>

#include "host/tools.hpp"

namespace Bellwright {
namespace {

nlohmann::json& LiveDocument() {
  static nlohmann::json document;
  return document;
}

std::string ConfigPath() {
  return AsaApi::Tools::GetCurrentDir() + "/ArkApi/Plugins/BellwrightEx/config.json";
}

}  // namespace

nlohmann::json ReadConfigFile() {
  std::ifstream file(ConfigPath());
  if (!file.is_open()) throw std::runtime_error("Can't open config.json");
  nlohmann::json document;
  file >> document;
  return document;
}

void ReadConfig() {
  ReplaceConfigDocument(ReadConfigFile());
}

const nlohmann::json& ConfigDocument() {
  return LiveDocument();
}

void ReplaceConfigDocument(nlohmann::json document) {
  LiveDocument() = std::move(document);
}

}  // namespace Bellwright
