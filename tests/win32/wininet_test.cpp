// The HTTP client over WinINet, against the stand-in of our service on 127.0.0.1 (a native
// process that ctest starts beside the Wine tests).
#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>

#include "base/text.h"
#include "net/http_client.h"
#include "support/test_host.h"

namespace tp {
namespace {

class WinInetTest : public testing::SimHostTest {
 protected:
  void SetUp() override {
    const char* portFile = std::getenv("TIDEPOST_STANDIN_PORT_FILE");
    if (portFile == nullptr)
      GTEST_SKIP() << "no stand-in of the service was started";
    std::ifstream in(portFile);
    in >> m_port;
    ASSERT_GT(m_port, 0) << "unreadable port file " << portFile;
  }

  SimpleWinInetHTTPClient Client() {
    SimpleWinInetHTTPClient client(L"127.0.0.1", static_cast<uint16_t>(m_port));
    client.SetTimeoutMs(5000);
    return client;
  }

  int m_port = 0;
};

TEST_F(WinInetTest, GetsTheSendersListAsUtf8Text) {
  std::wstring response;
  EXPECT_EQ(Client().Get(L"ams/GetSendersInfo?sigdata=", response), 200);
  EXPECT_EQ(response.rfind(L"<?xml", 0), 0u);
}

TEST_F(WinInetTest, ErrorStatusesComeBackWithTheirPage) {
  std::wstring response;
  EXPECT_EQ(Client().Get(L"fault/404/ams/anything", response), 404);
  EXPECT_EQ(Client().Get(L"fault/500/ams/anything", response), 500);
}

TEST_F(WinInetTest, Utf16BodiesAreReadAsUtf16) {
  std::wstring response;
  EXPECT_EQ(Client().Get(L"fault/utf16/ams/GetSendersInfo?sigdata=", response), 200);
  EXPECT_EQ(response.rfind(L"<?xml", 0), 0u);
}

TEST_F(WinInetTest, AResponseWithoutContentLengthFailsAtItsHeaderQuery) {
  std::wstring response;
  try {
    Client().Get(L"fault/nolength/ams/GetSendersInfo?sigdata=", response);
    FAIL() << "no exception";
  } catch (const WinException& error) {
    EXPECT_EQ(std::wstring(error.location()), L"HttpQueryInfo");
  }
}

TEST_F(WinInetTest, DownloadsStraightToAFile) {
  const std::filesystem::path target = folder().path() / "icon.ico";
  SimpleWinInetHTTPClient client = Client();
  client.m_downloadToFile = true;
  std::wstring file = target.wstring();
  EXPECT_EQ(client.Get(L"ams/brandingicon/Acme.ico", file), 200);
  EXPECT_EQ(testing::ReadFileBytes(target).substr(0, 4), std::string("\0\0\1\0", 4));
}

TEST_F(WinInetTest, PostsAPreparedBody) {
  SimpleWinInetHTTPClient client = Client();
  client.m_userAgentProduct = L"MS-Outlook 16";
  client.AddFormParameter("JSONDATA", "e_name=plugin_startup&tp_bld=stable");
  std::wstring response;
  EXPECT_EQ(client.Post(L"analytics/analyticstp2", L"application/x-www-form-urlencoded", response),
            200);
}

TEST_F(WinInetTest, AClosedPortFailsAfterThreeSendAttempts) {
  SimpleWinInetHTTPClient client(L"127.0.0.1", 9);
  std::wstring response;
  try {
    client.Get(L"ams/GetSendersInfo?sigdata=", response);
    FAIL() << "no exception";
  } catch (const WinException& error) {
    EXPECT_EQ(std::wstring(error.location()), L"Failed HttpSendRequest");
    EXPECT_EQ(error.error_code(), 12029u);
  }
}

}  // namespace
}  // namespace tp
