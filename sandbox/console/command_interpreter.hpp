#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "host_library/rcon_connection.hpp"
#include "plugin_loader.hpp"

namespace Sandbox {

// The sandbox's command language, one line at a time. The script runner and an
// interactive console both feed it lines; it remembers an open `config <<WORD`
// block between lines.
class CommandInterpreter {
 public:
  explicit CommandInterpreter(std::string plugin_path);

  // `line_number` names the line in sandbox_error events.
  void ExecuteLine(std::string_view line, int line_number);
  // End of input: reports an unterminated config block, unloads the plug-in.
  void Finish();

  [[nodiscard]] int ErrorCount() const { return errors_; }
  // Whether the lines now being fed are the body of a `config <<WORD` block.
  [[nodiscard]] bool InConfigBlock() const { return config_block_.has_value(); }
  [[nodiscard]] PluginLoader& Loader() { return loader_; }

 private:
  struct ConfigBlock {
    std::string terminator;
    int line_number = 0;
    std::vector<std::string> lines;
  };

  void Error(int line_number, const std::string& text);
  // Each returns an error text, or empty when done.
  std::string Dispatch(std::string_view command, std::string_view rest, int line_number);
  std::string Load();
  std::string Unload();
  std::string Config(std::string_view rest, int line_number);
  std::string Join(std::string_view rest);
  std::string Possess(std::string_view rest);
  std::string Creature(std::string_view rest);
  std::string Leave(std::string_view rest);
  std::string Admin(std::string_view rest);
  std::string Groups(std::string_view rest);
  std::string Chat(std::string_view rest);
  std::string Console(std::string_view rest);
  std::string Rcon(std::string_view rest);
  std::string Wait(std::string_view rest);
  // Sets the calendar clock alone forward or back, as a time service does.
  std::string StepClock(std::string_view rest);
  void WriteConfig(const ConfigBlock& block);

  std::string plugin_path_;
  PluginLoader loader_;
  RconConnection rcon_;
  int next_rcon_id_ = 1;
  std::optional<ConfigBlock> config_block_;
  int errors_ = 0;
};

// The configuration file of the plug-in under the server directory.
std::filesystem::path ConfigFilePath();

// Writes a `registry` event: what is registered and detoured right now.
void EmitRegistry();

}  // namespace Sandbox
