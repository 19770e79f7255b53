#include "host/tools.hpp"

#include <filesystem>
#include <mutex>

#include "host_library/clock.hpp"
#include "host_library/server_directory.hpp"
#include "host_library/text.hpp"

namespace {

std::mutex directory_mutex;
std::string server_directory;

}  // namespace

void Sandbox::SetServerDirectory(std::string directory) {
  while (directory.size() > 1 && (directory.back() == '/' || directory.back() == '\\')) {
    directory.pop_back();
  }
  const std::scoped_lock lock(directory_mutex);
  server_directory = std::move(directory);
}

std::string AsaApi::Tools::GetCurrentDir() {
  const std::scoped_lock lock(directory_mutex);
  if (server_directory.empty()) {
    return Sandbox::Utf8FromPath(std::filesystem::current_path());
  }
  return server_directory;
}

std::u16string AsaApi::Tools::Utf8Decode(const std::string& text) {
  return Sandbox::FromUtf8(text).Wide();
}

std::int64_t AsaApi::Tools::GetSystemClockTicks() {
  return Sandbox::TheClock().Ticks();
}

std::int64_t AsaApi::Tools::GetSteadyClockTicks() {
  return Sandbox::TheClock().SteadyTicks();
}
