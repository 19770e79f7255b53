#include "base/time_zone.hpp"

#include <exception>
#include <string>

// The standard library's zones where it has them (MSVC); elsewhere the same interface
// from the date library: over the system's tzdata on Linux, and over the text
// database in the "tzdata" folder beside the module on Windows with mingw-w64, whose
// library has no zones and whose system has no IANA database.
#if defined(__cpp_lib_chrono) && __cpp_lib_chrono >= 201907L
namespace zones = std::chrono;
#else
#include <date/tz.h>
namespace zones = date;
#if defined(_WIN32)
#define BELLWRIGHT_ZONES_BESIDE_MODULE 1
#include <windows.h>

#include "base/module_file.hpp"
#endif
#endif

namespace Bellwright {
namespace {

// UTC without the database: its rules are known, so a schedule in UTC runs even
// where the database cannot be read. Stands for itself, never for a database zone.
const char kUtcWithoutDatabase = 0;

bool IsUtc(std::string_view name) {
  return name == "UTC" || name == "Etc/UTC";
}

bool IsUtcWithoutDatabase(const TimeZone& zone) {
  return reinterpret_cast<const char*>(&zone) == &kUtcWithoutDatabase;
}

// TimeZone is otherwise only ever a name for the database's own zone object.
const zones::time_zone& Rules(const TimeZone& zone) {
  return *reinterpret_cast<const zones::time_zone*>(&zone);
}

#if defined(BELLWRIGHT_ZONES_BESIDE_MODULE)

// The date library opens its files by narrow names, which Windows reads in the ANSI
// code page; a folder that page cannot spell is named by its short (8.3) form.
std::string NarrowPath(const std::wstring& path) {
  const auto convert = [](const std::wstring& wide, bool& lossy) {
    BOOL used_default = FALSE;
    const int size = WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, wide.c_str(), -1, nullptr, 0,
                                         nullptr, &used_default);
    std::string narrow(static_cast<std::size_t>(size > 0 ? size : 1), '\0');
    WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, wide.c_str(), -1, narrow.data(), size,
                        nullptr, &used_default);
    narrow.resize(narrow.size() - 1);
    lossy = used_default != FALSE;
    return narrow;
  };
  bool lossy = false;
  std::string narrow = convert(path, lossy);
  if (!lossy) {
    return narrow;
  }
  std::wstring short_path(MAX_PATH, L'\0');
  const DWORD length =
      GetShortPathNameW(path.c_str(), short_path.data(), static_cast<DWORD>(short_path.size()));
  if (length == 0 || length >= short_path.size()) {
    return narrow;
  }
  short_path.resize(length);
  return convert(short_path, lossy);
}

// Before the database's first use: it lies in "tzdata" beside the module.
void NameDatabaseFolder() {
  static const bool named = [] {
    // Beside the module this code is linked into: the plug-in's DLL, or a program.
    date::set_install(NarrowPath((ModuleFilePath().parent_path() / L"tzdata").wstring()));
    return true;
  }();
  (void)named;
}

#else

void NameDatabaseFolder() {}

#endif

}  // namespace

const TimeZone* FindTimeZone(std::string_view name) noexcept {
  try {
    NameDatabaseFolder();
    // The database hands out zones that live as long as the process: the pointer
    // stays good across reloads.
    return reinterpret_cast<const TimeZone*>(zones::locate_zone(std::string(name)));
  } catch (const std::exception&) {
    if (IsUtc(name) && !TimeZoneDatabaseProblem().empty()) {
      return reinterpret_cast<const TimeZone*>(&kUtcWithoutDatabase);
    }
    return nullptr;
  }
}

std::string TimeZoneDatabaseProblem() noexcept {
  try {
    NameDatabaseFolder();
    zones::get_tzdb();
    return {};
  } catch (const std::exception& error) {
    return error.what();
  }
}

std::chrono::local_seconds LocalTime(const TimeZone& zone, std::chrono::sys_seconds instant) {
  if (IsUtcWithoutDatabase(zone)) {
    return std::chrono::local_seconds(instant.time_since_epoch());
  }
  return std::chrono::local_seconds(Rules(zone).to_local(instant).time_since_epoch());
}

std::chrono::local_days LocalDay(const TimeZone& zone, std::chrono::sys_seconds instant) {
  return std::chrono::floor<std::chrono::days>(LocalTime(zone, instant));
}

std::chrono::sys_seconds InstantOfLocalTime(const TimeZone& zone,
                                            std::chrono::local_seconds local) {
  if (IsUtcWithoutDatabase(zone)) {
    return std::chrono::sys_seconds(local.time_since_epoch());
  }
  const zones::local_seconds wall(local.time_since_epoch());
  const auto info = Rules(zone).get_info(wall);
  if (info.result == zones::local_info::nonexistent) {
    return std::chrono::sys_seconds(info.second.begin.time_since_epoch());
  }
  // Unique or ambiguous: the first interpretation is the earlier instant.
  return std::chrono::sys_seconds((wall - info.first.offset).time_since_epoch());
}

}  // namespace Bellwright

namespace Bellwright {

std::optional<std::chrono::seconds> OffsetAllDay(const TimeZone& zone,
                                                 std::chrono::local_days day) {
  if (IsUtcWithoutDatabase(zone)) {
    return std::chrono::seconds(0);
  }
  const zones::local_seconds midnight(day.time_since_epoch());
  const auto info = Rules(zone).get_info(midnight);
  if (info.result != zones::local_info::unique) {
    return std::nullopt;
  }
  const std::chrono::seconds offset = info.first.offset;
  const zones::sys_seconds first((midnight - offset).time_since_epoch());
  const zones::sys_seconds next_midnight(first.time_since_epoch() + std::chrono::days(1));
  if (first < info.first.begin || next_midnight > info.first.end) {
    return std::nullopt;
  }
  return offset;
}

}  // namespace Bellwright
