#include "common/shell_actions.h"

#include <gtest/gtest.h>

namespace vm {
namespace {

TEST(ShellActions, BrowserFallbackCutsTheRegisteredCommand) {
  struct Case {
    const char* registered;
    const char* target;
    const char* command;
  } cases[] = {
      {"\"C:\\Web\\browser.exe\" -osint -url \"%1\"", "www.example.org",
       "\"C:\\Web\\browser.exe\" -osint -url  www.example.org"},
      {"C:\\Web\\browser.exe %1 -new", "www.example.org", "C:\\Web\\browser.exe  www.example.org"},
      {"C:\\Web\\browser.exe", "http://x.ru/?a=1", "C:\\Web\\browser.exe http://x.ru/?a=1"},
      {"browser \"%1\" %1", "t", "browser  t"},
      // a path with blanks reaches the browser as one argument
      {"browser %1", "C:\\Program Files\\Velmoria\\Temp\\VisitRep.html",
       "browser  \"C:\\Program Files\\Velmoria\\Temp\\VisitRep.html\""},
      {"browser", "\"C:\\a b\\c.html\"", "browser \"C:\\a b\\c.html\""},
  };
  for (const Case& c : cases)
    EXPECT_EQ(BrowserFallbackCommand<char>(c.registered, c.target), c.command) << c.registered;
  EXPECT_EQ(BrowserFallbackCommand<char16_t>(u"b.exe \"%1\"", u"www.x.ru"), u"b.exe  www.x.ru");
}

TEST(ShellActions, OpenFailureTexts) {
  EXPECT_EQ(OpenFailureMessage(3), "Unable to open hyperlink:\n\nThe specified path was not found.");
  EXPECT_EQ(OpenFailureText(26), "A sharing violation occurred. ");  // the trailing blank is the text's own
  // codes without a text of their own, codes of success and negative ones alike
  for (int code : {1, 7, 33, -3})
    EXPECT_EQ(OpenFailureText(code), "Unknown Error (" + std::to_string(code) + ") occurred.");
}

TEST(ShellActions, IsLink) {
  struct Case {
    const char* text;
    bool link;
  } cases[] = {
      {"http://x.ru", true},   {"HTTP://X.RU", true},  {"https://x.ru", true}, {"Mailto:a@b.ru", true},
      {"file:///C:/a.html", true}, {"WWW.x.ru", true}, {"", false},           {" http://x.ru", false},
      {"\thttp://x.ru", false},    {"\nwww.x", false},  {"ftp://x.ru", false}, {"www", false},
      {"x.ru", false},
  };
  for (const Case& c : cases) EXPECT_EQ(IsLink(c.text), c.link) << c.text;
}

TEST(ShellActions, PagesPassTheFieldsOfTheSelectedRecord) {
  const std::string contact = "Иванов|инженер|Завод|Тверь|111|222||444|ivan#|home@x.ru|www.x.ru|555|адрес|заметка";
  const std::string firm = "Хлеб|Булочная|Тверь|333||firm@x.ru|www.firm.ru|адрес|";
  struct Case {
    CardBook book;
    CardAction action;
    const std::string* record;
    ShellRequest::Kind kind;
    const char* value;  // the number or the target
  } cases[] = {
      {CardBook::kContacts, CardAction::kPhone, &contact, ShellRequest::kDial, "111"},
      {CardBook::kContacts, CardAction::kMobile, &contact, ShellRequest::kDial, "222"},
      {CardBook::kContacts, CardAction::kFax, &contact, ShellRequest::kNothing, ""},  // empty field
      {CardBook::kContacts, CardAction::kMail, &contact, ShellRequest::kOpen, "mailto:ivan|home@x.ru"},
      {CardBook::kContacts, CardAction::kWeb, &contact, ShellRequest::kOpen, "www.x.ru"},
      {CardBook::kContacts, CardAction::kWeb, nullptr, ShellRequest::kNothing, ""},  // nothing selected
      {CardBook::kFirms, CardAction::kPhone, &firm, ShellRequest::kDial, "333"},
      {CardBook::kFirms, CardAction::kFax, &firm, ShellRequest::kNothing, ""},
      {CardBook::kFirms, CardAction::kMobile, &firm, ShellRequest::kNothing, ""},
      {CardBook::kFirms, CardAction::kMail, &firm, ShellRequest::kOpen, "mailto:firm@x.ru"},
      {CardBook::kFirms, CardAction::kWeb, &firm, ShellRequest::kOpen, "www.firm.ru"},
  };
  for (const Case& c : cases) {
    ShellRequest r = PlanCardAction(c.book, c.action, c.record);
    EXPECT_EQ(r.kind, c.kind) << c.value;
    EXPECT_EQ(r.kind == ShellRequest::kDial ? r.number : r.target, c.value);
  }
  ShellRequest dial = PlanCardAction(CardBook::kContacts, CardAction::kPhone, &contact);
  EXPECT_EQ(dial.party1, "Иванов");
  EXPECT_EQ(dial.party2, "инженер");
  // A record line too short for the field counts as an empty field.
  const std::string shortLine = "Петров|врач|||";
  EXPECT_EQ(PlanCardAction(CardBook::kContacts, CardAction::kWeb, &shortLine).kind, ShellRequest::kNothing);

  const std::string row = "a|+7 900|b@x.ru";
  ShellRequest data = PlanDataAction(CardAction::kPhone, &row, 1);
  EXPECT_EQ(data.kind, ShellRequest::kDial);
  EXPECT_EQ(data.number, "+7 900");
  EXPECT_FALSE(data.party1.has_value());
  EXPECT_FALSE(data.party2.has_value());
  EXPECT_EQ(PlanDataAction(CardAction::kMail, &row, 2).target, "mailto:b@x.ru");
  EXPECT_EQ(PlanDataAction(CardAction::kMail, &row, -1).kind, ShellRequest::kNothing);  // no column chosen
  EXPECT_EQ(PlanDataAction(CardAction::kMail, &row, 5).kind, ShellRequest::kNothing);
}

class FakeTelephony : public TelephonyLink {
 public:
  bool library = true, function = true;
  int loads = 0, finds = 0, calls = 0;
  std::string lastNumber;
  bool LoadService() override {
    ++loads;
    return library;
  }
  bool FindCall() override {
    ++finds;
    return function;
  }
  std::int32_t Call(const std::string& number, const std::optional<std::string>& party1,
                    const std::optional<std::string>&) override {
    ++calls;
    lastNumber = number;
    return party1 ? 7 : 8;
  }
};

TEST(ShellActions, TelephonyIsTriedOncePerProcess) {
  struct Case {
    bool library, function;
    std::int32_t first, later;
    int loads, finds, calls;  // after three dials
  } cases[] = {
      {false, false, kTelephonyMissing, kTelephonyMissing, 1, 0, 0},
      {true, false, kTelephonyMissing, kTelephonyGaveUp, 1, 1, 0},
      {true, true, 7, 7, 1, 1, 3},
  };
  for (const Case& c : cases) {
    FakeTelephony link;
    link.library = c.library;
    link.function = c.function;
    Dialer dialer;
    EXPECT_EQ(dialer.Dial(link, "", "a", "b"), 0);  // an empty number touches nothing
    EXPECT_EQ(link.loads, 0);
    EXPECT_EQ(dialer.Dial(link, "123", "a", "b"), c.first);
    EXPECT_EQ(dialer.Dial(link, "123", "a", "b"), c.later);
    EXPECT_EQ(dialer.Dial(link, "123", "a", "b"), c.later);
    EXPECT_EQ(link.loads, c.loads);
    EXPECT_EQ(link.finds, c.finds);
    EXPECT_EQ(link.calls, c.calls);
  }
  FakeTelephony link;
  Dialer dialer;
  EXPECT_EQ(dialer.Dial(link, "+7 900", std::nullopt, std::nullopt), 8);
  EXPECT_EQ(link.lastNumber, "+7 900");
}

}  // namespace
}  // namespace vm
