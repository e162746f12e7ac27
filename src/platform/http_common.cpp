#include <algorithm>

#include "platform/http.h"

namespace vm::platform {

namespace {

std::string Lower(std::string_view text) {
  std::string out(text);
  for (char& c : out)
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  return out;
}

}  // namespace

std::string HttpResponse::Header(std::string_view name) const {
  const std::string want = Lower(name);
  for (const auto& [key, value] : headers)
    if (Lower(key) == want) return value;
  return {};
}

std::string UrlOrigin(std::string_view url) {
  size_t colon = url.find("://");
  if (colon == std::string_view::npos) return {};
  std::string scheme = Lower(url.substr(0, colon));
  if (scheme != "http" && scheme != "https") return {};
  std::string_view rest = url.substr(colon + 3);
  size_t end = rest.find_first_of("/?#");
  std::string_view authority = rest.substr(0, end == std::string_view::npos ? rest.size() : end);
  // User information in the URL is refused: the account carries the credentials.
  if (authority.empty() || authority.find('@') != std::string_view::npos) return {};
  for (char c : authority)
    if (static_cast<unsigned char>(c) <= ' ' || c == '\\') return {};
  std::string host = Lower(authority);
  const std::string defaultPort = scheme == "https" ? ":443" : ":80";
  if (host.size() > defaultPort.size() && host.compare(host.size() - defaultPort.size(), defaultPort.size(), defaultPort) == 0)
    host.resize(host.size() - defaultPort.size());
  return scheme + "://" + host;
}

}  // namespace vm::platform
