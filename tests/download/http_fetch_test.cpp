#include "download/http_fetch.h"

#include <gtest/gtest.h>
#include <httplib.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>

#include "picture_routes.h"
#include "proxy_environment.h"
#include "test_servers.h"

namespace vellumark {
namespace {

using namespace std::chrono_literals;
using testing::PictureBytes;
using testing::RawServer;

constexpr char kAgent[] = "Mozilla/4.0 (compatible; MSIE 6.0; Windows NT 5.0)";

FetchOptions QuickOptions() {
  FetchOptions options;
  options.connect_timeout = 2000ms;
  options.stall_timeout = 1000ms;
  return options;
}

std::string RequestTarget(const std::string& request) {
  const std::size_t start = request.find(' ') + 1;
  return request.substr(start, request.find(' ', start) - start);
}

class RawFetchTest : public ::testing::Test {
 protected:
  testing::ProxyEnvironment proxies_;
  RawServer raw_;
};

TEST_F(RawFetchTest, SendsExactlyTheProgramsRequest) {
  raw_.Answer("/a/b.png", {"HTTP/1.0 200 OK\r\n\r\nPICTURE"});
  FetchResult result = HttpFetch(raw_.Url("/a/b.png"), QuickOptions());
  ASSERT_TRUE(result.ok) << result.reason;
  EXPECT_EQ(result.bytes, "PICTURE");
  ASSERT_EQ(raw_.Requests().size(), 1u);
  EXPECT_EQ(raw_.Requests()[0],
            "GET /a/b.png HTTP/1.0\r\n"
            "Host: 127.0.0.1:" +
                std::to_string(raw_.port()) +
                "\r\n"
                "User-Agent: " +
                kAgent +
                "\r\n"
                "Accept: */*\r\n"
                "\r\n");
}

TEST_F(RawFetchTest, SendsPathAndQueryResolvedAndEncodedWithoutFragment) {
  const struct {
    const char* path;
    const char* target;
  } cases[] = {
      {"/x/./y/../p.png?x=1#frag", "/x/p.png?x=1"},
      {"/p.png#", "/p.png"},
      {"/a b/图.png", "/a%20b/%E5%9B%BE.png"},
      {"/p.png?q=a b", "/p.png?q=a%20b"},
      {"/already%20done.png", "/already%20done.png"},
  };
  for (const auto& c : cases) {
    HttpFetch(raw_.Url(c.path), QuickOptions());
    ASSERT_FALSE(raw_.Requests().empty());
    EXPECT_EQ(RequestTarget(raw_.Requests().back()), c.target) << c.path;
  }
  EXPECT_EQ(raw_.Requests().size(), std::size(cases));
}

TEST_F(RawFetchTest, PassesCredentialsFromTheAddress) {
  raw_.Answer("/c.png", {"HTTP/1.0 200 OK\r\n\r\nPICTURE"});
  const std::string url =
      "http://shop:se cret@127.0.0.1:" + std::to_string(raw_.port()) + "/c.png";
  ASSERT_TRUE(HttpFetch(url, QuickOptions()).ok);
  ASSERT_EQ(raw_.Requests().size(), 1u);
  // base64("shop:se cret")
  EXPECT_NE(
      raw_.Requests()[0].find("\r\nAuthorization: Basic c2hvcDpzZSBjcmV0\r\n"),
      std::string::npos)
      << raw_.Requests()[0];
}

TEST_F(RawFetchTest, FramesTheBodyByTheAnnouncedLength) {
  const std::string body = "PICTUREBYTES";
  const struct {
    const char* name;
    std::string reply;
    bool hold_open;
    bool ok;
    std::string bytes;
    const char* reason;
  } cases[] = {
      // The announced length frames the body, as HTTP says: a 0 means an
      // empty body, whatever follows it; a length that is no number is
      // a broken answer.
      {"length 0", "HTTP/1.0 200 OK\r\nContent-Length: 0\r\n\r\n" + body, false,
       false, "", "空响应"},
      {"length 0, kept open", "HTTP/1.1 200 OK\r\nContent-Length: 0\r\n\r\n",
       true, false, "", "空响应"},
      {"length not a number",
       "HTTP/1.0 200 OK\r\nContent-Length: abc\r\n\r\n" + body, false, false,
       "", "响应无效"},
      {"no length", "HTTP/1.0 200 OK\r\n\r\n" + body, false, true, body, ""},
      {"announced more than came",
       "HTTP/1.0 200 OK\r\nContent-Length: 100\r\n\r\n" + body, false, false,
       "", "传输中断"},
      {"announced length ends a kept-open body",
       "HTTP/1.1 200 OK\r\nContent-Length: 12\r\n\r\n" + body, true, true, body,
       ""},
      {"redirect kept open",
       "HTTP/1.1 301 Moved\r\nLocation: /case-target.png\r\nContent-Length: "
       "0\r\n\r\n",
       true, true, body, ""},
      {"only the announced bytes count",
       "HTTP/1.0 200 OK\r\nContent-Length: 7\r\n\r\n" + body, false, true,
       "PICTURE", ""},
      {"empty body", "HTTP/1.0 200 OK\r\n\r\n", false, false, "", "空响应"},
      {"no answer at all", "", false, false, "", "无响应"},
      {"not found", "HTTP/1.0 404 Not Found\r\n\r\n<html>gone</html>", false,
       false, "", "HTTP 404"},
      {"redirect to a local file",
       "HTTP/1.0 302 Found\r\nLocation: file:///etc/hostname\r\n\r\n", false,
       false, "", "地址无效"},
      {"no content", "HTTP/1.0 204 No Content\r\n\r\n", false, false, "",
       "空响应"},
  };
  raw_.Answer("/case-target.png",
              {"HTTP/1.1 200 OK\r\nContent-Length: 12\r\n\r\n" + body, true});
  int n = 0;
  for (const auto& c : cases) {
    const std::string path = "/case" + std::to_string(n++) + ".png";
    raw_.Answer(path, {c.reply, c.hold_open});
    const auto start = std::chrono::steady_clock::now();
    FetchResult result = HttpFetch(raw_.Url(path), QuickOptions());
    EXPECT_EQ(result.ok, c.ok) << c.name << ": " << result.reason;
    EXPECT_EQ(result.bytes, c.bytes) << c.name;
    EXPECT_EQ(result.reason, c.reason) << c.name;
    EXPECT_LT(std::chrono::steady_clock::now() - start, 900ms) << c.name;
  }
}

TEST_F(RawFetchTest, StallsEndInATimeOut) {
  raw_.Answer("/after-headers.png",
              {"HTTP/1.0 200 OK\r\nContent-Length: 5000\r\n\r\nPART", true});
  raw_.Answer("/before-headers.png", {"", true});
  for (const char* path : {"/after-headers.png", "/before-headers.png"}) {
    const auto start = std::chrono::steady_clock::now();
    FetchResult result = HttpFetch(raw_.Url(path), QuickOptions());
    const auto took = std::chrono::steady_clock::now() - start;
    EXPECT_FALSE(result.ok) << path;
    EXPECT_EQ(result.reason, "超时") << path;
    EXPECT_TRUE(result.bytes.empty()) << path;
    EXPECT_GE(took, 900ms) << path;
    EXPECT_LT(took, 5s) << path;
  }
}

TEST(HttpFetchTimeOut, GivesUpOnAConnectionThatIsNeverAccepted) {
  testing::ProxyEnvironment proxies;
  testing::FullListener full;
  FetchOptions options = QuickOptions();
  options.connect_timeout = 500ms;
  const auto start = std::chrono::steady_clock::now();
  FetchResult result = HttpFetch(
      "http://127.0.0.1:" + std::to_string(full.port()) + "/a.png", options);
  const auto took = std::chrono::steady_clock::now() - start;
  EXPECT_FALSE(result.ok);
  EXPECT_EQ(result.reason, "超时");
  EXPECT_GE(took, 450ms);
  EXPECT_LT(took, 3s);
}

TEST_F(RawFetchTest, TakesTheProxyFromTheEnvironment) {
  raw_.Answer("http://pictures.example/p.png",
              {"HTTP/1.0 200 OK\r\n\r\nVIA PROXY"});
  proxies_.Set("http_proxy", raw_.Url(""));
  FetchResult result =
      HttpFetch("http://pictures.example/p.png", QuickOptions());
  EXPECT_TRUE(result.ok) << result.reason;
  EXPECT_EQ(result.bytes, "VIA PROXY");
  ASSERT_EQ(raw_.Requests().size(), 1u);
  EXPECT_EQ(raw_.Requests()[0].rfind(
                "GET http://pictures.example/p.png HTTP/1.0\r\n", 0),
            0u);

  // no_proxy sends the loopback request straight to the server.
  raw_.Answer("/direct.png", {"HTTP/1.0 200 OK\r\n\r\nDIRECT"});
  proxies_.Set("http_proxy",
               "http://127.0.0.1:" + std::to_string(testing::ClosedPort()));
  proxies_.Set("no_proxy", "127.0.0.1");
  result = HttpFetch(raw_.Url("/direct.png"), QuickOptions());
  EXPECT_EQ(result.bytes, "DIRECT") << result.reason;
}

TEST(HttpFetchAddress, RefusesWhatIsNotHttpWithoutSending) {
  testing::ProxyEnvironment proxies;
  RawServer raw;
  const std::string port = std::to_string(raw.port());
  const struct {
    std::string address;
    const char* reason;
  } cases[] = {
      {"", "没有地址"},
      {"ftp://127.0.0.1:" + port + "/a.png", "地址无效"},
      {"file:///etc/hostname", "地址无效"},
      {"gopher://127.0.0.1:" + port + "/a.png", "地址无效"},
      {"not an address.png", "地址无效"},
      {"www.example.com/a.png", "地址无效"},
      {"http://127.0.0.1:" + std::to_string(testing::ClosedPort()) + "/a.png",
       "无法连接"},
  };
  for (const auto& c : cases) {
    FetchResult result = HttpFetch(c.address, QuickOptions());
    EXPECT_FALSE(result.ok) << c.address;
    EXPECT_EQ(result.reason, c.reason) << c.address;
    EXPECT_TRUE(result.bytes.empty()) << c.address;
  }
  EXPECT_TRUE(raw.Requests().empty());
}

class ServedFetchTest : public ::testing::Test {
 protected:
  ServedFetchTest() : routes_(http_.server()) { http_.Listen(); }
  ~ServedFetchTest() override { routes_.stall_gate().Open(); }

  testing::ProxyEnvironment proxies_;
  testing::HttpServer http_;
  testing::PictureRoutes routes_;
};

TEST_F(ServedFetchTest, SavesOnlyCompleteSuccessfulBodies) {
  const struct {
    const char* path;
    bool ok;
    long status;
    std::string bytes;
    const char* reason;
  } cases[] = {
      {"/pic.png", true, 200, PictureBytes('A'), ""},
      {"/301.png", true, 200, PictureBytes('A'), ""},
      {"/302.png", true, 200, PictureBytes('A'), ""},
      {"/nolen.png", true, 200, PictureBytes('N', 25000), ""},
      {"/404.png", false, 404, "", "HTTP 404"},
      {"/500.png", false, 500, "", "HTTP 500"},
      {"/loop.png", false, 302, "", "重定向过多"},
      {"/cut.png", false, 200, "", "传输中断"},
      {"/empty.png", false, 200, "", "空响应"},
      {"/stall.png", false, 200, "", "超时"},
  };
  for (const auto& c : cases) {
    FetchResult result = HttpFetch(http_.Url(c.path), QuickOptions());
    EXPECT_EQ(result.ok, c.ok) << c.path << ": " << result.reason;
    EXPECT_EQ(result.status, c.status) << c.path;
    EXPECT_EQ(result.bytes, c.bytes) << c.path;
    EXPECT_EQ(result.reason, c.reason) << c.path;
  }
}

TEST_F(ServedFetchTest, FollowsAtMostTenRedirects) {
  HttpFetch(http_.Url("/loop.png"), QuickOptions());
  EXPECT_EQ(routes_.SeenCount(), 11u);  // the request and ten redirects
}

TEST_F(ServedFetchTest, SendsQueryAndProgramHeadersAfterRedirects) {
  ASSERT_TRUE(HttpFetch(http_.Url("/301.png?size=big#top"), QuickOptions()).ok);
  const std::vector<testing::SeenRequest> seen = routes_.Seen();
  ASSERT_EQ(seen.size(), 2u);
  EXPECT_EQ(seen[0].target, "/301.png?size=big");
  EXPECT_EQ(seen[1].target, "/pic.png");
  for (const testing::SeenRequest& request : seen) {
    EXPECT_EQ(request.headers.count("Accept"), 1u);
    EXPECT_EQ(request.headers.find("Accept")->second, "*/*");
    EXPECT_EQ(request.headers.find("User-Agent")->second, kAgent);
  }
}

class HttpsFetchTest : public ::testing::Test {
 protected:
  HttpsFetchTest()
      : certificate_(testing::MakeSelfSignedCertificate()),
        https_(&certificate_),
        routes_(https_.server()) {
    https_.Listen();
    ca_file_ = std::filesystem::temp_directory_path() /
               ("vellumark-test-ca-" + std::to_string(https_.port()) + ".pem");
    std::ofstream(ca_file_) << certificate_.certificate_pem;
  }
  ~HttpsFetchTest() override {
    routes_.stall_gate().Open();
    std::filesystem::remove(ca_file_);
  }

  testing::ProxyEnvironment proxies_;
  testing::TestCertificate certificate_;
  testing::HttpServer https_;
  testing::PictureRoutes routes_;
  std::filesystem::path ca_file_;
};

TEST_F(HttpsFetchTest, RefusesACertificateTheSystemDoesNotTrust) {
  FetchResult result = HttpFetch(https_.Url("/pic.png"), QuickOptions());
  EXPECT_FALSE(result.ok);
  EXPECT_EQ(result.reason, "证书不受信任");
  EXPECT_TRUE(result.bytes.empty());
  EXPECT_EQ(routes_.SeenCount(), 0u);
}

TEST_F(HttpsFetchTest, FetchesOverTlsWhenTheCertificateIsTrusted) {
  FetchOptions options = QuickOptions();
  options.ca_file = ca_file_.string();
  FetchResult result = HttpFetch(https_.Url("/pic.png"), options);
  EXPECT_TRUE(result.ok) << result.reason;
  EXPECT_EQ(result.bytes, PictureBytes('A'));
}

}  // namespace
}  // namespace vellumark
