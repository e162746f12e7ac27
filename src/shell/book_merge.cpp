#include "shell/book_merge.h"

#include "common/text_util.h"

namespace vm::shell {

namespace {

bool EndsWithNoCase(std::string_view path, std::string_view ext) {
  if (path.size() < ext.size()) return false;
  return FoldCase1251(path.substr(path.size() - ext.size())) == ext;
}

}  // namespace

bool CanMerge(Book book) {
  switch (book) {
    case Book::kContacts:
    case Book::kFirms:
    case Book::kTasks:
    case Book::kData:
    case Book::kNotebook: return true;
    default: return false;
  }
}

std::optional<Book> BookOfPath(std::string_view path) {
  static const struct {
    const char* ext;
    Book book;
  } kinds[] = {{".dbc", Book::kContacts}, {".dbo", Book::kFirms},    {".dbw", Book::kTasks},
               {".dbp", Book::kData},     {".dbn", Book::kNotebook}, {".xml", Book::kSpreadsheet}};
  for (const auto& kind : kinds)
    if (EndsWithNoCase(path, kind.ext)) return kind.book;
  return std::nullopt;
}

MergeResult MergeRecordBook(Book book, std::string_view base, std::string_view mine, std::string_view theirs) {
  switch (book) {
    case Book::kContacts:
    case Book::kTasks: return MergeRecordFiles(base, mine, theirs);
    case Book::kFirms: return MergeRecordFiles(base, mine, theirs, {nullptr, kFirmsKeyField});
    default: {
      MergeResult refused;
      refused.error = "Эта книга не объединяется: сохранены обе версии.";
      return refused;
    }
  }
}

}  // namespace vm::shell
