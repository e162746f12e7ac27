#include "common/text_util.h"

#include <gtest/gtest.h>

namespace vm {
namespace {

// Every cased letter of Windows-1251 folds to its lower case, and nothing else moves.
TEST(FoldCase, EveryCasedLetterOfTheCodePage) {
  const std::string upper = "ABCDEFGHIJKLMNOPQRSTUVWXYZАБВГДЕЖЗИЙКЛМНОПРСТУФХЦЧШЩЪЫЬЭЮЯЁЂЃЉЊЌЋЏЎЈҐЄЇІЅ";
  const std::string lower = "abcdefghijklmnopqrstuvwxyzабвгдежзийклмнопрстуфхцчшщъыьэюяёђѓљњќћџўјґєїіѕ";
  ASSERT_EQ(upper.size(), lower.size());
  EXPECT_EQ(FoldCase1251(upper), lower);
  EXPECT_EQ(FoldCase1251(lower), lower);
  for (int c = 0; c < 256; ++c) {
    char ch = static_cast<char>(c);
    if (upper.find(ch) == std::string::npos) {
      EXPECT_EQ(FoldCase1251(ch), ch) << c;
    }
  }
}

}  // namespace
}  // namespace vm
