#include "sync/sync_engine.h"

#include <algorithm>
#include <cstdio>
#include <map>
#include <optional>
#include <set>
#include <unordered_map>

#include "common/record_file.h"
#include "sync/dav_xml.h"

namespace vm::sync {

namespace {

using platform::HttpClient;
using platform::HttpRequest;
using platform::HttpResponse;

struct SyncError {
  std::string text;
};

std::string Num(int n) {
  char text[16];
  std::snprintf(text, sizeof text, "%i", n);
  return text;
}

// Words for an answer the sync cannot go on with.
std::string StatusWords(const HttpResponse& r, const char* what) {
  if (r.status == 0) return r.error;
  std::string head = std::string(what) + ": ";
  switch (r.status) {
    case 401:
      return head + "сервер не принял имя пользователя или пароль (401)";
    case 403:
      return head + "сервер запретил это действие (403)";
    case 404:
      return head + "на сервере нет такой коллекции (404)";
    case 507:
      return head + "на сервере не хватает места (507)";
    default:
      if (r.status >= 500) return head + "ошибка на сервере (" + Num(r.status) + ")";
      return head + "неожиданный ответ сервера (" + Num(r.status) + ")";
  }
}

class Transport {
 public:
  Transport(HttpClient& http, const SyncOptions& options) : http_(http), options_(options) {}

  HttpResponse Send(HttpRequest request) {
    if (options_.cancelled && options_.cancelled()) throw SyncError{"Синхронизация прервана"};
    HttpResponse r = http_.Send(request);
    if (r.status == 0) throw SyncError{r.error.empty() ? std::string("Нет ответа от сервера") : r.error};
    return r;
  }

  void Progress(const std::string& text) {
    if (options_.progress) options_.progress(text);
  }

 private:
  HttpClient& http_;
  const SyncOptions& options_;
};

// Hrefs are kept as paths on the server ("/user/contacts/x.vcf").
class Hrefs {
 public:
  explicit Hrefs(const std::string& collectionUrl) {
    origin_ = platform::UrlOrigin(collectionUrl);
    if (origin_.empty()) throw SyncError{"Адрес коллекции не похож на адрес http(s): " + collectionUrl};
    size_t scheme = collectionUrl.find("://");
    size_t slash = collectionUrl.find('/', scheme + 3);
    collection_ = slash == std::string::npos ? "/" : collectionUrl.substr(slash);
    if (collection_.back() != '/') collection_ += '/';
  }
  const std::string& collection() const { return collection_; }
  std::string Url(const std::string& path) const { return origin_ + path; }
  // A path on this server; empty for an href elsewhere (never followed).
  std::string Path(const std::string& href) const {
    if (href.empty()) return {};
    if (href[0] == '/') return href;
    if (href.find("://") != std::string::npos) {
      if (platform::UrlOrigin(href) != origin_) return {};
      size_t slash = href.find('/', href.find("://") + 3);
      return slash == std::string::npos ? "/" : href.substr(slash);
    }
    return collection_ + href;
  }
  bool Same(const std::string& a, const std::string& b) const {
    auto trim = [](std::string s) {
      if (!s.empty() && s.back() == '/') s.pop_back();
      return s;
    };
    return trim(a) == trim(b);
  }

 private:
  std::string origin_, collection_;
};

struct Listing {
  bool full = false;
  std::map<std::string, std::string> present;  // href -> etag
  std::set<std::string> removed;               // reported removed (incremental)
  std::string token;
};

struct Fetched {
  std::string etag;
  std::string body;
};

class Engine {
 public:
  Engine(HttpClient& http, const RecordCodec& codec, const SyncOptions& options)
      : net_(http, options), codec_(codec), options_(options), hrefs_(options.collectionUrl) {}

  void Run(const std::vector<std::string>& records, const SyncState& previous, SyncOutcome& out) {
    out_ = &out;
    if (previous.collection == options_.collectionUrl) out.state = previous;
    out.state.collection = options_.collectionUrl;
    for (const std::string& r : records) local_.push_back({r, codec_.Canonical(r), false, -1});
    out.records = records;

    net_.Progress("Получение списка изменений");
    Listing listing = List(out.state.token);
    out.fullListing = listing.full;

    // What happened to each remembered resource on the server.
    std::vector<int> serverState(out.state.entries.size(), kUnchanged);  // kUnchanged/kChanged/kDeleted
    std::map<std::string, size_t> byHref;
    for (size_t i = 0; i < out.state.entries.size(); ++i) byHref[out.state.entries[i].href] = i;
    std::vector<std::string> toFetch;
    for (size_t i = 0; i < out.state.entries.size(); ++i) {
      const SyncEntry& e = out.state.entries[i];
      auto p = listing.present.find(e.href);
      if (listing.removed.count(e.href) || (listing.full && p == listing.present.end())) {
        serverState[i] = kDeleted;
      } else if (p != listing.present.end() && (p->second != e.etag || p->second.empty())) {
        serverState[i] = kChanged;
        toFetch.push_back(e.href);
      }
    }
    std::vector<std::string> fresh;
    for (const auto& [href, etag] : listing.present)
      if (!byHref.count(href)) {
        fresh.push_back(href);
        toFetch.push_back(href);
      }
    std::map<std::string, Fetched> fetched = Fetch(toFetch);

    PairLocal();

    // Remembered resources, one by one.
    pending_ = std::move(out.state.entries);
    out.state.entries.clear();
    for (next_ = 0; next_ < pending_.size();) {
      const size_t i = next_++;
      inLoop_ = true;
      SyncEntry e = pending_[i];
      int mine = pairedLocal_[i];
      if (e.ignored) {
        if (serverState[i] == kDeleted) continue;
        if (serverState[i] == kChanged) {
          auto f = fetched.find(e.href);
          if (f == fetched.end()) continue;
          RecordCodec::Read read = codec_.FromServer(f->second.body);
          if (!read.ours) {
            e.etag = f->second.etag;
            Keep(e);
          } else {
            AddFromServer(e.href, f->second.etag, read);
          }
          continue;
        }
        Keep(e);
        continue;
      }
      if (serverState[i] == kChanged) {
        auto f = fetched.find(e.href);
        if (f == fetched.end()) {
          ServerDeleted(e, mine);
        } else {
          ServerChanged(e, mine, f->second, 0);
        }
      } else if (serverState[i] == kDeleted) {
        ServerDeleted(e, mine);
      } else {
        ServerUnchanged(e, mine);
      }
    }
    inLoop_ = false;
    // New on the server: paired with an equal new record here, or received.
    std::unordered_multimap<std::string, size_t> newHere;
    for (size_t k = 0; k < local_.size(); ++k)
      if (local_[k].entry < 0) newHere.emplace(local_[k].canonical, k);
    for (const std::string& href : fresh) {
      auto f = fetched.find(href);
      if (f == fetched.end()) continue;
      RecordCodec::Read read = codec_.FromServer(f->second.body);
      if (!read.ours) {
        Keep({href, f->second.etag, {}, {}, true});
        continue;
      }
      auto equal = newHere.find(read.record);
      if (equal != newHere.end()) {
        local_[equal->second].entry = 0;  // taken
        newHere.erase(equal);
        Keep({href, f->second.etag, read.uid, read.record, false});
        ++out.counts.matched;
        continue;
      }
      AddFromServer(href, f->second.etag, read);
    }
    // New here: created on the server.
    for (size_t k = 0; k < local_.size(); ++k) {
      if (local_[k].entry >= 0 || local_[k].removed) continue;
      local_[k].entry = 0;
      PutNew(local_[k].canonical, NewUid());
    }
    out.state.token = listing.token;
    Finish();
  }

  void Finish() {
    // After a failure: the resources not dealt with yet (and the one that failed, unless
    // it was already kept) stay as they were remembered.
    if (inLoop_) {
      std::set<std::string> kept;
      for (const SyncEntry& e : out_->state.entries) kept.insert(e.href);
      for (size_t i = next_ - 1; i < pending_.size(); ++i)
        if (!kept.count(pending_[i].href)) out_->state.entries.push_back(pending_[i]);
      inLoop_ = false;
    }
    std::vector<std::string> records;
    for (const Local& l : local_)
      if (!l.removed) records.push_back(l.text);
    for (const std::string& r : added_) records.push_back(r);
    out_->records = std::move(records);
  }

 private:
  enum { kUnchanged, kChanged, kDeleted };

  struct Local {
    std::string text;       // as the book holds it (replaced by a received record)
    std::string canonical;
    bool removed;
    int entry;              // the remembered resource it belongs to; -1 none (new)
  };

  void Keep(SyncEntry e) { out_->state.entries.push_back(std::move(e)); }

  void Changed() { out_->recordsChanged = true; }

  void AddFromServer(const std::string& href, const std::string& etag, const RecordCodec::Read& read) {
    added_.push_back(read.record);
    Changed();
    ++out_->counts.received;
    Keep({href, etag, read.uid, read.record, false});
  }

  // ---- the server's side ------------------------------------------------------------

  Listing List(const std::string& token) {
    if (!token.empty()) {
      HttpResponse r = Report(SyncCollectionBody(token), "0");
      if (r.status == 207) return FromSync(r, false);
      if (!NotOffered(r)) throw SyncError{StatusWords(r, "Список изменений")};
      // RFC 6578: a token the server no longer knows is refused with valid-sync-token
      // (403, some servers 409 or 400): start again from nothing.
      net_.Progress(ErrorNames(r.body, "valid-sync-token")
                        ? "Сервер не знает метку прошлой синхронизации: полный список"
                        : "Сервер не выдал изменения: полный список");
    }
    HttpResponse r = Report(SyncCollectionBody(""), "0");
    if (r.status == 207) return FromSync(r, true);
    if (!NotOffered(r)) throw SyncError{StatusWords(r, "Список коллекции")};
    // No collection sync: every member with its ETag.
    HttpRequest req{"PROPFIND", hrefs_.Url(hrefs_.collection()),
                    {{"Depth", "1"}, {"Content-Type", "application/xml; charset=utf-8"}},
                    PropfindBody({"D:getetag", "D:resourcetype"})};
    HttpResponse p = net_.Send(req);
    if (p.status != 207) throw SyncError{StatusWords(p, "Список коллекции")};
    Multistatus ms = ParseMultistatus(p.body);
    if (!ms.ok) throw SyncError{ms.error};
    Listing l;
    l.full = true;
    for (const DavResource& res : ms.resources) {
      std::string path = hrefs_.Path(res.href);
      if (path.empty() || hrefs_.Same(path, hrefs_.collection()) || res.collection) continue;
      if (res.status == 0 || res.status == 200) l.present[path] = res.etag;
    }
    return l;
  }

  // A REPORT the server does not offer (or, for sync-collection, a token it does not
  // know: 403 or 409 with valid-sync-token, 400 on some servers) has another way round;
  // a refused login or a server error has not.
  static bool NotOffered(const HttpResponse& r) {
    return r.status == 400 || r.status == 403 || r.status == 404 || r.status == 405 || r.status == 409 ||
           r.status == 415 || r.status == 422 || r.status == 501;
  }

  // sync-collection is defined for Depth 0 alone (its sync-level says how deep); the
  // multigets are sent with Depth 1, as the CardDAV and CalDAV examples send them.
  HttpResponse Report(const std::string& body, const char* depth) {
    return net_.Send({"REPORT", hrefs_.Url(hrefs_.collection()),
                      {{"Depth", depth}, {"Content-Type", "application/xml; charset=utf-8"}}, body});
  }

  // A sync-collection answer, and the pages after it: a server may truncate the answer
  // (RFC 6578 3.6: the collection's own response with 507) and give the token to go on
  // from. A full listing is only whole with every page in; taking a first page for the
  // whole collection would take every member not on it for deleted.
  Listing FromSync(HttpResponse r, bool full) {
    Listing l;
    l.full = full;
    for (int page = 0;; ++page) {
      Multistatus ms = ParseMultistatus(r.body);
      if (!ms.ok) throw SyncError{ms.error};
      l.token = ms.syncToken;
      bool truncated = false;
      for (const DavResource& res : ms.resources) {
        std::string path = hrefs_.Path(res.href);
        if (!path.empty() && hrefs_.Same(path, hrefs_.collection())) {
          truncated = truncated || res.status == 507;
          continue;
        }
        // Members only: never the collection itself, never a collection inside it.
        if (path.empty() || path.back() == '/' || res.collection) continue;
        if (res.status == 404) {
          l.removed.insert(path);
          l.present.erase(path);
        } else {
          l.present[path] = res.etag;
          l.removed.erase(path);
        }
      }
      if (!truncated) return l;
      if (l.token.empty() || page >= 10000) throw SyncError{"Сервер отдаёт список изменений без конца"};
      net_.Progress("Получение списка изменений: часть " + Num(page + 2));
      r = Report(SyncCollectionBody(l.token), "0");
      if (r.status != 207) throw SyncError{StatusWords(r, "Список изменений")};
    }
  }

  std::map<std::string, Fetched> Fetch(const std::vector<std::string>& hrefs) {
    std::map<std::string, Fetched> out;
    const size_t batch = static_cast<size_t>(std::max(1, options_.multigetBatch));
    for (size_t from = 0; from < hrefs.size(); from += batch) {
      net_.Progress("Получение записей: " + Num(static_cast<int>(from)) + " из " + Num(static_cast<int>(hrefs.size())));
      std::vector<std::string> part(hrefs.begin() + static_cast<long>(from),
                                    hrefs.begin() + static_cast<long>(std::min(hrefs.size(), from + batch)));
      HttpResponse r = Report(MultigetBody(codec_.calendar(), part), "1");
      if (r.status == 207) {
        Multistatus ms = ParseMultistatus(r.body);
        if (!ms.ok) throw SyncError{ms.error};
        for (const DavResource& res : ms.resources) {
          std::string path = hrefs_.Path(res.href);
          if (!path.empty() && res.status != 404 && res.hasProps && !res.data.empty()) out[path] = {res.etag, res.data};
        }
        continue;
      }
      if (!NotOffered(r)) throw SyncError{StatusWords(r, "Получение записей")};
      // No multiget: one GET each.
      for (const std::string& h : part) {
        std::optional<Fetched> f = Get(h);
        if (f) out[h] = *f;
      }
    }
    return out;
  }

  std::optional<Fetched> Get(const std::string& href) {
    HttpResponse r = net_.Send({"GET", hrefs_.Url(href), {}, {}});
    if (r.status == 404 || r.status == 410) return std::nullopt;
    if (r.status != 200) throw SyncError{StatusWords(r, "Получение записи")};
    return Fetched{r.Header("ETag"), r.body};
  }

  // ---- pairing the book's records with the remembered resources ----------------------

  void PairLocal() {
    const std::vector<SyncEntry>& entries = out_->state.entries;
    pairedLocal_.assign(entries.size(), -1);
    std::unordered_multimap<std::string, size_t> byBase;
    for (size_t i = 0; i < entries.size(); ++i)
      if (!entries[i].ignored) byBase.emplace(entries[i].base, i);
    std::vector<size_t> loose;
    for (size_t k = 0; k < local_.size(); ++k) {
      auto it = byBase.find(local_[k].canonical);
      if (it == byBase.end()) {
        loose.push_back(k);
        continue;
      }
      Pair(k, it->second);
      byBase.erase(it);
    }
    if (loose.empty() || byBase.empty()) return;
    // Edited records: first the same key field (name, headline), then the most fields
    // alike, at least half of those either side fills.
    std::unordered_multimap<std::string, size_t> byKey;
    std::vector<size_t> open;
    for (const auto& [base, i] : byBase) {
      open.push_back(i);
      std::string key = GetField(base, codec_.keyField());
      if (!key.empty()) byKey.emplace(key, i);
    }
    std::vector<size_t> still;
    for (size_t k : loose) {
      std::string key = GetField(local_[k].canonical, codec_.keyField());
      bool done = false;
      for (auto [it, end] = byKey.equal_range(key); !key.empty() && it != end; ++it) {
        if (pairedLocal_[it->second] >= 0) continue;
        Pair(k, it->second);
        done = true;
        break;
      }
      if (!done) still.push_back(k);
    }
    std::vector<size_t> left;
    for (size_t i : open)
      if (pairedLocal_[i] < 0) left.push_back(i);
    if (still.empty() || left.empty() || still.size() * left.size() > 250000) return;
    struct Candidate {
      int score;
      size_t local, entry;
    };
    std::vector<Candidate> candidates;
    for (size_t k : still) {
      for (size_t i : left) {
        int alike = 0, filled = 0;
        for (int f = 0; f < codec_.fieldCount(); ++f) {
          std::string a = GetField(local_[k].canonical, f), b = GetField(entries[i].base, f);
          if (a.empty() && b.empty()) continue;
          ++filled;
          if (a == b) ++alike;
        }
        if (alike > 0 && alike * 2 >= filled) candidates.push_back({alike, k, i});
      }
    }
    std::stable_sort(candidates.begin(), candidates.end(),
                     [](const Candidate& a, const Candidate& b) { return a.score > b.score; });
    for (const Candidate& c : candidates)
      if (local_[c.local].entry < 0 && pairedLocal_[c.entry] < 0) Pair(c.local, c.entry);
  }

  void Pair(size_t local, size_t entry) {
    local_[local].entry = static_cast<int>(entry);
    pairedLocal_[entry] = static_cast<int>(local);
  }

  // ---- one remembered resource -----------------------------------------------------

  const std::string& Mine(int mine) const { return local_[static_cast<size_t>(mine)].canonical; }

  void RemoveHere(int mine) {
    local_[static_cast<size_t>(mine)].removed = true;
    Changed();
  }

  void ReplaceHere(int mine, const std::string& record) {
    Local& l = local_[static_cast<size_t>(mine)];
    l.text = record;
    l.canonical = record;
    Changed();
  }

  void ServerUnchanged(SyncEntry e, int mine) {
    if (mine < 0) {
      Delete(e, e.etag);
      return;
    }
    if (Mine(mine) == e.base) {
      Keep(e);
      return;
    }
    PutOver(e, mine, e.etag);
  }

  void ServerDeleted(const SyncEntry& e, int mine) {
    if (mine < 0) return;
    if (Mine(mine) == e.base) {
      RemoveHere(mine);
      ++out_->counts.deletedHere;
      return;
    }
    // Changed here, deleted there: the change is kept and sent again as a new resource.
    PutNew(Mine(mine), e.uid.empty() ? NewUid() : e.uid);
  }

  void ServerChanged(SyncEntry e, int mine, const Fetched& f, int round) {
    RecordCodec::Read read = codec_.FromServer(f.body);
    if (!read.ours) {
      // No longer a resource of this book (a person's card turned into a firm's): it
      // stays there for the other book; here it is gone, unless it was changed here too,
      // and then the change goes back as a new resource.
      Keep({e.href, f.etag, {}, {}, true});
      if (mine >= 0 && Mine(mine) == e.base) {
        RemoveHere(mine);
        ++out_->counts.deletedHere;
      } else if (mine >= 0) {
        PutNew(Mine(mine), NewUid());
      }
      return;
    }
    const std::string& theirs = read.record;
    if (mine < 0) {
      if (theirs == e.base) {
        Delete(e, f.etag, round);
      } else {
        // Deleted here, changed there: the change wins, nothing is lost.
        AddFromServer(e.href, f.etag, read);
      }
      return;
    }
    const std::string m = Mine(mine);
    if (m == e.base || m == theirs) {
      if (theirs != m) {
        ReplaceHere(mine, theirs);
        ++out_->counts.received;
      }
      e.etag = f.etag;
      e.base = theirs;
      Keep(e);
      return;
    }
    if (theirs == e.base) {
      PutOver(e, mine, f.etag, round);
      return;
    }
    // Changed on both sides: ours stays under the resource, theirs comes here marked and
    // goes to the server as a resource of its own.
    ++out_->counts.conflicts;
    std::string copy = codec_.Canonical(
        SetFieldText(theirs, codec_.keyField(), GetField(theirs, codec_.keyField()) + options_.conflictMark));
    added_.push_back(copy);
    Changed();
    PutOver(e, mine, f.etag, round);
    PutNew(copy, NewUid());
  }

  // The record here over the remembered resource, if it still has `etag`.
  void PutOver(SyncEntry e, int mine, const std::string& etag, int round = 0) {
    const std::string m = Mine(mine);
    HttpResponse r = net_.Send({"PUT", hrefs_.Url(e.href),
                                {{"Content-Type", codec_.contentType()}, {"If-Match", etag}},
                                codec_.ToServer(m, e.uid.empty() ? NewUid() : e.uid)});
    if (r.status == 200 || r.status == 201 || r.status == 204) {
      ++out_->counts.sent;
      e.etag = r.Header("ETag");
      e.base = m;
      Keep(e);
      return;
    }
    if (r.status == 412 && round < 3) {
      Refetched(e, mine, round);
      return;
    }
    if (r.status == 404) {
      ServerDeleted(e, mine);
      return;
    }
    throw SyncError{StatusWords(r, "Отправка записи")};
  }

  void Delete(const SyncEntry& e, const std::string& etag, int round = 0) {
    HttpResponse r = net_.Send({"DELETE", hrefs_.Url(e.href), {{"If-Match", etag}}, {}});
    if (r.status == 200 || r.status == 204 || r.status == 404 || r.status == 410) {
      ++out_->counts.deletedThere;
      return;
    }
    if (r.status == 412 && round < 3) {
      Refetched(e, -1, round);
      return;
    }
    throw SyncError{StatusWords(r, "Удаление записи на сервере")};
  }

  // The server's copy moved since it was listed: fetched again and merged again.
  void Refetched(const SyncEntry& e, int mine, int round) {
    ++out_->counts.refetched;
    std::optional<Fetched> f = Get(e.href);
    if (!f) {
      ServerDeleted(e, mine);
      return;
    }
    ServerChanged(e, mine, *f, round + 1);
  }

  void PutNew(const std::string& record, std::string uid) {
    for (int attempt = 0; attempt < 4; ++attempt) {
      std::string href = hrefs_.collection() + uid + codec_.extension();
      HttpResponse r = net_.Send({"PUT", hrefs_.Url(href),
                                  {{"Content-Type", codec_.contentType()}, {"If-None-Match", "*"}},
                                  codec_.ToServer(record, uid)});
      if (r.status == 200 || r.status == 201 || r.status == 204) {
        ++out_->counts.sent;
        Keep({href, r.Header("ETag"), uid, record, false});
        return;
      }
      // The name is taken (a UID the server already holds): another one.
      if (r.status == 412 || r.status == 409) {
        uid = NewUid();
        continue;
      }
      throw SyncError{StatusWords(r, "Отправка новой записи")};
    }
    throw SyncError{"Сервер не принял новую запись ни под одним именем"};
  }

  Transport net_;
  const RecordCodec& codec_;
  const SyncOptions& options_;
  Hrefs hrefs_;
  SyncOutcome* out_ = nullptr;
  std::vector<Local> local_;
  std::vector<SyncEntry> pending_;  // the remembered resources, dealt with in order
  size_t next_ = 0;
  bool inLoop_ = false;
  std::vector<int> pairedLocal_;   // per remembered resource: its record here, -1 none
  std::vector<std::string> added_;  // received records and conflict copies, appended
};

}  // namespace

SyncOutcome Synchronize(HttpClient& http, const RecordCodec& codec, const std::vector<std::string>& records,
                        const SyncState& previous, const SyncOptions& options) {
  SyncOutcome out;
  out.records = records;
  out.state = previous;
  std::optional<Engine> engine;
  try {
    engine.emplace(http, codec, options);
    engine->Run(records, previous, out);
    out.ok = true;
  } catch (const SyncError& e) {
    out.ok = false;
    out.error = e.text;
    if (engine) {
      // What was done stays done: the records and entries as far as they went, the old
      // token so that the next listing repeats whatever was not taken in.
      engine->Finish();
      out.state.token = previous.collection == options.collectionUrl ? previous.token : std::string();
    }
  }
  return out;
}

}  // namespace vm::sync
