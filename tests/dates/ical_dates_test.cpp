#include "dates/ical_dates.h"

#include <gtest/gtest.h>

#include "common/ical_text.h"

namespace vm::dates {
namespace {

std::string U8(const char8_t* s) {
  return reinterpret_cast<const char*>(s);
}

// The events of the two files for 2025: fixed dates repeat yearly from this year (the
// 29th of February from the next leap year), weekday dates repeat on their weekday, the
// feasts counted from Easter are this year's, and lines giving no day are counted.
TEST(DatesIcs, FixedDatesYearlyMovableFeastsThisYear) {
  const std::string birthdays =
      "/2|формат\n;Birthday.txt\n12/04/1961/Гагарин Юрий\r\n25/12/%/Спиридон\n29/02/Високосник\n\n31/02/Нет дня\n";
  const std::string holidays = "/2|формат\n01/01/Новый год\nRP+/49/Троица\nRK/1/x\nRE/1/x\nВс3/06/День отца\nПн5/05/Последний понедельник\n";
  DatesIcs ics = DatesToIcs(birthdays, holidays, 2025, "20250101T000000Z");
  EXPECT_EQ(ics.yearly, 6);
  EXPECT_EQ(ics.thisYear, 3);
  EXPECT_EQ(ics.skipped, 1);
  const std::string& t = ics.text;
  EXPECT_TRUE(ical::IsValidUtf8(t));
  for (const std::string& needle : {
           U8(u8"DTSTART;VALUE=DATE:20250412\r\nDTEND;VALUE=DATE:20250413\r\nRRULE:FREQ=YEARLY\r\n"
              u8"SUMMARY:Гагарин Юрий\r\nDESCRIPTION:Год рождения: 1961\r\nCATEGORIES:Дни рождения\r\n"),
           U8(u8"DTSTART;VALUE=DATE:20251225\r\nDTEND;VALUE=DATE:20251226\r\nRRULE:FREQ=YEARLY\r\n"
              u8"SUMMARY:Спиридон\r\nDESCRIPTION:Именины\r\n"),
           U8(u8"DTSTART;VALUE=DATE:20280229\r\nDTEND;VALUE=DATE:20280301\r\nRRULE:FREQ=YEARLY\r\nSUMMARY:Високосник\r\n"),
           U8(u8"DTSTART;VALUE=DATE:20250101\r\nDTEND;VALUE=DATE:20250102\r\nRRULE:FREQ=YEARLY\r\nSUMMARY:Новый год\r\n"
              u8"CATEGORIES:Праздники\r\n"),
           U8(u8"DTSTART;VALUE=DATE:20250608\r\nDTEND;VALUE=DATE:20250609\r\nSUMMARY:Троица\r\n"),
           U8(u8"DTSTART;VALUE=DATE:20250420\r\nDTEND;VALUE=DATE:20250421\r\nSUMMARY:Католическая пасха\r\n"),
           U8(u8"DTSTART;VALUE=DATE:20250615\r\nDTEND;VALUE=DATE:20250616\r\nRRULE:FREQ=YEARLY;BYMONTH=6;BYDAY=3SU\r\n"),
           U8(u8"DTSTART;VALUE=DATE:20250526\r\nDTEND;VALUE=DATE:20250527\r\nRRULE:FREQ=YEARLY;BYMONTH=5;BYDAY=-1MO\r\n"),
       })
    EXPECT_NE(t.find(needle), std::string::npos) << needle;
  EXPECT_EQ(t.find("формат"), std::string::npos);
  EXPECT_EQ(t.find(U8(u8"Нет дня")), std::string::npos);
}

// A file in the older format is read as its upgrade makes it, without writing it.
TEST(DatesIcs, OlderFormatIsReadAsUpgraded) {
  DatesIcs ics = DatesToIcs("12/04/1961 Гагарин\n", "", 2025, "20250101T000000Z");
  EXPECT_EQ(ics.yearly, 1);
  EXPECT_NE(ics.text.find(U8(u8"SUMMARY:Гагарин\r\nDESCRIPTION:Год рождения: 1961\r\n")), std::string::npos);
}

}  // namespace
}  // namespace vm::dates
