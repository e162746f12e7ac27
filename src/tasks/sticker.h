// The sticker ("стикер") as plain data: the text the tasks page composes from
// the marked records and the near deadlines, the code it is sent with, and the settings
// of section "ALARM" the sticker window reads and writes (look, position, options).
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "common/calendar.h"
#include "common/app_util.h"
#include "tasks/task_record.h"

namespace vm::tasks {

inline constexpr size_t kStickerBufferSize = 4096;  // the data-copy buffer
inline constexpr int kStickerLineWidth = 40;
inline constexpr int kStickerShowCode = 16;   // text not empty: show, "ALARMLIST" = "1"
inline constexpr int kStickerEmptyCode = 10;  // empty text: hide, "ALARMLIST" = "0"
extern const char* const kStickerTitle;       // "Alarm Velmoria"
extern const char* const kStickerTooLong;     // "Превышена длина строки стикера!"
extern const char* const kStickerNotCreated;  // "Стикер не создан!"

// The codes the sticker sends the main window with WM_USER + 1025.
inline constexpr int kStickerAskShowMain = 0;
inline constexpr int kStickerAskShowRecords = 16;
inline constexpr int kStickerAskRefresh = 32;

// First the marked records that are no deadlines, "   %i. %s"; then the marked
// deadlines and, with deadlinesAhead ("ALARM"/"DATE" "1"), the open deadlines due today
// or in the next three days, "   DATE headline", by date. Lines wrapped at 40 characters
// at the last blank, a short text padded to 40, lines joined by CR LF.
std::string StickerText(const TaskList& records, const dates::Date& today, bool deadlinesAhead);
// Lines longer than the width broken at the last blank before it (or at the width).
std::string WrapStickerLine(std::string_view line, int width = kStickerLineWidth);
bool StickerTextFits(std::string_view text);  // fewer than 4096 characters
int StickerCode(std::string_view text);       // 16 or 10
bool AnyStickerRecord(const TaskList& records);

// ---- section "ALARM" -------------------------------------------------------------------
struct StickerLook {
  bool customBack = false;  // "BKR/BKG/BKB" all present
  uint32_t back = 0;        // 0x00BBGGRR
  uint32_t text = 0x00643200;  // RGB 0, 50, 100
  int height = -11, width = 0, weight = 500;
  bool italic = false, underline = false, strikeOut = false;
  std::string faceName = "Arial Cyr";
};
StickerLook ReadStickerLook(const CAppUtil& app);
// "%.6X" of the colour split into pairs, each stored as a decimal number: prefix "BK"
// (background) or "TK" (text); an empty prefix letter set writes the three keys empty.
void WriteStickerColour(const CAppUtil& app, const char* prefix, uint32_t colour);
void ClearStickerColours(const CAppUtil& app);
void WriteStickerFont(const CAppUtil& app, const StickerLook& look);

struct StickerPosition {
  int top = 0, left = 0;
};
// "TOP"/"LEFT"; a position off the screen or too near its right or bottom edge reads as 0.
StickerPosition ReadStickerPosition(const CAppUtil& app, int screenWidth, int screenHeight);
StickerPosition ClampStickerPosition(StickerPosition p, int screenWidth, int screenHeight);
void WriteStickerPosition(const CAppUtil& app, StickerPosition p);

bool StickerOptionOn(const CAppUtil& app, const char* key);  // "TOPMOST", "DATE": non-zero
void WriteStickerOption(const CAppUtil& app, const char* key, bool on);
void WriteStickerSwitchedOn(const CAppUtil& app, bool on);  // "WORK"/"ALARMLIST"

}  // namespace vm::tasks
