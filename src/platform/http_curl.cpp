// The HTTP client of the native build and its command-line tool, over libcurl. One easy
// handle per client keeps the connection open between the requests of a sync.
#include <curl/curl.h>

#include <cstdio>
#include <mutex>

#include "platform/http.h"

namespace vm::platform {

namespace {

// No answer of a contacts-and-calendar server comes near this; a server that sends more
// is cut off rather than allowed to fill the memory.
constexpr size_t kMaxBody = size_t{256} << 20;

size_t AppendBody(char* data, size_t size, size_t count, void* out) {
  auto* body = static_cast<std::string*>(out);
  if (body->size() + size * count > kMaxBody) return 0;
  body->append(data, size * count);
  return size * count;
}

size_t AppendHeader(char* data, size_t size, size_t count, void* out) {
  std::string_view line(data, size * count);
  auto* headers = static_cast<HttpHeaders*>(out);
  // A new status line (after a 100 Continue or an authentication round) starts over.
  if (line.compare(0, 5, "HTTP/") == 0) headers->clear();
  size_t colon = line.find(':');
  if (colon != std::string_view::npos) {
    std::string_view value = line.substr(colon + 1);
    while (!value.empty() && (value.front() == ' ' || value.front() == '\t')) value.remove_prefix(1);
    while (!value.empty() && (value.back() == '\r' || value.back() == '\n' || value.back() == ' ')) value.remove_suffix(1);
    headers->emplace_back(std::string(line.substr(0, colon)), std::string(value));
  }
  return size * count;
}

std::string CurlError(CURLcode code) {
  switch (code) {
    case CURLE_COULDNT_RESOLVE_HOST:
      return "Не найден сервер (имя не разрешается)";
    case CURLE_COULDNT_CONNECT:
      return "Не удалось соединиться с сервером";
    case CURLE_OPERATION_TIMEDOUT:
      return "Сервер не ответил вовремя";
    case CURLE_SSL_CONNECT_ERROR:
    case CURLE_PEER_FAILED_VERIFICATION:
      return "Не удалось установить защищённое соединение (сертификат сервера не принят)";
    case CURLE_WRITE_ERROR:
      return "Ответ сервера слишком велик";
    case CURLE_SEND_ERROR:
    case CURLE_RECV_ERROR:
    case CURLE_GOT_NOTHING:
      return "Соединение с сервером прервано";
    default: {
      char text[64];
      std::snprintf(text, sizeof text, "Ошибка сети (libcurl %i)", static_cast<int>(code));
      return text;
    }
  }
}

class CurlClient final : public HttpClient {
 public:
  explicit CurlClient(const HttpAccount& account) : account_(account), origin_(UrlOrigin(account.origin)) {
    static std::once_flag once;
    std::call_once(once, [] { curl_global_init(CURL_GLOBAL_DEFAULT); });
    curl_ = curl_easy_init();
  }
  ~CurlClient() override {
    if (curl_) curl_easy_cleanup(curl_);
  }

  HttpResponse Send(const HttpRequest& request) override {
    HttpResponse response;
    if (!curl_) {
      response.error = "Не удалось начать сетевой запрос";
      return response;
    }
    if (origin_.empty() || UrlOrigin(request.url) != origin_) {
      response.error = "Адрес не на сервере учётной записи: " + request.url;
      return response;
    }
    CURL* c = curl_;
    curl_easy_reset(c);
    curl_easy_setopt(c, CURLOPT_URL, request.url.c_str());
    curl_easy_setopt(c, CURLOPT_CUSTOMREQUEST, request.method.c_str());
    // Only the configured server is ever reached: no redirects followed, no proxy from
    // the environment, only http and https.
    curl_easy_setopt(c, CURLOPT_FOLLOWLOCATION, 0L);
    curl_easy_setopt(c, CURLOPT_PROXY, "");
#if LIBCURL_VERSION_NUM >= 0x075500
    curl_easy_setopt(c, CURLOPT_PROTOCOLS_STR, "http,https");
#else
    curl_easy_setopt(c, CURLOPT_PROTOCOLS, static_cast<long>(CURLPROTO_HTTP | CURLPROTO_HTTPS));
#endif
    curl_easy_setopt(c, CURLOPT_NOSIGNAL, 1L);
    curl_easy_setopt(c, CURLOPT_CONNECTTIMEOUT, 20L);
    curl_easy_setopt(c, CURLOPT_TIMEOUT, static_cast<long>(account_.timeoutSeconds));
    if (!account_.user.empty()) {
      curl_easy_setopt(c, CURLOPT_HTTPAUTH, static_cast<long>(CURLAUTH_BASIC | CURLAUTH_DIGEST));
      curl_easy_setopt(c, CURLOPT_USERNAME, account_.user.c_str());
      curl_easy_setopt(c, CURLOPT_PASSWORD, account_.password.c_str());
    }
    if (request.method == "HEAD") curl_easy_setopt(c, CURLOPT_NOBODY, 1L);
    if (!request.body.empty() || request.method == "PUT" || request.method == "POST") {
      curl_easy_setopt(c, CURLOPT_POSTFIELDS, request.body.data());
      curl_easy_setopt(c, CURLOPT_POSTFIELDSIZE_LARGE, static_cast<curl_off_t>(request.body.size()));
    }
    curl_slist* list = nullptr;
    for (const auto& [name, value] : request.headers) list = curl_slist_append(list, (name + ": " + value).c_str());
    // No "Expect: 100-continue" round: the bodies are small.
    list = curl_slist_append(list, "Expect:");
    curl_easy_setopt(c, CURLOPT_HTTPHEADER, list);
    curl_easy_setopt(c, CURLOPT_WRITEFUNCTION, AppendBody);
    curl_easy_setopt(c, CURLOPT_WRITEDATA, &response.body);
    curl_easy_setopt(c, CURLOPT_HEADERFUNCTION, AppendHeader);
    curl_easy_setopt(c, CURLOPT_HEADERDATA, &response.headers);
    CURLcode code = curl_easy_perform(c);
    curl_slist_free_all(list);
    if (code != CURLE_OK) {
      response.error = CurlError(code);
      response.headers.clear();
      response.body.clear();
      return response;
    }
    long status = 0;
    curl_easy_getinfo(c, CURLINFO_RESPONSE_CODE, &status);
    response.status = static_cast<int>(status);
    return response;
  }

 private:
  HttpAccount account_;
  std::string origin_;
  CURL* curl_ = nullptr;
};

}  // namespace

std::unique_ptr<HttpClient> MakeHttpClient(const HttpAccount& account) {
  return std::make_unique<CurlClient>(account);
}

}  // namespace vm::platform
