// The sync engine against a real server: two copies of a book and direct edits on the
// server (plain HTTP, as another client would make them) must converge, losing nothing.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <functional>
#include <sstream>

#include "common/record_file.h"
#include "support/task_record.h"
#include "sync/dav_xml.h"
#include "sync/radicale/radicale_server.h"
#include "sync/sync_engine.h"

namespace vm::sync {
namespace {

using platform::HttpRequest;
using platform::HttpResponse;
using testing::RadicaleServer;

const char* const kMark = " (конфликт)";  // what the user sees, spelt out
const CodecClock kClock{{8, 12, 2026}, {2026, 12, 8, 10, 0}, 180};

std::string Contact(const std::string& name, const std::string& phone = "", const std::string& comment = "") {
  std::string line;
  AppendFieldText(line, name);
  for (int k = 1; k < 13; ++k) {
    line += '|';
    AppendFieldText(line, k == 4 ? phone : k == 12 ? comment : "");
  }
  return line;
}

// Texts in the server's bodies are UTF-8; the test's literals are Windows-1251.
std::string U8(const std::string& cp1251) {
  return platform::Cp1251ToUtf8(cp1251);
}

std::vector<std::string> Sorted(std::vector<std::string> v) {
  std::sort(v.begin(), v.end());
  return v;
}

// A client that lets a test act between the engine's requests.
class Interposer final : public platform::HttpClient {
 public:
  explicit Interposer(platform::HttpClient& inner) : inner_(inner) {}
  std::function<std::optional<HttpResponse>(const HttpRequest&)> before;
  int sent = 0;
  HttpResponse Send(const HttpRequest& r) override {
    ++sent;
    if (before)
      if (std::optional<HttpResponse> answer = before(r)) return *answer;
    return inner_.Send(r);
  }

 private:
  platform::HttpClient& inner_;
};

class SyncRadicale : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    server_ = new RadicaleServer;
    bool missing = false;
    if (!server_->Start(error_, missing)) {
      skip_ = missing;
      delete server_;
      server_ = nullptr;
    }
  }
  static void TearDownTestSuite() {
    delete server_;
    server_ = nullptr;
  }
  void SetUp() override {
    if (skip_) GTEST_SKIP() << error_;
    ASSERT_NE(server_, nullptr) << error_;
    http_ = server_->Client();
  }

  struct Device {
    std::vector<std::string> records;
    SyncState state;
  };

  SyncOutcome Sync(Device& d, const std::string& url, BookKind kind = BookKind::kContacts,
                   platform::HttpClient* through = nullptr) {
    RecordCodec codec(kind, kClock);
    SyncOptions options;
    options.collectionUrl = url;
    SyncOutcome out = Synchronize(through ? *through : *http_, codec, d.records, d.state, options);
    d.records = out.records;
    d.state = out.state;
    return out;
  }

  // The members of a collection, href -> body, read as a plain client would.
  std::map<std::string, std::string> OnServer(const std::string& url) {
    HttpResponse r = http_->Send({"PROPFIND", url, {{"Depth", "1"}}, PropfindBody({"D:getetag"})});
    std::map<std::string, std::string> out;
    for (const DavResource& res : ParseMultistatus(r.body).resources) {
      if (res.href.back() == '/') continue;
      out[res.href] = http_->Send({"GET", server_->Origin() + res.href, {}, {}}).body;
    }
    return out;
  }

  // Edits a member's text on the server as another client would (If-Match its ETag).
  void EditOnServer(const std::string& href, const std::string& from, const std::string& to) {
    HttpResponse got = http_->Send({"GET", server_->Origin() + href, {}, {}});
    std::string body = got.body;
    size_t at = body.find(U8(from));
    ASSERT_NE(at, std::string::npos) << body;
    body.replace(at, U8(from).size(), U8(to));
    const char* type = href.ends_with(".ics") ? "text/calendar" : "text/vcard";
    HttpResponse put = http_->Send({"PUT", server_->Origin() + href,
                                    {{"If-Match", got.Header("ETag")}, {"Content-Type", type}}, body});
    ASSERT_TRUE(put.status == 201 || put.status == 204) << put.status;
  }

  std::string HrefOf(const std::string& url, const std::string& text) {
    for (const auto& [href, body] : OnServer(url))
      if (body.find(U8(text)) != std::string::npos) return href;
    return {};
  }

  static RadicaleServer* server_;
  static std::string error_;
  static bool skip_;
  std::unique_ptr<platform::HttpClient> http_;
};

RadicaleServer* SyncRadicale::server_ = nullptr;
std::string SyncRadicale::error_;
bool SyncRadicale::skip_ = false;

TEST_F(SyncRadicale, CreateChangeAndDeleteOnEverySideConverge) {
  std::string url = server_->MakeAddressBook("converge");
  ASSERT_FALSE(url.empty());
  Device a{{Contact("Иванов Иван", "+7 1"), Contact("Петров Пётр"), Contact("Сидоров")}, {}};
  Device b;
  SyncOutcome first = Sync(a, url);
  ASSERT_TRUE(first.ok) << first.error;
  EXPECT_EQ(first.counts.sent, 3);
  EXPECT_TRUE(first.fullListing);
  EXPECT_EQ(OnServer(url).size(), 3u);
  ASSERT_TRUE(Sync(b, url).ok);
  EXPECT_EQ(Sorted(b.records), Sorted(a.records));

  // Here: a changes Иванов's phone and deletes Сидоров; b adds a contact.
  a.records[0] = Contact("Иванов Иван", "+7 2");
  a.records.erase(a.records.begin() + 2);
  b.records.push_back(Contact("Новиков"));
  // There: a phone renames Петров and adds a card of its own.
  EditOnServer(HrefOf(url, "Петров"), "FN:Петров Пётр", "FN:Петров Пётр Петрович");
  HttpResponse phone = http_->Send({"PUT", url + "phone-1.vcf", {{"If-None-Match", "*"}, {"Content-Type", "text/vcard"}},
                                    U8("BEGIN:VCARD\r\nVERSION:3.0\r\nUID:phone-1\r\nFN:Телефонов\r\n"
                                       "N:Телефонов;;;;\r\nTEL;TYPE=CELL:+7 900\r\nEND:VCARD\r\n")});
  ASSERT_EQ(phone.status, 201);

  SyncOutcome sa = Sync(a, url);
  ASSERT_TRUE(sa.ok) << sa.error;
  EXPECT_FALSE(sa.fullListing);
  EXPECT_EQ(sa.counts.sent, 1);
  EXPECT_EQ(sa.counts.deletedThere, 1);
  EXPECT_EQ(sa.counts.received, 2);
  SyncOutcome sb = Sync(b, url);
  ASSERT_TRUE(sb.ok) << sb.error;
  EXPECT_EQ(sb.counts.deletedHere, 1);
  ASSERT_TRUE(Sync(a, url).ok);
  EXPECT_EQ(Sorted(a.records), Sorted(b.records));
  std::vector<std::string> names;
  for (const std::string& r : a.records) names.push_back(GetField(r, 0) + "/" + GetField(r, 4) + GetField(r, 5));
  EXPECT_EQ(Sorted(names), Sorted({"Иванов Иван/+7 2", "Петров Пётр Петрович/", "Новиков/", "Телефонов/+7 900"}));
  EXPECT_EQ(OnServer(url).size(), 4u);

  // A deletion on the server reaches both; an unchanged sync sends nothing.
  ASSERT_EQ(http_->Send({"DELETE", server_->Origin() + HrefOf(url, "Новиков"), {}, {}}).status, 200);
  ASSERT_TRUE(Sync(a, url).ok);
  SyncOutcome quiet = Sync(b, url);
  EXPECT_EQ(quiet.counts.deletedHere, 1);
  EXPECT_EQ(Sorted(a.records), Sorted(b.records));
  EXPECT_EQ(a.records.size(), 3u);
  SyncOutcome nothing = Sync(a, url);
  EXPECT_EQ(nothing.counts, SyncCounts{});
  EXPECT_FALSE(nothing.recordsChanged);
}

TEST_F(SyncRadicale, ChangesOnBothSidesKeepBothCopiesEverywhere) {
  std::string url = server_->MakeAddressBook("conflict");
  Device a{{Contact("Орлов", "+7 1"), Contact("Ежов", "", "старый")}, {}};
  ASSERT_TRUE(Sync(a, url).ok);
  Device b;
  ASSERT_TRUE(Sync(b, url).ok);
  a.records[0] = Contact("Орлов", "+7 2");
  for (std::string& r : b.records)
    if (GetField(r, 0) == "Орлов") r = Contact("Орлов", "+7 3");
  // The same change on both sides is no conflict.
  for (Device* d : {&a, &b})
    for (std::string& r : d->records)
      if (GetField(r, 0) == "Ежов") r = Contact("Ежов", "", "новый");
  ASSERT_TRUE(Sync(a, url).ok);
  SyncOutcome sb = Sync(b, url);
  ASSERT_TRUE(sb.ok) << sb.error;
  EXPECT_EQ(sb.counts.conflicts, 1);
  ASSERT_TRUE(Sync(a, url).ok);
  EXPECT_EQ(Sorted(a.records), Sorted(b.records));
  EXPECT_EQ(Sorted(a.records), Sorted({Contact("Орлов", "+7 3"), Contact(std::string("Орлов") + kMark, "+7 2"),
                                      Contact("Ежов", "", "новый")}));
  EXPECT_EQ(OnServer(url).size(), 3u);
}

TEST_F(SyncRadicale, AChangeDuringTheSyncIsFetchedAgainAndMerged) {
  std::string url = server_->MakeAddressBook("moved");
  Device a{{Contact("Зайцев", "+7 1"), Contact("Волков", "+7 5")}, {}};
  ASSERT_TRUE(Sync(a, url).ok);
  a.records[0] = Contact("Зайцев", "+7 2");
  a.records[1] = Contact("Волков", "+7 6");
  Interposer moving(*http_);
  // Just before each conditional PUT, another client changes that very card: a comment
  // of each card gets a comment there: a conflict with ours both times.
  moving.before = [&](const HttpRequest& r) -> std::optional<HttpResponse> {
    if (r.method == "PUT" && !r.headers.empty() && r.headers.back().first == "If-Match") {
      std::string href = r.url.substr(server_->Origin().size());
      bool first = r.body.find(U8("Зайцев")) != std::string::npos;
      HttpResponse got = http_->Send({"GET", r.url, {}, {}});
      if (got.body.find("NOTE:") == std::string::npos)
        EditOnServer(href, "END:VCARD", first ? "NOTE:с телефона\r\nEND:VCARD" : "NOTE:заметка\r\nEND:VCARD");
    }
    return std::nullopt;
  };
  SyncOutcome out = Sync(a, url, BookKind::kContacts, &moving);
  ASSERT_TRUE(out.ok) << out.error;
  EXPECT_EQ(out.counts.refetched, 2);
  EXPECT_EQ(out.counts.conflicts, 2);
  Device b;
  ASSERT_TRUE(Sync(b, url).ok);
  EXPECT_EQ(Sorted(b.records), Sorted(a.records));
  EXPECT_EQ(a.records.size(), 4u);
}

TEST_F(SyncRadicale, ALostTokenOrNoCollectionSyncGivesAFullListingAndNothingTwice) {
  std::string url = server_->MakeAddressBook("token");
  Device a{{Contact("Лосев"), Contact("Медведев")}, {}};
  ASSERT_TRUE(Sync(a, url).ok);
  a.state.token = "http://radicale.org/ns/sync/00000000000000000000000000000000";
  a.records.push_back(Contact("Рысев"));
  SyncOutcome out = Sync(a, url);
  ASSERT_TRUE(out.ok) << out.error;
  EXPECT_TRUE(out.fullListing);
  EXPECT_EQ(out.counts.sent, 1);
  EXPECT_EQ(OnServer(url).size(), 3u);
  EXPECT_FALSE(a.state.token.empty());

  // A server without sync-collection: the PROPFIND listing finds a deletion there.
  Interposer plain(*http_);
  plain.before = [](const HttpRequest& r) -> std::optional<HttpResponse> {
    if (r.method == "REPORT" && r.body.find("sync-collection") != std::string::npos) return HttpResponse{403, {}, "", ""};
    return std::nullopt;
  };
  ASSERT_EQ(http_->Send({"DELETE", server_->Origin() + HrefOf(url, "Лосев"), {}, {}}).status, 200);
  SyncOutcome listed = Sync(a, url, BookKind::kContacts, &plain);
  ASSERT_TRUE(listed.ok) << listed.error;
  EXPECT_EQ(listed.counts.deletedHere, 1);
  EXPECT_EQ(Sorted(a.records), Sorted({Contact("Медведев"), Contact("Рысев")}));
}

// A server that pages its full listing (507 on the collection, a token to go on from):
// the members of the later pages are not taken for deleted.
TEST_F(SyncRadicale, APagedFullListingIsReadToItsEnd) {
  std::string url = server_->MakeAddressBook("paged");
  Device a{{Contact("Кротов"), Contact("Ежов"), Contact("Бобров")}, {}};
  ASSERT_TRUE(Sync(a, url).ok);
  a.state.token.clear();
  Interposer paging(*http_);
  int pages = 0;
  paging.before = [&](const HttpRequest& r) -> std::optional<HttpResponse> {
    if (r.method != "REPORT" || r.body.find("sync-collection") == std::string::npos) return std::nullopt;
    ++pages;
    if (r.body.find("urn:page-2") != std::string::npos) {
      HttpRequest whole = r;
      whole.body = SyncCollectionBody("");
      return http_->Send(whole);
    }
    HttpResponse whole = http_->Send(r);
    Multistatus ms = ParseMultistatus(whole.body);
    std::string path = url.substr(server_->Origin().size());
    whole.body = "<D:multistatus xmlns:D=\"DAV:\"><D:response><D:href>" + ms.resources.at(0).href +
                 "</D:href><D:propstat><D:prop><D:getetag>" + XmlEscape(ms.resources[0].etag) +
                 "</D:getetag></D:prop><D:status>HTTP/1.1 200 OK</D:status></D:propstat></D:response>"
                 "<D:response><D:href>" + path + "</D:href><D:status>HTTP/1.1 507 Insufficient Storage</D:status>"
                 "</D:response><D:sync-token>urn:page-2</D:sync-token></D:multistatus>";
    return whole;
  };
  SyncOutcome out = Sync(a, url, BookKind::kContacts, &paging);
  ASSERT_TRUE(out.ok) << out.error;
  EXPECT_EQ(pages, 2);
  EXPECT_EQ(out.counts, SyncCounts{});
  EXPECT_EQ(a.records.size(), 3u);
}

TEST_F(SyncRadicale, AFirstSyncPairsEqualRecordsAndAFailureLosesNothing) {
  std::string url = server_->MakeAddressBook("first");
  Device a{{Contact("Гусев"), Contact("Уткин"), Contact("Лебедев")}, {}};
  ASSERT_TRUE(Sync(a, url).ok);
  // The same book copied to another computer without its side file.
  Device copy{{Contact("Гусев"), Contact("Уткин"), Contact("Лебедев"), Contact("Чайкин")}, {}};
  SyncOutcome out = Sync(copy, url);
  ASSERT_TRUE(out.ok) << out.error;
  EXPECT_EQ(out.counts.matched, 3);
  EXPECT_EQ(out.counts.sent, 1);
  EXPECT_EQ(copy.records.size(), 4u);
  EXPECT_EQ(OnServer(url).size(), 4u);

  // The network fails after a few requests: what was done is kept, the next sync ends it.
  for (std::string& r : copy.records) r = Contact(GetField(r, 0), "+7 0");
  copy.records.push_back(Contact("Соколов"));
  Interposer failing(*http_);
  failing.before = [&](const HttpRequest&) -> std::optional<HttpResponse> {
    if (failing.sent > 3) return HttpResponse{0, {}, "", "Соединение с сервером прервано"};
    return std::nullopt;
  };
  SyncOutcome broken = Sync(copy, url, BookKind::kContacts, &failing);
  EXPECT_FALSE(broken.ok);
  EXPECT_EQ(broken.error, "Соединение с сервером прервано");
  EXPECT_EQ(copy.records.size(), 5u);
  ASSERT_TRUE(Sync(copy, url).ok);
  ASSERT_TRUE(Sync(a, url).ok);
  EXPECT_EQ(Sorted(a.records), Sorted(copy.records));
  EXPECT_EQ(a.records.size(), 5u);
  EXPECT_EQ(OnServer(url).size(), 5u);
}

TEST_F(SyncRadicale, TasksTravelWholeBetweenTwoBooks) {
  using tasks::TaskField;
  using testing::TaskRecord;
  std::string url = server_->MakeTaskCalendar("tasks");
  ASSERT_FALSE(url.empty());
  Device a{{TaskRecord("Отчёт", {{TaskField::TaskFlag, "1"}, {TaskField::TaskOrder, "4"}, {TaskField::Date, "10/12/2026"}}),
            TaskRecord("Позвонить", {{TaskField::ReminderState, "1"}, {TaskField::ByDate, "1"}, {TaskField::Day, "15"},
                                     {TaskField::Month, "ALL"}, {TaskField::Year, "ALL"}, {TaskField::WithTime, "1"},
                                     {TaskField::Hour, "09"}, {TaskField::Minute, "30"}})},
           {}};
  Device b;
  ASSERT_TRUE(Sync(a, url, BookKind::kTasks).ok);
  ASSERT_TRUE(Sync(b, url, BookKind::kTasks).ok);
  EXPECT_EQ(Sorted(b.records), Sorted(a.records));
  // A calendar program renames one; b deletes the other.
  EditOnServer(HrefOf(url, "SUMMARY:Отчёт"), "SUMMARY:Отчёт", "SUMMARY:Годовой отчёт");
  b.records.erase(std::find_if(b.records.begin(), b.records.end(),
                               [](const std::string& r) { return GetField(r, 0) == "Позвонить"; }));
  ASSERT_TRUE(Sync(b, url, BookKind::kTasks).ok);
  ASSERT_TRUE(Sync(a, url, BookKind::kTasks).ok);
  ASSERT_EQ(a.records.size(), 1u);
  EXPECT_EQ(a.records, b.records);
  EXPECT_EQ(GetField(a.records[0], 0), "Годовой отчёт");
  EXPECT_EQ(GetField(a.records[0], 8), "4");
}

TEST_F(SyncRadicale, DiscoveryFindsTheAccountsCollections) {
  server_->MakeAddressBook("found");
  server_->MakeTaskCalendar("found-tasks");
  Discovery d = Discover(*http_, server_->Origin());
  ASSERT_TRUE(d.ok) << d.error;
  EXPECT_EQ(d.principal, server_->Origin() + "/anna/");
  bool book = false, calendar = false;
  for (const DavCollection& c : d.collections) {
    if (c.url == server_->Origin() + "/anna/found/") book = c.addressBook;
    if (c.url == server_->Origin() + "/anna/found-tasks/") calendar = c.calendar && c.todos;
  }
  EXPECT_TRUE(book);
  EXPECT_TRUE(calendar);
  // Nothing leaves for another address: a redirect or an href elsewhere is not followed.
  auto stranger = platform::MakeHttpClient({server_->Origin(), "anna", "x", 5});
  EXPECT_EQ(stranger->Send({"GET", "http://127.0.0.2:1/", {}, {}}).status, 0);
  EXPECT_FALSE(Discover(*http_, "ftp://example.org/").ok);
}

// Answers the sync cannot use stop it in words and change nothing: a malformed listing,
// a server error, a refused write.
TEST_F(SyncRadicale, BadAnswersStopTheSyncInWordsAndChangeNothing) {
  std::string url = server_->MakeAddressBook("bad");
  Device a{{Contact("Белов")}, {}};
  ASSERT_TRUE(Sync(a, url).ok);
  a.records.push_back(Contact("Чернов"));
  struct Case {
    const char* method;
    HttpResponse answer;
    const char* words;
  } cases[] = {
      {"REPORT", {207, {}, "<html>not xml", ""}, "multistatus"},
      {"REPORT", {503, {}, "", ""}, "(503)"},
      {"PUT", {507, {}, "", ""}, "(507)"},
  };
  for (const Case& c : cases) {
    Interposer bad(*http_);
    bad.before = [&](const HttpRequest& r) -> std::optional<HttpResponse> {
      if (r.method == c.method) return c.answer;
      return std::nullopt;
    };
    Device copy = a;
    SyncOutcome out = Sync(copy, url, BookKind::kContacts, &bad);
    EXPECT_FALSE(out.ok) << c.words;
    EXPECT_NE(out.error.find(c.words), std::string::npos) << out.error;
    EXPECT_EQ(copy.records, a.records);
    EXPECT_EQ(copy.state.token, a.state.token);
  }
  ASSERT_TRUE(Sync(a, url).ok);
  EXPECT_EQ(OnServer(url).size(), 2u);
}

// The command line: a book file and its side file, the password from the environment,
// what happened in the output; a wrong password fails in words and changes nothing.
TEST_F(SyncRadicale, TheCommandLineSyncsBookFilesAndSaysWhatItDid) {
  std::string url = server_->MakeAddressBook("cli");
  char folder[] = "/tmp/velmoria-sync-cli-XXXXXX";
  ASSERT_NE(mkdtemp(folder), nullptr);
  const std::string dir = folder;
  std::ofstream(dir + "/a.dbc", std::ios::binary) << Contact("Иванов", "+7 1") << "\r\n" << Contact("Петров") << "\r\n";
  auto run = [&](const std::string& book, const std::string& password) {
    std::string command = "VELMORIA_SYNC_PASSWORD='" + password + "' " VELMORIA_CLI_PATH " sync " + dir + "/" + book +
                          " " + url + " --user anna 2>&1";
    std::string out;
    FILE* p = popen(command.c_str(), "r");
    char buf[256];
    while (p && std::fgets(buf, sizeof buf, p)) out += buf;
    int rc = p ? pclose(p) : -1;
    return std::make_pair(rc, out);
  };
  const std::string password = platform::Cp1251ToUtf8(RadicaleServer::kPassword);
  auto [rc, out] = run("a.dbc", password);
  EXPECT_EQ(rc, 0) << out;
  EXPECT_NE(out.find("sent 2\n"), std::string::npos) << out;
  auto [rc2, out2] = run("b.dbc", password);
  EXPECT_EQ(rc2, 0) << out2;
  EXPECT_NE(out2.find("received 2\n"), std::string::npos) << out2;
  std::stringstream b;
  b << std::ifstream(dir + "/b.dbc", std::ios::binary).rdbuf();
  // Records from the server come in the server's order.
  const std::string one = Contact("Иванов", "+7 1") + "\r\n", two = Contact("Петров") + "\r\n";
  EXPECT_TRUE(b.str() == one + two || b.str() == two + one) << b.str();
  std::stringstream side;
  side << std::ifstream(dir + "/b.dbc.sync", std::ios::binary).rdbuf();
  EXPECT_EQ(side.str().rfind("VELMORIA-SYNC 1\r\ncollection\t" + url, 0), 0u);
  auto [rc3, out3] = run("b.dbc", "wrong");
  EXPECT_EQ(rc3 >> 8, 1);
  EXPECT_NE(out3.find("(401)"), std::string::npos) << out3;
  std::filesystem::remove_all(dir);
}

}  // namespace
}  // namespace vm::sync
