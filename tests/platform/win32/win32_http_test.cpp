// WinINet against a small HTTP server of the test's own on the loopback address, and
// the Run key in the system's registry as reg.exe sees it.
#include <gtest/gtest.h>
#include <winsock2.h>
#include <ws2tcpip.h>

#include <atomic>
#include <chrono>
#include <functional>
#include <mutex>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

#include "platform/win32/own_thread_call.h"
#include "platform/win32/win32_console.h"
#include "platform/win32/win32_network.h"
#include "support/test_support.h"
#include "text/cp936.h"

namespace lumora::platform::win32 {
namespace {

const std::function<bool()> kAlways = [] { return true; };

// Answers every request on 127.0.0.1 with the same answer: a body of a given length, a
// status without a body, a body that never ends, or nothing at all until it ends. It
// serves for a few seconds at most.
class LoopbackServer {
 public:
  enum class Answer { Body, NotFound, Endless, Silent };

  LoopbackServer(Answer answer, std::string body = {}) : answer_(answer), body_(std::move(body)) {
    WSADATA data;
    WSAStartup(MAKEWORD(2, 2), &data);
    listener_ = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    int length = sizeof address;
    if (bind(listener_, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0 &&
        listen(listener_, 4) == 0 &&
        getsockname(listener_, reinterpret_cast<sockaddr*>(&address), &length) == 0) {
      port_ = ntohs(address.sin_port);
    }
    thread_ = std::thread([this] { Serve(); });
  }
  ~LoopbackServer() {
    stop_ = true;
    thread_.join();
    closesocket(listener_);
    WSACleanup();
  }

  std::string Url(std::string_view path) const {
    return "http://127.0.0.1:" + std::to_string(port_) + std::string(path);
  }
  std::vector<std::string> Requests() const {
    std::lock_guard guard(lock_);
    return requests_;
  }

 private:
  void Serve() {
    for (int waited = 0; !stop_ && waited < 10000; waited += 50) {
      fd_set ready;
      FD_ZERO(&ready);
      FD_SET(listener_, &ready);
      timeval timeout{0, 50000};
      if (select(0, &ready, nullptr, nullptr, &timeout) != 1) continue;
      const SOCKET client = accept(listener_, nullptr, nullptr);
      if (client == INVALID_SOCKET) continue;
      Reply(client);
      closesocket(client);
    }
  }

  void Reply(SOCKET client) {
    std::string request;
    char piece[1024];
    while (request.find("\r\n\r\n") == std::string::npos) {
      const int got = recv(client, piece, sizeof piece, 0);
      if (got <= 0) return;
      request.append(piece, got);
    }
    {
      std::lock_guard guard(lock_);
      requests_.push_back(request.substr(0, request.find("\r\n\r\n")));
    }
    std::string head;
    switch (answer_) {
      case Answer::Body:
        head = "HTTP/1.0 200 OK\r\nContent-Type: text/plain\r\nContent-Length: " +
               std::to_string(body_.size()) + "\r\n\r\n" + body_;
        Send(client, head);
        break;
      case Answer::NotFound:
        Send(client, "HTTP/1.0 404 Not Found\r\nContent-Length: 9\r\n\r\nnot found");
        break;
      case Answer::Endless: {
        if (!Send(client, "HTTP/1.0 200 OK\r\nContent-Type: text/plain\r\n\r\n")) return;
        const std::string chunk(64 * 1024, 'x');
        // Until the reader hangs up; never more than eight times the program's cap.
        for (int sent = 0; sent < 128 && !stop_ && Send(client, chunk); ++sent) {
        }
        break;
      }
      case Answer::Silent:
        while (!stop_) std::this_thread::sleep_for(std::chrono::milliseconds(20));
        break;
    }
    shutdown(client, SD_SEND);
  }

  static bool Send(SOCKET client, std::string_view bytes) {
    while (!bytes.empty()) {
      const int sent = send(client, bytes.data(), static_cast<int>(bytes.size()), 0);
      if (sent <= 0) return false;
      bytes.remove_prefix(static_cast<std::size_t>(sent));
    }
    return true;
  }

  const Answer answer_;
  const std::string body_;
  SOCKET listener_ = INVALID_SOCKET;
  int port_ = 0;
  std::atomic<bool> stop_{false};
  mutable std::mutex lock_;
  std::vector<std::string> requests_;
  std::thread thread_;
};

bool Has(const std::string& request, std::string_view line) {
  return request.find(std::string(line) + "\r\n") != std::string::npos || request.ends_with(line);
}

TEST(Win32Http, BothWaysFetchACodePage936TextWhole) {
  // Longer than two reads of 1000 bytes, with double-byte characters across their ends.
  std::string body = text::Cp936FromUtf8("[up1]1[up2][version1]5.1[version2]\r\n");
  while (body.size() < 2500) body += text::Cp936FromUtf8("更新内容：中文说明。");
  LoopbackServer server(LoopbackServer::Answer::Body, body);
  Win32Http http;
  EXPECT_EQ(http.ReadUrl(server.Url("/updata.txt"), kAlways), body);
  EXPECT_EQ(http.Get(server.Url("/upwifi/bzxx.txt?x=1"), kAlways), body);
  const auto requests = server.Requests();
  ASSERT_EQ(requests.size(), 2u);
  // The address itself names the agent of the first way.
  EXPECT_TRUE(requests[0].starts_with("GET /updata.txt HTTP/1.1\r\n")) << requests[0];
  EXPECT_TRUE(Has(requests[0], "User-Agent: " + server.Url("/updata.txt"))) << requests[0];
  EXPECT_TRUE(requests[1].starts_with("GET /upwifi/bzxx.txt?x=1 HTTP/1.0\r\n")) << requests[1];
  EXPECT_TRUE(Has(requests[1], "Accept: */*")) << requests[1];
  EXPECT_TRUE(Has(requests[1], "User-Agent: Mozilla/4.0 (compatible; MSIE 6.0; Windows NT 5.0)"))
      << requests[1];
  // The GET asks every cache on the way to let it through.
  EXPECT_TRUE(Has(requests[1], "Pragma: no-cache")) << requests[1];
}

TEST(Win32Http, NothingListeningOrAnErrorGivesTheEmptyText) {
  std::string silentUrl;
  {
    // A port that was just free: nothing listens there now.
    LoopbackServer gone(LoopbackServer::Answer::NotFound);
    silentUrl = gone.Url("/updata.txt");
  }
  Win32Http http;
  EXPECT_EQ(http.ReadUrl(silentUrl, kAlways), "");
  EXPECT_EQ(http.Get(silentUrl, kAlways), "");
  LoopbackServer missing(LoopbackServer::Answer::NotFound);
  EXPECT_EQ(http.ReadUrl(missing.Url("/updata.txt"), kAlways), "");
  EXPECT_EQ(http.Get(missing.Url("/updata.txt"), kAlways), "");
  EXPECT_EQ(http.Get("not an address", kAlways), "");
}

TEST(Win32Http, AnEndlessBodyStopsAtTheCap) {
  LoopbackServer server(LoopbackServer::Answer::Endless);
  Win32Http http;
  EXPECT_EQ(http.ReadUrl(server.Url("/updata.txt"), kAlways).size(), kMostBodyBytes);
  EXPECT_EQ(http.Get(server.Url("/updata.txt"), kAlways).size(), kMostBodyBytes);
}

TEST(Win32Http, ARequestGivenUpReturnsWhileTheSiteSaysNothing) {
  LoopbackServer server(LoopbackServer::Answer::Silent);
  Win32Http http;
  for (const bool get : {false, true}) {
    SCOPED_TRACE(get ? "Get" : "ReadUrl");
    // Given up at the fifth look, a tenth of a second in; WinINet alone waits 15 s.
    int looks = 0;
    const std::function<bool()> keepGoing = [&] { return ++looks < 5; };
    const auto began = std::chrono::steady_clock::now();
    const std::string url = server.Url("/updata.txt");
    EXPECT_EQ(get ? http.Get(url, keepGoing) : http.ReadUrl(url, keepGoing), "");
    EXPECT_EQ(looks, 5);
    EXPECT_LT(std::chrono::steady_clock::now() - began, std::chrono::seconds(5));
  }
  EXPECT_FALSE(server.Requests().empty());
}

TEST(Win32OwnThreadCall, AnswersOrGivesUpAndReportsWhatTheCallThrows) {
  struct Case {
    const char* name;
    std::function<std::string()> call;
    int lookLimit;  // keepGoing answers false at this look
    std::string answer;
    std::string report;  // the start of the one line reported, or none
  };
  auto held = std::make_shared<std::atomic<bool>>(true);
  const Case cases[] = {
      {"answers", [] { return std::string("名字"); }, 1000, "名字", ""},
      {"throws", []() -> std::string { throw std::runtime_error("no memory left"); }, 1000, "",
       "Win32Http: unexpected exception: no memory left"},
      {"throws anything", []() -> std::string { throw 3; }, 1000, "",
       "Win32Http: unexpected exception of an unknown type"},
      {"given up",
       [held] {
         while (*held) std::this_thread::sleep_for(std::chrono::milliseconds(5));
         return std::string("too late");
       },
       3, "", ""},
  };
  for (const Case& c : cases) {
    lumora::testing::ExpectedFailureReports reports;
    int looks = 0, givenUp = 0;
    EXPECT_EQ(CallOnOwnThread(
                  "Win32Http", c.call, [&] { return ++looks < c.lookLimit; }, [&] { ++givenUp; }),
              c.answer)
        << c.name;
    EXPECT_EQ(givenUp, c.lookLimit == 3 ? 1 : 0) << c.name;
    // A call that throws has reported by the time its answer came.
    const std::vector<std::string> lines = reports.Lines();
    if (c.report.empty()) {
      EXPECT_TRUE(lines.empty()) << c.name;
    } else {
      ASSERT_EQ(lines.size(), 1u) << c.name;
      EXPECT_TRUE(lines[0].starts_with(c.report)) << c.name << ": " << lines[0];
    }
  }
  *held = false;
}

TEST(Win32LogonRegistry, WritesTestsAndDeletesARunValueThatRegSees) {
  constexpr std::string_view kRunKey = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run";
  constexpr std::string_view kName = "lmrawifiqd_test";
  const std::string path = "C:\\Program Files\\Lumora WiFi\\LumoraWiFi.exe";
  Win32LogonRegistry registry;
  Win32Console console;
  const auto regQuery = [&] {
    return console.Run("reg query \"HKLM\\" + std::string(kRunKey) + "\" /v " + std::string(kName),
                       [] { return true; });
  };
  ASSERT_TRUE(registry.WriteString(kRunKey, kName, path));
  EXPECT_TRUE(registry.ValueExists(kRunKey, kName));
  const std::string listed = regQuery();
  EXPECT_NE(listed.find(std::string(kName)), std::string::npos) << listed;
  EXPECT_NE(listed.find("REG_SZ"), std::string::npos) << listed;
  EXPECT_NE(listed.find(path), std::string::npos) << listed;

  EXPECT_TRUE(registry.DeleteValue(kRunKey, kName));
  EXPECT_FALSE(registry.ValueExists(kRunKey, kName));
  EXPECT_EQ(regQuery().find(path), std::string::npos);
  // Gone already: an answer, not a failure.
  EXPECT_FALSE(registry.DeleteValue(kRunKey, kName));
  EXPECT_FALSE(registry.ValueExists(std::string(kRunKey) + "\\Missing", kName));

  // A subkey of the name goes by the other delete.
  ASSERT_TRUE(registry.WriteString(std::string(kRunKey) + "\\" + std::string(kName), "x", "y"));
  EXPECT_FALSE(registry.DeleteValue(kRunKey, kName));
  EXPECT_TRUE(registry.DeleteSubkey(kRunKey, kName));
  EXPECT_FALSE(registry.ValueExists(std::string(kRunKey) + "\\" + std::string(kName), "x"));
}

}  // namespace
}  // namespace lumora::platform::win32
