// A real CardDAV/CalDAV server for the sync's tests: Debian's radicale, started on the
// loopback address on a free port with a throw-away storage folder and a users file made
// here, stopped (and its folder removed) at the end. Nothing listens beyond 127.0.0.1.
#pragma once

#include <memory>
#include <string>

#include "platform/http.h"

namespace vm::testing {

class RadicaleServer {
 public:
  static constexpr const char* kUser = "anna";
  static constexpr const char* kPassword = "пароль-1";  // Windows-1251 bytes in the test build

  // Starts the server; false with `error` when radicale is not installed (`missing`) or
  // did not answer within 30 seconds.
  bool Start(std::string& error, bool& missing);
  ~RadicaleServer();

  std::string Origin() const;  // "http://127.0.0.1:PORT"
  std::unique_ptr<platform::HttpClient> Client() const;
  // Makes an address book or a VTODO calendar under the user's home; its URL.
  std::string MakeAddressBook(const std::string& name);
  std::string MakeTaskCalendar(const std::string& name);

 private:
  int pid_ = -1;
  int port_ = 0;
  std::string folder_;
};

}  // namespace vm::testing
