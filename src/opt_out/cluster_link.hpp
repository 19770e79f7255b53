#pragma once

#include <chrono>
#include <optional>
#include <string>
#include <string_view>

#include "opt_out/cluster_message.hpp"

// This server's part in its cluster: the messages it sends to every other server through
// the shared storage, those that arrive from them, and the servers seen. The storage is
// kept while the configuration gives a ServerName; the game thread never waits for it.
namespace Bellwright {

// Why a message for every server cannot be sent from here; nothing when it can (also
// while the storage is still opening or failing: the message waits for it a while).
std::optional<std::string> ClusterRefusal();

// What became of a message for every server: whether it is on its way, and the words
// for the reply ("queued for 2 other servers: Island, Scorched", or why not).
struct ClusterSending {
  bool queued = false;
  std::string reply;
};
// Hands the message to the storage, which stores it at once; it was delivered here
// already.
ClusterSending SendToCluster(const ClusterMessage& message);

// Who carries out a message that arrived from another server: the plug-in's top, which
// knows the deliveries and the countdown. `age` is how long ago it was sent, by the
// database's clock.
using ClusterArrivalHandler = void (*)(const ClusterMessage& message, std::string_view origin,
                                       std::chrono::milliseconds age);
void SetClusterArrivalHandler(ClusterArrivalHandler handler);

// Carries out what has arrived; the storage's driver calls it after each turn.
void HandleClusterArrivals();
// Gives the storage what this server reports to the others (its players), before a turn.
void PrepareClusterReport();

// "cluster: Center (this server, 2 players); seen in the last minute: Island (3 players),
// Scorched (0 players)"; empty for a server on its own (no ServerName).
std::string ClusterStatusLine();

}  // namespace Bellwright
