#include "rcon/rcon_packet.hpp"

#include <gtest/gtest.h>

#include <string>

namespace Sandbox {
namespace {

std::string LittleEndian(std::int32_t value) {
  std::string out;
  for (int index = 0; index < 4; ++index) {
    out.push_back(static_cast<char>((static_cast<std::uint32_t>(value) >> (8 * index)) & 0xFF));
  }
  return out;
}

// A hand-built packet, so that the decoder is not only checked against the encoder.
std::string Wire(std::int32_t size, std::int32_t id, std::int32_t type, const std::string& rest) {
  return LittleEndian(size) + LittleEndian(id) + LittleEndian(type) + rest;
}

TEST(RconPacket, DecodesHandBuiltRequests) {
  const std::string auth = Wire(16, 7, 3, std::string("secret\0\0", 8));
  const RconDecodeResult decoded = DecodeRconPacket(auth);
  ASSERT_EQ(decoded.status, RconDecodeStatus::kPacket);
  EXPECT_EQ(decoded.consumed, auth.size());
  EXPECT_EQ(decoded.packet, (RconPacket{7, RconPacketType::kAuth, "secret"}));

  const RconDecodeResult empty = DecodeRconPacket(Wire(10, -5, 0, std::string(2, '\0')));
  ASSERT_EQ(empty.status, RconDecodeStatus::kPacket);
  EXPECT_EQ(empty.packet, (RconPacket{-5, RconPacketType::kResponseValue, ""}));
}

TEST(RconPacket, WaitsForTheWholePacket) {
  const std::string whole =
      EncodeRconPacket({3, RconPacketType::kExecCommandOrAuthResponse, "bw.sendserver hi"});
  for (std::size_t length = 0; length < whole.size(); ++length) {
    EXPECT_EQ(DecodeRconPacket(whole.substr(0, length)).status, RconDecodeStatus::kIncomplete)
        << "after " << length << " bytes";
  }
}

TEST(RconPacket, TakesOnlyTheFirstOfSeveralPackets) {
  const std::string first = EncodeRconPacket({1, RconPacketType::kAuth, "pw"});
  const std::string second = EncodeRconPacket({2, RconPacketType::kExecCommandOrAuthResponse, "x"});
  const RconDecodeResult decoded = DecodeRconPacket(first + second);
  ASSERT_EQ(decoded.status, RconDecodeStatus::kPacket);
  EXPECT_EQ(decoded.consumed, first.size());
  EXPECT_EQ(decoded.packet.body, "pw");
}

TEST(RconPacket, RefusesBadRequests) {
  struct Case {
    const char* name;
    std::string bytes;
    RconDecodeStatus expected;
  };
  const Case cases[] = {
      {"size below the header", Wire(9, 1, 2, std::string(1, '\0')), RconDecodeStatus::kMalformed},
      {"negative size", LittleEndian(-1), RconDecodeStatus::kMalformed},
      {"size over the limit, known before the body", LittleEndian(4097),
       RconDecodeStatus::kTooLarge},
      {"huge size", LittleEndian(0x7FFFFFFF), RconDecodeStatus::kTooLarge},
      {"unknown type", Wire(10, 1, 7, std::string(2, '\0')), RconDecodeStatus::kMalformed},
      {"missing terminator", Wire(11, 1, 2, "abc"), RconDecodeStatus::kMalformed},
      {"NUL inside the body", Wire(13, 1, 2, std::string("a\0b\0\0", 5)),
       RconDecodeStatus::kMalformed},
      {"text instead of a packet", "GET / HTTP/1.1\r\n\r\n", RconDecodeStatus::kTooLarge},
  };
  for (const Case& test : cases) {
    EXPECT_EQ(DecodeRconPacket(test.bytes).status, test.expected) << test.name;
  }
}

TEST(RconPacket, AcceptsARequestOfExactlyTheLimit) {
  const std::string body(kMaxRequestSize - 10, 'x');
  const RconDecodeResult decoded =
      DecodeRconPacket(EncodeRconPacket({1, RconPacketType::kExecCommandOrAuthResponse, body}));
  ASSERT_EQ(decoded.status, RconDecodeStatus::kPacket);
  EXPECT_EQ(decoded.packet.body.size(), body.size());
}

TEST(RconPacket, EncodesSizeIdTypeBodyAndTwoNuls) {
  EXPECT_EQ(EncodeRconPacket({0x01020304, RconPacketType::kResponseValue, "ok"}),
            Wire(12, 0x01020304, 0, std::string("ok\0\0", 4)));
}

TEST(RconPacket, SplitsLongRepliesIntoFullPacketsAndARest) {
  struct Case {
    std::size_t length;
    std::vector<std::size_t> pieces;
  };
  const Case cases[] = {
      {0, {0}},
      {5, {5}},
      {kMaxResponseBody, {kMaxResponseBody}},
      {kMaxResponseBody + 1, {kMaxResponseBody, 1}},
      {2 * kMaxResponseBody + 100, {kMaxResponseBody, kMaxResponseBody, 100}},
  };
  for (const Case& test : cases) {
    std::string text;
    for (std::size_t index = 0; index < test.length; ++index) {
      text.push_back(static_cast<char>('a' + index % 26));
    }
    const std::vector<RconPacket> packets = SplitRconReply(42, text);
    std::vector<std::size_t> pieces;
    std::string joined;
    for (const RconPacket& packet : packets) {
      EXPECT_EQ(packet.id, 42);
      EXPECT_EQ(packet.type, RconPacketType::kResponseValue);
      pieces.push_back(packet.body.size());
      joined += packet.body;
    }
    EXPECT_EQ(pieces, test.pieces) << "length " << test.length;
    EXPECT_EQ(joined, text);
  }
}

}  // namespace
}  // namespace Sandbox
