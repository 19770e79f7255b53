#pragma once

// A deliberately plain, blocking RCON client for tests and benchmarks: POSIX sockets
// with a receive timeout, so that a server that fails to answer fails the test
// instead of hanging it.

#include <arpa/inet.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdint>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>

#include "rcon/rcon_packet.hpp"

namespace Sandbox::Testing {

class RconTestClient {
 public:
  // `source_address`, when given, is the loopback address the client connects from
  // (any of 127.0.0.0/8), so that tests can play clients on different machines.
  explicit RconTestClient(std::uint16_t port,
                          std::chrono::milliseconds timeout = std::chrono::seconds(5),
                          const std::string& source_address = {})
      : fd_(::socket(AF_INET, SOCK_STREAM, 0)) {
    if (fd_ < 0) throw std::runtime_error("socket failed");
    timeval limit{};
    limit.tv_sec = static_cast<time_t>(timeout.count() / 1000);
    limit.tv_usec = static_cast<suseconds_t>((timeout.count() % 1000) * 1000);
    ::setsockopt(fd_, SOL_SOCKET, SO_RCVTIMEO, &limit, sizeof limit);
    const int one = 1;
    ::setsockopt(fd_, IPPROTO_TCP, TCP_NODELAY, &one, sizeof one);
    if (!source_address.empty()) Bind(source_address);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(port);
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    if (::connect(fd_, reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0) {
      ::close(fd_);
      throw std::runtime_error("connect failed");
    }
  }
  RconTestClient(const RconTestClient&) = delete;
  RconTestClient& operator=(const RconTestClient&) = delete;
  ~RconTestClient() { Close(); }

  void Close() {
    if (fd_ >= 0) ::close(fd_);
    fd_ = -1;
  }

  // Returns false when the server has already closed the connection.
  bool SendRaw(std::string_view bytes) {
    while (!bytes.empty()) {
      const ssize_t sent = ::send(fd_, bytes.data(), bytes.size(), MSG_NOSIGNAL);
      if (sent <= 0) return false;
      bytes.remove_prefix(static_cast<std::size_t>(sent));
    }
    return true;
  }

  bool Send(const RconPacket& packet) { return SendRaw(EncodeRconPacket(packet)); }

  // The next packet, or nothing when the connection ended; throws on timeout.
  std::optional<RconPacket> Receive() {
    std::string size_field;
    if (!ReceiveExactly(4, size_field)) return std::nullopt;
    const std::int32_t size = ReadInt(size_field, 0);
    if (size < 10) throw std::runtime_error("server sent a bad size field");
    std::string rest;
    if (!ReceiveExactly(static_cast<std::size_t>(size), rest)) return std::nullopt;
    // Server packets may exceed the request limit, so the fields are read here
    // rather than with the request decoder.
    RconPacket packet;
    packet.id = ReadInt(rest, 0);
    packet.type = static_cast<RconPacketType>(ReadInt(rest, 4));
    packet.body = rest.substr(8, rest.size() - 10);
    if (rest[rest.size() - 2] != '\0' || rest[rest.size() - 1] != '\0') {
      throw std::runtime_error("server packet not ended by two NULs");
    }
    return packet;
  }

  // True when the server closes the connection with nothing more to say.
  bool WaitClosed() {
    char byte = 0;
    while (true) {
      const ssize_t received = ::recv(fd_, &byte, 1, 0);
      if (received == 0) return true;
      if (received > 0) return false;
      if (errno == EINTR) continue;
      return errno == ECONNRESET;
    }
  }

  bool Login(const std::string& password, std::int32_t id = 1) {
    if (!Send({id, RconPacketType::kAuth, password})) return false;
    const auto answer = Receive();
    return answer && answer->type == RconPacketType::kExecCommandOrAuthResponse && answer->id == id;
  }

  std::optional<RconPacket> Run(std::int32_t id, const std::string& command) {
    if (!Send({id, RconPacketType::kExecCommandOrAuthResponse, command})) return std::nullopt;
    return Receive();
  }

 private:
  void Bind(const std::string& source_address) {
    sockaddr_in source{};
    source.sin_family = AF_INET;
    if (::inet_pton(AF_INET, source_address.c_str(), &source.sin_addr) != 1 ||
        ::bind(fd_, reinterpret_cast<const sockaddr*>(&source), sizeof source) != 0) {
      ::close(fd_);
      throw std::runtime_error("cannot bind to " + source_address);
    }
  }

  static std::int32_t ReadInt(const std::string& bytes, std::size_t offset) {
    std::uint32_t value = 0;
    for (std::size_t index = 0; index < 4; ++index) {
      value |= static_cast<std::uint32_t>(static_cast<unsigned char>(bytes[offset + index]))
               << (8 * index);
    }
    return static_cast<std::int32_t>(value);
  }

  bool ReceiveExactly(std::size_t count, std::string& out) {
    out.resize(count);
    std::size_t have = 0;
    while (have < count) {
      const ssize_t received = ::recv(fd_, out.data() + have, count - have, 0);
      if (received == 0) return false;
      if (received < 0) {
        if (errno == EINTR) continue;
        if (errno == EAGAIN || errno == EWOULDBLOCK) throw std::runtime_error("receive timed out");
        return false;  // reset by the server counts as closed
      }
      have += static_cast<std::size_t>(received);
    }
    return true;
  }

  int fd_;
};

}  // namespace Sandbox::Testing
