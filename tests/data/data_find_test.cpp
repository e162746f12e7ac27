#include "data/data_find.h"

#include <gtest/gtest.h>

#include "data/data_book.h"

namespace vm::data {
namespace {

TEST(DataFindTest, EveryFieldOfEveryRecordAndEveryChangeSeen) {
  DataTable t;
  t.def.names = {"Имя", "Тел"};
  t.def.lastColumn = 1;
  t.records = {{"Иван|123|лишнее"}, {"Пётр"}, {"a#|b|c"}};
  std::vector<find::Entry> texts = DataFindTexts(t);
  ASSERT_EQ(texts.size(), 3u);
  EXPECT_EQ(texts[0].text, "Иван\x1F" "123\x1Fлишнее");  // a field beyond the columns is stored too
  EXPECT_EQ(texts[1].text, "Пётр");
  EXPECT_EQ(texts[2].text, "a|b\x1F" "c");
  EXPECT_EQ(texts[2].label, "строка 3");

  DataBook book;
  uint64_t seen = book.revision();
  book.Refilter();  // after a change made from outside
  EXPECT_NE(book.revision(), seen);
  seen = book.revision();
  book.SetFilter(0, "x");
  EXPECT_EQ(book.revision(), seen);  // filtering is no change
}

}  // namespace
}  // namespace vm::data
