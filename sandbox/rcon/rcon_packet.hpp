#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace Sandbox {

// Source RCON packet types. The protocol reuses 2 for both the client's command and
// the server's authentication answer; which one is meant depends on the direction.
enum class RconPacketType : std::int32_t {
  kResponseValue = 0,
  kExecCommandOrAuthResponse = 2,
  kAuth = 3,
};

struct RconPacket {
  std::int32_t id = 0;
  RconPacketType type = RconPacketType::kResponseValue;
  std::string body;

  friend bool operator==(const RconPacket&, const RconPacket&) = default;
};

// The largest size field a client may send: the Source servers' own limit, which also
// bounds what one connection can make the server buffer.
inline constexpr std::int32_t kMaxRequestSize = 4096;

// Replies longer than this are split over several packets. Clients that reassemble
// long replies keep reading only while a packet's body is exactly this long.
inline constexpr std::size_t kMaxResponseBody = 4096;

enum class RconDecodeStatus {
  kIncomplete,  // more bytes are needed
  kPacket,      // `packet` holds a request; `consumed` bytes were used
  kTooLarge,    // the size field is over kMaxRequestSize
  kMalformed,   // anything else that is not a valid request
};

struct RconDecodeResult {
  RconDecodeStatus status = RconDecodeStatus::kIncomplete;
  RconPacket packet;
  std::size_t consumed = 0;
  std::string_view problem;  // why the bytes were refused, for the server's log
};

// Reads the first request from `bytes`, which may hold a partial packet or several.
RconDecodeResult DecodeRconPacket(std::string_view bytes);

// The packet as it goes on the wire: size, id, type, body, two NULs.
std::string EncodeRconPacket(const RconPacket& packet);

// The response-value packets that carry `text` as the answer to request `id`; an
// empty text is still answered, with one empty packet.
std::vector<RconPacket> SplitRconReply(std::int32_t id, std::string_view text);

}  // namespace Sandbox
