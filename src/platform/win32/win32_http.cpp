#include <windows.h>
// After windows.h, which it needs.
#include <wininet.h>

#include <vector>

#include "platform/win32/scoped_win.h"
#include "platform/win32/win32_diagnostics.h"
#include "platform/win32/win32_network.h"

namespace lumora::platform::win32 {

namespace {

class ScopedInternet {
 public:
  explicit ScopedInternet(HINTERNET handle = nullptr) : handle_(handle) {}
  ~ScopedInternet() {
    if (handle_) InternetCloseHandle(handle_);
  }
  ScopedInternet(const ScopedInternet&) = delete;
  ScopedInternet& operator=(const ScopedInternet&) = delete;
  HINTERNET Get() const { return handle_; }
  explicit operator bool() const { return handle_ != nullptr; }

 private:
  HINTERNET handle_;
};

constexpr DWORD kPieceBytes = 1000;
// A site that does not answer must not hold its worker, and the program's end, for
// WinINet's minute.
constexpr DWORD kTimeoutMs = 15000;
constexpr wchar_t kBrowserAgent[] = L"Mozilla/4.0 (compatible; MSIE 6.0; Windows NT 5.0)";

ScopedInternet OpenSession(const std::wstring& agent) {
  HINTERNET session = InternetOpenW(agent.c_str(), INTERNET_OPEN_TYPE_DIRECT, nullptr, nullptr, 0);
  if (!session) {
    ReportSystemError("InternetOpen", GetLastError());
    return ScopedInternet();
  }
  DWORD timeout = kTimeoutMs;
  for (DWORD option : {INTERNET_OPTION_CONNECT_TIMEOUT, INTERNET_OPTION_RECEIVE_TIMEOUT,
                       INTERNET_OPTION_SEND_TIMEOUT}) {
    InternetSetOptionW(session, option, &timeout, sizeof timeout);
  }
  return ScopedInternet(session);
}

// Whether the answer of the request is one of success. A site that cannot be reached is
// the network's state, not a failure of the program: nothing is reported.
bool Succeeded(HINTERNET request) {
  DWORD status = 0;
  DWORD size = sizeof status;
  if (!HttpQueryInfoW(request, HTTP_QUERY_STATUS_CODE | HTTP_QUERY_FLAG_NUMBER, &status, &size,
                      nullptr)) {
    return false;
  }
  return status >= 200 && status < 300;
}

// Pieces of up to 1000 bytes until a read brings nothing or fails, at most the cap.
std::string ReadBody(HINTERNET request) {
  std::string body;
  char piece[kPieceBytes];
  while (body.size() < kMostBodyBytes) {
    DWORD read = 0;
    if (!InternetReadFile(request, piece, kPieceBytes, &read) || read == 0) break;
    body.append(piece, read);
  }
  if (body.size() > kMostBodyBytes) body.resize(kMostBodyBytes);
  return body;
}

}  // namespace

std::string Win32Http::ReadUrl(std::string_view url) {
  const std::wstring address = Wide(url);
  // The address itself is the agent's name.
  const ScopedInternet session = OpenSession(address);
  if (!session) return {};
  const ScopedInternet request(
      InternetOpenUrlW(session.Get(), address.c_str(), L"", 0, INTERNET_FLAG_RELOAD, 0));
  if (!request || !Succeeded(request.Get())) return {};
  return ReadBody(request.Get());
}

std::string Win32Http::Get(std::string_view url) {
  std::wstring address = Wide(url);
  URL_COMPONENTSW parts{};
  parts.dwStructSize = sizeof parts;
  std::vector<wchar_t> host(256), path(2048), extra(2048);
  parts.lpszHostName = host.data();
  parts.dwHostNameLength = static_cast<DWORD>(host.size());
  parts.lpszUrlPath = path.data();
  parts.dwUrlPathLength = static_cast<DWORD>(path.size());
  parts.lpszExtraInfo = extra.data();
  parts.dwExtraInfoLength = static_cast<DWORD>(extra.size());
  if (!InternetCrackUrlW(address.c_str(), 0, 0, &parts)) return {};
  if (parts.nScheme != INTERNET_SCHEME_HTTP && parts.nScheme != INTERNET_SCHEME_HTTPS) return {};
  std::wstring object(parts.lpszUrlPath, parts.dwUrlPathLength);
  object.append(parts.lpszExtraInfo, parts.dwExtraInfoLength);
  if (object.empty()) object = L"/";

  const ScopedInternet session = OpenSession(kBrowserAgent);
  if (!session) return {};
  const ScopedInternet connection(InternetConnectW(session.Get(), host.data(), parts.nPort, nullptr,
                                                   nullptr, INTERNET_SERVICE_HTTP, 0, 0));
  if (!connection) return {};
  const wchar_t* accept[] = {L"*/*", nullptr};
  DWORD flags = INTERNET_FLAG_RELOAD | INTERNET_FLAG_NO_CACHE_WRITE | INTERNET_FLAG_PRAGMA_NOCACHE;
  if (parts.nScheme == INTERNET_SCHEME_HTTPS) flags |= INTERNET_FLAG_SECURE;
  const ScopedInternet request(HttpOpenRequestW(connection.Get(), L"GET", object.c_str(),
                                                L"HTTP/1.0", nullptr, accept, flags, 0));
  if (!request) return {};
  if (!HttpSendRequestW(request.Get(), nullptr, 0, nullptr, 0) || !Succeeded(request.Get()))
    return {};
  return ReadBody(request.Get());
}

}  // namespace lumora::platform::win32
