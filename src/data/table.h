// The data book's table: named columns and records, one record line per row with one
// "|"-separated field per column, and every operation on them that the data page and
// its two column dialogs ("Новый", "Настройка таблицы") perform.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "common/protected_file.h"
#include "common/record_file.h"

namespace vm::data {

// Modified state of a table: changed since the last save, or not.
constexpr int kTableChanged = 2;
constexpr int kTableUnchanged = -1;
// Protection state: the file has a password and its record lines are scrambled.
constexpr int kTableProtected = 2;
constexpr int kTablePlain = 0;
// Width and shown flag of a new column.
constexpr unsigned kNewColumnWidth = 100;

struct CTableDef {
  std::vector<std::string> names;
  std::vector<unsigned> widths;
  std::vector<int> shown;  // 1 = shown in the list, anything else hidden
  int modified = kTableUnchanged;
  int phoneColumn = -1;
  int emailColumn = -1;
  int webColumn = -1;
  int protection = kTablePlain;
  int lastColumn = -1;  // column count - 1
  std::string key;      // the header's last field as last written or read

  int ColumnCount() const { return lastColumn + 1; }
  // Empties the columns and the phone, e-mail and web columns; keeps the modified state and the key.
  void Clear();
  // Appends a column with the given name, width and flag.
  void AddColumnEntry(std::string name, unsigned width, int flag);
};

// A record line. Fields follow the record-file rule: a "|" after "#" does not separate
// and every "#" is dropped from a field's value; a value is written by the rule every
// book shares (FieldText), so it reads back as typed and never moves a separator.
struct CTableRecord {
  std::string line;

  std::string Field(int k) const;
  void SetField(int k, std::string_view value);
  void AppendField() { line += '|'; }
  // Removes field k together with one separator; a line without field k is unchanged.
  void RemoveField(int k);
  // Exchanges fields j and k; a line too short for either first gets empty fields.
  void SwapFields(int j, int k);
};

// The separators that count by the field rule (a "|" after "#" does not).
using vm::CountFieldSeparators;

// The table the data page owns: its definition, its records and its file state.
struct DataTable {
  CTableDef def;
  std::vector<CTableRecord> records;
  std::string path;      // empty = no file
  std::string password;  // empty = none
  bool locked = false;   // the password has not been entered since the file was loaded
  // How the file is written while it has a password: as it was read until the password
  // is entered, then as the password step decides.
  Protection scheme = Protection::kNone;
  // A strongly protected file whose password has not been entered: its bytes, kept to
  // be opened by the password and written back unchanged by a save.
  std::string sealed;
  // The key derivation's iteration count for strong writes (tests lower it).
  uint32_t kdfIterations = kStrongIterations;
  std::string loadMessage;
  // Rejected lines whose ".err" report could not be written: saves write them back
  // after the records (in the file's line form), so they are never kept nowhere.
  std::vector<std::string> carried;
};

// ---- "Настройка таблицы": column operations on the open table -------------------------
// Each sets the modified state. After add, delete and the moves the phone, e-mail and
// web columns are found again by the names they had (the last column of that name, or
// none when no column has it any more).
void AddColumn(DataTable& table, const std::string& name);
// Removes the column and its field from every record; with no column left, every
// record goes too.
void DeleteColumn(DataTable& table, int column);
// Exchange the column with its neighbour, in the definition and in every record;
// nothing happens at the ends. Return the column's new index.
int MoveColumnUp(DataTable& table, int column);
int MoveColumnDown(DataTable& table, int column);
void RenameColumn(DataTable& table, int column, const std::string& name);
// Every check box of the list at once: checked = 1, unchecked = 0.
void SetShownFlags(DataTable& table, const std::vector<bool>& checked);
enum class LinkColumn { kPhone, kEmail, kWeb };
// -1 (an emptied drop-down) for none.
void SetLinkColumn(DataTable& table, LinkColumn which, int column);
int GetLinkColumn(const CTableDef& def, LinkColumn which);
extern const char* const kDeleteColumnQuestion;  // " Данные удаляемого столбца будут утеряны!\n\n Удалить?"

// The list's current widths of the shown columns, in order, become their stored widths
// (before a save and before the column dialog opens); hidden columns keep theirs.
void TakeListWidths(CTableDef& def, const std::vector<unsigned>& shownWidths);

// ---- "Новый": a new table file --------------------------------------------------------
// The column list of the dialog.
struct NewTableColumns {
  std::vector<std::string> names;
  int selected = -1;

  // A non-empty name is appended (duplicates allowed); false when it was empty.
  bool Add(const std::string& name);
  void RemoveSelected();
  void MoveSelectedUp();
  void MoveSelectedDown();
};
// "OK" is enabled while at least one column is listed and the file name is not empty.
bool NewTableCanFinish(const NewTableColumns& columns, const std::string& fileName);
// The folder the dialog starts in: the folder of `currentPath` (DATA/FILENAME) when it
// exists or is a drive root, otherwise "Personal" in `programFolder` (trailing "\"),
// made when missing.
std::string NewTableInitialFolder(const std::string& currentPath, const std::string& programFolder);
// The chosen folder and file name joined by one "\".
std::string NewTablePath(const std::string& folder, const std::string& fileName);
// The whole content of the new file: "/3", the names, "|100" and "|1" once per column,
// then "|-1|-1|-1|0".
std::string NewTableHeader(const std::vector<std::string>& names);

// A column name as a plain header field: unchanged unless it holds a byte the header
// cannot carry ("|", "\", a line break, a zero byte), the older layout's mark
// "<Records" (which would stop every load of the file) or starts with ESC, in which
// case the escaped form is written.
std::string PlainHeaderName(std::string_view name);

// ---- password (the data page's "Ввод пароля") -----------------------------------------
// Locked: the stored, non-empty password typed exactly unlocks the table ("Снять
// пороль" ticked also removes it); a strongly protected file opens only when the typed
// text decrypts it. A wrong one changes nothing. Not locked: the text becomes the
// password and locks the table when it is not empty (the list stays visible, but
// editing waits for the password). `newScheme` is how a new password, and an
// old-scheme file once unlocked, are written from then on (strong unless the user
// keeps the old scheme); a strong file stays strong.
PasswordOutcome ApplyTablePassword(DataTable& table, const std::string& typed, bool removePassword,
                                   Protection newScheme = Protection::kStrong);

}  // namespace vm::data
