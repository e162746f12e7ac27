#include "tasks/sticker.h"

#include <algorithm>
#include <bit>
#include <cstring>
#include <cstdint>
#include <cstdlib>
#include <cstdio>
#include <utility>
#include <vector>

#include "common/byte_words.h"
#include "tasks/task_views.h"

namespace vm::tasks {

const char* const kStickerTitle = "Alarm Velmoria";
const char* const kStickerTooLong = "Превышена длина строки стикера!";
const char* const kStickerNotCreated = "Стикер не создан!";

namespace {

using F = TaskField;

std::string OneLine(std::string text) {
  for (char& c : text)
    if (c == '\r' || c == '\n') c = ' ';
  return text;
}

void AppendWrapped(std::string& out, const std::string& line) {
  if (!out.empty()) out += "\r\n";
  out += WrapStickerLine(line);
}

// The place of the last blank among the first `count` bytes of `text`, npos when none;
// eight bytes are tested at a time, from the end.
size_t LastBlank(const char* text, size_t count) {
  while (count > 0) {
    const size_t take = count < 8 ? count : 8;
    uint64_t blanks = BytesEqual(LoadWord(text + count - take, take), ' ');
    if (blanks != 0) return count - take + static_cast<size_t>(63 - __builtin_clzll(blanks)) / 8;
    count -= take;
  }
  return std::string_view::npos;
}

}  // namespace

std::string WrapStickerLine(std::string_view line, int width) {
  // A width below one character would never shorten what is left.
  const size_t w = static_cast<size_t>(std::max(width, 1));
  std::string out;
  out.reserve(line.size() + line.size() / w * 2);
  size_t from = 0;
  while (line.size() - from > w) {
    // The last blank before the width-th character; a line without one breaks there.
    std::string_view rest = line.substr(from);
    size_t cut = LastBlank(rest.data(), w);
    if (cut == std::string_view::npos || cut == 0) {
      out.append(rest.substr(0, w)).append("\r\n");
      from += w;
    } else {
      out.append(rest.substr(0, cut)).append("\r\n");
      from += cut + 1;
    }
  }
  return out.append(line.substr(from));
}

std::string StickerText(const TaskList& records, const dates::Date& today, bool deadlinesAhead) {
  std::string partA, partB;
  int number = 0;
  std::vector<std::pair<int, size_t>> deadlines;
  int todaySerial = dates::DaySerial(today);
  for (size_t i = 0; i < records.size(); ++i) {
    const TaskFieldReader fields(records[i]);
    std::string buffer;
    const std::string_view status = fields.View(F::Status, buffer);
    bool marked = HasStickerMark(status);
    if (!fields.FlagOn(F::DeadlineFlag)) {
      if (!marked) continue;
      char buf[32];
      std::snprintf(buf, sizeof buf, "   %i. ", ++number);
      AppendWrapped(partA, buf + OneLine(fields.Get(F::Headline)));
      continue;
    }
    std::string dateBuffer;
    auto date = ParseTaskDate(fields.View(F::Date, dateBuffer));
    int serial = date ? dates::DaySerial(*date) : 0;
    bool near = deadlinesAhead && date && serial >= todaySerial && serial <= todaySerial + 3 && status != "1" &&
                status != "2";
    if (marked || near) deadlines.push_back({serial, i});
  }
  std::stable_sort(deadlines.begin(), deadlines.end(),
                   [](const auto& a, const auto& b) { return a.first < b.first; });
  for (const auto& [serial, i] : deadlines) {
    const TaskFieldReader fields(records[i]);
    AppendWrapped(partB, "   " + fields.Get(F::Date) + " " + OneLine(fields.Get(F::Headline)));
  }
  std::string text = partA;
  if (!partB.empty()) text += text.empty() ? partB : "\r\n" + partB;
  if (!text.empty() && text.size() < static_cast<size_t>(kStickerLineWidth)) text.resize(kStickerLineWidth, ' ');
  return text;
}

bool StickerTextFits(std::string_view text) { return text.size() < kStickerBufferSize; }
int StickerCode(std::string_view text) { return text.empty() ? kStickerEmptyCode : kStickerShowCode; }

bool AnyStickerRecord(const TaskList& records) {
  std::string buffer;
  for (const std::string& line : records)
    if (HasStickerMark(TaskFieldReader(line).View(F::Status, buffer))) return true;
  return false;
}

// ---- "ALARM" --------------------------------------------------------------------------------

namespace {
const char* const kAlarm = "ALARM";

bool ReadColour(const CAppUtil& app, const char* prefix, uint32_t& colour) {
  std::string p(prefix);
  std::string r = app.GetSetting(kAlarm, p + "R"), g = app.GetSetting(kAlarm, p + "G"),
              b = app.GetSetting(kAlarm, p + "B");
  if (r.empty() || g.empty() || b.empty()) return false;
  colour = Rgb(ReadNumber(r) & 0xFF, ReadNumber(g) & 0xFF, ReadNumber(b) & 0xFF);
  return true;
}

int NumberOr(const CAppUtil& app, const char* key, int fallback) {
  std::string v = app.GetSetting(kAlarm, key);
  return v.empty() ? fallback : ReadNumber(v);
}
}  // namespace

StickerLook ReadStickerLook(const CAppUtil& app) {
  StickerLook look;
  look.customBack = ReadColour(app, "BK", look.back);
  ReadColour(app, "TK", look.text);
  look.height = NumberOr(app, "HEIGHT", look.height);
  look.width = NumberOr(app, "WIDTH", look.width);
  look.weight = NumberOr(app, "WEIGHT", look.weight);
  look.italic = NumberOr(app, "INTLIC", 0) != 0;
  look.underline = NumberOr(app, "UNDERLINE", 0) != 0;
  look.strikeOut = NumberOr(app, "STRIKEOUT", 0) != 0;
  std::string face = app.GetSetting(kAlarm, "FACENAME");
  if (!face.empty()) look.faceName = face;
  return look;
}

void WriteStickerColour(const CAppUtil& app, const char* prefix, uint32_t colour) {
  char hex[16];
  std::snprintf(hex, sizeof hex, "%.6X", static_cast<unsigned>(colour & 0xFFFFFF));
  // The pairs of "%.6X" of 0x00BBGGRR are blue, green, red.
  auto pair = [&](int at) { return NumberText(static_cast<int>(std::strtol(std::string(hex + at, 2).c_str(), nullptr, 16))); };
  std::string p(prefix);
  app.PutSetting(kAlarm, p + "B", pair(0));
  app.PutSetting(kAlarm, p + "G", pair(2));
  app.PutSetting(kAlarm, p + "R", pair(4));
}

void ClearStickerColours(const CAppUtil& app) {
  for (const char* key : {"BKR", "BKG", "BKB", "TKR", "TKG", "TKB"}) app.PutSetting(kAlarm, key, "");
}

void WriteStickerFont(const CAppUtil& app, const StickerLook& look) {
  app.PutNumber(kAlarm, "HEIGHT", look.height);
  app.PutNumber(kAlarm, "WIDTH", look.width);
  app.PutNumber(kAlarm, "WEIGHT", look.weight);
  app.PutNumber(kAlarm, "INTLIC", look.italic ? 1 : 0);
  app.PutNumber(kAlarm, "UNDERLINE", look.underline ? 1 : 0);
  app.PutNumber(kAlarm, "STRIKEOUT", look.strikeOut ? 1 : 0);
  app.PutSetting(kAlarm, "FACENAME", look.faceName);
  WriteStickerColour(app, "TK", look.text);
}

StickerPosition ClampStickerPosition(StickerPosition p, int screenWidth, int screenHeight) {
  if (p.top < 1 || p.top >= screenHeight - 50) p.top = 0;
  if (p.left < 1 || p.left >= screenWidth - 40) p.left = 0;
  return p;
}

StickerPosition ReadStickerPosition(const CAppUtil& app, int screenWidth, int screenHeight) {
  StickerPosition p{app.GetNumber(kAlarm, "TOP"), app.GetNumber(kAlarm, "LEFT")};
  return ClampStickerPosition(p, screenWidth, screenHeight);
}

void WriteStickerPosition(const CAppUtil& app, StickerPosition p) {
  app.PutNumber(kAlarm, "TOP", p.top);
  app.PutNumber(kAlarm, "LEFT", p.left);
}

bool StickerOptionOn(const CAppUtil& app, const char* key) { return app.GetNumber(kAlarm, key) != 0; }
void WriteStickerOption(const CAppUtil& app, const char* key, bool on) { app.PutSetting(kAlarm, key, on ? "1" : "0"); }
void WriteStickerSwitchedOn(const CAppUtil& app, bool on) { app.PutSetting("WORK", "ALARMLIST", on ? "1" : "0"); }

}  // namespace vm::tasks
