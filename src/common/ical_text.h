// The content lines that vCard (2.1, 3.0, 4.0) and iCalendar files are made of:
// "group.NAME;PARAM=value,value;PARAM="quoted":value", folded over several physical lines.
// Reading unfolds (a line break followed by a space or a tab continues the line), joins
// the soft line breaks of quoted-printable values (vCard 2.1), takes the bare parameters
// of 2.1 ("TEL;WORK;VOICE:") as TYPE values, and decodes a value's quoted-printable and
// CHARSET into UTF-8. Writing folds at 75 octets without cutting a UTF-8 character and
// escapes text values. Values are UTF-8 here; the books' Windows-1251 text is converted
// by the two counted helpers at the end, so a character the books cannot hold is reported
// rather than lost silently. Nothing here knows a property's meaning.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace vm::ical {

struct Param {
  std::string name;                 // upper case
  std::vector<std::string> values;  // as written, quotes and RFC 6868 "^" escapes undone
};

struct ContentLine {
  std::string group;  // "item1" of "item1.EMAIL"; empty when there is none
  std::string name;   // upper case
  std::vector<Param> params;
  std::string value;  // raw: unfolded, soft breaks joined, still escaped and encoded
  size_t line = 0;    // the physical line (from 1) where it starts

  // The parameter by name (any case); nullptr when absent.
  const Param* Find(std::string_view paramName) const;
  // The parameter has `value` among its values, without regard to ASCII case.
  bool Has(std::string_view paramName, std::string_view value) const;
  // The value of a single-valued parameter, empty when absent.
  std::string ParamText(std::string_view paramName) const;
};

// Every content line of a file, in order. Lines without a ":" or without a name are
// left out; the caller counts nothing for them (they carry no property).
std::vector<ContentLine> ParseContentLines(std::string_view bytes);

// The value as UTF-8 bytes: quoted-printable undone, then the CHARSET applied
// (windows-1251, koi8-r, iso-8859-5, ibm866, utf-8). Without a charset, or with one not
// known, a value that is valid UTF-8 is taken as UTF-8 and any other as Windows-1251,
// which is what Russian phones wrote into 2.1 files.
std::string DecodedValue(const ContentLine& line);
// The value is binary (ENCODING=B or BASE64, or a data: URI): a photo, a logo, a key.
bool IsBinaryValue(const ContentLine& line);

// Text escapes: "\\" "\;" "\," and "\n" / "\N" for a line break. Unescaping turns "\n"
// into LF and keeps any other escaped character as itself.
std::string EscapeText(std::string_view utf8);
std::string UnescapeText(std::string_view value);
// Splits a structured value at every `separator` not escaped, then unescapes each part.
std::vector<std::string> SplitText(std::string_view value, char separator);

// A parameter value as written: quoted when it holds ":" ";" or ",", with RFC 6868
// escapes for quotes and line breaks.
std::string ParamValueText(std::string_view value);
// One content line for a file: folded so that no physical line exceeds 75 octets (a
// continuation's leading space counted), never inside a UTF-8 character, CR LF after
// each physical line.
std::string FoldLine(std::string_view line);

// ASCII case helpers for names.
std::string Upper(std::string_view text);
bool SameAscii(std::string_view a, std::string_view b);

bool IsValidUtf8(std::string_view bytes);
// UTF-8 to Windows-1251: a character the code page lacks (or a broken sequence) becomes
// "?" and is counted in `replaced`.
std::string Utf8ToCp1251Counted(std::string_view utf8, int& replaced);
// Windows-1251 to UTF-8, with the books' line breaks (CR LF or a lone CR) as LF.
std::string Cp1251ToUtf8Text(std::string_view cp1251);
// UTF-8 text back to the books' form: every line break (LF, CR LF, CR) becomes CR LF.
std::string Utf8ToCp1251Text(std::string_view utf8, int& replaced);

}  // namespace vm::ical
