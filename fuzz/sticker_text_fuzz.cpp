// The sticker text composed from arbitrary records on arbitrary days. Input: day, month,
// options, then one record a line: a line with "|" is taken as it is, any other is split
// at tabs into status, date, deadline flag and headline. The text never has a line
// wider than the sticker, shows every marked record, and wrapping only breaks lines.
#include <array>
#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>
#include <vector>

#include "common/record_file.h"
#include "fuzz_support.h"
#include "tasks/sticker.h"
#include "tasks/task_record.h"

using namespace vm::tasks;

using vm::fuzz::Report;

namespace {

// The record line the fields give, built in one go: what SetTaskField of each gives.
std::string Record(std::string_view line) {
  if (line.find('|') != std::string_view::npos) return std::string(line);
  std::string_view values[kTaskFieldCount];
  const TaskField fields[] = {TaskField::Status, TaskField::Date, TaskField::DeadlineFlag, TaskField::Headline};
  size_t start = 0;
  for (TaskField field : fields) {
    size_t tab = line.find('\t', start);
    values[static_cast<int>(field)] = line.substr(start, tab - start);
    if (tab == std::string_view::npos) break;
    start = tab + 1;
  }
  std::string record;
  record.reserve(line.size() + kTaskSeparators);
  int written = 0;  // separators so far
  // Only these four fields are ever set: they are written in the order they stand.
  for (TaskField field : {TaskField::Headline, TaskField::Date, TaskField::DeadlineFlag, TaskField::Status}) {
    const int n = static_cast<int>(field);
    if (values[n].empty()) continue;
    record.append(static_cast<size_t>(n - written), '|');
    written = n;
    // The line has no "|" and no line break: FieldText would only drop "#".
    if (values[n].find('#') == std::string_view::npos)
      record += values[n];
    else
      record += vm::FieldText(values[n]);
  }
  record.append(static_cast<size_t>(kTaskSeparators - written), '|');
  return record;
}

// Each CR LF-separated line of text no wider than width.
bool Fits(std::string_view text, size_t width) {
  size_t start = 0;
  for (;;) {
    size_t end = text.find("\r\n", start);
    if ((end == std::string_view::npos ? text.size() : end) - start > width) return false;
    if (end == std::string_view::npos) return true;
    start = end + 2;
  }
}

// The text without its blanks and line breaks, into `ink` (its length returned) (kept from input to input, so
// that it costs no allocation). Eight bytes a step: every byte is written, and the end
// moves past those that are not blank, looked up in a table.
size_t Ink(std::string_view text, std::string& ink) {
  static const auto blank = [] {
    std::array<unsigned char, 256> t{};
    t[' '] = t['\r'] = t['\n'] = 1;
    return t;
  }();
  if (ink.size() < text.size() + 8) ink.resize(text.size() + 8);
  char* out = ink.data();
  size_t kept = 0;
  const char* in = text.data();
  const char* const end = in + text.size();
  auto one = [&](char c) {
    out[kept] = c;
    kept += 1 - blank[static_cast<unsigned char>(c)];
  };
  for (; end - in >= 8; in += 8) {
    one(in[0]); one(in[1]); one(in[2]); one(in[3]);
    one(in[4]); one(in[5]); one(in[6]); one(in[7]);
  }
  for (; in < end; ++in) one(*in);
  return kept;
}

// The two texts hold the same characters once blanks and line breaks are left out.
bool SameInk(std::string_view a, std::string_view b) {
  static std::string inkA, inkB;
  const size_t n = Ink(a, inkA);
  return Ink(b, inkB) == n && std::memcmp(inkA.data(), inkB.data(), n) == 0;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 3) return 0;
  const vm::dates::Date today{1 + data[0] % 28, 1 + data[1] % 12, 2024};
  const bool ahead = data[2] & 1;
  const int width = 1 + (data[2] >> 1) % 80;
  std::string bytes(reinterpret_cast<const char*>(data) + 3, size - 3);
  TaskList records;
  vm::TextLines lines(bytes);
  for (std::string_view line; lines.Next(line);) records.push_back(Record(line));

  std::string text = StickerText(records, today, ahead);
  if (!Fits(text, kStickerLineWidth)) Report(bytes, "a sticker line wider than the sticker");
  if (!text.empty() && text.size() < static_cast<size_t>(kStickerLineWidth))
    Report(bytes, "a short sticker text not padded");
  const bool marked = AnyStickerRecord(records);
  if (marked && text.empty()) Report(bytes, "marked records but no sticker text");
  if (!ahead && !marked && !text.empty()) Report(bytes, "a sticker text of nothing marked");
  if (StickerCode(text) != (text.empty() ? kStickerEmptyCode : kStickerShowCode)) Report(bytes, "wrong sticker code");

  std::string wrapped = WrapStickerLine(bytes, width);
  if (bytes.find('\n') == std::string::npos && !Fits(wrapped, static_cast<size_t>(width)))
    Report(bytes, "a wrapped line wider than asked");
  if (!SameInk(wrapped, bytes)) Report(bytes, "wrapping changed the text");
  return 0;
}
