#pragma once

#include <list>
#include <memory>
#include <string>
#include <vector>

#include "host/commands.hpp"

namespace Sandbox {

// One of the host's command lists: names in registration order, matched against
// the first word of a command line ignoring letter case.
template <typename Callback>
class NamedCallbacks {
 public:
  NamedCallbacks() = default;
  NamedCallbacks(const NamedCallbacks&) = delete;
  NamedCallbacks& operator=(const NamedCallbacks&) = delete;
  ~NamedCallbacks() = default;

  void Add(const FString& name, const Callback& callback) {
    entries_.push_back(std::make_unique<Entry>(Entry{name, callback}));
  }
  bool Remove(const FString& name) {
    for (auto it = entries_.begin(); it != entries_.end(); ++it) {
      if ((*it)->name == name) {
        entries_.erase(it);
        return true;
      }
    }
    return false;
  }
  // A copy, so the command may remove or replace itself while it runs.
  [[nodiscard]] std::unique_ptr<Callback> Find(const FString& word) const {
    for (const auto& entry : entries_) {
      if (entry->name == word) {
        return std::make_unique<Callback>(entry->callback);
      }
    }
    return nullptr;
  }
  [[nodiscard]] std::vector<FString> Names() const {
    std::vector<FString> names;
    for (const auto& entry : entries_) {
      names.push_back(entry->name);
    }
    return names;
  }
  // Forgets every entry without destroying it: their code may already be unmapped,
  // and destroying a callback runs its code. Returns their names.
  std::vector<FString> Abandon();

 private:
  struct Entry {
    FString name;
    Callback callback;
  };
  // A list: plug-ins remove their names in the order they added them, and erasing
  // from the front of a vector would move every later entry each time.
  std::list<std::unique_ptr<Entry>> entries_;
};

// The host's command registries.
class CommandRegistry final : public ICommands {
 public:
  void AddChatCommand(const FString& command, const ChatCallback& callback) override;
  void AddConsoleCommand(const FString& command, const ConsoleCallback& callback) override;
  void AddRconCommand(const FString& command, const RconCallback& callback) override;
  bool RemoveChatCommand(const FString& command) override;
  bool RemoveConsoleCommand(const FString& command) override;
  bool RemoveRconCommand(const FString& command) override;

  // Each runs the command matching the line's first word and tells whether one matched.
  bool RunChat(AShooterPlayerController* player, FString& message, int mode, int platform);
  bool RunConsole(APlayerController* player, const FString& line);
  bool RunRcon(RCONClientConnection* connection, RCONPacket& packet, UWorld* world);

  [[nodiscard]] std::vector<FString> ChatNames() const { return chat_.Names(); }
  [[nodiscard]] std::vector<FString> ConsoleNames() const { return console_.Names(); }
  [[nodiscard]] std::vector<FString> RconNames() const { return rcon_.Names(); }

  // Forgets everything still registered (see NamedCallbacks::Abandon); returns
  // descriptions such as "console command bw.reload".
  std::vector<std::string> AbandonAll();

 private:
  NamedCallbacks<ChatCallback> chat_;
  NamedCallbacks<ConsoleCallback> console_;
  NamedCallbacks<RconCallback> rcon_;
};

CommandRegistry& TheCommandRegistry();

}  // namespace Sandbox
