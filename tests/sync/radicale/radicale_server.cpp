#include "sync/radicale/radicale_server.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <signal.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <thread>

#include "platform/platform.h"

namespace vm::testing {

namespace {

int FreePort() {
  int s = socket(AF_INET, SOCK_STREAM, 0);
  sockaddr_in a{};
  a.sin_family = AF_INET;
  a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  a.sin_port = 0;
  socklen_t len = sizeof a;
  int port = 0;
  if (bind(s, reinterpret_cast<sockaddr*>(&a), sizeof a) == 0 &&
      getsockname(s, reinterpret_cast<sockaddr*>(&a), &len) == 0)
    port = ntohs(a.sin_port);
  close(s);
  return port;
}

bool Answers(int port) {
  int s = socket(AF_INET, SOCK_STREAM, 0);
  sockaddr_in a{};
  a.sin_family = AF_INET;
  a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  a.sin_port = htons(static_cast<uint16_t>(port));
  bool ok = connect(s, reinterpret_cast<sockaddr*>(&a), sizeof a) == 0;
  close(s);
  return ok;
}

bool HaveRadicale() {
  return std::system("/usr/bin/python3 -c 'import radicale' >/dev/null 2>&1") == 0;
}

}  // namespace

bool RadicaleServer::Start(std::string& error, bool& missing) {
  missing = !HaveRadicale();
  if (missing) {
    error = "radicale is not installed (apt-get install radicale; scripts/deps/sync.txt)";
    return false;
  }
  char pattern[] = "/tmp/velmoria-radicale-XXXXXX";
  if (!mkdtemp(pattern)) {
    error = "no scratch folder";
    return false;
  }
  folder_ = pattern;
  port_ = FreePort();
  // The users file holds the password as the client sends it: UTF-8.
  std::ofstream(folder_ + "/users") << kUser << ":" << platform::Cp1251ToUtf8(kPassword) << "\n";
  std::ofstream(folder_ + "/config") << "[server]\nhosts = 127.0.0.1:" << port_
                                     << "\n[auth]\ntype = htpasswd\nhtpasswd_filename = " << folder_
                                     << "/users\nhtpasswd_encryption = plain\ndelay = 0\n"
                                     << "[rights]\ntype = owner_only\n"
                                     << "[storage]\nfilesystem_folder = " << folder_ << "/collections\n"
                                     << "[logging]\nlevel = warning\n";
  pid_ = fork();
  if (pid_ == 0) {
    std::string log = folder_ + "/log";
    std::freopen(log.c_str(), "w", stdout);
    std::freopen(log.c_str(), "a", stderr);
    std::string config = folder_ + "/config";
    execl("/usr/bin/python3", "python3", "-m", "radicale", "--config", config.c_str(), static_cast<char*>(nullptr));
    _exit(127);
  }
  for (int i = 0; i < 300; ++i) {
    if (Answers(port_)) return true;
    int status = 0;
    if (waitpid(pid_, &status, WNOHANG) == pid_) {
      pid_ = -1;
      error = "radicale ended at start; see its log";
      return false;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
  }
  error = "radicale did not answer within 30 seconds";
  return false;
}

RadicaleServer::~RadicaleServer() {
  if (pid_ > 0) {
    kill(pid_, SIGTERM);
    int status = 0;
    waitpid(pid_, &status, 0);
  }
  if (!folder_.empty()) {
    std::error_code ignored;
    std::filesystem::remove_all(folder_, ignored);
  }
}

std::string RadicaleServer::Origin() const {
  return "http://127.0.0.1:" + std::to_string(port_);
}

std::unique_ptr<platform::HttpClient> RadicaleServer::Client() const {
  return platform::MakeHttpClient({Origin(), kUser, platform::Cp1251ToUtf8(kPassword), 60});
}

std::string RadicaleServer::MakeAddressBook(const std::string& name) {
  auto http = Client();
  // The principal's home appears on the user's first request.
  http->Send({"PROPFIND", Origin() + "/" + kUser + "/", {{"Depth", "0"}}, {}});
  std::string url = Origin() + "/" + kUser + "/" + name + "/";
  platform::HttpResponse r = http->Send(
      {"MKCOL", url, {{"Content-Type", "application/xml"}},
       "<?xml version=\"1.0\"?><D:mkcol xmlns:D=\"DAV:\" xmlns:A=\"urn:ietf:params:xml:ns:carddav\"><D:set><D:prop>"
       "<D:resourcetype><D:collection/><A:addressbook/></D:resourcetype></D:prop></D:set></D:mkcol>"});
  return r.status == 201 ? url : std::string();
}

std::string RadicaleServer::MakeTaskCalendar(const std::string& name) {
  auto http = Client();
  http->Send({"PROPFIND", Origin() + "/" + kUser + "/", {{"Depth", "0"}}, {}});
  std::string url = Origin() + "/" + kUser + "/" + name + "/";
  platform::HttpResponse r = http->Send(
      {"MKCALENDAR", url, {{"Content-Type", "application/xml"}},
       "<?xml version=\"1.0\"?><C:mkcalendar xmlns:D=\"DAV:\" xmlns:C=\"urn:ietf:params:xml:ns:caldav\"><D:set><D:prop>"
       "<C:supported-calendar-component-set><C:comp name=\"VTODO\"/></C:supported-calendar-component-set>"
       "</D:prop></D:set></C:mkcalendar>"});
  return r.status == 201 ? url : std::string();
}

}  // namespace vm::testing
