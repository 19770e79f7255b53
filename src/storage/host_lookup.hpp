#pragma once

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "storage/expected.hpp"

namespace Bellwright::Storage {

// Finds the address of a host name without ever blocking the caller: the operating
// system resolves it on its own (glibc's getaddrinfo_a, Windows' asynchronous
// GetAddrInfoEx) and Poll only looks whether it has finished. Nothing of this library
// runs in the system's resolver, so a lookup still under way when the plug-in unloads
// cannot call into code that is gone: the lookup is cancelled, or, when the system can
// no longer cancel it, its request is left to the system rather than freed under it.
class HostLookup {
 public:
  explicit HostLookup(const std::string& host);
  ~HostLookup();
  HostLookup(const HostLookup&) = delete;
  HostLookup& operator=(const HostLookup&) = delete;

  // Every numeric address of the name, in the order the system gives them (the order the
  // client library would try them in), once found; the failure, or nothing while the
  // lookup is under way.
  std::optional<Expected<std::vector<std::string>>> Poll();

  struct Request;

 private:
  Request* request_ = nullptr;
};

// Whether the client library can take this host as it is, without a name lookup: a
// numeric address, or "localhost", which names the local server's socket.
bool NeedsNoLookup(const std::string& host);

}  // namespace Bellwright::Storage
