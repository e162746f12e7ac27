// The program's HTTP client, over WinHTTP: TLS, certificates and the proxy are the
// system's. One session per client keeps connections open between the requests of a sync.
#include <windows.h>
#include <wincrypt.h>
#include <winhttp.h>

#include <cstdio>

#include "platform/http.h"
#include "platform/platform.h"

namespace vm::platform {

namespace {

class Handle {
 public:
  Handle() = default;
  explicit Handle(HINTERNET h) : h_(h) {}
  Handle(const Handle&) = delete;
  Handle& operator=(const Handle&) = delete;
  Handle& operator=(Handle&& other) noexcept {
    if (this != &other) {
      Close();
      h_ = other.h_;
      other.h_ = nullptr;
    }
    return *this;
  }
  ~Handle() { Close(); }
  HINTERNET get() const { return h_; }
  explicit operator bool() const { return h_ != nullptr; }

 private:
  void Close() {
    if (h_) WinHttpCloseHandle(h_);
    h_ = nullptr;
  }
  HINTERNET h_ = nullptr;
};

std::wstring Wide(std::string_view utf8) {
  std::u16string text;
  ToUtf16(kUtf8, utf8, text);
  return std::wstring(text.begin(), text.end());
}

std::string Utf8(const wchar_t* text, size_t length) {
  std::string out;
  FromUtf16(kUtf8, std::u16string_view(reinterpret_cast<const char16_t*>(text), length), out);
  return out;
}

std::string ErrorWords(DWORD code) {
  switch (code) {
    case ERROR_WINHTTP_NAME_NOT_RESOLVED:
      return "Не найден сервер (имя не разрешается)";
    case ERROR_WINHTTP_CANNOT_CONNECT:
      return "Не удалось соединиться с сервером";
    case ERROR_WINHTTP_TIMEOUT:
      return "Сервер не ответил вовремя";
    case ERROR_WINHTTP_SECURE_FAILURE:
    case ERROR_WINHTTP_SECURE_INVALID_CERT:
    case ERROR_WINHTTP_SECURE_CERT_DATE_INVALID:
    case ERROR_WINHTTP_SECURE_CERT_CN_INVALID:
      return "Не удалось установить защищённое соединение (сертификат сервера не принят)";
    case ERROR_WINHTTP_CONNECTION_ERROR:
      return "Соединение с сервером прервано";
    default: {
      char text[64];
      std::snprintf(text, sizeof text, "Ошибка сети (WinHTTP %lu)", static_cast<unsigned long>(code));
      return text;
    }
  }
}

class WinHttpClient final : public HttpClient {
 public:
  explicit WinHttpClient(const HttpAccount& account) : account_(account), origin_(UrlOrigin(account.origin)) {
    session_ = Handle(WinHttpOpen(L"Velmoria", WINHTTP_ACCESS_TYPE_DEFAULT_PROXY, WINHTTP_NO_PROXY_NAME,
                                  WINHTTP_NO_PROXY_BYPASS, 0));
    if (session_) {
      const int ms = account.timeoutSeconds * 1000;
      WinHttpSetTimeouts(session_.get(), ms, 20000, ms, ms);
    }
    // Basic credentials as UTF-8, sent with the first request (over TLS where the server
    // offers it); a server that wants another scheme says so in its 401.
    if (!account.user.empty()) {
      const std::string pair = account.user + ":" + account.password;
      DWORD length = 0;
      const DWORD flags = CRYPT_STRING_BASE64 | CRYPT_STRING_NOCRLF;
      CryptBinaryToStringA(reinterpret_cast<const BYTE*>(pair.data()), static_cast<DWORD>(pair.size()), flags, nullptr,
                           &length);
      std::string token(length, '\0');
      if (length && CryptBinaryToStringA(reinterpret_cast<const BYTE*>(pair.data()), static_cast<DWORD>(pair.size()),
                                         flags, token.data(), &length)) {
        token.resize(length);
        basic_ = "Basic " + token;
      }
    }
  }

  HttpResponse Send(const HttpRequest& request) override {
    HttpResponse response;
    if (!session_) {
      response.error = ErrorWords(GetLastError());
      return response;
    }
    if (origin_.empty() || UrlOrigin(request.url) != origin_) {
      response.error = "Адрес не на сервере учётной записи: " + request.url;
      return response;
    }
    std::wstring url = Wide(request.url);
    URL_COMPONENTS parts{};
    parts.dwStructSize = sizeof parts;
    wchar_t host[256] = {};
    parts.lpszHostName = host;
    parts.dwHostNameLength = 255;
    parts.dwUrlPathLength = static_cast<DWORD>(-1);
    parts.dwExtraInfoLength = static_cast<DWORD>(-1);
    if (!WinHttpCrackUrl(url.c_str(), 0, 0, &parts)) {
      response.error = "Неверный адрес: " + request.url;
      return response;
    }
    std::wstring path(parts.lpszUrlPath ? parts.lpszUrlPath : L"/",
                      parts.lpszUrlPath ? parts.dwUrlPathLength + parts.dwExtraInfoLength : 1);
    if (!connection_ || host != connectedHost_ || parts.nPort != connectedPort_) {
      connection_ = Handle(WinHttpConnect(session_.get(), host, parts.nPort, 0));
      connectedHost_ = host;
      connectedPort_ = parts.nPort;
      if (!connection_) {
        response.error = ErrorWords(GetLastError());
        return response;
      }
    }
    const bool secure = parts.nScheme == INTERNET_SCHEME_HTTPS;
    bool askedScheme = false;
    for (int round = 0; round < 2; ++round) {
      Handle req(WinHttpOpenRequest(connection_.get(), Wide(request.method).c_str(), path.c_str(), nullptr,
                                    WINHTTP_NO_REFERER, WINHTTP_DEFAULT_ACCEPT_TYPES,
                                    secure ? WINHTTP_FLAG_SECURE : 0));
      if (!req) {
        response.error = ErrorWords(GetLastError());
        return response;
      }
      // Only the configured server: no redirect is followed.
      DWORD never = WINHTTP_OPTION_REDIRECT_POLICY_NEVER;
      WinHttpSetOption(req.get(), WINHTTP_OPTION_REDIRECT_POLICY, &never, sizeof never);
      std::wstring headers;
      for (const auto& [name, value] : request.headers) headers += Wide(name + ": " + value + "\r\n");
      if (!basic_.empty() && !askedScheme) headers += Wide("Authorization: " + basic_ + "\r\n");
      if (askedScheme)
        WinHttpSetCredentials(req.get(), WINHTTP_AUTH_TARGET_SERVER, scheme_, Wide(account_.user).c_str(),
                              Wide(account_.password).c_str(), nullptr);
      BOOL sent = WinHttpSendRequest(req.get(), headers.empty() ? WINHTTP_NO_ADDITIONAL_HEADERS : headers.c_str(),
                                     headers.empty() ? 0 : static_cast<DWORD>(-1),
                                     const_cast<char*>(request.body.data()), static_cast<DWORD>(request.body.size()),
                                     static_cast<DWORD>(request.body.size()), 0);
      if (!sent || !WinHttpReceiveResponse(req.get(), nullptr)) {
        response.error = ErrorWords(GetLastError());
        return response;
      }
      DWORD status = 0, size = sizeof status;
      WinHttpQueryHeaders(req.get(), WINHTTP_QUERY_STATUS_CODE | WINHTTP_QUERY_FLAG_NUMBER, WINHTTP_HEADER_NAME_BY_INDEX,
                          &status, &size, WINHTTP_NO_HEADER_INDEX);
      if (status == 401 && round == 0 && !account_.user.empty()) {
        DWORD supported = 0, first = 0, target = 0;
        if (WinHttpQueryAuthSchemes(req.get(), &supported, &first, &target)) {
          for (DWORD s : {WINHTTP_AUTH_SCHEME_DIGEST, WINHTTP_AUTH_SCHEME_NTLM, WINHTTP_AUTH_SCHEME_NEGOTIATE})
            if (supported & s) {
              scheme_ = s;
              askedScheme = true;
              break;
            }
        }
        if (askedScheme) continue;
      }
      response.status = static_cast<int>(status);
      ReadHeaders(req.get(), response);
      if (!ReadBody(req.get(), response.body)) {
        response.status = 0;
        response.error = ErrorWords(GetLastError());
      }
      return response;
    }
    return response;
  }

 private:
  static void ReadHeaders(HINTERNET req, HttpResponse& response) {
    DWORD size = 0;
    WinHttpQueryHeaders(req, WINHTTP_QUERY_RAW_HEADERS_CRLF, WINHTTP_HEADER_NAME_BY_INDEX, nullptr, &size,
                        WINHTTP_NO_HEADER_INDEX);
    if (size == 0) return;
    std::wstring raw(size / sizeof(wchar_t) + 1, L'\0');
    if (!WinHttpQueryHeaders(req, WINHTTP_QUERY_RAW_HEADERS_CRLF, WINHTTP_HEADER_NAME_BY_INDEX, raw.data(), &size,
                             WINHTTP_NO_HEADER_INDEX))
      return;
    std::string text = Utf8(raw.c_str(), size / sizeof(wchar_t));
    size_t start = 0;
    while (start < text.size()) {
      size_t end = text.find("\r\n", start);
      if (end == std::string::npos) end = text.size();
      std::string line = text.substr(start, end - start);
      start = end + 2;
      size_t colon = line.find(':');
      if (colon == std::string::npos || line.compare(0, 5, "HTTP/") == 0) continue;
      size_t v = line.find_first_not_of(" \t", colon + 1);
      response.headers.emplace_back(line.substr(0, colon), v == std::string::npos ? std::string() : line.substr(v));
    }
  }

  static bool ReadBody(HINTERNET req, std::string& body) {
    for (;;) {
      DWORD available = 0;
      if (!WinHttpQueryDataAvailable(req, &available)) return false;
      if (available == 0) return true;
      // As in the libcurl client: an answer this large is cut off.
      if (body.size() + available > (size_t{256} << 20)) {
        SetLastError(ERROR_NOT_ENOUGH_MEMORY);
        return false;
      }
      size_t at = body.size();
      body.resize(at + available);
      DWORD read = 0;
      if (!WinHttpReadData(req, body.data() + at, available, &read)) return false;
      body.resize(at + read);
      if (read == 0) return true;
    }
  }

  HttpAccount account_;
  std::string origin_;
  std::string basic_;
  Handle session_, connection_;
  std::wstring connectedHost_;
  INTERNET_PORT connectedPort_ = 0;
  DWORD scheme_ = 0;
};

}  // namespace

std::unique_ptr<HttpClient> MakeHttpClient(const HttpAccount& account) {
  return std::make_unique<WinHttpClient>(account);
}

}  // namespace vm::platform
