#include "cards/card_find.h"

#include <gtest/gtest.h>

namespace vm::cards {
namespace {

TEST(CardFindTest, EveryFieldOfEveryCardNamedByTheCardAndEveryChangeSeen) {
  CardBook firms(FirmsBook());
  firms.Append({"Окна|ООО #|Рама|Москва||||||директор", "короткая"});
  std::vector<find::Entry> texts = CardFindTexts(firms);
  ASSERT_EQ(texts.size(), 2u);
  // A firm is named by its second field; "#|" stays in the field, as the book reads it.
  EXPECT_EQ(texts[0].label, "ООО |Рама");
  EXPECT_EQ(texts[0].text, std::string("Окна\x1FООО |Рама\x1FМосква\x1F\x1F\x1F\x1F\x1F\x1F") + "директор");
  EXPECT_EQ(texts[1].text, "короткая");  // a short line: only the fields it has
  EXPECT_EQ(CardFieldNames(FirmsBook()).size(), 9u);
  EXPECT_EQ(CardFieldNames(ContactsBook()).size(), 13u);
  EXPECT_EQ(CardFieldNames(ContactsBook())[11], "Адрес");

  uint64_t seen = firms.revision();
  auto changed = [&] {
    const bool moved = firms.revision() != seen;
    seen = firms.revision();
    return moved;
  };
  EXPECT_TRUE(firms.EditField(0, 8, "директор Петров"));
  EXPECT_TRUE(changed());
  firms.Sort(0, false);
  EXPECT_TRUE(changed());
  firms.Select(0);
  EXPECT_FALSE(changed());  // looking is no change
  firms.RemoveCurrent();
  EXPECT_TRUE(changed());
  firms.SetSearch(0, "x");
  firms.Add();
  EXPECT_TRUE(changed());
}

}  // namespace
}  // namespace vm::cards
