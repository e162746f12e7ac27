// A small HTTP client for the server the user configured (the contacts-and-calendar
// server of the sync): one request in, one response out. The program speaks it through
// WinHTTP (TLS and proxies from the system), the native build and its command-line tool
// through libcurl. Both refuse a request to any origin but the one they were made for,
// follow no redirect on their own and never ask anyone for anything: a failure comes back
// as words in `error`, never as a dialog.
#pragma once

#include <memory>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace vm::platform {

using HttpHeaders = std::vector<std::pair<std::string, std::string>>;

struct HttpRequest {
  std::string method;  // "GET", "PUT", "PROPFIND", "REPORT" ...
  std::string url;     // absolute, on the client's origin
  HttpHeaders headers;
  std::string body;
};

struct HttpResponse {
  // 0 when no response came (no network, refused, timed out, another origin); `error`
  // then says why in words. Any status the server sent is a response, 4xx and 5xx too.
  int status = 0;
  HttpHeaders headers;
  std::string body;
  std::string error;  // Windows-1251, for the user

  // The first header of that name (ASCII case ignored); empty when absent.
  std::string Header(std::string_view name) const;
};

struct HttpAccount {
  std::string origin;  // "https://dav.example.org" or "http://127.0.0.1:5232", no path
  std::string user;
  std::string password;
  int timeoutSeconds = 60;
};

class HttpClient {
 public:
  virtual ~HttpClient() = default;
  virtual HttpResponse Send(const HttpRequest& request) = 0;
};

// The origin of an absolute http(s) URL ("scheme://host[:port]", the scheme and host in
// lower case, a default port left out); empty when the text is not such a URL.
std::string UrlOrigin(std::string_view url);

// The system's client for the account; nullptr when the platform has none.
std::unique_ptr<HttpClient> MakeHttpClient(const HttpAccount& account);

}  // namespace vm::platform
