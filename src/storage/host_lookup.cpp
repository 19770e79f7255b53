#include "storage/host_lookup.hpp"

#ifdef _WIN32
// The asynchronous GetAddrInfoEx and its cancelling came with Windows 8.
#if !defined(_WIN32_WINNT) || _WIN32_WINNT < 0x0602
#undef _WIN32_WINNT
#define _WIN32_WINNT 0x0602
#endif
#include <winsock2.h>
#include <ws2tcpip.h>
#ifdef __MINGW32__
// In ws2_32 since Windows 8, but missing from mingw-w64's headers.
extern "C" {
INT WSAAPI GetAddrInfoExCancel(LPHANDLE handle);
INT WSAAPI GetAddrInfoExOverlappedResult(LPOVERLAPPED overlapped);
}
#endif
#else
#include <arpa/inet.h>
#include <netdb.h>
#include <sys/socket.h>
#endif

#include <cstring>

namespace Bellwright::Storage {
namespace {

bool IsNumericAddress(const std::string& host) {
  unsigned char buffer[sizeof(in6_addr)];
  return inet_pton(AF_INET, host.c_str(), buffer) == 1 ||
         inet_pton(AF_INET6, host.c_str(), buffer) == 1;
}

std::string NumericAddress(const sockaddr* address) {
  char text[INET6_ADDRSTRLEN] = {};
  const void* raw =
      address->sa_family == AF_INET6
          ? static_cast<const void*>(&reinterpret_cast<const sockaddr_in6*>(address)->sin6_addr)
          : static_cast<const void*>(&reinterpret_cast<const sockaddr_in*>(address)->sin_addr);
  return inet_ntop(address->sa_family, raw, text, sizeof text) != nullptr ? text : "";
}

template <typename AddressInfo>
std::vector<std::string> NumericAddresses(const AddressInfo* found) {
  std::vector<std::string> addresses;
  // mingw-w64 declares ADDRINFOEXW's next entry with a differently spelt tag; it is the
  // same structure.
  for (; found != nullptr; found = reinterpret_cast<const AddressInfo*>(found->ai_next)) {
    std::string address = NumericAddress(found->ai_addr);
    if (!address.empty()) addresses.push_back(std::move(address));
  }
  return addresses;
}

}  // namespace

bool NeedsNoLookup(const std::string& host) {
  return host.empty() || host == "localhost" || IsNumericAddress(host);
}

#ifdef _WIN32

struct HostLookup::Request {
  std::wstring name;
  OVERLAPPED overlapped{};
  ADDRINFOEXW hints{};
  ADDRINFOEXW* result = nullptr;
  HANDLE cancel = nullptr;
  int started = 0;
};

namespace {

// The configuration's text is UTF-8; each byte widened alone would break any name
// outside ASCII.
std::wstring WideName(const std::string& host) {
  const int length =
      MultiByteToWideChar(CP_UTF8, 0, host.data(), static_cast<int>(host.size()), nullptr, 0);
  std::wstring wide(static_cast<std::size_t>(length > 0 ? length : 0), L'\0');
  if (length > 0) {
    MultiByteToWideChar(CP_UTF8, 0, host.data(), static_cast<int>(host.size()), wide.data(),
                        length);
  }
  return wide;
}

}  // namespace

HostLookup::HostLookup(const std::string& host) : request_(new Request) {
  request_->name = WideName(host);
  request_->hints.ai_family = AF_UNSPEC;
  request_->hints.ai_socktype = SOCK_STREAM;
  request_->overlapped.hEvent = CreateEventW(nullptr, TRUE, FALSE, nullptr);
  request_->started =
      GetAddrInfoExW(request_->name.c_str(), nullptr, NS_DNS, nullptr, &request_->hints,
                     &request_->result, nullptr, &request_->overlapped, nullptr, &request_->cancel);
}

HostLookup::~HostLookup() {
  if (request_->started == WSA_IO_PENDING &&
      WaitForSingleObject(request_->overlapped.hEvent, 0) != WAIT_OBJECT_0) {
    // The system still writes into the request when the cancelled lookup ends: it keeps it.
    GetAddrInfoExCancel(&request_->cancel);
    return;
  }
  if (request_->result != nullptr) FreeAddrInfoExW(request_->result);
  CloseHandle(request_->overlapped.hEvent);
  delete request_;
}

std::optional<Expected<std::vector<std::string>>> HostLookup::Poll() {
  using Found = Expected<std::vector<std::string>>;
  int status = request_->started;
  if (status == WSA_IO_PENDING) {
    if (WaitForSingleObject(request_->overlapped.hEvent, 0) != WAIT_OBJECT_0) return std::nullopt;
    status = GetAddrInfoExOverlappedResult(&request_->overlapped);
    request_->started = status;
  }
  std::vector<std::string> addresses = NumericAddresses(request_->result);
  if (status != 0 || addresses.empty()) {
    return Found(Failure{"the host name could not be resolved"});
  }
  return Found(std::move(addresses));
}

#else

struct HostLookup::Request {
  std::string name;
  addrinfo hints{};
  gaicb block{};
};

HostLookup::HostLookup(const std::string& host) : request_(new Request) {
  request_->name = host;
  request_->hints.ai_family = AF_UNSPEC;
  request_->hints.ai_socktype = SOCK_STREAM;
  request_->block.ar_name = request_->name.c_str();
  request_->block.ar_request = &request_->hints;
  gaicb* list[] = {&request_->block};
  if (getaddrinfo_a(GAI_NOWAIT, list, 1, nullptr) != 0) {
    request_->block.ar_result = nullptr;
    request_->name.clear();  // marks a lookup that never started
  }
}

HostLookup::~HostLookup() {
  if (!request_->name.empty() && gai_error(&request_->block) == EAI_INPROGRESS &&
      gai_cancel(&request_->block) == EAI_NOTCANCELED) {
    // The system's resolver still writes into the request: it keeps it.
    return;
  }
  if (request_->block.ar_result != nullptr) freeaddrinfo(request_->block.ar_result);
  delete request_;
}

std::optional<Expected<std::vector<std::string>>> HostLookup::Poll() {
  using Found = Expected<std::vector<std::string>>;
  if (request_->name.empty()) return Found(Failure{"no name lookup could start"});
  const int status = gai_error(&request_->block);
  if (status == EAI_INPROGRESS) return std::nullopt;
  std::vector<std::string> addresses =
      status == 0 ? NumericAddresses(request_->block.ar_result) : std::vector<std::string>{};
  if (addresses.empty()) {
    const char* const why = status != 0 ? gai_strerror(status) : "it has no address";
    return Found(Failure{std::string("the host name could not be resolved: ") + why});
  }
  return Found(std::move(addresses));
}

#endif

}  // namespace Bellwright::Storage
