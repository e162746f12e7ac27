#include "common/recode.h"

#include <iterator>

#include "common/text_util.h"
#include "platform/platform.h"

namespace vm {

const char* const kToUnicodeFailed = "Не удалось конвертировать в unicode!";
const char* const kFromUnicodeFailed = "Не удалось конвертировать из unicode!";

namespace {

constexpr RecodeCommand kCommands[] = {
    {139, "Win->Koi", platform::kCp1251, platform::kKoi8R},
    {138, "Win->Dos", platform::kCp1251, kOemPage},
    {155, "Win->Iso", platform::kCp1251, platform::kIso8859_5},
    {142, "Koi->Win", platform::kKoi8R, platform::kCp1251},
    {156, "Dos->Win", kOemPage, platform::kCp1251},
    {157, "Iso->Win", platform::kIso8859_5, platform::kCp1251},
};

struct Letter {
  const char* rus;
  const char* lat;
};

// The two tables in their order of application; the first row that matches wins, so
// "ё" always becomes "yo" and groups ("ch", "sh") go before the single letters.
constexpr Letter kLower[] = {
    {"э", "e'"}, {"ч", "ch"}, {"ш", "sh"}, {"ё", "yo"}, {"ё", "jo"}, {"ж", "zh"}, {"ю", "yu"}, {"ю", "ju"},
    {"я", "ya"}, {"я", "ja"}, {"а", "a"},  {"б", "b"},  {"в", "v"},  {"г", "g"},  {"д", "d"},  {"е", "e"},
    {"з", "z"},  {"и", "i"},  {"й", "j"},  {"к", "k"},  {"л", "l"},  {"м", "m"},  {"н", "n"},  {"о", "o"},
    {"п", "p"},  {"р", "r"},  {"с", "s"},  {"т", "t"},  {"у", "u"},  {"ф", "f"},  {"х", "h"},  {"ц", "c"},
    {"щ", "w"},  {"ъ", "~"},  {"ы", "y"},  {"ь", "'"},
};
constexpr Letter kUpper[] = {
    {"Э", "E'"}, {"Ч", "CH"}, {"Ш", "SH"}, {"Ё", "YO"}, {"Ё", "JO"}, {"Ж", "ZH"}, {"Ю", "YU"}, {"Ю", "JU"},
    {"Я", "YA"}, {"Я", "JA"}, {"А", "A"},  {"Б", "B"},  {"В", "V"},  {"Г", "G"},  {"Д", "D"},  {"Е", "E"},
    {"З", "Z"},  {"И", "I"},  {"Й", "J"},  {"К", "K"},  {"Л", "L"},  {"М", "M"},  {"Н", "N"},  {"О", "O"},
    {"П", "P"},  {"Р", "R"},  {"С", "S"},  {"Т", "T"},  {"У", "U"},  {"Ф", "F"},  {"Х", "H"},  {"Ц", "C"},
    {"Щ", "W"},  {"Ъ", "~"},  {"Ы", "Y"},  {"Ь", "'"},
};
static_assert(std::size(kLower) == 36 && std::size(kUpper) == 36);


}  // namespace

unsigned ResolveCodePage(unsigned page) { return page == kOemPage ? platform::OemCodePage() : page; }

std::span<const RecodeCommand> RecodeCommands() { return kCommands; }

const RecodeCommand* FindRecodeCommand(int id) {
  for (const RecodeCommand& c : kCommands)
    if (c.id == id) return &c;
  return nullptr;
}

bool RecodeInPlace(std::string& text, unsigned from, unsigned to) {
  if (text.empty()) return true;
  std::u16string wide;
  std::string out;
  if (!platform::ToUtf16(ResolveCodePage(from), text, wide) ||
      !platform::FromUtf16(ResolveCodePage(to), wide, out, '#'))
    return false;
  text.swap(out);
  return true;
}

RecodeOutcome Utf8ToWindows(std::string_view text) {
  return RecodeText(text, platform::kUtf8, platform::kCp1251);
}

RecodeOutcome RecodeText(std::string_view text, unsigned from, unsigned to) {
  RecodeOutcome r;
  r.text.assign(text);
  if (ResolveCodePage(from) != platform::kUtf8) {
    r.ok = RecodeInPlace(r.text, from, to);
    return r;
  }
  if (text.empty()) return r;
  std::u16string wide;
  if (!platform::ToUtf16(platform::kUtf8, text, wide, true)) return {false, r.text, kToUnicodeFailed};
  std::string out;
  if (!platform::FromUtf16(ResolveCodePage(to), wide, out)) return {false, r.text, kFromUnicodeFailed};
  r.text.swap(out);
  return r;
}

std::string RepairCharsetTag(std::string_view rtf) {
  std::string s(rtf);
  ReplaceAll(s, "fcharset0", "fcharset204");
  return s;
}

std::string LatinToRussian(std::string_view text) {
  std::string s(text);
  if (s.empty()) return s;
  // Before the lower-case rows, whose "'" would take the apostrophe of "E'".
  ReplaceAll(s, "E'", "Э");
  for (const Letter& l : kLower) ReplaceAll(s, l.lat, l.rus);
  for (const Letter& l : kUpper) ReplaceAll(s, l.lat, l.rus);
  return s;
}

std::string RussianToLatin(std::string_view text) {
  std::string s(text);
  for (const Letter& l : kLower) ReplaceAll(s, l.rus, l.lat);
  for (const Letter& l : kUpper) ReplaceAll(s, l.rus, l.lat);
  return s;
}

}  // namespace vm
