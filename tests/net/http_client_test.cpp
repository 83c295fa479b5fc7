// The HTTP client's request logic against the stand-in over loopback: statuses, retries and
// time-outs, text decoding, downloads into a file, form bodies, user agents and the exception.
#include "net/http_client.h"

#include <gtest/gtest.h>

#include <chrono>
#include <memory>
#include <optional>
#include <string>
#include <thread>

#include "base/text.h"
#include "host/host.h"
#include "host/http.h"
#include "host/threads.h"
#include "service_fixture.h"
#include "standin/builtin_icon.h"

namespace tp {
namespace {

using standin::Fault;

constexpr wchar_t kSendersPath[] = L"ams/GetSendersInfo?sigdata=";
constexpr wchar_t kStatisticsPath[] = L"analytics/analyticstp2";
constexpr wchar_t kFormType[] = L"application/x-www-form-urlencoded";

class HttpClientTest : public testing::ServiceTest {
 protected:
  SimpleWinInetHTTPClient Client() { return SimpleWinInetHTTPClient(L"127.0.0.1", server.port()); }

  // The exception that a request throws; nothing (and a test failure) when it returns.
  template <class Request>
  static std::optional<WinException> Throws(Request request) {
    try {
      const int status = request();
      ADD_FAILURE() << "returned " << status;
    } catch (const WinException& error) {
      return error;
    }
    return std::nullopt;
  }
  std::optional<WinException> GetThrows(SimpleWinInetHTTPClient& client) {
    return Throws([&] {
      std::wstring response;
      return client.Get(kSendersPath, response);
    });
  }
};

TEST_F(HttpClientTest, ErrorStatusesComeBackWithTheirPageAsText) {
  server.AddFault("/ams/", Fault::kNotFound, 1);
  server.AddFault("/ams/", Fault::kServerError, 1);
  SimpleWinInetHTTPClient client = Client();
  std::wstring response = L"stale";
  EXPECT_EQ(client.Get(kSendersPath, response), 404);
  EXPECT_EQ(response,
            L"<html><head><title>404 Not Found</title></head><body><h1>404 Not Found</h1>"
            L"</body></html>\r\n");
  EXPECT_EQ(client.Get(kSendersPath, response), 500);
  EXPECT_NE(response.find(L"<h1>500 Internal Server Error</h1>"), std::wstring::npos);
  EXPECT_EQ(server.Requests().size(), 2u);
}

TEST_F(HttpClientTest, TwoFailedSendsAreRetriedButAThirdOrATimeOutFailsTheRequest) {
  SimpleWinInetHTTPClient client = Client();
  server.AddFault("/ams/", Fault::kReset, 2);
  std::wstring response;
  EXPECT_EQ(client.Get(kSendersPath, response), 200);
  EXPECT_EQ(response, Utf8ToWide(standin::kDefaultSendersList));
  EXPECT_EQ(server.Requests().size(), 3u);

  server.ClearRequests();
  server.AddFault("/ams/", Fault::kReset, 3);
  std::optional<WinException> reset = GetThrows(client);
  ASSERT_TRUE(reset);
  EXPECT_STREQ(reset->location(), L"Failed HttpSendRequest");
  EXPECT_EQ(reset->error_code(), host::kErrorInternetConnectionReset);
  EXPECT_EQ(server.Requests().size(), 3u);

  // A server that is there but too slow is not asked again.
  server.ClearRequests();
  server.AddSlowFault("/ams/", Fault::kSlow, std::chrono::seconds(20), 1);
  client.SetTimeoutMs(200);
  std::optional<WinException> slow = GetThrows(client);
  ASSERT_TRUE(slow);
  EXPECT_STREQ(slow->location(), L"Failed HttpSendRequest");
  EXPECT_EQ(slow->error_code(), host::kErrorInternetTimeout);
  EXPECT_EQ(server.Requests().size(), 1u);
}

TEST_F(HttpClientTest, AnAnswerWithoutContentLengthFailsAtTheHeaderQuery) {
  server.AddFault("/ams/", Fault::kNoContentLength);
  SimpleWinInetHTTPClient client = Client();
  std::optional<WinException> error = GetThrows(client);
  ASSERT_TRUE(error);
  EXPECT_STREQ(error->location(), L"HttpQueryInfo");
  EXPECT_EQ(error->error_code(), host::kErrorHttpHeaderNotFound);
  EXPECT_TRUE(error->message().ends_with(L"(2f76x) at HttpQueryInfo")) << error->message();
}

TEST_F(HttpClientTest, ABodyCutShortFailsTheRequest) {
  // The whole length announced, half of it sent: a broken transfer, not a short answer.
  server.AddFault("/ams/", Fault::kTruncatedBody);
  SimpleWinInetHTTPClient client = Client();
  std::optional<WinException> error = GetThrows(client);
  ASSERT_TRUE(error);
  EXPECT_STREQ(error->location(), L"InternetReadFile failed");
}

// A stopped worker lets go of its request: nothing is sent once the stop is seen, and an
// answer that arrives after it is not read.
TEST_F(HttpClientTest, AStoppedWorkersRequestIsAbandoned) {
  std::shared_ptr<host::Event> stop = host::threads().CreateEvent(true);
  stop->Set();
  SimpleWinInetHTTPClient client = Client();
  client.SetStopEvent(stop);
  std::optional<WinException> error = GetThrows(client);
  ASSERT_TRUE(error);
  EXPECT_EQ(error->error_code(), host::kErrorInternetOperationCancelled);
  EXPECT_EQ(error->message(), L"The operation was canceled\r\n(2ef1x) at Request abandoned");
  EXPECT_TRUE(server.Requests().empty());

  stop->Reset();
  server.SetSendersList("<?xml version=\"1.0\"?><content/>");
  gate.Close(kPatience);
  std::optional<WinException> late;
  std::thread worker([&] { late = GetThrows(client); });
  ASSERT_TRUE(gate.WaitForArrivals(1, kPatience));
  stop->Set();
  gate.Open();
  worker.join();
  ASSERT_TRUE(late);
  EXPECT_EQ(late->error_code(), host::kErrorInternetOperationCancelled);
}

TEST_F(HttpClientTest, BodiesAreUtf8UnlessTheTypeSaysUtf16AndEndAtAZero) {
  SimpleWinInetHTTPClient client = Client();
  std::wstring response;
  // The byte-order mark is kept as U+FEFF.
  server.SetSendersList("\xEF\xBB\xBF<?xml Acm\xC3\xA9");
  EXPECT_EQ(client.Get(kSendersPath, response), 200);
  EXPECT_EQ(response, L"\uFEFF<?xml Acm\u00e9");
  server.AddFault("/ams/", Fault::kUtf16Body, 1);
  EXPECT_EQ(client.Get(kSendersPath, response), 200);
  EXPECT_EQ(response, L"\uFEFF<?xml Acm\u00e9");

  server.SetSendersList(std::string("before\0after", 12));
  EXPECT_EQ(client.Get(kSendersPath, response), 200);
  EXPECT_EQ(response, L"before");
  server.AddFault("/ams/", Fault::kUtf16Body, 1);
  EXPECT_EQ(client.Get(kSendersPath, response), 200);
  EXPECT_EQ(response, L"before");

  client.SetLargestResponse(5);
  std::optional<WinException> large = GetThrows(client);
  ASSERT_TRUE(large);
  EXPECT_STREQ(large->location(), L"Response too large");
}

TEST_F(HttpClientTest, DownloadsReplaceTheTargetFileWhateverTheStatus) {
  const std::filesystem::path target = folder().path() / "Acme.ico";
  testing::WriteFileBytes(target, std::string(500, 'x'));
  server.AddIcon("Acme");
  SimpleWinInetHTTPClient client = Client();
  client.m_downloadToFile = true;
  std::wstring file = target.wstring();
  EXPECT_EQ(client.Get(L"ams/brandingicon/Acme.ico", file), 200);
  EXPECT_EQ(file, target.wstring());
  EXPECT_EQ(testing::ReadFileBytes(target), standin::BuiltinIcon("Acme"));

  // Removing an error page is the caller's job.
  EXPECT_EQ(client.Get(L"ams/brandingicon/Nobody.ico", file), 404);
  EXPECT_EQ(testing::ReadFileBytes(target),
            "<html><head><title>404 Not Found</title></head><body><h1>404 Not Found</h1>"
            "</body></html>\r\n");

  std::wstring unwritable = (folder().path() / "missing" / "Acme.ico").wstring();
  std::optional<WinException> error =
      Throws([&] { return client.Get(L"ams/brandingicon/Acme.ico", unwritable); });
  ASSERT_TRUE(error);
  EXPECT_STREQ(error->location(), L"Failed to open output file for writing downloaded data");
}

TEST_F(HttpClientTest, PostsSendJsonDataAsItIsAndOtherFormsEncoded) {
  SimpleWinInetHTTPClient prepared = Client();
  const std::string query = "e_name=plugin startup&tp_v=1.13.1&x=100%&y=\xC3\xA9";
  prepared.AddFormParameter("JSONDATA", query);
  prepared.AddFormParameter("zz", "not sent");
  std::wstring response;
  EXPECT_EQ(prepared.Post(kStatisticsPath, kFormType, response), 200);

  SimpleWinInetHTTPClient form = Client();
  form.AddFormParameter("b", "x y%");
  form.AddFormParameter("a", "1");
  form.AddFormParameter("a", "2");
  form.AddFormParameter("long", std::string(400, ' '));  // too long once encoded: sent empty
  EXPECT_EQ(form.Post(kStatisticsPath, kFormType, response), 200);

  const std::vector<standin::Request> requests = server.Requests();
  ASSERT_EQ(requests.size(), 2u);
  EXPECT_EQ(requests[0].method, "POST");
  EXPECT_EQ(requests[0].target, "/analytics/analyticstp2");
  EXPECT_EQ(requests[0].Header("Content-Type"), "application/x-www-form-urlencoded");
  EXPECT_EQ(requests[0].body, query);
  EXPECT_EQ(requests[1].body, "a=2&b=x%20y%25&long=");
}

TEST_F(HttpClientTest, TheUserAgentEndsInTheProductToken) {
  SimpleWinInetHTTPClient client = Client();
  std::wstring response;
  EXPECT_EQ(client.Get(kSendersPath, response), 200);
  client.m_userAgentProduct = L"MS-Outlook 16";
  EXPECT_EQ(client.Get(kSendersPath, response), 200);
  client.m_userAgentProduct = std::wstring(300, L'p');
  EXPECT_EQ(client.Get(kSendersPath, response), 200);
  const std::vector<standin::Request> requests = server.Requests();
  ASSERT_EQ(requests.size(), 3u);
  EXPECT_EQ(requests[0].Header("User-Agent"),
            "Mozilla/5.0 (Windows NT 10.0) SimpleWinInetHTTPClient/0.1");
  EXPECT_EQ(requests[1].Header("User-Agent"), "Mozilla/5.0 (Windows NT 10.0) MS-Outlook 16");
  EXPECT_EQ(requests[2].Header("User-Agent").size(), 259u);  // 260 with the terminator
}

TEST_F(HttpClientTest, TheExceptionComposesTheSystemTextTheCodeAndTheLocation) {
  EXPECT_EQ(WinException(L"Failed HttpSendRequest", 12029).message(),
            L"A connection with the server could not be established\r\n(2efdx) at Failed "
            L"HttpSendRequest");
  EXPECT_EQ(WinException(L"here", 12999).message(), L"Error 32c7x at here");
  EXPECT_EQ(WinException(nullptr, 12999).message(), L"Error 32c7x");
  // Code 0 stands for the thread's last error.
  (void)host::http().CanonicalizeUrl("a b", 5);
  const WinException last(L"there", 0);
  EXPECT_EQ(last.error_code(), host::kErrorInsufficientBuffer);
  EXPECT_TRUE(last.message().ends_with(L"(7ax) at there")) << last.message();
}

}  // namespace
}  // namespace tp
