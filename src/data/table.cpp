#include "data/table.h"

#include <algorithm>
#include <utility>

#include "common/record_file.h"
#include "common/header_codec.h"
#include "platform/platform.h"

namespace vm::data {

const char* const kDeleteColumnQuestion = " Данные удаляемого столбца будут утеряны!\n\n Удалить?";

namespace {

// A "#" at the end of a field would hide the separator that follows it. Every "#" is
// dropped from a field's value anyway, so the trailing ones can go without changing
// what the field shows.
std::string_view WithoutTrailingHashes(std::string_view text) {
  while (!text.empty() && text.back() == '#') text.remove_suffix(1);
  return text;
}

bool InRange(const CTableDef& def, int column) {
  return column >= 0 && column <= def.lastColumn;
}

// The phone, e-mail and web columns remembered by name across a change of the column order.
struct LinkColumnNames {
  std::string names[3];
  bool set[3] = {false, false, false};
};

int* LinkSlot(CTableDef& def, int i) {
  return i == 0 ? &def.phoneColumn : i == 1 ? &def.emailColumn : &def.webColumn;
}

LinkColumnNames RememberLinkColumns(CTableDef& def) {
  LinkColumnNames s;
  for (int i = 0; i < 3; ++i) {
    int c = *LinkSlot(def, i);
    if (InRange(def, c)) {
      s.names[i] = def.names[static_cast<size_t>(c)];
      s.set[i] = true;
    }
  }
  return s;
}

void FindLinkColumnsAgain(CTableDef& def, const LinkColumnNames& s) {
  for (int i = 0; i < 3; ++i) {
    int found = -1;
    if (s.set[i])
      for (int c = 0; c <= def.lastColumn; ++c)
        if (def.names[static_cast<size_t>(c)] == s.names[i]) found = c;
    *LinkSlot(def, i) = found;
  }
}

void SwapColumns(DataTable& table, int j, int k) {
  CTableDef& def = table.def;
  std::swap(def.names[static_cast<size_t>(j)], def.names[static_cast<size_t>(k)]);
  std::swap(def.widths[static_cast<size_t>(j)], def.widths[static_cast<size_t>(k)]);
  std::swap(def.shown[static_cast<size_t>(j)], def.shown[static_cast<size_t>(k)]);
  for (CTableRecord& r : table.records) r.SwapFields(j, k);
}

}  // namespace

void CTableDef::Clear() {
  names.clear();
  widths.clear();
  shown.clear();
  phoneColumn = emailColumn = webColumn = -1;
  lastColumn = -1;
  protection = kTablePlain;
}

void CTableDef::AddColumnEntry(std::string name, unsigned width, int flag) {
  names.push_back(std::move(name));
  widths.push_back(width);
  shown.push_back(flag);
  lastColumn = static_cast<int>(names.size()) - 1;
}

std::string CTableRecord::Field(int k) const {
  return GetField(line, k);
}

void CTableRecord::SetField(int k, std::string_view value) {
  line = SetFieldText(line, k, value);
}

void CTableRecord::RemoveField(int k) {
  if (k < 0) return;
  if (k == 0) {
    size_t first = FindFieldSeparator(line, 0);
    line.erase(0, first == std::string::npos ? line.size() : first + 1);
    return;
  }
  size_t begin = FieldBegin(line, k);
  if (begin == std::string::npos) return;
  // The field goes with the separator before it.
  line.erase(begin - 1, FieldEnd(line, begin) - (begin - 1));
}

void CTableRecord::SwapFields(int j, int k) {
  if (j < 0 || k < 0 || j == k) return;
  if (j > k) std::swap(j, k);
  if (int missing = k - CountFieldSeparators(line); missing > 0) {
    line.resize(WithoutTrailingHashes(line).size());
    line.append(static_cast<size_t>(missing), '|');
  }
  std::string_view view(line);
  size_t jb = FieldBegin(view, j), je = FieldEnd(view, jb);
  size_t kb = FieldBegin(view, k), ke = FieldEnd(view, kb);
  std::string out;
  out.reserve(line.size());
  out.append(view.substr(0, jb));
  out.append(WithoutTrailingHashes(view.substr(kb, ke - kb)));
  out.append(view.substr(je, kb - je));
  out.append(WithoutTrailingHashes(view.substr(jb, je - jb)));
  out.append(view.substr(ke));
  line.swap(out);
}

void AddColumn(DataTable& table, const std::string& name) {
  LinkColumnNames links = RememberLinkColumns(table.def);
  table.def.AddColumnEntry(name, kNewColumnWidth, 1);
  for (CTableRecord& r : table.records) {
    r.line.resize(WithoutTrailingHashes(r.line).size());
    r.AppendField();
  }
  FindLinkColumnsAgain(table.def, links);
  table.def.modified = kTableChanged;
}

void DeleteColumn(DataTable& table, int column) {
  CTableDef& def = table.def;
  if (!InRange(def, column)) return;
  LinkColumnNames links = RememberLinkColumns(def);
  size_t c = static_cast<size_t>(column);
  def.names.erase(def.names.begin() + static_cast<std::ptrdiff_t>(c));
  def.widths.erase(def.widths.begin() + static_cast<std::ptrdiff_t>(c));
  def.shown.erase(def.shown.begin() + static_cast<std::ptrdiff_t>(c));
  --def.lastColumn;
  if (def.lastColumn < 0)
    table.records.clear();
  else
    for (CTableRecord& r : table.records) r.RemoveField(column);
  FindLinkColumnsAgain(def, links);
  def.modified = kTableChanged;
}

int MoveColumnUp(DataTable& table, int column) {
  if (!InRange(table.def, column) || column == 0) return column;
  LinkColumnNames links = RememberLinkColumns(table.def);
  SwapColumns(table, column - 1, column);
  FindLinkColumnsAgain(table.def, links);
  table.def.modified = kTableChanged;
  return column - 1;
}

int MoveColumnDown(DataTable& table, int column) {
  if (!InRange(table.def, column) || column == table.def.lastColumn) return column;
  LinkColumnNames links = RememberLinkColumns(table.def);
  SwapColumns(table, column, column + 1);
  FindLinkColumnsAgain(table.def, links);
  table.def.modified = kTableChanged;
  return column + 1;
}

void RenameColumn(DataTable& table, int column, const std::string& name) {
  if (!InRange(table.def, column)) return;
  table.def.names[static_cast<size_t>(column)] = name;
  table.def.modified = kTableChanged;
}

void SetShownFlags(DataTable& table, const std::vector<bool>& checked) {
  size_t n = std::min(checked.size(), table.def.shown.size());
  for (size_t i = 0; i < n; ++i) table.def.shown[i] = checked[i] ? 1 : 0;
  table.def.modified = kTableChanged;
}

void SetLinkColumn(DataTable& table, LinkColumn which, int column) {
  if (!InRange(table.def, column)) column = -1;
  *LinkSlot(table.def, static_cast<int>(which)) = column;
  table.def.modified = kTableChanged;
}

int GetLinkColumn(const CTableDef& def, LinkColumn which) {
  switch (which) {
    case LinkColumn::kPhone: return def.phoneColumn;
    case LinkColumn::kEmail: return def.emailColumn;
    case LinkColumn::kWeb: return def.webColumn;
  }
  return -1;
}

void TakeListWidths(CTableDef& def, const std::vector<unsigned>& shownWidths) {
  size_t next = 0;
  for (size_t c = 0; c < def.shown.size() && c < def.widths.size() && next < shownWidths.size(); ++c)
    if (def.shown[c] == 1) def.widths[c] = shownWidths[next++];
}

bool NewTableColumns::Add(const std::string& name) {
  if (name.empty()) return false;
  names.push_back(name);
  return true;
}

void NewTableColumns::RemoveSelected() {
  if (selected < 0 || selected >= static_cast<int>(names.size())) return;
  names.erase(names.begin() + selected);
  selected = -1;
}

void NewTableColumns::MoveSelectedUp() {
  if (selected <= 0 || selected >= static_cast<int>(names.size())) return;
  std::swap(names[static_cast<size_t>(selected)], names[static_cast<size_t>(selected) - 1]);
  --selected;
}

void NewTableColumns::MoveSelectedDown() {
  if (selected < 0 || selected + 1 >= static_cast<int>(names.size())) return;
  std::swap(names[static_cast<size_t>(selected)], names[static_cast<size_t>(selected) + 1]);
  ++selected;
}

bool NewTableCanFinish(const NewTableColumns& columns, const std::string& fileName) {
  return !columns.names.empty() && !fileName.empty();
}

std::string NewTableInitialFolder(const std::string& currentPath, const std::string& programFolder) {
  size_t slash = currentPath.find_last_of('\\');
  if (slash != std::string::npos) {
    std::string folder = currentPath.substr(0, slash);
    if (folder.size() == 2 && folder[1] == ':') return folder + "\\";
    if (platform::DirExists(folder)) return folder;
  }
  std::string personal = programFolder + "Personal";
  if (!platform::DirExists(personal)) platform::MakeDir(personal);
  return personal;
}

std::string NewTablePath(const std::string& folder, const std::string& fileName) {
  if (!folder.empty() && folder.back() == '\\') return folder + fileName;
  return folder + "\\" + fileName;
}

std::string PlainHeaderName(std::string_view name) {
  // "<" too, so that the escaped form never holds the older layout's mark.
  constexpr std::string_view kUnsafe("|\\\r\n\0<", 6);
  bool fits = !IsEscaped(name) &&
              !HoldsAnyOf(name, std::string_view("|\\\r\n\0", 5)) &&
              name.find("<Records") == std::string_view::npos;
  return fits ? std::string(name) : EscapeText(name, kUnsafe);
}

std::string NewTableHeader(const std::vector<std::string>& names) {
  std::string out = "/3";
  for (const std::string& n : names) {
    out += '|';
    out += PlainHeaderName(n);
  }
  for (size_t i = 0; i < names.size(); ++i) out += "|100";
  for (size_t i = 0; i < names.size(); ++i) out += "|1";
  out += "|-1|-1|-1|0";
  return out;
}

}  // namespace vm::data
