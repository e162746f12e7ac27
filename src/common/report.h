// HTML reports. A book writes its data as a plain data file in "Temp" (CReportData);
// CReportTemplate fills an HTML template from "Support" with it and writes the page that
// the book then opens in the browser.
//
// Data file: cp1251 text, CR LF line ends; a line is a run of items
//   "|" n ":" KEY ":" value
// all with the same block number n. n = 0 fills the page head and tail; n >= 1 makes one
// copy of block n. Inside a value a line break is "|ERN:" and becomes "<br>".
//
// Template: "#KEY#" placeholders, "#Dn#" ... "#nD#" around block n. The head runs up to the
// first start marker; the tail starts at the first paragraph after the last end marker.
#pragma once

#include <functional>
#include <string>
#include <string_view>

namespace vm {

// ---- the files of each book's report, relative to the program folder ---------------------
struct ReportFiles {
  const char* data;
  const char* layout;  // the template in "Support"
  const char* result;
};
inline constexpr ReportFiles kContactsReport{"Temp\\VisitDat.txt", "Support\\VisitPic.html",
                                             "Temp\\VisitRep.html"};
inline constexpr ReportFiles kFirmsReport{"Temp\\FirmDat.txt", "Support\\FirmPic.html", "Temp\\FirmRep.html"};
inline constexpr ReportFiles kDatesReport{"Temp\\MesDat.txt", "Support\\MesPic.html", "Temp\\MesRep.html"};
inline constexpr ReportFiles kTasksReport{"Temp\\WorkDat.txt", "Support\\WorkPic.html", "Temp\\WorkRep.html"};
inline constexpr ReportFiles kStickerReport{"Temp\\StickerDat.txt", "Support\\StickerPic.html",
                                            "Temp\\StickerRep.html"};

// Block numbers the shipped templates understand. Contacts and firms use block 1 (and
// the contacts "COUNT" in block 0). The dates, tasks and sticker pages share one shape:
// "ZAGOLOVOK" in block 0 is the page caption; then, in list order, block 1 a group
// caption ("ZAGOLOVOK"), block 2 a day or group heading ("DAY"), block 3 a headline
// ("HEAD"), block 4 the notes under it ("NOTE").
inline constexpr int kPageBlock = 0;
inline constexpr int kCardBlock = 1;
inline constexpr int kGroupBlock = 1;
inline constexpr int kDayBlock = 2;
inline constexpr int kHeadBlock = 3;
inline constexpr int kNoteBlock = 4;

// Texts the report callers show (title "Velmoria", exclamation icon).
extern const char* const kNoReportData;       // "Отсутствуют данные для вывода отчета!"
extern const char* const kReportWriteError;   // "Ошибка записи в файл!"
extern const char* const kReportCloseError;   // "Ошибка.\n\nНе закрыт файл!"

// ---- writing data files --------------------------------------------------------------------
// A caller's conversion of a value, applied to block items (n > 0) when given.
using ReportConvert = std::function<std::string(std::string_view)>;

// "&", "<", ">" and '"' as HTML entities: a conversion for callers whose values are plain
// text that must show as typed.
std::string HtmlEscape(std::string_view text);

class CReportData {
 public:
  CReportData() = default;
  ~CReportData();
  CReportData(const CReportData&) = delete;
  CReportData& operator=(const CReportData&) = delete;

  // Creates the file or empties an existing one. Lines are collected and written by
  // Close, so an open data file costs no handle.
  bool Open(const std::string& path);
  // Appends "|n:key:value" to the current line; n = 0 ends the line after the item.
  // Line breaks of the value become "|ERN:" (CR LF and a lone LF; a lone CR is dropped)
  // so no value can break the line. False when no file is open or the key is empty or
  // holds ":", "|", "#" or a line break (it could not be read back).
  bool WriteItem(std::string_view key, std::string_view value, int n, const ReportConvert& convert = nullptr);
  bool WriteNumber(std::string_view key, long long number, int n);
  bool EndLine();
  // Writes the collected lines. False when nothing is open or the file cannot be written.
  bool Close();

 private:
  std::string path_;
  std::string text_;
  bool open_ = false;
};

// ---- building the page ---------------------------------------------------------------------
struct ReportOutcome {
  int code = 0;          // 0 written, 1 failed
  std::string message;   // cp1251 text for the user when code is 1
};

// The whole fill over texts: template and data file bytes in, page bytes out.
std::string FillReport(std::string_view layout, std::string_view data);

// Reads both files, fills and writes the result through the safe replace. Shows nothing.
ReportOutcome BuildReport(const std::string& dataPath, const std::string& layoutPath,
                          const std::string& resultPath);

class CReportTemplate {
 public:
  // One piece of the template filled from one data line.
  static std::string Fill(std::string_view piece, std::string_view line);
};

// The steps of the fill, exposed for the tests.
namespace report_steps {
// Placeholders damaged by an HTML editor made whole again: the text of each "#" pair that
// holds tags or white space loses them, in every place it occurs.
std::string CleanPlaceholders(std::string text);
// The "<title>" element removed.
std::string RemoveTitle(std::string text);
// Paragraphs wrapped around a block marker reduced to the marker.
std::string UnwrapMarkers(std::string text);
}  // namespace report_steps

}  // namespace vm
