#pragma once
// Requests to the program's web site over HTTP. Bodies are the bytes the server sent
// (the site writes code page 936); every failure gives the empty body, and so does a
// request given up: as soon as keepGoing answers false (its worker has been ended), the
// call returns, whatever the server does.

#include <cstddef>
#include <functional>
#include <string>
#include <string_view>

namespace lumora::platform {

// No body is read beyond this many bytes: a server that never ends its answer cannot
// fill the memory.
inline constexpr std::size_t kMostBodyBytes = 1024 * 1024;

class HttpPort {
 public:
  virtual ~HttpPort() = default;
  // The body read in pieces of up to 1000 bytes until a read brings nothing, always
  // from the server, never from a cache.
  virtual std::string ReadUrl(std::string_view url, const std::function<bool()>& keepGoing) = 0;
  // The body of an HTTP/1.0 GET ("Accept: */*") that bypasses the cache.
  virtual std::string Get(std::string_view url, const std::function<bool()>& keepGoing) = 0;
};

}  // namespace lumora::platform
