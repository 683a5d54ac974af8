#include "download/transfer.h"

#include <cctype>
#include <string>

#include "download/address.h"
#include "download/curl_runtime.h"

namespace vellumark {
namespace {

constexpr char kUserAgent[] =
    "Mozilla/4.0 (compatible; MSIE 6.0; Windows NT 5.0)";
constexpr long kMaxRedirects = 10;

bool StartsWithNoCase(std::string_view text, std::string_view prefix) {
  if (text.size() < prefix.size()) return false;
  for (std::size_t i = 0; i < prefix.size(); ++i) {
    if (std::tolower(static_cast<unsigned char>(text[i])) !=
        std::tolower(static_cast<unsigned char>(prefix[i]))) {
      return false;
    }
  }
  return true;
}

// Leading blanks and a sign, then the leading digits; anything after them
// is ignored and no digits read as 0.
std::int64_t LeadingInteger(std::string_view text) {
  std::size_t i = 0;
  while (i < text.size() && (text[i] == ' ' || text[i] == '\t')) ++i;
  bool negative = false;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
    negative = text[i] == '-';
    ++i;
  }
  std::int64_t value = 0;
  for (; i < text.size() && std::isdigit(static_cast<unsigned char>(text[i]));
       ++i) {
    if (value > (INT64_MAX - 9) / 10) break;  // far beyond any picture
    value = value * 10 + (text[i] - '0');
  }
  return negative ? -value : value;
}

// "HTTP/1.1 404 Not Found" gives 404.
long StatusOfLine(std::string_view line) {
  const std::size_t space = line.find(' ');
  if (space == std::string_view::npos) return 0;
  return static_cast<long>(LeadingInteger(line.substr(space + 1)));
}

std::string ReasonOfCode(CURLcode code) {
  switch (code) {
    case CURLE_UNSUPPORTED_PROTOCOL:
    case CURLE_URL_MALFORMAT:
      return "地址无效";
    case CURLE_COULDNT_RESOLVE_HOST:
    case CURLE_COULDNT_RESOLVE_PROXY:
      return "无法解析主机";
    case CURLE_COULDNT_CONNECT:
      return "无法连接";
    case CURLE_OPERATION_TIMEDOUT:
      return "超时";
    case CURLE_PEER_FAILED_VERIFICATION:
    case CURLE_SSL_CACERT_BADFILE:
    case CURLE_SSL_ISSUER_ERROR:
    case CURLE_SSL_PINNEDPUBKEYNOTMATCH:
      return "证书不受信任";
    case CURLE_SSL_CONNECT_ERROR:
      return "安全连接失败";
    case CURLE_TOO_MANY_REDIRECTS:
      return "重定向过多";
    case CURLE_GOT_NOTHING:
      return "无响应";
    case CURLE_WEIRD_SERVER_REPLY:
      return "响应无效";
    case CURLE_PARTIAL_FILE:
    case CURLE_RECV_ERROR:
    case CURLE_SEND_ERROR:
    case CURLE_BAD_CONTENT_ENCODING:
      return "传输中断";
    case CURLE_OUT_OF_MEMORY:
      return "内存不足";
    default:
      return "下载失败";
  }
}

}  // namespace

Transfer::Transfer(std::string_view address, const FetchOptions& options,
                   const std::atomic<bool>* cancel)
    : url_(EncodeAddress(address)),
      cancel_(cancel),
      stall_timeout_(options.stall_timeout),
      last_byte_(Clock::now()) {
  easy_ = curl_easy_init();
  if (easy_ == nullptr) return;
  headers_ = curl_slist_append(nullptr, "Accept: */*");

  curl_easy_setopt(easy_, CURLOPT_URL, url_.c_str());
  curl_easy_setopt(easy_, CURLOPT_SHARE, CurlRuntime::Get().share());
  curl_easy_setopt(easy_, CURLOPT_HTTP_VERSION, CURL_HTTP_VERSION_1_0);
  curl_easy_setopt(easy_, CURLOPT_USERAGENT, kUserAgent);
  curl_easy_setopt(easy_, CURLOPT_HTTPHEADER, headers_);
  curl_easy_setopt(easy_, CURLOPT_PROTOCOLS_STR, "http,https");
  curl_easy_setopt(easy_, CURLOPT_REDIR_PROTOCOLS_STR, "http,https");
  curl_easy_setopt(easy_, CURLOPT_FOLLOWLOCATION, 1L);
  curl_easy_setopt(easy_, CURLOPT_MAXREDIRS, kMaxRedirects);
  curl_easy_setopt(easy_, CURLOPT_NOSIGNAL, 1L);
  curl_easy_setopt(easy_, CURLOPT_CONNECTTIMEOUT_MS,
                   static_cast<long>(options.connect_timeout.count()));
  if (!options.ca_file.empty()) {
    curl_easy_setopt(easy_, CURLOPT_CAINFO, options.ca_file.c_str());
  } else {
#ifdef _WIN32
    // The system's store there is not a file: ask for it by name.
    curl_easy_setopt(easy_, CURLOPT_SSL_OPTIONS,
                     static_cast<long>(CURLSSLOPT_NATIVE_CA));
#endif
  }

  curl_easy_setopt(easy_, CURLOPT_HEADERFUNCTION, &Transfer::OnHeader);
  curl_easy_setopt(easy_, CURLOPT_HEADERDATA, this);
  curl_easy_setopt(easy_, CURLOPT_WRITEFUNCTION, &Transfer::OnBody);
  curl_easy_setopt(easy_, CURLOPT_WRITEDATA, this);
  curl_easy_setopt(easy_, CURLOPT_XFERINFOFUNCTION, &Transfer::OnProgress);
  curl_easy_setopt(easy_, CURLOPT_XFERINFODATA, this);
  curl_easy_setopt(easy_, CURLOPT_NOPROGRESS, 0L);
  curl_easy_setopt(easy_, CURLOPT_PRIVATE, this);
}

Transfer::~Transfer() {
  if (easy_ != nullptr) curl_easy_cleanup(easy_);
  curl_slist_free_all(headers_);
}

std::size_t Transfer::OnHeader(char* data, std::size_t size, std::size_t count,
                               void* self) {
  auto* transfer = static_cast<Transfer*>(self);
  transfer->last_byte_ = Clock::now();
  transfer->NoteHeader(std::string_view(data, size * count));
  return size * count;
}

void Transfer::NoteHeader(std::string_view line) {
  if (StartsWithNoCase(line, "HTTP/")) {  // a new response begins
    status_ = StatusOfLine(line);
    announced_.reset();
    return;
  }
  if (StartsWithNoCase(line, "Content-Length:")) {
    const std::int64_t length =
        LeadingInteger(line.substr(sizeof("Content-Length:") - 1));
    if (length > 0) announced_ = static_cast<std::uint64_t>(length);
  }
}

std::size_t Transfer::OnBody(char* data, std::size_t size, std::size_t count,
                             void* self) {
  auto* transfer = static_cast<Transfer*>(self);
  transfer->last_byte_ = Clock::now();
  if (!transfer->StatusIsSuccess()) {
    transfer->refused_ = true;
    return 0;
  }
  std::string_view bytes(data, size * count);
  // curl frames the body by Content-Length already; this only guards the
  // bytes kept against a server that sends more than it announced.
  if (transfer->announced_) {
    const std::uint64_t room = *transfer->announced_ - transfer->body_.size();
    if (bytes.size() > room) {
      transfer->body_.append(bytes.substr(0, room));
      transfer->complete_ = true;
      return 0;  // all announced bytes are here; stop reading
    }
  }
  transfer->body_.append(bytes);
  return size * count;
}

int Transfer::OnProgress(void* self, curl_off_t, curl_off_t, curl_off_t,
                         curl_off_t) {
  auto* transfer = static_cast<Transfer*>(self);
  if (transfer->cancel_ != nullptr && transfer->cancel_->load()) {
    transfer->cancelled_ = true;
    return 1;
  }
  const Clock::time_point now = Clock::now();
  curl_off_t ready = 0;
  curl_easy_getinfo(transfer->easy_, CURLINFO_PRETRANSFER_TIME_T, &ready);
  if (ready == 0) {  // still connecting: the connect time-out applies
    transfer->last_byte_ = now;
    return 0;
  }
  if (now - transfer->last_byte_ > transfer->stall_timeout_) {
    transfer->stalled_ = true;
    return 1;
  }
  return 0;
}

FetchResult Transfer::Finish(CURLcode code) {
  FetchResult result;
  long status = 0;
  if (easy_ != nullptr)
    curl_easy_getinfo(easy_, CURLINFO_RESPONSE_CODE, &status);
  result.status = status != 0 ? status : status_;

  const bool finished =
      code == CURLE_OK || (code == CURLE_WRITE_ERROR && complete_);
  if (easy_ == nullptr) {
    result.reason = "下载失败";
  } else if (cancelled_) {
    result.reason = "已取消";
  } else if (stalled_) {
    result.reason = "超时";
  } else if (refused_ || (finished && !StatusIsSuccess())) {
    result.reason = "HTTP " + std::to_string(result.status);
  } else if (!finished) {
    result.reason = ReasonOfCode(code);
  } else if (body_.empty()) {
    result.reason = "空响应";
  } else if (announced_ && body_.size() < *announced_) {
    result.reason = "传输中断";
  } else {
    result.ok = true;
    result.bytes = std::move(body_);
  }
  return result;
}

}  // namespace vellumark
