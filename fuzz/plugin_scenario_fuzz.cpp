// The whole plug-in, in process over the sandbox's host library, driven by arbitrary
// bytes: a configuration file, a second one for reloads, and a short scenario of what
// players, administrators and RCON clients do. Whatever the bytes, nothing may crash,
// no exception may reach the host, and a reload that fails changes nothing the next
// calls see.
//
// Input layout (every part may be cut short; missing bytes read as zero):
//   u16 length, then that many bytes: the configuration file at load
//   u16 length, then that many bytes: the file written before each reload
//   then steps until the input ends: one opcode byte and its operands (see Step).
#include <unistd.h>

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <string_view>

#include "base/module_path.hpp"
#include "base/plugin_folder.hpp"
#include "config/config.hpp"
#include "host_library/clock.hpp"
#include "host_library/game_frames.hpp"
#include "host_library/commands.hpp"
#include "host_library/events.hpp"
#include "host_library/rcon_connection.hpp"
#include "host_library/server_directory.hpp"
#include "host_library/text.hpp"
#include "host_library/timer.hpp"
#include "host_library/world.hpp"
#include "plugin/load.hpp"

namespace {

// libFuzzer reports an abort as a crash, with the input that caused it.
void Require(bool condition) {
  if (!condition) {
    std::abort();
  }
}

class Reader {
 public:
  Reader(const std::uint8_t* data, std::size_t size) : data_(data), size_(size) {}

  [[nodiscard]] bool AtEnd() const { return position_ >= size_; }
  std::uint8_t Byte() { return AtEnd() ? 0 : data_[position_++]; }
  std::string Text(std::size_t length) {
    const std::size_t available = std::min(length, size_ - std::min(position_, size_));
    std::string text(reinterpret_cast<const char*>(data_ + position_), available);
    position_ += available;
    return text;
  }
  // A length-prefixed text: one byte of length for the short texts of a step.
  std::string ShortText() { return Text(Byte()); }
  std::string LongText() {
    const std::size_t high = Byte();
    return Text((high << 8U) | Byte());
  }

 private:
  const std::uint8_t* data_;
  std::size_t size_;
  std::size_t position_ = 0;
};

// Collects what the host would show; a host_error is a fault of the plug-in.
class Watch final : public Sandbox::EventSink {
 public:
  void Write(const Sandbox::Event& event) override {
    Require(event["event"] != "host_error");
    if (event["event"] == "rcon_reply" || event["event"] == "server_message") {
      last_reply = event.value("text", "");
    }
  }
  std::string last_reply;
};

class ServerDirectory {
 public:
  ServerDirectory()
      : path_(std::filesystem::temp_directory_path() /
              ("bellwright-fuzz-" + std::to_string(::getpid()))) {
    std::filesystem::create_directories(File().parent_path());
    Sandbox::SetServerDirectory(path_.string());
  }
  ServerDirectory(const ServerDirectory&) = delete;
  ServerDirectory& operator=(const ServerDirectory&) = delete;
  ~ServerDirectory() {
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
  }
  void Write(const std::string& config) const {
    std::ofstream(File(), std::ios::binary | std::ios::trunc) << config;
  }

 private:
  [[nodiscard]] std::filesystem::path File() const {
    return path_ / Bellwright::kPluginFolder / Bellwright::kConfigFileName;
  }
  std::filesystem::path path_;
};

// Four players by id, so that steps meet each other; the name is hostile bytes.
FString PlayerId(std::uint8_t byte) {
  static const char* const kIds[] = {"A1", "b2", "B2", "76561198000000004"};
  return FString(kIds[byte % 4]);
}

APlayerController* AnyConnected() {
  for (const char* id : {"A1", "b2", "B2", "76561198000000004"}) {
    if (auto* player = Sandbox::TheWorld().FindConnected(FString(id))) return player;
  }
  return nullptr;
}

void Wait(int seconds) {
  for (int step = 0; step < seconds; ++step) {
    Sandbox::StepOneSecond();
  }
}

// A reload that fails must leave the document and the registrations as they were.
void Reload(Reader& reader, const Watch& watch, const ServerDirectory& directory,
            const std::string& reload_config, Sandbox::RconConnection& rcon) {
  directory.Write(reload_config);
  const nlohmann::json before = Bellwright::ConfigDocument();
  const auto chat_before = Sandbox::TheCommandRegistry().ChatNames();
  if (reader.Byte() % 2 == 0) {
    rcon.Execute(1, FString("bw.reload"));
  } else if (APlayerController* caller = AnyConnected()) {
    Sandbox::TheCommandRegistry().RunConsole(caller, FString("bw.reload"));
  } else {
    return;
  }
  // The reply's first line says it; the lines after it say why.
  if (watch.last_reply.starts_with("Bellwright: Failed to reload config")) {
    Require(Bellwright::ConfigDocument() == before);
    Require(Sandbox::TheCommandRegistry().ChatNames() == chat_before);
  }
}

void Step(Reader& reader, const Watch& watch, const ServerDirectory& directory,
          const std::string& reload_config, Sandbox::RconConnection& rcon) {
  Sandbox::World& world = Sandbox::TheWorld();
  switch (reader.Byte() % 10) {
    case 0: {
      const FString id = PlayerId(reader.Byte());
      world.Join(id, Sandbox::FromUtf8(reader.ShortText()));
      break;
    }
    case 1: {
      const std::uint8_t flags = reader.Byte();
      world.Possess(PlayerId(flags), (flags & 0x10U) != 0, (flags & 0x20U) != 0);
      break;
    }
    case 2:
      world.Leave(PlayerId(reader.Byte()));
      break;
    case 3:
      Wait(1 + reader.Byte() % 8);
      break;
    case 4:
      if (APlayerController* caller = AnyConnected()) {
        Sandbox::TheCommandRegistry().RunConsole(caller, Sandbox::FromUtf8(reader.ShortText()));
      }
      break;
    case 5:
      rcon.Execute(2, Sandbox::FromUtf8(reader.ShortText()));
      break;
    case 6: {
      const FString id = PlayerId(reader.Byte());
      world.Chat(id, Sandbox::FromUtf8(reader.ShortText()));
      break;
    }
    case 7:
      Reload(reader, watch, directory, reload_config, rcon);
      break;
    case 8: {
      const FString id = PlayerId(reader.Byte());
      world.SetGroups(id, {Sandbox::FromUtf8(reader.ShortText())});
      break;
    }
    default:
      world.SetAllowedToCheat(PlayerId(reader.Byte()), true);
      break;
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static const ServerDirectory directory;
  Watch watch;
  Sandbox::SetEventSink(&watch);
  Sandbox::TheClock().UseVirtual();
  Sandbox::TheWorld().Reset();

  Reader reader(data, size);
  directory.Write(reader.LongText());
  const std::string reload_config = reader.LongText();
  Bellwright::Load();
  Sandbox::RconConnection rcon;
  for (int steps = 0; steps < 64 && !reader.AtEnd(); ++steps) {
    Step(reader, watch, directory, reload_config, rcon);
  }
  Bellwright::Unload();

  // What the plug-in left with the host must be gone after its stop.
  Require(Sandbox::TheCommandRegistry().ChatNames().empty());
  Require(Sandbox::TheCommandRegistry().ConsoleNames().empty());
  Sandbox::TheDelayedTasks().DropModule(Bellwright::PluginModulePath());
  Sandbox::TheWorld().Reset();
  Sandbox::SetEventSink(nullptr);
  return 0;
}
