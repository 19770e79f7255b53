// bellwright-sandbox: the stand-in game server that loads the plug-in.
#include <unistd.h>

#include <CLI/CLI.hpp>
#include <filesystem>
#include <fstream>
#include <iostream>

#include "command_interpreter.hpp"
#include "host_library/clock.hpp"
#include "host_library/server_directory.hpp"
#include "live_mode.hpp"
#include "script_runner.hpp"
#include "transcript.hpp"

namespace {

struct Options {
  std::string directory;
  std::string plugin;
  std::string script;
  std::string transcript;
  int rcon_port = 0;
  std::string rcon_password;
  std::string rcon_bind = "127.0.0.1";
};

// The plug-in built beside the executable.
std::string DefaultPluginPath() {
  std::error_code error;
  const std::filesystem::path executable = std::filesystem::read_symlink("/proc/self/exe", error);
  return error ? "Bellwright.so" : (executable.parent_path() / "Bellwright.so").string();
}

int RunScriptMode(const Options& options, Sandbox::TranscriptFormat format) {
  std::ifstream file;
  if (options.script != "-") {
    file.open(options.script, std::ios::binary);
    if (!file) {
      std::cerr << "bellwright-sandbox: cannot open the script " << options.script << '\n';
      return 2;
    }
  }
  std::istream& script = options.script == "-" ? std::cin : file;
  Sandbox::TheClock().UseVirtual();
  const auto transcript = Sandbox::MakeTranscript(format, std::cout);
  Sandbox::SetEventSink(transcript.get());
  int status = 0;
  {
    Sandbox::CommandInterpreter interpreter(options.plugin);
    status = Sandbox::RunScript(script, interpreter);
  }
  Sandbox::SetEventSink(nullptr);
  return status;
}

}  // namespace

int main(int argc, char** argv) {
  Options options;
  options.plugin = DefaultPluginPath();
  CLI::App app("The sandbox server: a stand-in game server that loads the Bellwright plug-in.",
               "bellwright-sandbox");
  app.add_option("--dir", options.directory,
                 "The server's current directory (default: the working directory)");
  app.add_option("--plugin", options.plugin, "The plug-in library")->capture_default_str();
  app.add_option("--script", options.script, "Run a script (FILE, or - for standard input)");
  app.add_option("--transcript", options.transcript,
                 "Transcript form: jsonl (script mode default) or human (live mode default)")
      ->check(CLI::IsMember({"jsonl", "human"}));
  app.add_option("--rcon-port", options.rcon_port, "Listen for RCON clients on this port")
      ->check(CLI::Range(1, 65535));
  app.add_option("--rcon-password", options.rcon_password, "The RCON password");
  app.add_option("--rcon-bind", options.rcon_bind, "The RCON listening address")
      ->capture_default_str();
  CLI11_PARSE(app, argc, argv);

  std::error_code error;
  const std::filesystem::path directory = options.directory.empty()
                                              ? std::filesystem::current_path(error)
                                              : std::filesystem::absolute(options.directory, error);
  Sandbox::SetServerDirectory(directory.string());

  const bool live = options.script.empty();
  const auto format = Sandbox::ParseTranscriptFormat(
      options.transcript.empty() ? std::string(live ? "human" : "jsonl") : options.transcript);
  if (live) {
    Sandbox::LiveOptions live_options;
    live_options.plugin_path = options.plugin;
    live_options.transcript = *format;
    live_options.rcon_port = static_cast<std::uint16_t>(options.rcon_port);
    live_options.rcon_password = options.rcon_password;
    live_options.rcon_bind = options.rcon_bind;
    return Sandbox::RunLive(live_options);
  }
  return RunScriptMode(options, *format);
}
