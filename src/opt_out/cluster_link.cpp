#include "opt_out/cluster_link.hpp"

#include <fmt/format.h>

#include <exception>
#include <string>
#include <utility>
#include <vector>

#include "base/log.hpp"
#include "delivery/delivery.hpp"
#include "opt_out/opt_out_state.hpp"
#include "opt_out/opt_out_storage.hpp"

namespace Bellwright {
namespace {

using OptOut::TheState;

// Constant-initialised: the library's start-up runs before dynamic initialisation.
constinit ClusterArrivalHandler arrival_handler = nullptr;

// As long as a message for every server lives: the servers seen within it are the cluster.
constexpr std::chrono::milliseconds kSeenWithin = Storage::StoreOptions{}.cluster_lifetime;

std::vector<Storage::ServerSeen> OthersSeen() {
  return TheState().cluster.ServersSeen(std::chrono::steady_clock::now(), kSeenWithin);
}

std::string Players(int count) {
  return fmt::format("{} {}", count, count == 1 ? "player" : "players");
}

std::string OthersText(const std::vector<Storage::ServerSeen>& others) {
  std::string names;
  for (const Storage::ServerSeen& server : others) {
    names += (names.empty() ? "" : ", ") + server.name;
  }
  return names;
}

std::string QueuedReply() {
  const OptOut::State& state = TheState();
  const std::chrono::seconds lifetime =
      std::chrono::duration_cast<std::chrono::seconds>(kSeenWithin);
  if (state.store && state.store->IsFailing()) {
    return fmt::format(
        "queued, but the storage does not work now ({}): the other servers get it if it "
        "works again within {} s",
        state.store->LastFailureCause(), lifetime.count());
  }
  const std::vector<Storage::ServerSeen> others = OthersSeen();
  if (others.empty()) {
    return fmt::format("queued for the other servers; none was seen in the last {} s",
                       lifetime.count());
  }
  return fmt::format("queued for {} other {}: {}", others.size(),
                     others.size() == 1 ? "server" : "servers", OthersText(others));
}

void Handle(const Storage::ArrivedMessage& arrived) {
  const std::optional<ClusterMessage> message = DecodeClusterMessage(arrived.body);
  if (!message) {
    Log::Warning(
        "A message for every server from \"{}\" is of a kind this version does not know; it "
        "is passed over",
        arrived.origin_name);
    return;
  }
  if (arrival_handler == nullptr) return;
  try {
    arrival_handler(*message, arrived.origin_name, arrived.age);
  } catch (const std::exception& error) {
    // One message that cannot be carried out must not cost the others theirs.
    Log::Error("A message for every server from \"{}\" could not be carried out: {}",
               arrived.origin_name, error.what());
  }
}

}  // namespace

std::optional<std::string> ClusterRefusal() {
  const OptOut::State& state = TheState();
  if (!state.settings || state.settings->server_name.empty()) {
    return "this server has no ServerName, so it shares no storage with other servers: set "
           "\"ServerName\" in the \"Bellwright\" section";
  }
  if (!state.settings->storage.storage) {
    return fmt::format(
        "the storage type \"{}\" is not \"SQLite\" or \"MySQL\", so nothing is "
        "shared with other servers",
        state.settings->storage.unknown_type);
  }
  if (state.store) {
    if (const auto problem = state.store->ClusterProblem()) {
      return fmt::format("the cluster's tables in the storage cannot be used ({})", *problem);
    }
  }
  return std::nullopt;
}

ClusterSending SendToCluster(const ClusterMessage& message) {
  if (auto refusal = ClusterRefusal()) return {false, std::move(*refusal)};
  switch (
      TheState().cluster.Post(EncodeClusterMessage(message), std::chrono::steady_clock::now())) {
    case Storage::ClusterMemory::PostResult::kQueued:
      break;
    case Storage::ClusterMemory::PostResult::kNotInCluster:
      return {false, "this server takes no part in a cluster"};
    case Storage::ClusterMemory::PostResult::kTooLong:
      return {false, fmt::format("the message is longer than the {} bytes a message for every "
                                 "server may take",
                                 Storage::kMaxClusterBodyBytes)};
  }
  // Stored at once (a local file) or begun at once (a database across the network).
  DriveOptOutStorage();
  return {true, QueuedReply()};
}

void SetClusterArrivalHandler(ClusterArrivalHandler handler) {
  arrival_handler = handler;
}

void HandleClusterArrivals() {
  for (const Storage::ArrivedMessage& arrived : TheState().cluster.TakeArrived()) {
    Handle(arrived);
  }
}

void PrepareClusterReport() {
  if (TheState().cluster.InCluster()) TheState().cluster.SetPlayerCount(ConnectedPlayerCount());
}

std::string ClusterStatusLine() {
  const OptOut::State& state = TheState();
  if (!state.cluster.InCluster()) {
    return {};
  }
  std::string line = fmt::format("cluster: {} (this server, {})", state.cluster.Identity().name,
                                 Players(ConnectedPlayerCount()));
  if (const auto refusal = ClusterRefusal()) {
    return line + "; no messages for every server: " + *refusal;
  }
  const std::vector<Storage::ServerSeen> others = OthersSeen();
  if (others.empty()) {
    line += "; no other server seen in the last minute";
  } else {
    line += "; seen in the last minute:";
    for (std::size_t i = 0; i < others.size(); ++i) {
      line +=
          fmt::format("{} {} ({})", i == 0 ? "" : ",", others[i].name, Players(others[i].players));
    }
  }
  if (const std::size_t waiting = state.cluster.WaitingPosts(); waiting > 0) {
    line += fmt::format("; {} message(s) for every server waiting to be stored", waiting);
  }
  return line;
}

}  // namespace Bellwright
