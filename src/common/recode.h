// Recoding a note's text between the Cyrillic code pages, the rich-text charset repair,
// and transliteration between Latin and Russian letters. Texts are cp1251 bytes (the
// recodings take whatever bytes the note holds). Code pages go through the platform's
// own tables; the program carries none of its own.
#pragma once

#include <span>
#include <string>
#include <string_view>

namespace vm {

// A code page by its standard number; kOemPage (the number Windows itself uses for it)
// stands for the running system's OEM page.
inline constexpr unsigned kOemPage = 1;
unsigned ResolveCodePage(unsigned page);

// The notebook's recoding commands between 8-bit pages.
struct RecodeCommand {
  int id;
  const char* text;  // menu text
  unsigned from, to;
};
// The six 8-bit commands in menu order.
std::span<const RecodeCommand> RecodeCommands();
const RecodeCommand* FindRecodeCommand(int id);  // nullptr for another id
inline constexpr int kUtf8ToWinCommand = 33221;      // "UTF8->Win"
inline constexpr int kCharsetRepairCommand = 33220;  // "Кирилица"
inline constexpr int kLatToRusCommand = 159;         // "Lat->Rusi"
inline constexpr int kRusToLatCommand = 160;         // "Rus->Lat"

// Decodes from one 8-bit page and encodes into another, "#" standing for characters the
// target lacks, so each byte stays one byte. An empty text is left as it is; a failed
// step leaves the text unchanged and returns false (no message is owed).
bool RecodeInPlace(std::string& text, unsigned from, unsigned to);

extern const char* const kToUnicodeFailed;    // "Не удалось конвертировать в unicode!"
extern const char* const kFromUnicodeFailed;  // "Не удалось конвертировать из unicode!"

struct RecodeOutcome {
  bool ok = true;
  std::string text;     // the converted text; on failure the text as it was
  std::string message;  // for the user, on a failure that owes one
};

// "UTF8->Win": strict UTF-8 decoding (a text that is not UTF-8, say one already in
// cp1251, fails instead of turning into question marks), then cp1251 with the
// encoder's default for what it lacks. On failure the text is kept.
RecodeOutcome Utf8ToWindows(std::string_view text);

// Any of the pages to any other: UTF-8 sources follow Utf8ToWindows' rules, 8-bit
// sources those of RecodeInPlace (ok false without a message on failure).
RecodeOutcome RecodeText(std::string_view text, unsigned from, unsigned to);

// "Кирилица": every "fcharset0" of a rich text becomes "fcharset204".
std::string RepairCharsetTag(std::string_view rtf);

// Transliteration by the two tables, lower-case pair first. Latin to Russian first turns
// "E'" into "Э"; groups go before single letters because they stand first in the table.
std::string LatinToRussian(std::string_view text);
std::string RussianToLatin(std::string_view text);

}  // namespace vm
