#include "shell/find_books.h"

#include "shell/sheet_rules.h"

namespace vm::shell {

std::string FindBookName(Book book, const std::string& path) {
  std::string name = kTabs[static_cast<size_t>(book)].caption;
  const size_t slash = path.find_last_of("\\/");
  const std::string file = slash == std::string::npos ? path : path.substr(slash + 1);
  return file.empty() ? name : name + " (" + file + ")";
}

std::string WhereText(const std::string& label, const std::vector<std::string>& fields, uint32_t field) {
  if (field >= fields.size()) return label;
  return label.empty() ? fields[field] : label + ", " + fields[field];
}

void FindEverywhere::Refresh() {
  fields_.resize(pages_.size());
  for (size_t i = 0; i < pages_.size(); ++i) {
    const int id = static_cast<int>(i);
    std::optional<FindableBook> book = pages_[i]->Findable();
    if (!book) {
      corpus_.RemoveBook(id);
      continue;
    }
    fields_[i] = book->fields;
    if (!book->notSearched.empty()) {
      corpus_.SetUnsearchable(id, book->name, book->notSearched);
    } else if (!corpus_.Holds(id, book->stamp) || *corpus_.BookName(id) != book->name) {
      corpus_.SetBook(id, book->name, book->stamp, pages_[i]->FindTexts());
      ++collected_;
    }
  }
}

FoundAll FindEverywhere::Search(std::string_view typed, size_t limit) {
  Refresh();
  find::Corpus::Answer answer = corpus_.Search(find::Query(typed), limit);
  FoundAll out;
  out.truncated = answer.truncated;
  out.notSearched = std::move(answer.notSearched);
  out.lines.reserve(answer.results.size());
  for (find::Result& r : answer.results) {
    FoundLine line;
    line.page = static_cast<size_t>(r.book);
    line.book = *corpus_.BookName(r.book);
    line.where = WhereText(r.label, fields_[line.page], r.place.field);
    line.text = r.context;
    line.hit = std::move(r);
    out.lines.push_back(std::move(line));
  }
  return out;
}

std::vector<FoundRow> FoundRows(const FoundAll& found) {
  std::vector<FoundRow> rows;
  rows.reserve(found.lines.size());
  for (size_t i = 0; i < found.lines.size(); ++i) {
    const FoundLine& l = found.lines[i];
    const bool first = i == 0 || found.lines[i - 1].page != l.page;
    rows.push_back({first ? l.book : std::string(), l.where, l.text});
  }
  return rows;
}

std::string FoundStatus(const FoundAll& found, bool typed) {
  std::string status;
  if (!typed)
    status = "Введите текст: поиск идёт во всех книгах сразу";
  else if (found.lines.empty())
    status = "Ничего не найдено";
  else
    status = "Найдено: " + std::to_string(found.lines.size()) + (found.truncated ? " (показаны лучшие)" : "");
  for (size_t i = 0; i < found.notSearched.size(); ++i)
    status += (i == 0 ? ". Не просмотрено: " : "; ") + found.notSearched[i];
  return status;
}

bool FindEverywhere::Show(const FoundLine& line) const {
  return line.page < pages_.size() && pages_[line.page]->JumpTo(line.hit);
}

}  // namespace vm::shell
