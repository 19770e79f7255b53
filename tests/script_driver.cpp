// Runs one behaviour script in the sandbox and compares its transcript, event by
// event, with the script's .expected file.
//
//   bellwright_script_driver SANDBOX_EXE SCRIPT
//
// The sandbox runs with a fresh temporary --dir and TZ=UTC; the directory's path shows
// as $SERVER in the transcript. A NAME.args file beside the script holds further
// arguments, separated by blanks (such as "--start 2026-03-29T00:00:00Z").
// BELLWRIGHT_UPDATE_EXPECTED=1 writes the actual transcript into the .expected file instead of
// comparing.
#include <sys/wait.h>
#include <unistd.h>

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

struct Run {
  std::string output;
  int exit_status = -1;
};

Run RunSandbox(const std::string& sandbox, const std::string& script, const fs::path& directory,
               const std::vector<std::string>& extra_arguments) {
  std::vector<std::string> arguments = {
      sandbox, "--dir", directory.string(), "--script", script, "--transcript", "jsonl"};
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
    execv(sandbox.c_str(), argv.data());
    std::perror("exec bellwright-sandbox");
    _exit(127);
  }
  close(pipe_ends[1]);
  Run run;
  char buffer[4096];
  for (ssize_t count = 0; (count = read(pipe_ends[0], buffer, sizeof buffer)) != 0;) {
    if (count > 0) {
      run.output.append(buffer, static_cast<std::size_t>(count));
    } else if (errno != EINTR) {
      break;
    }
  }
  close(pipe_ends[0]);
  int status = 0;
  waitpid(child, &status, 0);
  run.exit_status = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
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

// The server directory is new for every run; where a line names it (the plug-in logs
// the full path of a file it cannot open), the expectation says $SERVER instead.
void NameServerDirectory(std::string& output, const std::string& directory) {
  for (std::size_t at = output.find(directory); at != std::string::npos;
       at = output.find(directory, at)) {
    output.replace(at, directory.size(), "$SERVER");
  }
}

std::vector<std::string> ExtraArguments(fs::path script) {
  std::ifstream file(script.replace_extension(".args"));
  std::vector<std::string> arguments;
  for (std::string argument; file >> argument;) {
    arguments.push_back(argument);
  }
  return arguments;
}

int Check(const std::string& sandbox, const fs::path& script) {
  fs::path expected_path = script;
  expected_path.replace_extension(".expected");
  const TemporaryDirectory directory;
  Run run = RunSandbox(sandbox, script.string(), directory.Path(), ExtraArguments(script));
  NameServerDirectory(run.output, directory.Path().string());
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
  if (argc != 3) {
    std::cerr << "usage: bellwright_script_driver SANDBOX_EXE SCRIPT\n";
    return EXIT_FAILURE;
  }
  try {
    return Check(argv[1], fs::absolute(argv[2]));
  } catch (const std::exception& error) {
    std::cerr << "bellwright_script_driver: " << error.what() << '\n';
    return EXIT_FAILURE;
  }
}
