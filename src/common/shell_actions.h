// What the books hand to programs outside: web and mail addresses and files to the shell,
// texts to the text editor, numbers to the telephony service. This header holds the
// decisions (what is passed, how the browser fallback is built, which text a failure
// shows, what counts as a link, when telephony is tried); common/win/shell_actions_win.h
// makes the calls.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace vm {

inline constexpr int kShowNormal = 1;  // the shell's "normal window" show mode

// ---- the ".htm" browser fallback ---------------------------------------------------------
// The registered command cut at the first "\"%1\"" (else at the first "%1", else kept
// whole), then one space and the target. A target holding a blank is quoted, or a
// path under "Program Files" would reach the browser as several arguments.
template <typename Char>
std::basic_string<Char> BrowserFallbackCommand(std::basic_string_view<Char> registered,
                                               std::basic_string_view<Char> target) {
  const Char quoted[] = {Char('"'), Char('%'), Char('1'), Char('"')};
  size_t cut = registered.find(std::basic_string_view<Char>(quoted, 4));
  if (cut == registered.npos) cut = registered.find(std::basic_string_view<Char>(quoted + 1, 2));
  std::basic_string<Char> command(registered.substr(0, cut));
  command.push_back(Char(' '));
  bool blank = target.find(Char(' ')) != target.npos || target.find(Char('\t')) != target.npos;
  bool wrapped = target.size() >= 2 && target.front() == Char('"') && target.back() == Char('"');
  if (blank && !wrapped) command.push_back(Char('"'));
  command.append(target);
  if (blank && !wrapped) command.push_back(Char('"'));
  return command;
}

// ---- open failures -------------------------------------------------------------------------
// The text for a shell result code (32 or less), or "Unknown Error (%d) occurred.".
std::string OpenFailureText(int code);
// "Unable to open hyperlink:\n\n" + OpenFailureText(code).
std::string OpenFailureMessage(int code);

// ---- links ---------------------------------------------------------------------------------
// A text is a link when it does not start with a blank (tab, LF, CR, space) and begins,
// without regard to case, with "http://", "https://", "mailto:", "file:" or "www.".
bool IsLink(std::string_view text);

// ---- what the pages pass -------------------------------------------------------------------
enum class CardAction { kPhone, kMobile, kFax, kMail, kWeb };
enum class CardBook { kContacts, kFirms };

struct ShellRequest {
  enum Kind { kNothing, kDial, kOpen } kind = kNothing;
  std::string number;                  // kDial
  std::optional<std::string> party1;   // kDial: the application name slot; none for data
  std::optional<std::string> party2;   // kDial: the called party
  std::string target;                  // kOpen, shown in the normal window state
};

// The field of a contacts or firms record an action uses, or -1 (firms have no mobile).
int CardActionField(CardBook book, CardAction action);
// A contacts or firms action on the selected record (nullptr when none is selected):
// dial (field, name, second field), "mailto:" + the mail field, or the web field as it
// stands. An empty field, or one the line is too short to hold, asks for nothing.
ShellRequest PlanCardAction(CardBook book, CardAction action, const std::string* record);
// A data-book action on the field of the column the user chose: dial with no parties, mail and
// web as for cards. kPhone, kMobile and kFax all dial.
ShellRequest PlanDataAction(CardAction action, const std::string* record, int field);

// ---- telephony -----------------------------------------------------------------------------
inline constexpr std::int32_t kTelephonyMissing = static_cast<std::int32_t>(0x80000049);
inline constexpr std::int32_t kTelephonyGaveUp = -16;

// The library and its one function, as the platform reaches them.
class TelephonyLink {
 public:
  virtual ~TelephonyLink() = default;
  virtual bool LoadService() = 0;  // loads "TAPI32.DLL"
  virtual bool FindCall() = 0;     // finds "tapiRequestMakeCallA" in it
  virtual std::int32_t Call(const std::string& number, const std::optional<std::string>& party1,
                            const std::optional<std::string>& party2) = 0;
};

// Tries the library once per process: when it is missing every dial answers
// kTelephonyMissing at once; when its function is missing the first dial answers
// kTelephonyMissing and every later one kTelephonyGaveUp. An empty number touches
// nothing and answers 0.
class Dialer {
 public:
  std::int32_t Dial(TelephonyLink& link, const std::string& number, const std::optional<std::string>& party1,
                    const std::optional<std::string>& party2);

 private:
  enum class State { kUntried, kNoLibrary, kNoFunction, kReady } state_ = State::kUntried;
};

}  // namespace vm
