// Subcommands of the sync with a contacts-and-calendar server (CardDAV, CalDAV).
#include <cstdio>
#include <cstdlib>
#include <iostream>
#include <memory>
#include <string>

#include "cards/card_book.h"
#include "cli/cli.h"
#include "common/record_file.h"
#include "platform/http.h"
#include "platform/platform.h"
#include "sync/sync_engine.h"
#include "tasks/task_file.h"

namespace vm::cli {

namespace {

using namespace vm::sync;

bool EndsWith(std::string text, const char* ending) {
  for (char& c : text)
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  std::string e = ending;
  return text.size() >= e.size() && text.compare(text.size() - e.size(), e.size(), e) == 0;
}

// The password from VELMORIA_SYNC_PASSWORD, else one line typed on standard input; empty
// (and the command refused) when there is neither.
bool Password(std::string& password) {
#ifdef _WIN32
  // The narrow environment is in the ANSI code page; the password goes out as UTF-8.
  if (const wchar_t* env = _wgetenv(L"VELMORIA_SYNC_PASSWORD")) {
    std::wstring wide(env);
    return platform::FromUtf16(platform::kUtf8, std::u16string(wide.begin(), wide.end()), password);
  }
#else
  if (const char* env = std::getenv("VELMORIA_SYNC_PASSWORD")) {
    password = env;
    return true;
  }
#endif
  std::fprintf(stderr, "password: ");
  std::fflush(stderr);
  if (!std::getline(std::cin, password)) return false;
  if (!password.empty() && password.back() == '\r') password.pop_back();
  return true;
}

std::unique_ptr<platform::HttpClient> Client(const std::string& url, Args& args, int& failed) {
  std::string user;
  bool missing = false;
  TakeOption(args, "--user", user, missing);
  failed = 0;
  if (missing) {
    failed = Fail("--user needs a name");
    return nullptr;
  }
  std::string password;
  if (!user.empty() && !Password(password)) {
    failed = Fail("no password: set VELMORIA_SYNC_PASSWORD or type it on standard input");
    return nullptr;
  }
  std::string origin = platform::UrlOrigin(url);
  if (origin.empty()) {
    failed = Fail("not an http(s) address: " + url);
    return nullptr;
  }
  // Names and passwords go to the server as UTF-8, as the arguments and the environment hold them.
  return platform::MakeHttpClient({origin, user, password, 60});
}

// The book's records in and out, whatever its kind.
class Book {
 public:
  Book(BookKind kind, std::string path) : kind_(kind), path_(std::move(path)) {}

  int Load() {
    // A book that is not there yet starts empty and takes what the server holds.
    if (!platform::FileExists(path_) && !platform::WriteFileBytes(path_, "")) return Fail("cannot write the book");
    if (kind_ == BookKind::kTasks) {
      tasks::LoadOutcome load = tasks::LoadTaskFile(tasks_, path_, LocalToday());
      if (!load.opened) return Fail(ToUtf8(load.error));
      if (load.oldFormat) return Fail(ToUtf8(tasks_.loadMessage()));
      return 0;
    }
    cards_.path = path_;
    LoadOutcome load =
        LoadRecords(cards_, (kind_ == BookKind::kFirms ? cards::FirmsBook() : cards::ContactsBook()).records);
    if (!load.opened) return Fail(ToUtf8(load.error));
    if (cards_.oldFormat) return Fail(ToUtf8(cards_.loadMessage));
    return 0;
  }

  std::vector<std::string> Records() const { return kind_ == BookKind::kTasks ? tasks_.records() : cards_.records; }

  // Empty when saved; the message otherwise.
  std::string Save(const std::vector<std::string>& records) {
    if (kind_ == BookKind::kTasks) {
      while (tasks_.size() > 0) tasks_.Remove(tasks_.size() - 1);
      for (const std::string& r : records) tasks_.Append(r);
      tasks::SaveOutcome saved = tasks::WriteTaskFile(tasks_);
      return saved.status == tasks::TaskSaveStatus::kSaved ? std::string() : saved.error;
    }
    cards_.records = records;
    cards_.state = kStateChanged;
    SaveOutcome saved = SaveRecords(cards_);
    return saved.status == SaveStatus::kSaved ? std::string() : saved.error;
  }

 private:
  BookKind kind_;
  std::string path_;
  RecordBook cards_;
  tasks::TaskBook tasks_;
};

int Sync(const Args& argsIn) {
  Args args = argsIn;
  int failed = 0;
  if (args.size() < 2) return Fail("usage: sync BOOK URL --user U");
  std::string url = args[1];
  if (!url.empty() && url.back() != '/') url += '/';
  std::unique_ptr<platform::HttpClient> http = Client(url, args, failed);
  if (!http) return failed;
  if (args.size() != 2) return Fail("usage: sync BOOK URL --user U");
  const std::string path = PathArg(args[0]);
  BookKind kind;
  if (EndsWith(args[0], ".dbc"))
    kind = BookKind::kContacts;
  else if (EndsWith(args[0], ".dbo"))
    kind = BookKind::kFirms;
  else if (EndsWith(args[0], ".dbw"))
    kind = BookKind::kTasks;
  else
    return Fail("BOOK must be a contacts (.dbc), firms (.dbo) or task (.dbw) book");
  Book book(kind, path);
  if (int bad = book.Load()) return bad;
  SyncState state;
  if (!LoadSyncState(path, state)) {
    std::fprintf(stderr, "the side file %s.sync is damaged: syncing as the first time (equal records are paired)\n",
                 args[0].c_str());
    state = {};
  }
  int offset = 0;
  tasks::Moment utc = UtcNow(offset);
  RecordCodec codec(kind, {LocalToday(), utc, offset});
  SyncOptions options;
  options.collectionUrl = url;
  SyncOutcome out = Synchronize(*http, codec, book.Records(), state, options);
  // The side file follows its book: saved only once the book is.
  if (out.recordsChanged) {
    std::string error = book.Save(out.records);
    if (!error.empty()) return Fail(ToUtf8(error) + " (the server's changes are taken again by the next sync)");
  }
  if (!SaveSyncState(path, out.state)) return Fail("cannot write " + args[0] + ".sync");
  if (out.ok) std::printf("listing %s\n", out.fullListing ? "full" : "changes");
  std::printf("sent %d\nreceived %d\ndeleted-here %d\ndeleted-there %d\nconflicts %d\n", out.counts.sent,
              out.counts.received, out.counts.deletedHere, out.counts.deletedThere, out.counts.conflicts);
  if (out.counts.matched) std::printf("matched %d\n", out.counts.matched);
  if (out.counts.refetched) std::printf("refetched %d\n", out.counts.refetched);
  if (!out.ok) return Fail(ToUtf8(out.error));
  return 0;
}

int SyncDiscover(const Args& argsIn) {
  Args args = argsIn;
  int failed = 0;
  if (args.empty()) return Fail("usage: sync-discover SERVER --user U");
  std::unique_ptr<platform::HttpClient> http = Client(args[0], args, failed);
  if (!http) return failed;
  if (args.size() != 1) return Fail("usage: sync-discover SERVER --user U");
  Discovery d = Discover(*http, args[0]);
  if (!d.ok) return Fail(ToUtf8(d.error));
  std::printf("principal\t%s\n", d.principal.c_str());
  for (const DavCollection& c : d.collections)
    std::printf("%s\t%s\t%s\n", c.addressBook ? "addressbook" : c.todos ? "tasks" : "calendar", c.url.c_str(),
                c.name.c_str());
  return 0;
}

}  // namespace

VM_CLI_COMMAND("sync", "BOOK URL --user U  (password: VELMORIA_SYNC_PASSWORD or standard input)", Sync);
VM_CLI_COMMAND("sync-discover", "SERVER --user U", SyncDiscover);

}  // namespace vm::cli
