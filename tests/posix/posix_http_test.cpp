// The posix HTTP port against the stand-in over loopback: request shapes, header queries,
// chunked reads, HTTP error statuses, and each way a transfer fails in WinINet's codes.
#include "host/posix/posix_http.h"

#include <gtest/gtest.h>

#include <chrono>
#include <ostream>
#include <string>
#include <thread>

#include "base/text.h"
#include "http_test_client.h"
#include "standin/standin_server.h"

namespace tp {
namespace {

using host::kQueryContentLength;
using host::kQueryContentType;
using host::kQueryStatusCode;
using standin::Fault;
using testing::HttpTestClient;

constexpr wchar_t kSendersPath[] = L"ams/GetSendersInfo?sigdata=";
const std::string kEnvelope =
    "<content><data><senders/><branding><![CDATA[{'branding':[{'name':'Acm\xC3\xA9',"
    "'domain':'acme.example'}]}]]></branding></data></content>";

class PosixHttpTest : public ::testing::Test {
 protected:
  void SetUp() override {
    std::string error;
    ASSERT_TRUE(m_server.Start(0, &error)) << error;
    m_server.SetSendersList(kEnvelope);
  }

  HttpTestClient Client(testing::Timeouts timeouts = {}) {
    return HttpTestClient(m_transport, L"127.0.0.1", m_server.port(), timeouts);
  }

  standin::StandinServer m_server;
  host::posix::PosixHttpTransport m_transport;
};

TEST_F(PosixHttpTest, GetDeliversStatusHeadersAndBodyAndSendsOnlyWinInetsHeaders) {
  HttpTestClient client = Client();
  auto request = client.Get(kSendersPath);
  ASSERT_NE(request, nullptr) << m_transport.LastError();
  EXPECT_EQ(client.Query(*request, kQueryStatusCode), L"200");
  EXPECT_EQ(client.Query(*request, kQueryContentType), L"text/xml; charset=utf-8");
  EXPECT_EQ(client.Query(*request, kQueryContentLength), std::to_wstring(kEnvelope.size()));
  const HttpTestClient::Body body = client.ReadBody(*request);
  EXPECT_EQ(body.error, 0u);
  EXPECT_EQ(body.bytes, kEnvelope);

  const auto requests = m_server.Requests();
  ASSERT_EQ(requests.size(), 1u);
  EXPECT_EQ(requests[0].method, "GET");
  EXPECT_EQ(requests[0].path, "/ams/GetSendersInfo");
  EXPECT_EQ(requests[0].query, "sigdata=");
  EXPECT_EQ(requests[0].Header("User-Agent"),
            "Mozilla/5.0 (Windows NT 10.0) SimpleWinInetHTTPClient/0.1");
  EXPECT_EQ(requests[0].Header("Host"), "127.0.0.1:" + std::to_string(m_server.port()));
  // No accept types were given, and WinINet does not announce 100-continue.
  EXPECT_FALSE(requests[0].HasHeader("Accept"));
  EXPECT_FALSE(requests[0].HasHeader("Expect"));
  EXPECT_TRUE(requests[0].body.empty());
}

TEST_F(PosixHttpTest, PostSendsTheBodyAsGivenWithTheCallersHeaderOnly) {
  HttpTestClient client = Client();
  // Spaces, ampersands and percent signs go out byte for byte.
  const std::string body = "e_name=plugin startup&tp_v=1.13.1&x=100%&y=\xC3\xA9";
  auto request = client.Open(L"POST", L"analytics/analyticstp2");
  ASSERT_NE(request, nullptr);
  ASSERT_TRUE(request->Send(L"Content-Type:application/x-www-form-urlencoded\r\n", body));
  EXPECT_EQ(client.Query(*request, kQueryStatusCode), L"200");

  auto bare = client.Open(L"POST", L"/analytics/analyticstp2");
  ASSERT_NE(bare, nullptr);
  ASSERT_TRUE(bare->Send(L"", ""));

  const auto requests = m_server.Requests();
  ASSERT_EQ(requests.size(), 2u);
  EXPECT_EQ(requests[0].method, "POST");
  EXPECT_EQ(requests[0].target, "/analytics/analyticstp2");
  EXPECT_EQ(requests[0].Header("Content-Type"), "application/x-www-form-urlencoded");
  EXPECT_EQ(requests[0].Header("Content-Length"), std::to_string(body.size()));
  EXPECT_EQ(requests[0].body, body);
  // Without a content type from the caller none is sent, as with WinINet.
  EXPECT_FALSE(requests[1].HasHeader("Content-Type"));
  EXPECT_EQ(requests[1].Header("Content-Length"), "0");
}

TEST_F(PosixHttpTest, PathsWithSpacesAndNonAsciiAreSentPercentEncoded) {
  m_server.AddIcon("Acme Store");
  HttpTestClient client = Client();
  auto request = client.Get(L"ams/brandingicon/Acme Store.ico");
  ASSERT_NE(request, nullptr) << m_transport.LastError();
  EXPECT_EQ(client.Query(*request, kQueryStatusCode), L"200");
  auto accented = client.Get(L"ams/brandingicon/Acm\u00e9.ico");
  ASSERT_NE(accented, nullptr);
  const auto requests = m_server.Requests();
  ASSERT_EQ(requests.size(), 2u);
  EXPECT_EQ(requests[0].path, "/ams/brandingicon/Acme%20Store.ico");
  EXPECT_EQ(requests[1].path, "/ams/brandingicon/Acm%C3%A9.ico");
}

TEST_F(PosixHttpTest, ErrorStatusesAreAnswersAndTheSameHandleCanSendAgain) {
  m_server.AddFault("/ams/", Fault::kServerError, 1);
  HttpTestClient client = Client();
  auto request = client.Open(L"GET", kSendersPath);
  ASSERT_NE(request, nullptr);
  ASSERT_TRUE(request->Send(L"", ""));
  EXPECT_EQ(client.Query(*request, kQueryStatusCode), L"500");
  EXPECT_NE(client.ReadBody(*request).bytes.find("500 Internal Server Error"), std::string::npos);
  ASSERT_TRUE(request->Send(L"", ""));  // the fault was for one request only
  EXPECT_EQ(client.Query(*request, kQueryStatusCode), L"200");
  EXPECT_EQ(client.ReadBody(*request).bytes, kEnvelope);

  auto missing = client.Get(L"fault/404/ams/GetSendersInfo?sigdata=");
  ASSERT_NE(missing, nullptr);
  EXPECT_EQ(client.Query(*missing, kQueryStatusCode), L"404");
  EXPECT_EQ(client.Query(*missing, kQueryContentType), L"text/html");
}

TEST_F(PosixHttpTest, HeaderQueriesAnswerLikeHttpQueryInfo) {
  HttpTestClient client = Client();
  auto request = client.Open(L"GET", kSendersPath);
  ASSERT_NE(request, nullptr);
  std::wstring value = L"unchanged";
  uint32_t size = 2048;
  EXPECT_FALSE(request->QueryInfo(kQueryStatusCode, &value, &size));  // nothing sent yet
  ASSERT_TRUE(request->Send(L"", ""));

  // "text/xml; charset=utf-8" is 23 characters: 48 bytes with the terminator.
  size = 47;
  EXPECT_FALSE(request->QueryInfo(kQueryContentType, &value, &size));
  EXPECT_EQ(m_transport.LastError(), host::kErrorInsufficientBuffer);
  EXPECT_EQ(size, 48u);
  EXPECT_EQ(value, L"unchanged");
  EXPECT_TRUE(request->QueryInfo(kQueryContentType, &value, &size));
  EXPECT_EQ(value, L"text/xml; charset=utf-8");
  EXPECT_EQ(size, 46u);  // on success, the length without the terminator

  size = 2;
  EXPECT_FALSE(request->QueryInfo(kQueryStatusCode, &value, &size));
  EXPECT_EQ(size, 8u);

  auto unlengthed = client.Get(L"fault/nolength/ams/GetSendersInfo?sigdata=");
  ASSERT_NE(unlengthed, nullptr);
  size = 2048;
  EXPECT_FALSE(unlengthed->QueryInfo(kQueryContentLength, &value, &size));
  EXPECT_EQ(m_transport.LastError(), host::kErrorHttpHeaderNotFound);
  // The body then runs to the end of the connection.
  EXPECT_EQ(client.ReadBody(*unlengthed).bytes, kEnvelope);
}

TEST_F(PosixHttpTest, TheBodyIsHandedOutInPiecesThenZero) {
  std::string large;
  for (int i = 0; large.size() < 20000; ++i)
    large += "<sender id='" + std::to_string(i) + "'/>";
  m_server.SetSendersList(large);
  HttpTestClient client = Client();
  auto request = client.Get(kSendersPath);
  ASSERT_NE(request, nullptr);

  std::string read;
  char buffer[10000];
  uint32_t available = 0;
  uint32_t count = 0;
  ASSERT_TRUE(request->QueryDataAvailable(&available));
  EXPECT_EQ(available, 8192u);
  ASSERT_TRUE(request->ReadFile(buffer, 100, &count));  // less than available
  EXPECT_EQ(count, 100u);
  read.append(buffer, count);
  while (request->QueryDataAvailable(&available) && available > 0) {
    EXPECT_LE(available, 8192u);
    ASSERT_TRUE(request->ReadFile(buffer, sizeof buffer, &count));  // more than available
    ASSERT_GT(count, 0u);
    read.append(buffer, count);
  }
  EXPECT_EQ(available, 0u);
  EXPECT_EQ(read, large);
  ASSERT_TRUE(request->ReadFile(buffer, sizeof buffer, &count));
  EXPECT_EQ(count, 0u);
}

TEST_F(PosixHttpTest, ServesTheIconsAndTheFaultsTheClientsMeet) {
  m_server.AddIcon("Acme");
  HttpTestClient client = Client();
  auto icon = client.Get(L"ams/brandingicon/Acme.ico");
  ASSERT_NE(icon, nullptr);
  EXPECT_EQ(client.Query(*icon, kQueryStatusCode), L"200");
  EXPECT_EQ(client.ReadBody(*icon).bytes.substr(0, 4), std::string("\0\0\1\0", 4));
  auto unknown = client.Get(L"ams/brandingicon/Nobody.ico");
  ASSERT_NE(unknown, nullptr);
  EXPECT_EQ(client.Query(*unknown, kQueryStatusCode), L"404");
  auto page = client.Get(L"fault/html/ams/brandingicon/Acme.ico");
  ASSERT_NE(page, nullptr);
  EXPECT_EQ(client.Query(*page, kQueryStatusCode), L"200");
  EXPECT_EQ(client.Query(*page, kQueryContentType), L"text/html");
  EXPECT_EQ(client.ReadBody(*page).bytes.substr(0, 6), "<html>");

  auto wide = client.Get(L"fault/utf16/ams/GetSendersInfo?sigdata=");
  ASSERT_NE(wide, nullptr);
  EXPECT_EQ(client.Query(*wide, kQueryContentType), L"text/plain; charset=utf-16");
  EXPECT_EQ(client.ReadBody(*wide).bytes, WideToUtf16Le(Utf8ToWide(kEnvelope)));
}

struct FailureCase {
  const char* name;
  std::wstring path;
  uint32_t error;
};

void PrintTo(const FailureCase& failure, std::ostream* out) {
  *out << failure.name;
}

class PosixHttpFailureTest : public PosixHttpTest,
                             public ::testing::WithParamInterface<FailureCase> {};

TEST_P(PosixHttpFailureTest, SendFailsWithTheWinInetCode) {
  m_server.SetSlowDelay(std::chrono::seconds(60));
  testing::Timeouts timeouts;
  timeouts.receiveMs = 300;
  HttpTestClient client = Client(timeouts);
  auto request = client.Open(L"GET", GetParam().path);
  ASSERT_NE(request, nullptr);
  const auto start = std::chrono::steady_clock::now();
  EXPECT_FALSE(request->Send(L"", ""));
  EXPECT_EQ(m_transport.LastError(), GetParam().error);
  // A slow answer ends at the time-out, not after the stand-in's minute.
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(20));
  std::wstring value;
  uint32_t size = 2048;
  EXPECT_FALSE(request->QueryInfo(kQueryStatusCode, &value, &size));
}

INSTANTIATE_TEST_SUITE_P(
    Faults, PosixHttpFailureTest,
    ::testing::Values(FailureCase{"Reset", L"fault/reset/ams/GetSendersInfo",
                                  host::kErrorInternetConnectionReset},
                      FailureCase{"EmptyReply", L"fault/empty/ams/GetSendersInfo",
                                  host::kErrorInternetConnectionAborted},
                      FailureCase{"NotHttp", L"fault/garbage/ams/GetSendersInfo", 12152},
                      FailureCase{"Slow", L"fault/slow/ams/GetSendersInfo",
                                  host::kErrorInternetTimeout}),
    [](const ::testing::TestParamInfo<FailureCase>& test) { return test.param.name; });

TEST_F(PosixHttpTest, ClosedPortsAndUnknownNamesFailTheSend) {
  HttpTestClient closed(m_transport, L"127.0.0.1", testing::ClosedLoopbackPort());
  auto refused = closed.Open(L"GET", kSendersPath);
  ASSERT_NE(refused, nullptr);  // nothing happens on the network before the send
  EXPECT_FALSE(refused->Send(L"", ""));
  EXPECT_EQ(m_transport.LastError(), host::kErrorInternetCannotConnect);

  HttpTestClient nowhere(m_transport, L"tidepost-standin.invalid", 80);
  auto unresolved = nowhere.Open(L"GET", kSendersPath);
  ASSERT_NE(unresolved, nullptr);
  EXPECT_FALSE(unresolved->Send(L"", ""));
  EXPECT_EQ(m_transport.LastError(), host::kErrorInternetNameNotResolved);
}

TEST_F(PosixHttpTest, ABreakAfterTheHeadersSurfacesInTheReads) {
  testing::Timeouts timeouts;
  timeouts.receiveMs = 300;
  HttpTestClient client = Client(timeouts);
  auto truncated = client.Get(L"fault/truncated/ams/GetSendersInfo?sigdata=");
  ASSERT_NE(truncated, nullptr);  // the headers arrived, so the send succeeded
  EXPECT_EQ(client.Query(*truncated, kQueryStatusCode), L"200");
  HttpTestClient::Body body = client.ReadBody(*truncated);
  EXPECT_EQ(body.bytes, kEnvelope.substr(0, kEnvelope.size() / 2));
  EXPECT_EQ(body.error, host::kErrorInternetConnectionAborted);
  EXPECT_EQ(body.where, "QueryDataAvailable");

  m_server.SetSlowDelay(std::chrono::seconds(60));
  auto stalled = client.Get(L"fault/slowbody/ams/GetSendersInfo?sigdata=");
  ASSERT_NE(stalled, nullptr);
  body = client.ReadBody(*stalled);
  EXPECT_EQ(body.bytes, kEnvelope.substr(0, kEnvelope.size() / 2));
  EXPECT_EQ(body.error, host::kErrorInternetTimeout);
  char byte = 0;
  uint32_t read = 0;
  EXPECT_FALSE(stalled->ReadFile(&byte, 1, &read));
  EXPECT_EQ(m_transport.LastError(), host::kErrorInternetTimeout);
}

TEST_F(PosixHttpTest, ABodyBeyondTheCapFailsTheReadThere) {
  host::posix::PosixHttpTransport capped(1000);
  m_server.SetSendersList(std::string(5000, 'x'));
  HttpTestClient client(capped, L"127.0.0.1", m_server.port());
  auto request = client.Get(kSendersPath);
  ASSERT_NE(request, nullptr);
  const HttpTestClient::Body body = client.ReadBody(*request);
  EXPECT_EQ(body.bytes, std::string(1000, 'x'));
  EXPECT_EQ(body.error, 8u);  // ERROR_NOT_ENOUGH_MEMORY
  EXPECT_EQ(body.where, "ReadFile");
}

TEST_F(PosixHttpTest, TheLastErrorBelongsToTheThread) {
  HttpTestClient client = Client();
  auto request = client.Open(L"GET", kSendersPath);
  ASSERT_NE(request, nullptr);
  std::wstring value;
  uint32_t size = 2;
  ASSERT_TRUE(request->Send(L"", ""));
  EXPECT_FALSE(request->QueryInfo(kQueryStatusCode, &value, &size));
  uint32_t otherThreads = 1;
  std::thread([&] { otherThreads = m_transport.LastError(); }).join();
  EXPECT_EQ(otherThreads, 0u);
  EXPECT_EQ(m_transport.LastError(), host::kErrorInsufficientBuffer);
}

TEST_F(PosixHttpTest, OnlyGetAndPostRequestsAreMade) {
  HttpTestClient client = Client();
  EXPECT_EQ(client.Open(L"DELETE", kSendersPath), nullptr);
  EXPECT_EQ(m_transport.LastError(), 87u);  // ERROR_INVALID_PARAMETER
}

}  // namespace
}  // namespace tp
