// The decisions the contacts and firms pages take from the model: how typed text is
// stored, the contact means, the shell actions, the rows kept after a delete and where
// every control goes on a resize.
#include <gtest/gtest.h>

#include "cards/card_book.h"
#include "cards/card_layout.h"
#include "common/dpi_scale.h"
#include "platform/platform.h"
#include "support/program_folder.h"
#include "support/scratch.h"

namespace vm::cards {
namespace {

using testing::Slurp;
using testing::Spit;

class CardEditing : public testing::ProgramFolderTest {
 protected:
  void SetUp() override { MakeFolders({"Support"}); }
};

TEST_F(CardEditing, TypedSeparatorsSurviveSaveAndReload) {
  Spit(dir_ / "Support\\cont.dbc", "Анна|||Тула|||||||||\r\n");
  CardBook book(ContactsBook());
  book.Load(dir_.path());
  book.Select(0);
  EXPECT_TRUE(book.EditField(0, 1, "инженер|конструктор"));
  EXPECT_TRUE(book.EditCurrent(12, "первая\nвторая"));
  EXPECT_TRUE(book.EditMean(4, "a#b@c.ru"));
  // Typing the same text again is no change.
  EXPECT_FALSE(book.EditField(0, 1, "инженер|конструктор"));
  ASSERT_EQ(book.Save().status, SaveStatus::kSaved);
  EXPECT_EQ(Slurp(dir_ / "Support\\cont.dbc"),
            "Анна|инженер#|конструктор||Тула|||||ab@c.ru||||перваяERN:вторая\r\n");

  CardBook again(ContactsBook());
  again.Load(dir_.path());
  ASSERT_EQ(again.records().size(), 1u);
  EXPECT_EQ(again.Field(0, 1), "инженер|конструктор");
  EXPECT_EQ(again.Field(0, 3), "Тула");
  EXPECT_EQ(again.Field(0, 8), "ab@c.ru");
  EXPECT_EQ(again.Field(0, 12), "первая\r\nвторая");
}

TEST_F(CardEditing, ShortLineIsPaddedSoATypedValueIsKept) {
  // Thirteen separators load; a line made by other means may still be edited in a field
  // past its end once the page pads it.
  Spit(dir_ / "Support\\firm.dbo", "Хлеб|Пекарня|Тула||||||\r\n");
  CardBook book(FirmsBook());
  book.Load(dir_.path());
  book.Select(0);
  book.book().records[0] = "Хлеб|Пекарня";  // as if from another program
  EXPECT_TRUE(book.EditCurrent(8, "заметка"));
  EXPECT_EQ(book.records()[0], "Хлеб|Пекарня|||||||заметка");
}

TEST_F(CardEditing, AddEscapesTheSearchTexts) {
  Spit(dir_ / "Support\\cont.dbc", "");
  CardBook book(ContactsBook());
  book.Load(dir_.path());
  book.SetSearch(0, "ООО \"Рога|Копыта\"");
  book.SetSearch(3, "Москва");
  book.Add();
  ASSERT_EQ(book.records().size(), 1u);
  EXPECT_EQ(CountSeparators(book.records()[0]), 13);
  EXPECT_EQ(book.Field(0, 0), "ООО \"Рога|Копыта\"");
  EXPECT_EQ(book.Field(0, 3), "Москва");
  EXPECT_EQ(book.current(), 0);
}

TEST_F(CardEditing, MeansShowTrimmedAndWriteTheirFields) {
  Spit(dir_ / "Support\\cont.dbc", "Анна||||  +7 495 1  |\t8 900ERN:|||  a@b.ru |www.x.ru| 123 ||\r\n");
  CardBook book(ContactsBook());
  book.Load(dir_.path());
  EXPECT_EQ(book.MeanText(0), "");  // no current card
  book.Select(0);
  const char* shown[] = {"+7 495 1", "8 900", "", "", "a@b.ru", "www.x.ru", "123"};
  for (int row = 0; row < 7; ++row) EXPECT_EQ(book.MeanText(row), shown[row]) << row;
  EXPECT_EQ(book.MeanText(7), "");
  EXPECT_TRUE(book.EditMean(3, "пейджер 5"));
  EXPECT_EQ(book.Field(0, 7), "пейджер 5");
  EXPECT_FALSE(book.EditMean(-1, "x"));

  Spit(dir_ / "Support\\firm.dbo", "Хлеб|Пекарня|Тула|1ERN:2|факс|m@f.ru|f.ru||\r\n");
  CardBook firms(FirmsBook());
  firms.Load(dir_.path());
  firms.Select(0);
  ASSERT_EQ(firms.layout().means.size(), 3u);
  EXPECT_EQ(firms.MeanText(0), "факс");
  EXPECT_EQ(firms.MeanText(2), "f.ru");
  EXPECT_TRUE(firms.EditMean(1, "new@f.ru"));
  EXPECT_EQ(firms.Field(0, 5), "new@f.ru");
}

TEST_F(CardEditing, ActionsTakeTheirBooksFields) {
  Spit(dir_ / "Support\\cont.dbc", "Анна|врач||||+7 900|||a@b.ru|www.a.ru|||\r\n");
  Spit(dir_ / "Support\\firm.dbo", "Хлеб|Пекарня|Тула|1ERN:2|факс|m@f.ru|f.ru||\r\n");
  CardBook contacts(ContactsBook());
  contacts.Load(dir_.path());
  EXPECT_EQ(contacts.PlanAction(CardAction::kMobile).kind, ShellRequest::kNothing);  // nothing selected
  contacts.Select(0);
  struct Case {
    CardBook* book;
    CardAction action;
    ShellRequest::Kind kind;
    const char* what;  // number or target
  } cases[] = {
      {&contacts, CardAction::kPhone, ShellRequest::kNothing, ""},
      {&contacts, CardAction::kMobile, ShellRequest::kDial, "+7 900"},
      {&contacts, CardAction::kMail, ShellRequest::kOpen, "mailto:a@b.ru"},
      {&contacts, CardAction::kWeb, ShellRequest::kOpen, "www.a.ru"},
  };
  for (const Case& c : cases) {
    ShellRequest r = c.book->PlanAction(c.action);
    EXPECT_EQ(r.kind, c.kind) << c.what;
    EXPECT_EQ(r.kind == ShellRequest::kDial ? r.number : r.target, c.what);
  }
  ShellRequest dial = contacts.PlanAction(CardAction::kMobile);
  EXPECT_EQ(dial.party1.value_or("-"), "Анна");
  EXPECT_EQ(dial.party2.value_or("-"), "врач");

  CardBook firms(FirmsBook());
  firms.Load(dir_.path());
  firms.Select(0);
  ShellRequest phone = firms.PlanAction(CardAction::kPhone);
  EXPECT_EQ(phone.kind, ShellRequest::kDial);
  EXPECT_EQ(phone.number, "1\r\n2");
  EXPECT_EQ(phone.party1.value_or("-"), "Хлеб");
  EXPECT_EQ(firms.PlanAction(CardAction::kFax).number, "факс");
  EXPECT_EQ(firms.PlanAction(CardAction::kMail).target, "mailto:m@f.ru");
  EXPECT_EQ(firms.PlanAction(CardAction::kWeb).target, "f.ru");
}

TEST(CardPage, CountTextAndTopRowAfterRemove) {
  EXPECT_EQ(CountText(0), "Всего записей: 0");
  EXPECT_EQ(CountText(100000), "Всего записей: 100000");
  struct Case {
    int top, count, perPage, kept;
  } cases[] = {
      {0, 0, 10, 0},  {5, 100, 10, 5}, {95, 99, 10, 89}, {3, 5, 10, 0},
      {7, 17, 10, 7}, {8, 17, 10, 7},  {2, 9, 0, 2},
  };
  for (const Case& c : cases)
    EXPECT_EQ(TopRowAfterRemove(c.top, c.count, c.perPage), c.kept)
        << c.top << " " << c.count << " " << c.perPage;
}

TEST(CardPage, LayoutFollowsThePageSize) {
  // 641 x 403: odd sizes catch a halving rounded the wrong way.
  CardPageBoxes c = ContactsPageBoxes(641, 403);
  EXPECT_EQ(c.toolbar, (Box{10, 0, 320, 26}));
  EXPECT_EQ(c.hideBar, (Box{619, 0, 26, 26}));
  int d = (641 - 15) / 4;  // 156
  ASSERT_EQ(c.search.size(), 4u);
  EXPECT_EQ(c.search[0], (Box{10, 30, d - 5, 20}));
  EXPECT_EQ(c.search[1], (Box{d + 5, 30, d, 20}));
  EXPECT_EQ(c.search[2], (Box{318, 30, d, 20}));  // (641 - 15) / 2 + 5
  EXPECT_EQ(c.search[3], (Box{474, 30, d, 20}));  // (3 * 641 - 45) / 4 + 5
  EXPECT_EQ(c.list, (Box{10, 60, 621, 193}));
  EXPECT_EQ(c.address, (Box{50, 258, 260, 68}));  // 641 / 2 = 320
  EXPECT_EQ(c.comment, (Box{50, 328, 260, 68}));
  EXPECT_EQ(c.addressIcon, (Box{10, 273, 30, 30}));
  EXPECT_EQ(c.commentIcon, (Box{10, 343, 30, 30}));
  EXPECT_EQ(c.means, (Box{321, 258, 310, 145}));
  EXPECT_LE(c.means.y + c.means.height, 403);
  EXPECT_EQ(c.count, (Box{481, 5, 160, 20}));
  EXPECT_EQ(c.phones, Box{});

  CardPageBoxes f = FirmsPageBoxes(641, 403);
  EXPECT_EQ(f.toolbar, (Box{10, 0, 290, 26}));
  int t = (641 - 15) / 3;  // 208
  ASSERT_EQ(f.search.size(), 3u);
  EXPECT_EQ(f.search[0], (Box{10, 30, t - 5, 20}));
  EXPECT_EQ(f.search[1], (Box{t + 5, 30, t, 20}));
  EXPECT_EQ(f.search[2], (Box{422, 30, t, 20}));  // (2 * 641 - 30) / 3 + 5
  EXPECT_EQ(f.means, (Box{321, 258, 310, 80}));
  EXPECT_EQ(f.phonesIcon, (Box{321, 343, 30, 30}));
  EXPECT_EQ(f.phones, (Box{356, 343, 275, 55}));
  EXPECT_EQ(f.list, c.list);
  EXPECT_EQ(f.address, c.address);

  // A page smaller than the list needs gives empty boxes, never negative ones.
  CardPageBoxes tiny = ContactsPageBoxes(10, 100);
  EXPECT_EQ(tiny.list.height, 0);
  EXPECT_EQ(tiny.search[0].width, 0);
  EXPECT_EQ(tiny.address.width, 0);
}

// At 150 % and 200 % the page keeps the shape it has at 100 %: every box grows by the
// scale, the right and bottom margins too, and no two boxes come to overlap.
TEST(CardLayout, ScalesWithTheScreenWithoutOverlaps) {
  for (auto boxes : {&ContactsPageBoxes, &FirmsPageBoxes})
    for (int dpi : {96, 144, 192}) {
      SCOPED_TRACE(dpi);
      int w = ScaleToDpi(641, dpi), h = ScaleToDpi(403, dpi);
      CardPageBoxes b = PageBoxesAt(boxes, w, h, dpi);
      EXPECT_EQ(b.toolbar.height, ScaleToDpi(26, dpi));
      EXPECT_EQ(b.list.x, ScaleToDpi(10, dpi));
      EXPECT_NEAR(w - (b.list.x + b.list.width), ScaleToDpi(10, dpi), 1);
      EXPECT_NEAR(h - (b.comment.y + b.comment.height), ScaleToDpi(7, dpi), 1);
      std::vector<ControlBox> controls;
      for (const Box& x : {b.toolbar, b.list, b.address, b.addressIcon, b.comment, b.commentIcon, b.means,
                           b.phones, b.phonesIcon})
        controls.push_back(ControlBox{x.x, x.y, x.x + x.width, x.y + x.height});
      for (const Box& x : b.search) controls.push_back(ControlBox{x.x, x.y, x.x + x.width, x.y + x.height});
      EXPECT_TRUE(OverlappingBoxes(controls).empty());
    }
}

}  // namespace
}  // namespace vm::cards
