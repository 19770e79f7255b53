// bellwright-sandbox: the stand-in game server that loads the plug-in.
#ifdef _WIN32
#include <io.h>
#include <windows.h>
#else
#include <unistd.h>
#endif

#include <CLI/CLI.hpp>
#include <cstdlib>
#include <filesystem>

#include "base/utf8_command_line.hpp"
#include "host_library/server_directory.hpp"
#include "host_library/text.hpp"
#include "live_mode.hpp"
#include "preview_page.hpp"
#include "script_mode.hpp"
#include "transcript_request.hpp"
#include "views/readable_view.hpp"
#include "views/terminal_theme.hpp"

namespace {

struct Options {
  std::string directory;
  std::string plugin;
  std::string script;
  std::string preview_page;
  std::vector<std::vector<std::string>> transcripts;
  std::string theme;
  bool quiet_host = false;
  int rcon_port = 0;
  std::string rcon_password;
  std::string rcon_bind = "127.0.0.1";
  Sandbox::Clock::TimePoint start{std::chrono::seconds(Sandbox::Clock::kScriptEpochSeconds)};
};

#ifdef _WIN32

constexpr int kStandardOutput = 1;

// The plug-in built beside the executable.
std::string DefaultPluginPath() {
  std::wstring path(MAX_PATH, L'\0');
  for (;;) {
    const DWORD length = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
    if (length == 0) {
      return "Bellwright.dll";
    }
    if (length < path.size()) {
      path.resize(length);
      break;
    }
    path.resize(path.size() * 2);
  }
  return Sandbox::Utf8FromPath(std::filesystem::path(path).parent_path() / L"Bellwright.dll");
}

#else

constexpr int kStandardOutput = STDOUT_FILENO;

// The plug-in built beside the executable.
std::string DefaultPluginPath() {
  std::error_code error;
  const std::filesystem::path executable = std::filesystem::read_symlink("/proc/self/exe", error);
  return error ? "Bellwright.so" : (executable.parent_path() / "Bellwright.so").string();
}

#endif

}  // namespace

int main(int argc, char** argv) {
  Options options;
  options.plugin = DefaultPluginPath();
  CLI::App app("The sandbox server: a stand-in game server that loads the Bellwright plug-in.",
               "bellwright-sandbox");
  app.add_option("--dir", options.directory,
                 "The server's current directory (default: the working directory)");
  app.add_option("--plugin", options.plugin, "The plug-in library")->capture_default_str();
  CLI::Option* script =
      app.add_option("--script", options.script, "Run a script (FILE, or - for standard input)");
  app.add_option("--preview-page", options.preview_page,
                 "Write the page of every configured message, each once as a player sees it, "
                 "to FILE (html) and exit; no script")
      ->excludes(script)
      ->type_name("FILE");
  app.add_option("--transcript", options.transcripts,
                 "Transcript on the standard output: jsonl (script mode default) or human (live "
                 "mode default); html FILE also writes a page of what each player sees, kept up "
                 "to date in live mode. May be given twice, e.g. --transcript human "
                 "--transcript html preview.html")
      ->expected(1, 2)
      ->type_name("FORM [FILE]");
  app.add_option("--theme", options.theme,
                 "The terminal's background, for readable colours: dark or light (default: "
                 "what COLORFGBG tells, else dark)")
      ->check(CLI::IsMember({"dark", "light"}));
  app.add_flag("--quiet-host", options.quiet_host,
               "Leave out of the human and html views what only the host records (log, "
               "permission queries, registry, unknown commands, host errors)");
  app.add_option("--rcon-port", options.rcon_port, "Listen for RCON clients on this port")
      ->check(CLI::Range(1, 65535));
  app.add_option("--rcon-password", options.rcon_password, "The RCON password");
  app.add_option("--rcon-bind", options.rcon_bind, "The RCON listening address")
      ->capture_default_str();
  app.add_option_function<std::string>(
         "--start",
         [&options](const std::string& text) {
           const auto start = Sandbox::ParseUtcInstant(text);
           if (!start) {
             throw CLI::ValidationError("--start", "expected YYYY-MM-DDTHH:MM:SSZ from " +
                                                       std::string(Sandbox::CalendarRangeText()) +
                                                       ", got " + text);
           }
           options.start = *start;
         },
         "Script mode and --preview-page: the UTC instant the virtual clock starts at "
         "(default 2026-01-01T00:00:00Z); ignored in live mode")
      ->type_name("YYYY-MM-DDTHH:MM:SSZ");
  // The same command line everywhere: on Windows too, "/name" is a path, not an option.
  app.allow_windows_style_options(false);
  const Bellwright::Platform::Utf8CommandLine command_line(argc, argv);
  CLI11_PARSE(app, command_line.Count(), command_line.Values());

  std::error_code error;
  const std::filesystem::path directory =
      options.directory.empty()
          ? std::filesystem::current_path(error)
          : std::filesystem::absolute(Sandbox::PathFromUtf8(options.directory), error);
  Sandbox::SetServerDirectory(Sandbox::Utf8FromPath(directory));

  const Sandbox::TranscriptRequest request = Sandbox::ParseTranscriptRequest(options.transcripts);
  if (!request.error.empty()) {
    return app.exit(CLI::ValidationError("--transcript", request.error));
  }
  if (!options.preview_page.empty() && !request.html_file.empty()) {
    return app.exit(CLI::ValidationError(
        "--transcript", "--preview-page writes the html page itself: give no --transcript html"));
  }
  Sandbox::ReadableOptions readable;
  readable.style.colour = Sandbox::ColourWanted(kStandardOutput, std::getenv("NO_COLOR"));
  readable.style.theme =
      Sandbox::ChooseTheme(Sandbox::ParseTheme(options.theme), std::getenv("COLORFGBG"));
  readable.quiet_host = options.quiet_host;

  if (!options.preview_page.empty()) {
    Sandbox::PreviewPageOptions preview_options;
    preview_options.page = options.preview_page;
    preview_options.plugin_path = options.plugin;
    preview_options.output = request.output;
    preview_options.readable = readable;
    preview_options.start = options.start;
    return Sandbox::RunPreviewPage(preview_options);
  }
  if (options.script.empty()) {
    Sandbox::LiveOptions live_options;
    live_options.plugin_path = options.plugin;
    live_options.transcript = request.output.value_or(Sandbox::TranscriptFormat::kHuman);
    live_options.readable = readable;
    live_options.html_file = request.html_file;
    live_options.rcon_port = static_cast<std::uint16_t>(options.rcon_port);
    live_options.rcon_password = options.rcon_password;
    live_options.rcon_bind = options.rcon_bind;
    return Sandbox::RunLive(live_options);
  }
  Sandbox::ScriptOptions script_options;
  script_options.script = options.script;
  script_options.plugin_path = options.plugin;
  script_options.transcript = request;
  script_options.readable = readable;
  script_options.start = options.start;
  return Sandbox::RunScriptMode(script_options);
}
