#include "data/csv.h"

#include <algorithm>

#include <gtest/gtest.h>

#include "data/data_file.h"
#include "platform/platform.h"
#include "support/scratch.h"

namespace vm::data {
namespace {

const std::string kMark = "\xEF\xBB\xBF";

std::string Utf8(const std::string& cp1251) {
  return platform::Cp1251ToUtf8(cp1251);
}

std::vector<std::string> Lines(const DataTable& t) {
  std::vector<std::string> out;
  for (const auto& r : t.records) out.push_back(r.line);
  return out;
}

DataTable Sample() {
  DataTable t;
  t.def.AddColumnEntry("Имя", 120, 1);
  t.def.AddColumnEntry("Скрыто", 100, 0);
  t.def.AddColumnEntry("Заметка, \"важно\"", 100, 1);
  t.records = {{"Иванов|x|просто"}, {"Петров, П.|y|две\r\nстроки"}, {"\"Кавычки\"|z|a#|b"}, {"||"}, {"Один"}};
  return t;
}

TEST(CsvExport, WritesShownColumnsQuotedWhereNeeded) {
  EXPECT_EQ(CsvBytes(Sample()), kMark + Utf8("Имя,\"Заметка, \"\"важно\"\"\"\r\n"
                                             "Иванов,просто\r\n"
                                             "\"Петров, П.\",\"две\r\nстроки\"\r\n"
                                             "\"\"\"Кавычки\"\"\",a|b\r\n"
                                             ",\r\n"
                                             "Один,\r\n"));
  DataTable one;
  one.def.AddColumnEntry("", 100, 1);
  one.records = {{""}, {"x"}};
  // A row of one empty field must not read back as an empty line.
  EXPECT_EQ(CsvBytes(one), kMark + "\"\"\r\n\"\"\r\nx\r\n");

  testing::ScratchFolder dir;
  DataTable none;
  none.def.AddColumnEntry("h", 100, 0);
  CsvExport refused = ExportCsv(none, dir / "n.csv");
  EXPECT_FALSE(refused.ok);
  EXPECT_EQ(testing::Slurp(dir / "n.csv"), "<missing>");
  EXPECT_TRUE(ExportCsv(Sample(), dir / "s.csv").ok);
  EXPECT_EQ(testing::Slurp(dir / "s.csv"), CsvBytes(Sample()));
}

TEST(CsvImport, ReadsEveryEncodingAndSeparator) {
  struct Case {
    const char* what;
    std::string bytes;
    CsvEncoding encoding;
    char separator;
  } cases[] = {
      {"utf-8 with mark", kMark + Utf8("Имя,Телефон\r\nЁлкин,\"1,2\"\r\n"), CsvEncoding::kUtf8, ','},
      {"utf-8 without mark", Utf8("Имя,Телефон\nЁлкин,\"1,2\""), CsvEncoding::kUtf8, ','},
      {"windows-1251", "Имя;Телефон\r\nЁлкин;1,2\r\n", CsvEncoding::kCp1251, ';'},
      {"tabs, lone CRs", "Имя\tТелефон\rЁлкин\t1,2\r", CsvEncoding::kCp1251, '\t'},
  };
  for (const Case& c : cases) {
    CsvImport in = ImportCsvBytes(c.bytes, "f.csv");
    ASSERT_TRUE(in.ok) << c.what << ": " << in.error;
    EXPECT_EQ(in.encoding, c.encoding) << c.what;
    EXPECT_EQ(in.separator, c.separator) << c.what;
    EXPECT_EQ(in.table.def.names, (std::vector<std::string>{"Имя", "Телефон"})) << c.what;
    EXPECT_EQ(Lines(in.table), std::vector<std::string>{"Ёлкин|1,2"}) << c.what;
    EXPECT_EQ(in.table.def.modified, kTableChanged) << c.what;
    EXPECT_EQ(CsvImportReport(in), "") << c.what;
  }
}

// The separator is guessed by the reader's own rule: a quote opens a quoted field only at
// a field's start, and the guess looks at the header row alone.
TEST(CsvImport, GuessesTheSeparatorAsTheReaderSplitsTheHeader) {
  struct Case {
    const char* what;
    std::string bytes;
    char separator;
    std::vector<std::string> names, records;
  } cases[] = {
      {"inch mark in a header",
       "Диагональ 15\";Цена, руб;Кол-во\r\n15,6;1 200,50;3\r\n17;2 000;1\r\n",
       ';',
       {"Диагональ 15\"", "Цена, руб", "Кол-во"},
       {"15,6|1 200,50|3", "17|2 000|1"}},
      {"quote after the text of a field", "a\"b,c\"d;e\r\n1,2\r\n", ',', {"a\"b", "c\"d;e"}, {"1|2"}},
      {"separators only inside quotes", "a,\"x;y;z\"\r\n1,2\r\n", ',', {"a", "x;y;z"}, {"1|2"}},
      {"quoted line break", "\"a\nb\"\tc\r\n1;2;3\t4\r\n", '\t', {"a\nb", "c"}, {"1;2;3|4"}},
  };
  for (const Case& c : cases) {
    CsvImport in = ImportCsvBytes(c.bytes, "f.csv");
    ASSERT_TRUE(in.ok) << c.what;
    EXPECT_EQ(in.separator, c.separator) << c.what;
    EXPECT_EQ(in.table.def.names, c.names) << c.what;
    EXPECT_EQ(Lines(in.table), c.records) << c.what;
    EXPECT_EQ(in.unclosedQuoteRow, 0) << c.what;
  }
}

// A UTF-8 file with a few lines saved in Windows-1251 (an edit in another program) stays
// UTF-8: those lines are read as Windows-1251, whole, and their rows are named. A
// Windows-1251 file with one UTF-8 line is still read as Windows-1251.
TEST(CsvImport, MostlyUtf8FileNamesTheRowsThatAreNot) {
  // "Пё" in Windows-1251 is a valid UTF-8 pair: the line is taken whole, not byte by byte.
  std::string bytes = Utf8("Имя;Город\r\nАнна;Москва\r\n") + "Пётр;Тверь\r\n" +
                      Utf8("Ия;\"Омск,\r\nцентр\"\r\nЛев;Уфа\r\n") + "Юрий;\"Сочи\r\n" + Utf8("юг\"\r\n");
  CsvImport in = ImportCsvBytes(bytes, "f.csv");
  ASSERT_TRUE(in.ok) << in.error;
  EXPECT_EQ(in.encoding, CsvEncoding::kUtf8);
  EXPECT_EQ(in.separator, ';');
  EXPECT_EQ(in.table.def.names, (std::vector<std::string>{"Имя", "Город"}));
  EXPECT_EQ(Lines(in.table), (std::vector<std::string>{"Анна|Москва", "Пётр|Тверь", "Ия|Омск,\r\nцентр",
                                                       "Лев|Уфа", "Юрий|Сочи\r\nюг"}));
  std::string report = CsvImportReport(in);
  EXPECT_EQ(report.find("В строках файла 3, 6 текст записан не в UTF-8"), 0u) << report;
  EXPECT_EQ(report.find("\n"), std::string::npos) << report;

  CsvImport cp = ImportCsvBytes("Имя;Город\r\nАнна;Москва\r\n" + Utf8("Пётр;Тверь\r\n"), "f.csv");
  ASSERT_TRUE(cp.ok);
  EXPECT_EQ(cp.encoding, CsvEncoding::kCp1251);
  EXPECT_EQ(cp.table.def.names, (std::vector<std::string>{"Имя", "Город"}));
  EXPECT_EQ(CsvImportReport(cp), "");
  // A byte Windows-1251 does not define is refused in such a line too.
  EXPECT_FALSE(ImportCsvBytes(Utf8("Имя\r\nАнна\r\nЛев\r\n") + "x\x98\r\n", "f.csv").ok);
}

TEST(CsvImport, QuotedFieldsAndRaggedRows) {
  CsvImport in = ImportCsvBytes(
      "a,b,c\r\n"
      "\"x,\"\"y\"\"\",\"line\nbreak\",\"p|q\"\r\n"
      "\r\n"
      "short\r\n"
      "1,2,3,4,\r\n"
      "\"\"\r\n"
      "tail\"quote\",\"open",
      "f.csv");
  ASSERT_TRUE(in.ok);
  EXPECT_EQ(in.table.def.names, (std::vector<std::string>{"a", "b", "c", "", ""}));
  EXPECT_EQ(Lines(in.table), (std::vector<std::string>{"x,\"y\"|line\r\nbreak|p#|q||", "short||||",
                                                       "1|2|3|4|", "||||", "tail\"quote\"|open|||"}));
  EXPECT_EQ(in.longRows.rows, std::vector<int>{5});
  EXPECT_EQ(in.unclosedQuoteRow, 7);
  // Every record loads back from the saved file: none is short of separators.
  std::string rejected;
  DataTable back;
  TableLoad load = LoadTableBytes(back, TableBytes(in.table), rejected);
  EXPECT_EQ(load.rejected, 0);
  EXPECT_EQ(back.records.size(), 5u);
  EXPECT_EQ(back.records[0].Field(1), "line\r\nbreak");
  EXPECT_EQ(back.records[0].Field(2), "p|q");
}

TEST(CsvImport, ReportsWhatTheTableCannotHold) {
  // U+65E5 and U+1F600 (two UTF-16 units, one character) are not in Windows-1251.
  std::string bytes =
      Utf8("Имя,Знак\r\nа,б\r\n") + "\xE6\x97\xA5,\xF0\x9F\x98\x80\r\n" + Utf8("в,№ 1#2##\r\n");
  CsvImport in = ImportCsvBytes(bytes, "f.csv");
  ASSERT_TRUE(in.ok);
  EXPECT_EQ(Lines(in.table), (std::vector<std::string>{"а|б", "?|?", "в|№ 12"}));
  EXPECT_EQ(in.unconvertible.count, 2);
  EXPECT_EQ(in.unconvertible.rows, std::vector<int>{3});
  EXPECT_EQ(in.hashes.count, 3);
  EXPECT_EQ(in.hashes.rows, std::vector<int>{4});
  std::string report = CsvImportReport(in);
  EXPECT_NE(report.find("Windows-1251: 2. Они заменены знаком \"?\" в строках файла 3."), std::string::npos)
      << report;
  EXPECT_NE(report.find("пропущен 3 раз(а), в строках файла 4."), std::string::npos) << report;

  CsvLoss many;
  for (int row = 2; row < 30; ++row) many.Add(row);
  CsvImport lots;
  lots.unconvertible = many;
  EXPECT_NE(CsvImportReport(lots).find("20, 21 и ещё 8."), std::string::npos);
}

TEST(CsvImport, RefusesWhatIsNotCsvText) {
  struct Case {
    const char* what;
    std::string bytes;
    const char* message;
  } cases[] = {
      {"utf-16", std::string("\xFF\xFEI\0m\0,\0a\0", 10), "не похож на текст CSV"},
      {"undefined 1251 byte", "a,b\r\n\x98\xC0,c", "не похож на текст CSV"},
      {"mark over bad utf-8", kMark + "a\xC0,b", "не похож на текст CSV"},
      {"empty", "", "нет строки заголовка"},
      {"only line breaks", "\r\n\n\r\n", "нет строки заголовка"},
  };
  for (const Case& c : cases) {
    CsvImport in = ImportCsvBytes(c.bytes, "f.csv");
    EXPECT_FALSE(in.ok) << c.what;
    EXPECT_NE(in.error.find(c.message), std::string::npos) << c.what << ": " << in.error;
    EXPECT_NE(in.error.find("f.csv"), std::string::npos) << c.what;
  }
  EXPECT_FALSE(ImportCsv("Z:\\no\\such.csv").ok);
}

TEST(CsvRoundTrip, ExportThenImportGivesTheSameTable) {
  DataTable t = Sample();
  t.def.shown = {1, 1, 1};
  CsvImport in = ImportCsvBytes(CsvBytes(t), "f.csv");
  ASSERT_TRUE(in.ok);
  EXPECT_EQ(in.table.def.names, t.def.names);
  std::vector<std::string> expected = {"Иванов|x|просто", "Петров, П.|y|две\r\nстроки", "\"Кавычки\"|z|a#|b",
                                       "||", "Один||"};
  EXPECT_EQ(Lines(in.table), expected);
  EXPECT_EQ(CsvImportReport(in), "");
}

// The export reads each record in one walk along its line; a table of the same values
// written plainly, one field per column, must export the same text.
TEST(CsvExport, ReadsFieldsAsTheFieldRuleDoes) {
  const char* const pieces[] = {"|", "|", "#", "##", "#|", "a", ",", "\""};
  uint32_t seed = 4242;
  auto next = [&] { return seed = seed * 1103515245u + 12345u, seed >> 16; };
  for (int round = 0; round < 500; ++round) {
    DataTable t, plain;
    for (int c = 0; c < 5; ++c) {
      t.def.AddColumnEntry("c", 100, next() % 3 ? 1 : 0);
      plain.def.AddColumnEntry("c", 100, t.def.shown.back());
    }
    for (int r = 0; r < 3; ++r) {
      std::string line;
      for (size_t len = next() % 14; line.size() < len;) line += pieces[next() % std::size(pieces)];
      t.records.push_back({line});
      std::string fields;
      for (int c = 0; c < 5; ++c) fields += (c ? "|" : "") + FieldText(GetField(line, c));
      plain.records.push_back({fields});
    }
    EXPECT_EQ(CsvBytes(t), CsvBytes(plain)) << Lines(t)[0] << " / " << Lines(t)[1] << " / " << Lines(t)[2];
  }
}

// Import converts through a table of the code page built once; every character must
// come out as the platform's own conversion makes it, "?" where the page lacks it.
TEST(CsvImport, EveryCharacterConvertsAsThePlatformDoes) {
  auto utf8 = [](char32_t c) {
    std::string s;
    if (c < 0x800) {
      s += static_cast<char>(0xC0 | c >> 6);
    } else if (c < 0x10000) {
      s += static_cast<char>(0xE0 | c >> 12);
      s += static_cast<char>(0x80 | (c >> 6 & 0x3F));
    } else {
      s += static_cast<char>(0xF0 | c >> 18);
      s += static_cast<char>(0x80 | (c >> 12 & 0x3F));
      s += static_cast<char>(0x80 | (c >> 6 & 0x3F));
    }
    return s + static_cast<char>(0x80 | (c & 0x3F));
  };
  std::string csv = "h\r\n";
  std::vector<std::string> expected;
  for (char32_t c = 0x80; c < 0x10000; ++c) {
    if (c >= 0xD800 && c < 0xE000) continue;
    csv += utf8(c) + "\r\n";
    std::string byte;
    bool lossy = false;
    ASSERT_TRUE(platform::FromUtf16(platform::kCp1251, std::u16string(1, static_cast<char16_t>(c)), byte, '?', &lossy));
    expected.push_back(lossy ? "?" : byte);
  }
  csv += utf8(0x1F600) + "\r\n";  // beyond the BMP: one character, one "?"
  expected.push_back("?");
  CsvImport in = ImportCsvBytes(csv, "all.csv");
  ASSERT_TRUE(in.ok);
  EXPECT_EQ(Lines(in.table), expected);
  EXPECT_EQ(in.unconvertible.count, static_cast<int>(std::count(expected.begin(), expected.end(), "?")));
}

// The encoding is decided and the text read as the platform reads it, whatever the bytes.
TEST(CsvImport, DecodesAsThePlatformDoes) {
  const char* const pieces[] = {"a", "\x98", "\xC0", "\xD0\x9F", "\xE2\x82\xAC", "\xF0\x9F\x98\x80", "\x80",
                                "\xBF", "\xFE", "\xFF", "\xED\xA0\x80", "\xC1\xBF", "\xF8\x88\x80\x80\x80", "\xEF",
                                "\xE0\x80\xAF", "\xEF\xBF\xBE", "\xEF\xBF\xBD", "\xEF\xB7\x90", "\xF4\x90\x80\x80",
                                "\xC2\x80", "\xDF\xBF", "\xEE\x80\x80", "\xED\x9F\xBF"};
  uint32_t seed = 31337;
  auto next = [&] { return seed = seed * 1103515245u + 12345u, seed >> 16; };
  for (int round = 0; round < 3000; ++round) {
    std::string bytes = "h";
    for (size_t n = next() % 6; n > 0; --n) bytes += pieces[next() % std::size(pieces)];
    if (round % 2 && bytes.size() > 1) bytes.erase(0, 1);  // also with no ASCII at all
    std::u16string wide;
    CsvEncoding encoding = CsvEncoding::kUtf8;
    bool ok = platform::ToUtf16(platform::kUtf8, bytes, wide, true);
    if (!ok && bytes.find('\x98') == std::string::npos) {
      ok = platform::ToUtf16(platform::kCp1251, bytes, wide);
      encoding = CsvEncoding::kCp1251;
    }
    CsvImport in = ImportCsvBytes(bytes, "f.csv");
    ASSERT_EQ(in.ok, ok) << bytes;
    if (!ok) continue;
    EXPECT_EQ(in.encoding, encoding) << bytes;
    // One "?" for a character beyond the page, a surrogate pair included (the system's
    // own conversion gives two for a pair on Windows, one elsewhere).
    std::string name;
    for (size_t i = 0; i < wide.size(); ++i) {
      bool pair = wide[i] >= 0xD800 && wide[i] < 0xDC00 && i + 1 < wide.size() && wide[i + 1] >= 0xDC00 &&
                  wide[i + 1] < 0xE000;
      std::string one;
      platform::FromUtf16(platform::kCp1251, std::u16string_view(wide).substr(i, pair ? 2 : 1), one, '?');
      name += pair ? std::string("?") : one;
      i += pair;
    }
    EXPECT_EQ(in.table.def.names, std::vector<std::string>{name}) << bytes;
  }
  std::string all;
  for (int b = 1; b < 256; ++b)
    if (std::string_view(",;\t\"\r\n").find(static_cast<char>(b)) == std::string_view::npos) all += static_cast<char>(b);
  DataTable t;
  t.def.AddColumnEntry(all, 100, 1);
  EXPECT_EQ(CsvBytes(t), kMark + Utf8(all + "\r\n"));
}

}  // namespace
}  // namespace vm::data
