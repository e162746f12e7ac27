// Finding an account's address books and calendars (RFC 6764, RFC 6352 7.1, RFC 4791 6.2).
#include <set>

#include "sync/dav_xml.h"
#include "sync/sync_engine.h"

namespace vm::sync {

namespace {

using platform::HttpClient;
using platform::HttpResponse;

std::string PathOf(const std::string& url) {
  size_t scheme = url.find("://");
  size_t slash = scheme == std::string::npos ? std::string::npos : url.find('/', scheme + 3);
  return slash == std::string::npos ? "/" : url.substr(slash);
}

class Finder {
 public:
  Finder(HttpClient& http, const std::string& serverUrl) : http_(http), origin_(platform::UrlOrigin(serverUrl)) {}

  bool Valid() const { return !origin_.empty(); }
  std::string Url(const std::string& href) const {
    if (href.find("://") != std::string::npos) return platform::UrlOrigin(href) == origin_ ? href : std::string();
    return origin_ + href;
  }

  // PROPFIND at `url`, following up to three redirects on the same server.
  Multistatus Propfind(std::string url, int depth, const std::vector<std::string>& props, std::string& error) {
    for (int hop = 0; hop < 4 && !url.empty(); ++hop) {
      HttpResponse r = http_.Send({"PROPFIND", url,
                                   {{"Depth", depth ? "1" : "0"}, {"Content-Type", "application/xml; charset=utf-8"}},
                                   PropfindBody(props)});
      if (r.status == 0) {
        error = r.error;
        return {};
      }
      if (r.status == 301 || r.status == 302 || r.status == 307 || r.status == 308) {
        std::string location = r.Header("Location");
        url = location.empty() ? std::string() : Url(location[0] == '/' || location.find("://") != std::string::npos
                                                         ? location
                                                         : PathOf(url) + location);
        continue;
      }
      if (r.status == 401) {
        error = "Сервер не принял имя пользователя или пароль (401)";
        return {};
      }
      if (r.status != 207) return {};
      last_ = url;
      return ParseMultistatus(r.body);
    }
    return {};
  }
  const std::string& last() const { return last_; }

 private:
  HttpClient& http_;
  std::string origin_, last_;
};

}  // namespace

Discovery Discover(HttpClient& http, const std::string& serverUrl) {
  Discovery out;
  Finder f(http, serverUrl);
  if (!f.Valid()) {
    out.error = "Адрес сервера не похож на адрес http(s): " + serverUrl;
    return out;
  }
  std::string error;
  std::string principal;
  for (const std::string& start : {serverUrl, f.Url("/.well-known/carddav"), f.Url("/.well-known/caldav")}) {
    Multistatus ms = f.Propfind(start, 0, {"D:current-user-principal"}, error);
    if (!error.empty()) break;
    for (const DavResource& r : ms.resources)
      if (!r.principal.empty()) principal = f.Url(r.principal);
    if (!principal.empty()) break;
  }
  if (principal.empty()) {
    out.error = !error.empty() ? error : "На сервере не найдена учётная запись (нет current-user-principal)";
    return out;
  }
  out.principal = principal;
  Multistatus homes = f.Propfind(principal, 0, {"A:addressbook-home-set", "C:calendar-home-set"}, error);
  std::set<std::string> homeUrls;
  for (const DavResource& r : homes.resources) {
    if (!r.addressBookHome.empty()) homeUrls.insert(f.Url(r.addressBookHome));
    if (!r.calendarHome.empty()) homeUrls.insert(f.Url(r.calendarHome));
  }
  if (homeUrls.empty()) {
    out.error = !error.empty() ? error : "У учётной записи нет ни адресных книг, ни календарей";
    return out;
  }
  std::set<std::string> seen;
  for (const std::string& home : homeUrls) {
    if (home.empty()) continue;
    Multistatus list = f.Propfind(home, 1,
                                  {"D:resourcetype", "D:displayname", "C:supported-calendar-component-set"}, error);
    for (const DavResource& r : list.resources) {
      if (!r.addressBook && !r.calendar) continue;
      std::string url = f.Url(r.href);
      if (url.empty() || !seen.insert(url).second) continue;
      out.collections.push_back({url, r.displayName, r.addressBook, r.calendar, r.calendar && r.todos});
    }
  }
  out.ok = true;
  return out;
}

}  // namespace vm::sync
