#include "host_library/rcon_connection.hpp"

#include "host_library/commands.hpp"
#include "host_library/events.hpp"
#include "host_library/text.hpp"
#include "host_library/world.hpp"

namespace Sandbox {

namespace {

constexpr int kExecCommand = 2;

}  // namespace

bool RconConnection::Execute(int request_id, const FString& body) {
  RCONPacket packet;
  packet.Id = request_id;
  packet.Type = kExecCommand;
  packet.Body = body;
  // Size field of the wire packet: id, type, body and its two terminating zeros.
  packet.Length = static_cast<int>(ToUtf8(body).size()) + 10;
  if (TheCommandRegistry().RunRcon(this, packet, TheWorld().GetWorld())) {
    return true;
  }
  Emit("unknown_command", {{"via", "rcon"}, {"text", ToUtf8(body)}});
  OnUnknownCommand(request_id, body);
  return false;
}

void RconConnection::Reply(int request_id, int /*type*/, const FString& text) {
  Emit("rcon_reply", {{"id", request_id}, {"text", ToUtf8(text)}});
}

void RconConnection::OnUnknownCommand(int /*request_id*/, const FString& /*body*/) {}

}  // namespace Sandbox
