#pragma once

#include "host/game.hpp"

namespace Sandbox {

// An authenticated RCON client as the host sees it. The script's `rcon` command
// and the TCP listener are both users: they differ only in where replies go.
class RconConnection : public RCONClientConnection {
 public:
  // Runs one command line as request `request_id`: the registered RCON command of
  // its first word, or an unknown_command event when none matches. Returns
  // whether a command matched.
  bool Execute(int request_id, const FString& body);

  // Where the host's replies go; by default an rcon_reply event.
  virtual void Reply(int request_id, int type, const FString& text);

 protected:
  // Called after the unknown_command event, e.g. to answer a TCP client.
  virtual void OnUnknownCommand(int request_id, const FString& body);
};

}  // namespace Sandbox
