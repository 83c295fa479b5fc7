// The stand-in's own duties that the adapter tests do not reach: malformed and oversized
// requests, prompt stopping, the control routes and the icons it makes.
#include "standin/standin_server.h"

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <string>
#include <thread>

#include "http_test_client.h"
#include "standin/builtin_icon.h"
#include "support/test_host.h"

namespace tp::standin {
namespace {

using testing::RawExchange;

std::string Get(uint16_t port, const std::string& target) {
  return RawExchange(port, "GET " + target + " HTTP/1.1\r\nHost: x\r\n\r\n");
}

std::string StatusLine(const std::string& answer) {
  return answer.substr(0, answer.find("\r\n"));
}

TEST(StandinParseTest, RefusesWhatItCannotReadSafely) {
  const auto parse = [](std::string_view head) {
    Request request;
    size_t length = 0;
    return ParseHead(head, &request, &length);
  };
  EXPECT_EQ(parse(""), ReadResult::kMalformed);
  EXPECT_EQ(parse("GET"), ReadResult::kMalformed);
  EXPECT_EQ(parse("GET / HTTP/2"), ReadResult::kMalformed);
  EXPECT_EQ(parse("GET noslash HTTP/1.1"), ReadResult::kMalformed);
  EXPECT_EQ(parse("GET /a\x01 HTTP/1.1"), ReadResult::kMalformed);
  EXPECT_EQ(parse("GET / HTTP/1.1\r\nno colon"), ReadResult::kMalformed);
  EXPECT_EQ(parse("GET / HTTP/1.1\r\n: empty name"), ReadResult::kMalformed);
  EXPECT_EQ(parse("POST / HTTP/1.1\r\nContent-Length: -1"), ReadResult::kMalformed);
  EXPECT_EQ(parse("POST / HTTP/1.1\r\nContent-Length: 99999999999999999999"),
            ReadResult::kMalformed);
  EXPECT_EQ(parse("POST / HTTP/1.1\r\nContent-Length: 1\r\nContent-Length: 2"),
            ReadResult::kMalformed);
  EXPECT_EQ(parse("POST / HTTP/1.1\r\nContent-Length: 2000000"), ReadResult::kBodyTooLarge);
  EXPECT_EQ(parse("POST / HTTP/1.1\r\nTransfer-Encoding: chunked"), ReadResult::kNotImplemented);

  Request request;
  size_t length = 0;
  ASSERT_EQ(
      ParseHead("POST /a/b?x=1&y HTTP/1.0\r\nX-One:  v  \r\ncontent-length: 5", &request, &length),
      ReadResult::kOk);
  EXPECT_EQ(request.path, "/a/b");
  EXPECT_EQ(request.query, "x=1&y");
  EXPECT_EQ(request.Header("x-one"), "v");
  EXPECT_EQ(length, 5u);
}

TEST(StandinServerTest, AnswersBadRequestsWithAnErrorAndKeepsServing) {
  StandinServer server;
  ASSERT_TRUE(server.Start());
  EXPECT_EQ(StatusLine(RawExchange(server.port(), "GARBAGE\r\n\r\n")), "HTTP/1.1 400 Bad Request");
  EXPECT_EQ(StatusLine(RawExchange(server.port(), "GET /" + std::string(20000, 'a'))),
            "HTTP/1.1 431 Request Header Fields Too Large");
  EXPECT_EQ(StatusLine(Get(server.port(), "/fault/nosuchfault/ams/GetSendersInfo")),
            "HTTP/1.1 400 Bad Request");
  EXPECT_EQ(StatusLine(Get(server.port(), "/ams/GetSendersInfo?sigdata=")), "HTTP/1.1 200 OK");
  EXPECT_EQ(StatusLine(Get(server.port(), "/analytics/analyticstp2")),
            "HTTP/1.1 405 Method Not Allowed");
  EXPECT_EQ(server.Requests().size(), 2u);  // the bad ones are not recorded
}

TEST(StandinServerTest, StopEndsSlowAndStalledAnswersAndIdleConnectionsAtOnce) {
  StandinServer server;
  ASSERT_TRUE(server.Start());
  server.SetSlowDelay(std::chrono::minutes(10));
  std::string slowAnswer = "unset";
  std::string stalledAnswer = "unset";
  std::string idleAnswer = "unset";
  std::thread slow([&] { slowAnswer = Get(server.port(), "/fault/slow/ams/GetSendersInfo"); });
  std::thread stalled([&] { stalledAnswer = Get(server.port(), "/fault/stall/analytics/x"); });
  // A connection that never finishes its request.
  std::thread idle([&] { idleAnswer = RawExchange(server.port(), "GET / HTTP/1.1\r\n"); });
  while (server.Requests().size() < 2)
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  const auto start = std::chrono::steady_clock::now();
  server.Stop();
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(5));
  slow.join();
  stalled.join();
  idle.join();
  EXPECT_EQ(slowAnswer, "");
  EXPECT_EQ(stalledAnswer, "");
  EXPECT_EQ(idleAnswer, "");
}

TEST(StandinServerTest, ControlRoutesSteerFaultsAndListTheRecords) {
  StandinServer server;
  ASSERT_TRUE(server.Start());
  EXPECT_EQ(StatusLine(Get(server.port(), "/control/fault?mode=500&prefix=%2Fams%2F&count=1")),
            "HTTP/1.1 200 OK");
  EXPECT_EQ(StatusLine(Get(server.port(), "/control/fault?mode=sideways")),
            "HTTP/1.1 400 Bad Request");
  EXPECT_EQ(StatusLine(Get(server.port(), "/analytics/x")), "HTTP/1.1 404 Not Found");
  EXPECT_EQ(StatusLine(Get(server.port(), "/ams/GetSendersInfo")),
            "HTTP/1.1 500 Internal Server Error");
  EXPECT_EQ(StatusLine(Get(server.port(), "/ams/GetSendersInfo")), "HTTP/1.1 200 OK");
  RawExchange(server.port(),
              "POST /analytics/analyticstp2 HTTP/1.1\r\nContent-Length: 7\r\n\r\na=\"b\"\n\xFF");

  const std::string listing = Get(server.port(), "/control/requests");
  EXPECT_NE(listing.find("{\"method\":\"GET\",\"target\":\"/analytics/x\",\"headers\":[[\"Host\","
                         "\"x\"]],\"body\":\"\"}\n"),
            std::string::npos)
      << listing;
  EXPECT_NE(listing.find("\"body\":\"a=\\\"b\\\"\\u000a\\u00ff\"}\n"), std::string::npos)
      << listing;
  EXPECT_EQ(listing.find("/control/"), std::string::npos);

  Get(server.port(), "/control/clear");
  EXPECT_TRUE(server.Requests().empty());
}

TEST(StandinServerTest, IconsComeFromTheFolderButNeverFromOutsideIt) {
  testing::TempFolder folder;
  std::filesystem::create_directory(folder.path() / "icons");
  testing::WriteFileBytes(folder.path() / "icons" / "Acme.ico", "icon bytes");
  testing::WriteFileBytes(folder.path() / "secret.ico", "secret");
  StandinServer server;
  server.SetIconFolder(folder.path() / "icons");
  ASSERT_TRUE(server.Start());
  const std::string answer = Get(server.port(), "/ams/brandingicon/Acme.ico");
  EXPECT_EQ(StatusLine(answer), "HTTP/1.1 200 OK");
  EXPECT_TRUE(answer.ends_with("\r\n\r\nicon bytes"));
  EXPECT_EQ(StatusLine(Get(server.port(), "/ams/brandingicon/..%2Fsecret.ico")),
            "HTTP/1.1 404 Not Found");
  EXPECT_EQ(StatusLine(Get(server.port(), "/ams/brandingicon/../secret.ico")),
            "HTTP/1.1 404 Not Found");
}

TEST(StandinIconTest, TheBuiltInIconIsAWellFormedIconFile) {
  const std::string icon = BuiltinIcon("Acme");
  const auto u16 = [&](size_t at) {
    return static_cast<unsigned char>(icon[at]) | static_cast<unsigned char>(icon[at + 1]) << 8;
  };
  const auto u32 = [&](size_t at) { return u16(at) | static_cast<uint32_t>(u16(at + 2)) << 16; };
  ASSERT_GE(icon.size(), 22u);
  EXPECT_EQ(icon.substr(0, 4), std::string("\0\0\1\0", 4));
  EXPECT_EQ(u16(4), 1);  // one image
  const uint32_t bytes = u32(6 + 8);
  const uint32_t offset = u32(6 + 12);
  EXPECT_EQ(offset + bytes, icon.size());
  EXPECT_EQ(u32(offset), 40u);      // BITMAPINFOHEADER
  EXPECT_EQ(u32(offset + 8), 32u);  // twice the height: image and mask
  EXPECT_NE(BuiltinIcon("Other"), icon);
}

}  // namespace
}  // namespace tp::standin
