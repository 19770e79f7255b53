// The stand-in loader lock: a plug-in that waits for a thread while its library is
// opened or closed would hang the real host; the sandbox reports it and exits 1.
#include <gtest/gtest.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>

namespace {

struct SandboxRun {
  int status = -1;
  std::string transcript;
};

SandboxRun RunSandbox(const std::string& wait_mode, const std::string& plugin) {
  const std::filesystem::path folder =
      std::filesystem::temp_directory_path() / ("loader_lock_" + std::to_string(::getpid()));
  std::filesystem::create_directories(folder);
  std::ofstream(folder / "lock.script") << "load\nunload\n";
  const std::string command = "BELLWRIGHT_FIXTURE_WAIT=" + wait_mode + " " +
                              BELLWRIGHT_SANDBOX_EXE + " --plugin " + plugin + " --dir " +
                              folder.string() + " --script " + (folder / "lock.script").string();
  SandboxRun run;
  FILE* const pipe = ::popen(command.c_str(), "r");
  if (pipe == nullptr) {
    return run;
  }
  char buffer[4096];
  for (std::size_t read = 0; (read = std::fread(buffer, 1, sizeof buffer, pipe)) > 0;) {
    run.transcript.append(buffer, read);
  }
  const int status = ::pclose(pipe);
  run.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  std::filesystem::remove_all(folder);
  return run;
}

TEST(SandboxLoaderLock, AThreadAwaitedWhileTheLibraryOpensOrClosesIsAHostError) {
  for (const std::string where : {"load", "unload"}) {
    SCOPED_TRACE(where);
    const auto started = std::chrono::steady_clock::now();
    const SandboxRun run = RunSandbox(where, BELLWRIGHT_THREAD_WAITING_PLUGIN);
    EXPECT_LT(std::chrono::steady_clock::now() - started, std::chrono::seconds(30));
    EXPECT_EQ(run.status, 1) << run.transcript;
    EXPECT_NE(run.transcript.find(R"("event":"host_error","where":")" + where + "\""),
              std::string::npos)
        << run.transcript;
  }
}

TEST(SandboxLoaderLock, ThePluginOpensAndClosesWithoutWaitingForAThread) {
  const SandboxRun run = RunSandbox("", BELLWRIGHT_PLUGIN);
  EXPECT_EQ(run.status, 0) << run.transcript;
  EXPECT_EQ(run.transcript.find("host_error"), std::string::npos) << run.transcript;
}

}  // namespace
