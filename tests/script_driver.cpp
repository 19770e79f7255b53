// Runs one behaviour script in the sandbox and compares its transcript, event by
// event, with the script's .expected file.
//
//   bellwright_script_driver [--runner PROGRAM] [--timeout SECONDS] SANDBOX_EXE SCRIPT
//
// The sandbox runs with a fresh temporary --dir and TZ=UTC; the directory's path shows
// as $SERVER in the transcript. A NAME.args file beside the script holds further
// arguments, separated by blanks (such as "--start 2026-03-29T00:00:00Z"). A NAME.setup
// file beside it is run by bash with the server directory as its argument before the
// sandbox starts, to lay out files the script language cannot make.
// BELLWRIGHT_UPDATE_EXPECTED=1 writes the actual transcript into the .expected file instead of
// comparing.
//
// --runner runs the sandbox through PROGRAM: wine64 for the Windows build, whose
// sandbox (a .exe) is given its paths as Wine names them (Z: is the root folder).
// Where its transcript names a file under $SERVER, Windows' backslashes count as
// slashes, and CR LF line ends count as LF. A script whose transcript depends on the
// C library's rand() (the timed messages' random draw, the platform's own generator
// by design), or on the system's words for an error, has NAME.windows.expected beside
// NAME.expected: the Windows build reads that one. --timeout kills a sandbox that has not ended within SECONDS and fails the
// test: a plug-in stuck under the loader lock must not stall the run.
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <nlohmann/json.hpp>
#include <sstream>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;
using nlohmann::json;

class TemporaryDirectory {
 public:
  TemporaryDirectory() {
    std::string pattern = (fs::temp_directory_path() / "bellwright-script-XXXXXX").string();
    if (mkdtemp(pattern.data()) == nullptr) {
      throw std::runtime_error("cannot create a temporary directory");
    }
    path_ = pattern;
  }
  TemporaryDirectory(const TemporaryDirectory&) = delete;
  TemporaryDirectory& operator=(const TemporaryDirectory&) = delete;
  ~TemporaryDirectory() {
    std::error_code ignored;
    fs::remove_all(path_, ignored);
  }
  [[nodiscard]] const fs::path& Path() const { return path_; }

 private:
  fs::path path_;
};

struct Options {
  std::string runner;
  int timeout_seconds = 0;
  std::string sandbox;
  fs::path script;
};

struct Run {
  std::string output;
  int exit_status = -1;
  bool timed_out = false;
};

bool IsWindowsProgram(const std::string& program) {
  return fs::path(program).extension() == ".exe";
}

// A path as the program sees it: Wine shows the root folder as drive Z:.
std::string ProgramPath(const Options& options, const fs::path& path) {
  if (!IsWindowsProgram(options.sandbox)) {
    return path.string();
  }
  std::string windows = "Z:" + path.string();
  std::replace(windows.begin(), windows.end(), '/', '\\');
  return windows;
}

// Reads the sandbox's output until it ends, or kills it at the deadline. Another
// process of the runner's (a Wine server) may hold the pipe open after the sandbox
// has exited, so the end of the sandbox ends the reading, not the end of the pipe.
Run Collect(pid_t child, int output, int timeout_seconds) {
  using Clock = std::chrono::steady_clock;
  const auto deadline = Clock::now() + std::chrono::seconds(timeout_seconds);
  Run run;
  char buffer[4096];
  int status = 0;
  bool exited = false;
  for (bool open = true; open;) {
    pollfd ready{output, POLLIN, 0};
    const int polled = poll(&ready, 1, exited ? 0 : 100);
    if (polled > 0) {
      const ssize_t count = read(output, buffer, sizeof buffer);
      if (count > 0) {
        run.output.append(buffer, static_cast<std::size_t>(count));
        continue;
      }
      if (count == 0 || errno != EINTR) {
        open = false;
      }
    } else if (polled == 0 && exited) {
      open = false;
    }
    if (!exited && waitpid(child, &status, WNOHANG) == child) {
      exited = true;
    }
    if (!exited && timeout_seconds > 0 && Clock::now() >= deadline) {
      kill(child, SIGKILL);
      waitpid(child, &status, 0);
      exited = true;
      run.timed_out = true;
    }
  }
  if (!exited) {
    waitpid(child, &status, 0);
  }
  run.exit_status = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
  return run;
}

Run RunSandbox(const Options& options, const fs::path& directory,
               const std::vector<std::string>& extra_arguments) {
  std::vector<std::string> arguments;
  if (!options.runner.empty()) {
    arguments.push_back(options.runner);
  }
  const std::vector<std::string> own = {options.sandbox,
                                        "--dir",
                                        ProgramPath(options, directory),
                                        "--script",
                                        ProgramPath(options, options.script),
                                        "--transcript",
                                        "jsonl"};
  arguments.insert(arguments.end(), own.begin(), own.end());
  arguments.insert(arguments.end(), extra_arguments.begin(), extra_arguments.end());
  std::vector<char*> argv;
  for (std::string& argument : arguments) {
    argv.push_back(argument.data());
  }
  argv.push_back(nullptr);
  int pipe_ends[2];
  if (pipe(pipe_ends) != 0) {
    throw std::runtime_error("cannot create a pipe");
  }
  const pid_t child = fork();
  if (child < 0) {
    throw std::runtime_error("cannot start the sandbox");
  }
  if (child == 0) {
    setenv("TZ", "UTC", 1);
    dup2(pipe_ends[1], STDOUT_FILENO);
    close(pipe_ends[0]);
    close(pipe_ends[1]);
    execvp(argv[0], argv.data());
    std::perror(("exec " + arguments[0]).c_str());
    _exit(127);
  }
  close(pipe_ends[1]);
  Run run = Collect(child, pipe_ends[0], options.timeout_seconds);
  close(pipe_ends[0]);
  return run;
}

// Events of a transcript; blank lines and `#` comment lines are skipped.
std::vector<json> ParseEvents(std::istream& in, const std::string& source) {
  std::vector<json> events;
  std::string line;
  for (int number = 1; std::getline(in, line); ++number) {
    const auto first = line.find_first_not_of(" \t\r");
    if (first == std::string::npos || line[first] == '#') {
      continue;
    }
    try {
      events.push_back(json::parse(line));
    } catch (const json::parse_error& error) {
      throw std::runtime_error(source + ":" + std::to_string(number) + ": not JSON: " + line);
    }
  }
  return events;
}

bool Contains(const std::vector<json>& events, const char* kind) {
  for (const json& event : events) {
    if (event.value("event", "") == kind) {
      return true;
    }
  }
  return false;
}

void PrintDifference(const std::vector<json>& expected, const std::vector<json>& actual) {
  const std::size_t count = std::max(expected.size(), actual.size());
  std::cerr << "transcript differs (- expected, + actual):\n";
  for (std::size_t index = 0; index < count; ++index) {
    const bool has_expected = index < expected.size();
    const bool has_actual = index < actual.size();
    if (has_expected && has_actual && expected[index] == actual[index]) {
      std::cerr << "  " << actual[index].dump() << '\n';
      continue;
    }
    if (has_expected) {
      std::cerr << "- " << expected[index].dump() << '\n';
    }
    if (has_actual) {
      std::cerr << "+ " << actual[index].dump() << '\n';
    }
  }
}

void ReplaceAll(std::string& text, const std::string& from, const std::string& to) {
  for (std::size_t at = text.find(from); at != std::string::npos;
       at = text.find(from, at + to.size())) {
    text.replace(at, from.size(), to);
  }
}

// The server directory is new for every run; where a line names it (the plug-in logs
// the full path of a file it cannot open), the expectation says $SERVER instead.
void NameServerDirectory(std::string& output, const std::string& directory) {
  ReplaceAll(output, directory, "$SERVER");
}

// A Windows program names files under $SERVER with backslashes (in the JSON text, as
// the escape \\); up to the end of the file's name they count as slashes.
void UseSlashesUnderServer(std::string& text) {
  static const std::string kMarker = "$SERVER";
  static const std::string kEscapedBackslash = "\\\\";
  for (std::size_t at = text.find(kMarker); at != std::string::npos; at = text.find(kMarker, at)) {
    at += kMarker.size();
    while (at < text.size() && text[at] != ' ' && text[at] != '"' && text[at] != ',' &&
           text[at] != ':' && text[at] != '\n') {
      if (text.compare(at, kEscapedBackslash.size(), kEscapedBackslash) == 0) {
        text.replace(at, kEscapedBackslash.size(), "/");
      }
      ++at;
    }
  }
}

// Lays out the server directory as the script's NAME.setup says; true when there is none.
bool SetUp(fs::path script, const fs::path& directory) {
  script.replace_extension(".setup");
  if (!fs::exists(script)) {
    return true;
  }
  const pid_t child = fork();
  if (child < 0) {
    return false;
  }
  if (child == 0) {
    execlp("bash", "bash", script.c_str(), directory.c_str(), static_cast<char*>(nullptr));
    std::perror("exec bash");
    _exit(127);
  }
  int status = 0;
  waitpid(child, &status, 0);
  return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

std::vector<std::string> ExtraArguments(fs::path script) {
  std::ifstream file(script.replace_extension(".args"));
  std::vector<std::string> arguments;
  for (std::string argument; file >> argument;) {
    arguments.push_back(argument);
  }
  return arguments;
}

fs::path ExpectedPath(const Options& options) {
  fs::path path = options.script;
  if (IsWindowsProgram(options.sandbox)) {
    path.replace_extension(".windows.expected");
    if (fs::exists(path)) {
      return path;
    }
  }
  return path.replace_extension("").replace_extension(".expected");
}

int Check(const Options& options) {
  const fs::path expected_path = ExpectedPath(options);
  const TemporaryDirectory directory;
  if (!SetUp(options.script, directory.Path())) {
    std::cerr << "the setup of " << options.script << " failed\n";
    return EXIT_FAILURE;
  }
  Run run = RunSandbox(options, directory.Path(), ExtraArguments(options.script));
  if (run.timed_out) {
    std::cerr << "the sandbox did not end within " << options.timeout_seconds
              << " s and was killed\n";
    return EXIT_FAILURE;
  }
  NameServerDirectory(run.output, directory.Path().string());
  if (IsWindowsProgram(options.sandbox)) {
    ReplaceAll(run.output, "\r\n", "\n");
    std::string windows_directory = ProgramPath(options, directory.Path());
    ReplaceAll(windows_directory, "\\", "\\\\");
    NameServerDirectory(run.output, windows_directory);
    UseSlashesUnderServer(run.output);
  }
  std::istringstream output(run.output);
  const std::vector<json> actual = ParseEvents(output, "transcript");

  const char* update = std::getenv("BELLWRIGHT_UPDATE_EXPECTED");
  if (update != nullptr && std::string(update) == "1") {
    std::ofstream file(expected_path, std::ios::binary | std::ios::trunc);
    file << run.output;
    std::cerr << "wrote " << expected_path << " (" << actual.size()
              << " events): read every line before committing it\n";
    return file ? EXIT_SUCCESS : EXIT_FAILURE;
  }

  std::ifstream expected_file(expected_path, std::ios::binary);
  if (!expected_file) {
    std::cerr << "cannot open " << expected_path << '\n';
    return EXIT_FAILURE;
  }
  const std::vector<json> expected = ParseEvents(expected_file, expected_path.string());
  bool passed = true;
  if (expected != actual) {
    PrintDifference(expected, actual);
    passed = false;
  }
  const int expected_status = Contains(expected, "sandbox_error") ? 1 : 0;
  if (run.exit_status != expected_status) {
    std::cerr << "the sandbox exited with " << run.exit_status << ", expected " << expected_status
              << '\n';
    passed = false;
  }
  // An exception escaping the plug-in would take a real server down.
  if (Contains(actual, "host_error")) {
    std::cerr << "the transcript has a host_error: an exception escaped from the plug-in\n";
    passed = false;
  }
  return passed ? EXIT_SUCCESS : EXIT_FAILURE;
}

}  // namespace

int main(int argc, char** argv) {
  Options options;
  std::vector<std::string> positional;
  for (int index = 1; index < argc; ++index) {
    const std::string argument = argv[index];
    if (argument == "--runner" && index + 1 < argc) {
      options.runner = argv[++index];
    } else if (argument == "--timeout" && index + 1 < argc) {
      options.timeout_seconds = std::atoi(argv[++index]);
    } else {
      positional.push_back(argument);
    }
  }
  if (positional.size() != 2) {
    std::cerr << "usage: bellwright_script_driver [--runner PROGRAM] [--timeout SECONDS] "
                 "SANDBOX_EXE SCRIPT\n";
    return EXIT_FAILURE;
  }
  try {
    options.sandbox = positional[0];
    options.script = fs::absolute(positional[1]);
    return Check(options);
  } catch (const std::exception& error) {
    std::cerr << "bellwright_script_driver: " << error.what() << '\n';
    return EXIT_FAILURE;
  }
}
