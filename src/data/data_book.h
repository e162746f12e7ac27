// What the data page decides: the filtered view over the table, which field a list
// column edits, the line a new record gets, how a column sorts, which commands are
// enabled, and the file and password steps around the table. The Win32 page only
// shows what this returns and forwards the user's actions.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "common/shell_actions.h"
#include "data/data_file.h"
#include "data/table.h"

namespace vm::data {

// ---- columns -------------------------------------------------------------------------
// The table columns the list shows, in order (flag 1).
std::vector<int> ShownColumns(const CTableDef& def);
// The table column behind a list column; -1 when there is none.
int FieldOfListColumn(const CTableDef& def, int listColumn);
// The tooltips of the three filter fields: the names of the first three shown columns
// (empty where fewer are shown).
std::array<std::string, 3> FilterTips(const CTableDef& def);
// How many of the three filter fields are enabled: one per shown column, at most three.
int EnabledFilters(const CTableDef& def);

// ---- filtering ----------------------------------------------------------------------
// One filter over one field: a prefix, or with a leading "*" a substring anywhere,
// without regard to case over every Windows-1251 letter. Both texts are already folded.
bool FilterMatches(std::string_view foldedField, std::string_view foldedFilter);

// ---- adding -------------------------------------------------------------------------
// The line of a new record: the three input texts joined by "|", then one more "|" for
// each column beyond the third. A table of fewer than three columns still gets three
// fields, so no input text is lost.
std::string NewRecordLine(const std::array<std::string, 3>& inputs, int columnCount);

// ---- sorting ------------------------------------------------------------------------
enum SortKind : int { kSortDate = 1, kSortInteger = 2, kSortDecimal = 4, kSortText = 8 };
// The kind of one non-empty field: date, integer, decimal or text.
int FieldKind(std::string_view field);
// The kind of a column: the kinds of its non-empty fields or-ed together, text as soon
// as one field is text. A mix of kinds sorts as text.
int ColumnKind(const std::vector<CTableRecord>& records, int field);
// True when a sorts before b in the given kind (empty counts as 0 for the number kinds).
bool SortsBefore(int kind, std::string_view a, std::string_view b);
// Sorts the records by a table column; records with equal fields keep their order.
void SortRecords(std::vector<CTableRecord>& records, int field, bool ascending);

// ---- the page's book ----------------------------------------------------------------
struct DataCommands {
  bool remove = false;
  bool dial = false, mail = false, web = false;
  bool clearInputs = false;
  bool add = false, save = false, settings = false;
  bool loadInfo = false;
};

// The count painted at the top right: "Всего записей: " and the number of rows shown.
std::string RecordCountText(size_t rows);
// A path the user gave for a new table or a copy: ".dbp" appended when it holds none.
std::string WithTableExtension(const std::string& path);
// " уже существует. \n Заменить?" after the path.
std::string ReplaceQuestion(const std::string& path);

class DataBook {
 public:
  DataTable& table() { return table_; }
  const DataTable& table() const { return table_; }
  const std::string& path() const { return table_.path; }
  bool modified() const { return table_.def.modified == kTableChanged; }
  // find::NextStamp() of the last change made through the members below (a change of
  // the records from outside is followed by Refilter, which counts as one).
  uint64_t revision() const { return revision_; }

  // Loads table.path (the password is emptied first) and shows every record that
  // passes the filters. A protected file hides the list until its password is entered.
  TableLoad Open(const std::string& path);
  // Forgets the file: an empty table and no path.
  void Close();
  // A table whose file could not be read is not bound to it: its saves are refused
  // (unread_file.h) until the user confirms replacing the file or saves it elsewhere.
  TableSave Save();
  bool unread() const { return unread_; }
  // The user confirmed that the file that could not be read may be replaced.
  void ConfirmReplace();
  // Makes a new table file: the header text becomes the whole file, which is then opened.
  // A file that cannot be written leaves the current table as it was.
  TableSave Create(const std::string& path, const std::string& header);
  // Save as: the file on disk is copied to the new path, which becomes the current file;
  // the table is then saved when `save` is set, or when there was nothing on disk to
  // copy (so what is shown is never lost). A failed copy keeps the current file.
  TableSave SaveAs(const std::string& newPath, bool save);

  // The list is hidden while a loaded file's password has not been entered.
  bool listHidden() const { return listHidden_; }

  // ---- filters and view
  const std::string& filter(int k) const { return filters_[static_cast<size_t>(k)]; }
  void SetFilter(int k, std::string text);
  void ClearFilters();
  bool AnyFilter() const;
  // The records shown, as indexes into the records, in record order.
  const std::vector<int>& view() const { return view_; }
  // Filters again (after any change of the records made from outside).
  void Refilter();
  // The record shown in a row; nullptr outside the view.
  const CTableRecord* RecordAt(int row) const;
  // What a cell of the list shows: the field of the list column's table column.
  std::string Cell(int row, int listColumn) const;

  // ---- selection
  int selected() const { return selected_; }
  void Select(int row);

  // ---- editing; each marks the table changed
  // Writes the text to the field behind the list column; false when nothing changed.
  bool Edit(int row, int listColumn, const std::string& text);
  // Appends a record made of the filter texts and selects its row (the last row when the
  // filters let it through); the row, or -1 when the new record is not shown.
  int Add();
  // Removes the record in the selected row; false when nothing was selected.
  bool RemoveSelected();
  void Sort(int listColumn, bool ascending);
  // The list's widths of the shown columns became the table's (the user resized).
  void TakeWidths(const std::vector<unsigned>& shownWidths, bool marksChanged);

  // ---- password
  bool Locked() const { return table_.locked; }
  // What the dialog's OK does with the typed text. False when the text was wrong (or
  // the crypto failed). `newScheme`: see ApplyTablePassword.
  bool ApplyPassword(const std::string& typed, bool removePassword, Protection newScheme = Protection::kStrong);
  // The same, telling what happened (the page shows the wrong-password message and the
  // one-time notice of an upgraded file from it).
  PasswordOutcome ApplyPasswordOutcome(const std::string& typed, bool removePassword,
                                       Protection newScheme = Protection::kStrong);

  // ---- commands
  DataCommands Commands() const;
  ShellRequest PlanAction(CardAction action) const;

 private:
  void Filter();
  const std::array<std::string, 3>& Folded(size_t record);

  DataTable table_;
  std::array<std::string, 3> filters_;
  std::array<std::string, 3> foldedFilters_;
  std::vector<int> view_;
  int selected_ = -1;
  bool listHidden_ = false;
  bool unread_ = false;
  // The three filtered fields of each record, case-folded, made on demand so that a
  // keystroke's filter pass is a plain scan; dropped whenever the records change.
  std::vector<std::array<std::string, 3>> folded_;
  std::vector<bool> foldedValid_;
  uint64_t revision_ = 0;
};

}  // namespace vm::data
