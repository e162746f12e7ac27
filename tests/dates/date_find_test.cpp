#include "dates/date_find.h"

#include <gtest/gtest.h>

#include "platform/platform.h"
#include "support/scratch.h"

namespace vm::dates {
namespace {

TEST(DateFindTest, EveryLineButCommentsAndTheMarkerAndTheLineShownOnAJump) {
  const std::string bytes = "/2|формат\r\n;Петров\r\n\r\n12/04/День\tрождения Петрова\r\n1/1/Новый год";
  std::vector<find::Entry> texts = DateFindTexts(bytes, DateFileKind::kDates);
  ASSERT_EQ(texts.size(), 2u);
  EXPECT_EQ(texts[0].label, "Holidays.txt, строка 4");
  EXPECT_EQ(texts[0].place.record, 3u);
  EXPECT_EQ(texts[0].place.part, 1u);
  EXPECT_EQ(texts[1].text, "1/1/Новый год");
  EXPECT_EQ(DateFileLine(bytes, 3), "12/04/День\tрождения Петрова");
  EXPECT_EQ(DateFileLine(bytes, 9), "");
  EXPECT_NE(BytesFingerprint(bytes), BytesFingerprint(bytes + " "));

  testing::ScratchFolder dir;
  platform::MakeDir(dir / "Support");
  testing::Spit(dir / "Support\\Holidays.txt", bytes);
  DatesView view(dir.path());
  ASSERT_TRUE(view.ShowFileLine(DateFileKind::kDates, 3));
  ASSERT_EQ(view.lines().size(), 2u);  // the search heading and the line
  EXPECT_EQ(view.lines()[1].text.substr(0, 10), "12/04/День");
  EXPECT_FALSE(view.ShowFileLine(DateFileKind::kDates, 9));
  EXPECT_FALSE(view.ShowFileLine(DateFileKind::kBirthdays, 0));  // no such file
  EXPECT_EQ(view.lines().size(), 2u);
}

}  // namespace
}  // namespace vm::dates
