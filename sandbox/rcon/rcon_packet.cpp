#include "rcon/rcon_packet.hpp"

#include <algorithm>
#include <array>

namespace Sandbox {
namespace {

// Size field, id and type; the size field counts everything after itself.
constexpr std::size_t kSizeFieldBytes = 4;
constexpr std::size_t kHeaderBytes = 12;
constexpr std::size_t kTerminatorBytes = 2;
constexpr std::int32_t kMinimumSize = 4 + 4 + kTerminatorBytes;

std::int32_t ReadLittleEndian32(std::string_view bytes, std::size_t offset) {
  std::uint32_t value = 0;
  for (std::size_t index = 0; index < 4; ++index) {
    value |= static_cast<std::uint32_t>(static_cast<unsigned char>(bytes[offset + index]))
             << (8 * index);
  }
  return static_cast<std::int32_t>(value);
}

void AppendLittleEndian32(std::string& out, std::int32_t value) {
  const auto bits = static_cast<std::uint32_t>(value);
  for (std::size_t index = 0; index < 4; ++index) {
    out.push_back(static_cast<char>((bits >> (8 * index)) & 0xFFU));
  }
}

bool IsKnownType(std::int32_t type) {
  constexpr std::array known = {RconPacketType::kResponseValue,
                                RconPacketType::kExecCommandOrAuthResponse, RconPacketType::kAuth};
  return std::ranges::any_of(known, [type](RconPacketType candidate) {
    return static_cast<std::int32_t>(candidate) == type;
  });
}

RconDecodeResult Refuse(RconDecodeStatus status, std::string_view problem) {
  RconDecodeResult result;
  result.status = status;
  result.problem = problem;
  return result;
}

}  // namespace

RconDecodeResult DecodeRconPacket(std::string_view bytes) {
  if (bytes.size() < kSizeFieldBytes) {
    return {};
  }
  const std::int32_t size = ReadLittleEndian32(bytes, 0);
  if (size > kMaxRequestSize) {
    return Refuse(RconDecodeStatus::kTooLarge, "request over 4096 bytes");
  }
  if (size < kMinimumSize) {
    return Refuse(RconDecodeStatus::kMalformed, "size field too small");
  }
  const std::size_t total = kSizeFieldBytes + static_cast<std::size_t>(size);
  if (bytes.size() < total) {
    return {};
  }

  const std::int32_t type = ReadLittleEndian32(bytes, 8);
  if (!IsKnownType(type)) {
    return Refuse(RconDecodeStatus::kMalformed, "unknown packet type");
  }
  if (bytes[total - 2] != '\0' || bytes[total - 1] != '\0') {
    return Refuse(RconDecodeStatus::kMalformed, "packet not ended by two NULs");
  }
  const std::string_view body = bytes.substr(kHeaderBytes, total - kHeaderBytes - kTerminatorBytes);
  if (body.find('\0') != std::string_view::npos) {
    return Refuse(RconDecodeStatus::kMalformed, "NUL inside the body");
  }

  RconDecodeResult result;
  result.status = RconDecodeStatus::kPacket;
  result.packet.id = ReadLittleEndian32(bytes, 4);
  result.packet.type = static_cast<RconPacketType>(type);
  result.packet.body = std::string(body);
  result.consumed = total;
  return result;
}

std::string EncodeRconPacket(const RconPacket& packet) {
  std::string out;
  out.reserve(kHeaderBytes + packet.body.size() + kTerminatorBytes);
  AppendLittleEndian32(out,
                       static_cast<std::int32_t>(4 + 4 + packet.body.size() + kTerminatorBytes));
  AppendLittleEndian32(out, packet.id);
  AppendLittleEndian32(out, static_cast<std::int32_t>(packet.type));
  out += packet.body;
  out.append(kTerminatorBytes, '\0');
  return out;
}

std::vector<RconPacket> SplitRconReply(std::int32_t id, std::string_view text) {
  std::vector<RconPacket> packets;
  // Splitting at exact byte counts, even inside a UTF-8 sequence, is what lets
  // reassembling clients see that more follows; they join the bytes before decoding.
  do {
    const std::string_view chunk = text.substr(0, kMaxResponseBody);
    packets.push_back({id, RconPacketType::kResponseValue, std::string(chunk)});
    text.remove_prefix(chunk.size());
  } while (!text.empty());
  return packets;
}

}  // namespace Sandbox
