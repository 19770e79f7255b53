// Arbitrary bytes as what an RCON client sends. The decoder is fed the whole input and
// also in pieces, as the server's connection buffer receives it; both must give the
// same requests, and every request must encode back to the bytes it came from.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "rcon/rcon_packet.hpp"

namespace {

using Sandbox::DecodeRconPacket;
using Sandbox::RconDecodeResult;
using Sandbox::RconDecodeStatus;
using Sandbox::RconPacket;

void Require(bool condition) {
  if (!condition) {
    std::abort();
  }
}

void CheckDecoded(const RconDecodeResult& result, std::string_view bytes) {
  if (result.status != RconDecodeStatus::kPacket) {
    Require(result.consumed == 0);
    Require(result.status == RconDecodeStatus::kIncomplete || !result.problem.empty());
    return;
  }
  Require(result.consumed > 0 && result.consumed <= bytes.size());
  Require(Sandbox::EncodeRconPacket(result.packet) == bytes.substr(0, result.consumed));
}

// A prefix of the bytes either asks for more or reads exactly what the whole does.
void CheckPrefixes(std::string_view bytes, const RconDecodeResult& whole) {
  const std::size_t checked_up_to = std::min<std::size_t>(bytes.size(), 64);
  for (std::size_t length = 0; length < checked_up_to; ++length) {
    const RconDecodeResult partial = DecodeRconPacket(bytes.substr(0, length));
    if (partial.status == RconDecodeStatus::kIncomplete) {
      continue;
    }
    Require(partial.status == whole.status && partial.consumed == whole.consumed &&
            partial.packet == whole.packet);
  }
}

// Decodes requests until the bytes run out or are refused, as the server does.
std::vector<RconPacket> DecodeAll(std::string_view bytes, RconDecodeStatus& last) {
  std::vector<RconPacket> packets;
  for (;;) {
    const RconDecodeResult result = DecodeRconPacket(bytes);
    CheckDecoded(result, bytes);
    if (result.status != RconDecodeStatus::kPacket) {
      last = result.status;
      return packets;
    }
    packets.push_back(result.packet);
    bytes.remove_prefix(result.consumed);
  }
}

// The same bytes arriving in pieces of `piece` bytes into a growing buffer.
std::vector<RconPacket> DecodeInPieces(std::string_view bytes, std::size_t piece,
                                       RconDecodeStatus& last) {
  std::vector<RconPacket> packets;
  std::string inbox;
  last = RconDecodeStatus::kIncomplete;
  while (!bytes.empty() && last == RconDecodeStatus::kIncomplete) {
    const std::string_view received = bytes.substr(0, piece);
    inbox.append(received);
    bytes.remove_prefix(received.size());
    std::vector<RconPacket> found = DecodeAll(inbox, last);
    for (const RconPacket& packet : found) {
      inbox.erase(0, Sandbox::EncodeRconPacket(packet).size());
    }
    packets.insert(packets.end(), found.begin(), found.end());
  }
  return packets;
}

void CheckReplySplitting(const RconPacket& request) {
  const std::vector<RconPacket> replies = Sandbox::SplitRconReply(request.id, request.body);
  Require(!replies.empty());
  std::string joined;
  for (const RconPacket& reply : replies) {
    Require(reply.id == request.id && reply.type == Sandbox::RconPacketType::kResponseValue);
    Require(reply.body.size() <= Sandbox::kMaxResponseBody);
    joined += reply.body;
  }
  Require(joined == request.body);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size == 0) {
    return 0;
  }
  // The first byte picks how the rest arrives.
  const std::size_t piece = 1 + data[0] % 16;
  const std::string_view bytes(reinterpret_cast<const char*>(data) + 1, size - 1);

  CheckPrefixes(bytes, DecodeRconPacket(bytes));
  RconDecodeStatus whole_status = RconDecodeStatus::kIncomplete;
  const std::vector<RconPacket> whole = DecodeAll(bytes, whole_status);
  RconDecodeStatus pieces_status = RconDecodeStatus::kIncomplete;
  const std::vector<RconPacket> pieces = DecodeInPieces(bytes, piece, pieces_status);
  Require(whole == pieces && whole_status == pieces_status);
  for (const RconPacket& packet : whole) {
    CheckReplySplitting(packet);
  }
  return 0;
}
