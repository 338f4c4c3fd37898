#include <windows.h>
// After windows.h, which it needs.
#include <wininet.h>

#include <functional>
#include <memory>
#include <mutex>
#include <vector>

#include "platform/win32/own_thread_call.h"
#include "platform/win32/scoped_win.h"
#include "platform/win32/system_dlls.h"
#include "platform/win32/win32_diagnostics.h"
#include "platform/win32/win32_network.h"

namespace lumora::platform::win32 {

namespace {

// The handles of one exchange with the site, which runs on a thread of its own. The
// caller waiting for it may give it up from its thread: closing the handles ends the
// WinINet call under way (the cancellation WinINet documents for a call that blocks),
// and the exchange then opens nothing new and closes nothing twice.
class Exchange {
 public:
  // Takes an opened handle into the exchange (newest last); a handle opened after the
  // exchange has ended is closed at once, and nullptr answered.
  HINTERNET Keep(HINTERNET handle) {
    if (!handle) return nullptr;
    std::lock_guard guard(lock_);
    if (ended_) {
      WinInetDll().InternetCloseHandle(handle);
      return nullptr;
    }
    handles_.push_back(handle);
    return handle;
  }

  // The end, done or given up: every handle closed, newest first.
  void End() {
    std::lock_guard guard(lock_);
    ended_ = true;
    for (auto handle = handles_.rbegin(); handle != handles_.rend(); ++handle)
      WinInetDll().InternetCloseHandle(*handle);
    handles_.clear();
  }

 private:
  std::mutex lock_;
  std::vector<HINTERNET> handles_;
  bool ended_ = false;
};

// Runs the exchange on its thread and waits for it as long as keepGoing answers true.
std::string RunExchangeOnOwnThread(std::function<std::string(Exchange&)> work,
                                   const std::function<bool()>& keepGoing) {
  auto exchange = std::make_shared<Exchange>();
  return CallOnOwnThread(
      "Win32Http",
      [exchange, work = std::move(work)] {
        // The handles go however the exchange leaves.
        struct Ended {
          Exchange& exchange;
          ~Ended() { exchange.End(); }
        } ended{*exchange};
        return work(*exchange);
      },
      keepGoing, [exchange] { exchange->End(); });
}

constexpr DWORD kPieceBytes = 1000;
// A site that does not answer must not hold its worker, and the program's end, for
// WinINet's minute.
constexpr DWORD kTimeoutMs = 15000;
constexpr wchar_t kBrowserAgent[] = L"Mozilla/4.0 (compatible; MSIE 6.0; Windows NT 5.0)";

HINTERNET OpenSession(Exchange& exchange, const std::wstring& agent) {
  const HINTERNET opened =
      WinInetDll().InternetOpenW(agent.c_str(), INTERNET_OPEN_TYPE_DIRECT, nullptr, nullptr, 0);
  if (!opened) {
    ReportSystemError("InternetOpen", GetLastError());
    return nullptr;
  }
  const HINTERNET session = exchange.Keep(opened);
  if (!session) return nullptr;
  DWORD timeout = kTimeoutMs;
  for (DWORD option : {INTERNET_OPTION_CONNECT_TIMEOUT, INTERNET_OPTION_RECEIVE_TIMEOUT,
                       INTERNET_OPTION_SEND_TIMEOUT}) {
    WinInetDll().InternetSetOptionW(session, option, &timeout, sizeof timeout);
  }
  return session;
}

// Whether the answer of the request is one of success. A site that cannot be reached is
// the network's state, not a failure of the program: nothing is reported.
bool Succeeded(HINTERNET request) {
  DWORD status = 0;
  DWORD size = sizeof status;
  if (!WinInetDll().HttpQueryInfoW(request, HTTP_QUERY_STATUS_CODE | HTTP_QUERY_FLAG_NUMBER,
                                   &status, &size, nullptr)) {
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
    if (!WinInetDll().InternetReadFile(request, piece, kPieceBytes, &read) || read == 0) break;
    body.append(piece, read);
  }
  if (body.size() > kMostBodyBytes) body.resize(kMostBodyBytes);
  return body;
}

}  // namespace

std::string Win32Http::ReadUrl(std::string_view url, const std::function<bool()>& keepGoing) {
  return RunExchangeOnOwnThread(
      [address = Wide(url)](Exchange& exchange) -> std::string {
        // The address itself is the agent's name.
        const HINTERNET session = OpenSession(exchange, address);
        if (!session) return {};
        const HINTERNET request = exchange.Keep(WinInetDll().InternetOpenUrlW(
            session, address.c_str(), L"", 0, INTERNET_FLAG_RELOAD, 0));
        if (!request || !Succeeded(request)) return {};
        return ReadBody(request);
      },
      keepGoing);
}

std::string Win32Http::Get(std::string_view url, const std::function<bool()>& keepGoing) {
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
  if (!WinInetDll().InternetCrackUrlW(address.c_str(), 0, 0, &parts)) return {};
  if (parts.nScheme != INTERNET_SCHEME_HTTP && parts.nScheme != INTERNET_SCHEME_HTTPS) return {};
  std::wstring object(parts.lpszUrlPath, parts.dwUrlPathLength);
  object.append(parts.lpszExtraInfo, parts.dwExtraInfoLength);
  if (object.empty()) object = L"/";
  const bool secure = parts.nScheme == INTERNET_SCHEME_HTTPS;

  return RunExchangeOnOwnThread(
      [hostName = std::wstring(host.data()), port = parts.nPort, object,
       secure](Exchange& exchange) -> std::string {
        const HINTERNET session = OpenSession(exchange, kBrowserAgent);
        if (!session) return {};
        const HINTERNET connection = exchange.Keep(WinInetDll().InternetConnectW(
            session, hostName.c_str(), port, nullptr, nullptr, INTERNET_SERVICE_HTTP, 0, 0));
        if (!connection) return {};
        const wchar_t* accept[] = {L"*/*", nullptr};
        DWORD flags =
            INTERNET_FLAG_RELOAD | INTERNET_FLAG_NO_CACHE_WRITE | INTERNET_FLAG_PRAGMA_NOCACHE;
        if (secure) flags |= INTERNET_FLAG_SECURE;
        const HINTERNET request = exchange.Keep(WinInetDll().HttpOpenRequestW(
            connection, L"GET", object.c_str(), L"HTTP/1.0", nullptr, accept, flags, 0));
        if (!request) return {};
        if (!WinInetDll().HttpSendRequestW(request, nullptr, 0, nullptr, 0) || !Succeeded(request))
          return {};
        return ReadBody(request);
      },
      keepGoing);
}

}  // namespace lumora::platform::win32
