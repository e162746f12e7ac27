// "find": the search of "Найти везде" over the books a program folder's settings name,
// read as the program reads them at start.
#include <cstdio>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "cards/card_find.h"
#include "cli/cli.h"
#include "common/app_util.h"
#include "data/data_file.h"
#include "data/data_find.h"
#include "dates/date_find.h"
#include "dates/dates_list.h"
#include "notebook/note_find.h"
#include "notebook/notebook_file.h"
#include "platform/platform.h"
#include "shell/find_books.h"
#include "spreadsheet/sheet_find.h"
#include "spreadsheet/workbook_xml.h"
#include "tasks/task_find.h"

namespace vm::cli {

namespace {

// A book read from its file, answering the search's calls as a page would.
class FileBook : public shell::BookCalls {
 public:
  FileBook(std::string name, std::vector<std::string> fields = {}) {
    book_.name = std::move(name);
    book_.fields = std::move(fields);
    book_.stamp = find::NextStamp();
  }
  std::optional<shell::FindableBook> Findable() const override { return book_; }
  std::vector<find::Entry> FindTexts() const override { return entries_; }
  void Lock(std::string why) { book_.notSearched = std::move(why); }
  std::vector<find::Entry>& entries() { return entries_; }

 private:
  shell::FindableBook book_;
  std::vector<find::Entry> entries_;
};

const char kLocked[] = "защищён паролем";

int Find(const Args& args) {
  if (args.empty() || args.size() > 2) return Fail("usage: find TEXT [PROGRAM-FOLDER]");
  std::string folder = args.size() > 1 ? PathArg(args[1]) : CAppUtil().ProgramFolder();
  if (!folder.empty() && folder.back() != '\\' && folder.back() != '/') folder += '\\';
  if (!platform::FileExists(folder + "Velmoria.ini") && !platform::FileExists(folder + "Support\\cont.dbc"))
    return Fail("no program folder at " + ToUtf8(folder) + " (neither Velmoria.ini nor Support\\cont.dbc)");
  const CAppUtil app(folder, "Velmoria");
  const bool reopen = app.GetSetting("GENERAL", "LAST") != "0";
  auto stored = [&](const char* section) { return StartFilePath(reopen, app.GetSetting(section, "FILENAME"), folder); };
  std::vector<std::unique_ptr<FileBook>> books;
  auto add = [&](shell::Book book, const std::string& path, std::vector<std::string> fields = {}) -> FileBook& {
    books.push_back(std::make_unique<FileBook>(shell::FindBookName(book, path), std::move(fields)));
    return *books.back();
  };

  // In tab order, as the window lists them.
  if (std::string path = stored("DATA"); !path.empty()) {
    data::DataTable table;
    table.path = path;
    std::string bytes, rejected;
    if (platform::ReadFileBytes(path, bytes)) {
      data::LoadTableBytes(table, bytes, rejected);
      FileBook& b = add(shell::Book::kData, path, table.def.names);
      if (table.locked)
        b.Lock(kLocked);
      else
        b.entries() = data::DataFindTexts(table);
    }
  }
  for (const cards::CardBookLayout* layout : {&cards::ContactsBook(), &cards::FirmsBook()}) {
    cards::CardBook book(*layout);
    if (!platform::FileExists(folder + layout->relativePath)) continue;
    book.Load(folder);
    add(layout == &cards::ContactsBook() ? shell::Book::kContacts : shell::Book::kFirms, {},
        cards::CardFieldNames(*layout))
        .entries() = cards::CardFindTexts(book);
  }
  {
    FileBook& b = add(shell::Book::kDates, {});
    for (dates::DateFileKind kind : {dates::DateFileKind::kBirthdays, dates::DateFileKind::kDates}) {
      std::string bytes;
      const std::string path =
          kind == dates::DateFileKind::kBirthdays ? dates::BirthdayFilePath(folder) : dates::HolidaysFilePath(folder);
      if (!platform::ReadFileBytes(path, bytes)) continue;
      for (find::Entry& e : dates::DateFindTexts(bytes, kind)) b.entries().push_back(std::move(e));
    }
  }
  if (std::string path = notebook::StartupNotebookPath(app.GetSetting("NOTE", "FILENAME"), folder);
      reopen && !path.empty()) {
    std::string bytes;
    if (platform::ReadFileBytes(path, bytes)) {
      notebook::NotebookContent content = notebook::ParseNotebook(bytes);
      FileBook& b = add(shell::Book::kNotebook, path, {"заголовок", "текст"});
      if (content.format == notebook::NotebookFormat::kStrong || !content.password.empty())
        b.Lock(kLocked);
      else if (content.root)
        b.entries() = notebook::NoteFindTexts(*content.root);
    }
  }
  if (std::string path = stored("WORK"); !path.empty() && platform::FileExists(path)) {
    tasks::TaskBook book;
    const platform::LocalTime now = platform::Now();
    tasks::LoadTaskFile(book, path, dates::Date{now.day, now.month, now.year});
    add(shell::Book::kTasks, path, tasks::TaskFindFieldNames()).entries() = tasks::TaskFindTexts(book);
  }
  if (std::string path = stored("EXCEL"); !path.empty()) {
    spreadsheet::CWorkbook workbook;
    if (spreadsheet::ReadWorkbook(workbook, path))
      add(shell::Book::kSpreadsheet, path).entries() = spreadsheet::SheetFindTexts(workbook);
  }

  std::vector<shell::BookCalls*> calls;
  for (auto& b : books) calls.push_back(b.get());
  shell::FindEverywhere everywhere(calls);
  shell::FoundAll found = everywhere.Search(ToCp1251(args[0]));
  for (const std::string& skipped : found.notSearched)
    std::fprintf(stderr, "not searched: %s\n", ToUtf8(skipped).c_str());
  for (const shell::FoundLine& line : found.lines) PrintLine(line.book + "\t" + line.where + "\t" + line.text);
  if (found.truncated) std::fprintf(stderr, "more hits than listed\n");
  return 0;
}

}  // namespace

VM_CLI_COMMAND("find", "TEXT [PROGRAM-FOLDER]", Find);

}  // namespace vm::cli
