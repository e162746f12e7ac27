// Writes the books of a long-used program folder for scripts/startup-bench, in the
// program's own file formats (Windows-1251): 100 000 contacts, 10 000 firms, 10 000
// tasks, a notebook of 5 000 notes, a table of 100 000 rows and a workbook of 100 000
// cells, and the settings that open them at start-up. Then loads each book with the
// core, three times, and prints the median of each load and their sum in milliseconds.
// Usage: velmoria_startup_books FOLDER [empty]   ("empty": the same settings, no books)
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "cards/card_book.h"
#include "common/record_file.h"
#include "common/settings.h"
#include "data/data_file.h"
#include "notebook/notebook_file.h"
#include "platform/platform.h"
#include "spreadsheet/workbook.h"
#include "spreadsheet/workbook_xml.h"
#include "tasks/task_file.h"
#include "tasks/task_record.h"

namespace {

using vm::tasks::TaskField;

std::string Contacts() {
  static const char* const kNames[] = {"Иванов", "Петрова", "Сидоров", "Кузнецова", "Смирнов", "Волков"};
  std::string bytes;
  for (int i = 0; i < 100000; ++i)
    bytes += std::string(kNames[i % 6]) + " " + std::to_string(i) + "|инженер|Завод " + std::to_string(i % 300) +
             "|Москва|+7 495 123-45-67||||mail" + std::to_string(i) + "@example.ru||||ул. Ленина, д. 1|заметка\r\n";
  return bytes;
}

std::string Firms() {
  std::string bytes;
  for (int i = 0; i < 10000; ++i)
    bytes += "Станки и инструмент|ООО \"Завод " + std::to_string(i) + "\"|Москва|+7 495 765-43-21|+7 495 765-43-22|info" +
             std::to_string(i) + "@zavod.ru|www.zavod" + std::to_string(i) + ".ru|ул. Заводская, д. " +
             std::to_string(i % 90) + "|поставщик\r\n";
  return bytes;
}

std::string Tasks() {
  std::vector<std::string> records;
  for (int i = 0; i < 10000; ++i) {
    std::string line = vm::tasks::EmptyTaskRecord();
    auto set = [&line](TaskField f, const std::string& v) { vm::tasks::SetTaskField(line, f, v); };
    char date[16];
    std::snprintf(date, sizeof date, "%02d/%02d/%04d", 1 + i % 28, 1 + i / 28 % 12, 2025 + i % 2);
    set(TaskField::Headline, "Задача " + std::to_string(i) + ": позвонить поставщику");
    set(TaskField::Notes, "Обсудить сроки поставки.\r\nКонтакт: Иванов, доб. " + std::to_string(100 + i % 900));
    set(TaskField::Date, date);
    set(TaskField::TaskFlag, i % 2 ? "0" : "1");
    set(TaskField::TaskOrder, std::to_string(i));
    set(TaskField::TaskGroup, std::to_string(1 + i % 3));
    set(TaskField::Status, std::to_string(i % 7));
    set(TaskField::ReminderState, i % 5 ? "0" : "1");
    if (i % 5 == 0) {
      // Reminders on a day of the next year, so that none fires while the bench runs.
      set(TaskField::ByDate, "1");
      set(TaskField::Day, std::to_string(1 + i % 28));
      set(TaskField::Month, std::to_string(1 + i % 12));
      set(TaskField::Year, "2099");
      set(TaskField::Hour, std::to_string(i % 24));
      set(TaskField::Minute, std::to_string(i % 60));
      set(TaskField::WithTime, "1");
    }
    records.push_back(line);
  }
  return vm::RecordFileBytes(records);
}

std::string NoteBody(int n) {
  std::string body =
      "{\\rtf1\\ansi\\ansicpg1251\\deff0\\deflang1049{\\fonttbl{\\f0\\fnil\\fcharset204 Times New Roman "
      "Cyr;}}\r\n\\viewkind4\\uc1\\pard\\f0\\fs20 ";
  while (body.size() < 2000)
    body += "Заметка " + std::to_string(n) + ": встреча в среду, позвонить, купить бумагу и конверты.\\par\r\n";
  return body + "}\r\n";
}

void WriteNotebook(const std::string& path) {
  auto root = vm::notebook::NewNotebookRoot();
  for (int s = 0; s < 50; ++s) {
    auto* section = root->AppendChild("Раздел_" + std::to_string(s), NoteBody(s));
    for (int i = 0; i < 99; ++i) section->AppendChild("Заметка_" + std::to_string(i), NoteBody(s * 100 + i));
  }
  vm::platform::WriteFileBytes(path, vm::notebook::NotebookBytes(*root, "notes.dbn", ""));
}

void WriteTable(const std::string& path) {
  vm::data::DataTable t;
  t.path = path;
  for (const char* name : {"Фамилия", "Имя", "Телефон", "E-Mail", "Сайт", "Город", "Адрес", "Заметка"})
    t.def.AddColumnEntry(name, 100, 1);
  for (int i = 0; i < 100000; ++i) {
    std::string n = std::to_string(i);
    t.records.push_back({"Иванов " + n + "|Пётр|+7 495 123-45-" + std::to_string(10 + i % 90) + "|ivanov" + n +
                         "@example.ru|www.example.ru/" + n + "|Москва|ул. Ленина, д. " + std::to_string(i % 200) +
                         "|Коллега по работе"});
  }
  t.def.modified = vm::data::kTableChanged;
  vm::data::SaveTable(t);
}

void WriteWorkbook(const std::string& path) {
  vm::spreadsheet::CWorkbook book;
  vm::spreadsheet::CSheet& s = book.Sheet(0);
  s.SetColumnCount(10);
  s.SetRowCount(10000);
  for (int r = 0; r < 10000; ++r)
    for (int c = 0; c < 10; ++c)
      s.CellForEdit(r, c)->SetText(c % 2 ? std::to_string(r * 10 + c) + ".25"
                                         : "Строка " + std::to_string(r) + " столбец " + std::to_string(c));
  vm::spreadsheet::WriteWorkbook(book, path);
}

double MedianMs(const std::function<void()>& load) {
  std::vector<double> ms;
  for (int k = 0; k < 3; ++k) {
    auto start = std::chrono::steady_clock::now();
    load();
    ms.push_back(std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count());
  }
  std::sort(ms.begin(), ms.end());
  return ms[1];
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fprintf(stderr, "usage: velmoria_startup_books FOLDER [empty]\n");
    return 1;
  }
  std::string folder = argv[1];
  std::replace(folder.begin(), folder.end(), '/', '\\');
  if (folder.back() != '\\') folder += '\\';
  const bool empty = argc > 2 && std::string(argv[2]) == "empty";
  vm::platform::MakeDir(folder);
  if (!vm::platform::DirExists(folder)) {
    std::fprintf(stderr, "cannot make the folder %s\n", argv[1]);
    return 1;
  }
  vm::platform::MakeDir(folder + "Support");
  vm::platform::MakeDir(folder + "Personal");
  const std::string personal = folder + "Personal\\";
  const std::string ini = folder + "Velmoria.ini";
  vm::WriteSetting(ini, "GENERAL", "LAST", "1");
  // Bare names: the program finds them in "Personal" of whatever folder it runs from.
  vm::WriteSetting(ini, "WORK", "FILENAME", "tasks.dbw");
  vm::WriteSetting(ini, "NOTE", "FILENAME", "notes.dbn");
  vm::WriteSetting(ini, "DATA", "FILENAME", "table.dbp");
  vm::WriteSetting(ini, "EXCEL", "FILENAME", "cells.xml");
  if (empty) {
    vm::platform::WriteFileBytes(folder + "Support\\cont.dbc", "");
    vm::platform::WriteFileBytes(folder + "Support\\firm.dbo", "");
    return 0;
  }
  vm::platform::WriteFileBytes(folder + "Support\\cont.dbc", Contacts());
  vm::platform::WriteFileBytes(folder + "Support\\firm.dbo", Firms());
  vm::platform::WriteFileBytes(personal + "tasks.dbw", Tasks());
  WriteNotebook(personal + "notes.dbn");
  WriteTable(personal + "table.dbp");
  WriteWorkbook(personal + "cells.xml");

  double total = 0;
  auto report = [&](const char* what, double ms) {
    std::printf("load %-10s %8.1f ms\n", what, ms);
    total += ms;
  };
  report("contacts", MedianMs([&] {
           vm::cards::CardBook book(vm::cards::ContactsBook());
           book.Load(folder);
         }));
  report("firms", MedianMs([&] {
           vm::cards::CardBook book(vm::cards::FirmsBook());
           book.Load(folder);
         }));
  report("tasks", MedianMs([&] {
           vm::tasks::TaskBook book;
           vm::tasks::LoadTaskFile(book, personal + "tasks.dbw", {15, 6, 2025});
         }));
  report("notebook", MedianMs([&] {
           vm::notebook::NotebookFile notebook;
           vm::notebook::ReadNotebook(notebook, personal + "notes.dbn");
         }));
  report("table", MedianMs([&] {
           vm::data::DataTable t;
           t.path = personal + "table.dbp";
           vm::data::LoadTable(t);
         }));
  report("workbook", MedianMs([&] {
           vm::spreadsheet::CWorkbook book;
           vm::spreadsheet::ReadWorkbook(book, personal + "cells.xml");
         }));
  std::printf("loads total %.1f ms\n", total);
  return 0;
}
