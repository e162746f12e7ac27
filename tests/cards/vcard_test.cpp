#include "cards/vcard.h"

#include <gtest/gtest.h>

#include "common/ical_text.h"
#include "common/record_file.h"

namespace vm::cards {
namespace {

std::string U8(const char8_t* s) {
  return reinterpret_cast<const char*>(s);
}

std::string Record(std::initializer_list<const char*> fields) {
  std::string line;
  bool first = true;
  for (const char* f : fields) {
    if (!first) line += '|';
    AppendFieldText(line, f);
    first = false;
  }
  return line;
}

const std::vector<std::string> kContacts = {
    Record({"Иванов Иван Иванович", "Директор", "ООО \"Ромашка\"; филиал", "Москва", "+7 495 123-45-67",
            "+7 916 000-00-01", "+7 495 123-45-68", "1234", "ivanov@example.ru", "http://example.ru/a,b",
            "123456789", "ул. Тверская, 1\r\nкв. 5", "Звонить после 10:00;\r\nне в выходные\\"}),
    Record({"Петрова", "", "", "", "", "", "", "", "", "", "", "", ""}),
    Record({"Smith John", "Очень длинная должность, которая не поместится в семьдесят пять октетов строки",
            "", "Санкт-Петербург", "", "", "", "", "", "", "", "", ""}),
};

const std::vector<std::string> kFirms = {
    Record({"Поставки бумаги", "ООО \"Бумага\"", "Тверь", "+7 4822 11-11-11\r\n+7 4822 22-22-22",
            "+7 4822 33-33-33", "info@paper.ru", "paper.ru", "пр. Ленина, 5", "Оптом"}),
};

TEST(Vcard, ContactsAndFirmsComeBackTheSameInBothVersions) {
  for (VcardVersion v : {VcardVersion::k40, VcardVersion::k30}) {
    std::string vcf = CardsToVcard(ContactsBook(), kContacts, v);
    VcardImport in = ImportVcard(vcf, ContactsBook(), {});
    EXPECT_EQ(in.cards, 3);
    EXPECT_EQ(in.added, kContacts) << vcf;
    EXPECT_EQ(VcardImportReport(in), "");
    // Exported again, nothing is new.
    VcardImport again = ImportVcard(vcf, ContactsBook(), kContacts);
    EXPECT_TRUE(again.added.empty());
    EXPECT_EQ(again.skipped, 3);

    std::string firms = CardsToVcard(FirmsBook(), kFirms, v);
    EXPECT_EQ(ImportVcard(firms, FirmsBook(), {}).added, kFirms) << firms;
  }
}

TEST(Vcard, WritesTheRfcShape) {
  std::string vcf = CardsToVcard(ContactsBook(), {kContacts[0], kContacts[2]}, VcardVersion::k40);
  EXPECT_EQ(vcf.find("BEGIN:VCARD\r\nVERSION:4.0\r\nFN:"), 0u);
  EXPECT_TRUE(ical::IsValidUtf8(vcf));
  for (const std::string& needle :
       {U8(u8"FN:Иванов Иван Иванович\r\n"), U8(u8"N:Иванов;Иван;Иванович;;\r\n"),
        U8(u8"ORG:ООО \"Ромашка\"\\; филиал\r\n"), U8(u8"ADR;TYPE=work:;;ул. Тверская\\, 1\\nкв. 5;Москва;;;\r\n"),
        std::string("TEL;TYPE=cell:+7 916 000-00-01\r\n"), std::string("TEL;TYPE=work,fax:+7 495 123-45-68\r\n"),
        std::string("TEL;TYPE=pager:1234\r\n"), std::string("IMPP:icq:123456789\r\n"),
        std::string("URL:http://example.ru/a,b\r\n"), U8(u8"NOTE:Звонить после 10:00\\;\\nне в выходные\\\\\r\n"),
        std::string("N:Smith;John;;;\r\n")})
    EXPECT_NE(vcf.find(needle), std::string::npos) << needle;
  size_t start = 0;
  while (start < vcf.size()) {
    size_t end = vcf.find("\r\n", start);
    ASSERT_NE(end, std::string::npos);
    EXPECT_LE(end - start, 75u);
    start = end + 2;
  }
  std::string v3 = CardsToVcard(ContactsBook(), {kContacts[0]}, VcardVersion::k30);
  EXPECT_NE(v3.find("VERSION:3.0\r\n"), std::string::npos);
  EXPECT_NE(v3.find("TEL;TYPE=WORK,VOICE:"), std::string::npos);
  EXPECT_NE(v3.find("X-ICQ:123456789\r\n"), std::string::npos);
  std::string firm = CardsToVcard(FirmsBook(), kFirms, VcardVersion::k40);
  EXPECT_NE(firm.find("KIND:org\r\n"), std::string::npos);
  EXPECT_NE(firm.find(U8(u8"FN:ООО \"Бумага\"\r\n")), std::string::npos);
}

TEST(Vcard, SplitsRussianNames) {
  PersonName n = SplitRussianName("  Салтыков-Щедрин  Михаил Евграфович оглы ");
  EXPECT_EQ(n.family, "Салтыков-Щедрин");
  EXPECT_EQ(n.given, "Михаил");
  EXPECT_EQ(n.additional, "Евграфович оглы");
  EXPECT_EQ(SplitRussianName("Петрова").family, "Петрова");
  EXPECT_EQ(SplitRussianName("").given, "");
}

// A phone's 2.1 export: quoted-printable Windows-1251 with soft breaks, bare types, no FN,
// a photo; and the same person already in the book is skipped.
TEST(Vcard, ReadsPhoneStyle21) {
  const std::string vcf =
      "BEGIN:VCARD\r\nVERSION:2.1\r\n"
      "N;CHARSET=windows-1251;ENCODING=QUOTED-PRINTABLE:=D1=E8=E4=EE=F0=EE=E2;=CF=E5=F2=F0;=\r\n"
      "=D1=E8=E4=EE=F0=EE=E2=E8=F7;;\r\n"
      "TEL;CELL;PREF:+79160000002\r\n"
      "TEL;CELL:+79160000003\r\n"
      "TEL;HOME;VOICE:+74950000004\r\n"
      "EMAIL;INTERNET:sidorov@example.ru\r\n"
      "NOTE;ENCODING=QUOTED-PRINTABLE;CHARSET=UTF-8:=D0=94=D1=80=D1=83=D0=B3=0D=0A=D1=88=D0=BA=D0=BE=D0=BB=D1=8B\r\n"
      "BDAY:1970-05-04\r\n"
      "PHOTO;ENCODING=BASE64;TYPE=JPEG:\r\n /9j/4AAQSkZJRgABAQEASABIAAD\r\n\r\n"
      "END:VCARD\r\n"
      "BEGIN:VCARD\r\nVERSION:2.1\r\nN:;Petrova;;;\r\nFN:Петрова\r\nEND:VCARD\r\n";
  std::vector<std::string> existing = {kContacts[1]};
  // The second card's FN is written here in Windows-1251, as old phones did.
  VcardImport in = ImportVcard(vcf, ContactsBook(), existing);
  EXPECT_EQ(in.cards, 2);
  EXPECT_EQ(in.skipped, 1);
  ASSERT_EQ(in.added.size(), 1u);
  const std::string& r = in.added[0];
  EXPECT_EQ(GetField(r, 0), "Сидоров Петр Сидорович");
  EXPECT_EQ(GetField(r, 4), "+74950000004");
  EXPECT_EQ(GetField(r, 5), "+79160000002");
  EXPECT_EQ(GetField(r, 8), "sidorov@example.ru");
  EXPECT_EQ(GetField(r, 12), "Друг\r\nшколы\r\nДень рождения: 1970-05-04\r\nМобил: +79160000003");
  EXPECT_EQ(in.intoComment, 2);
  EXPECT_EQ(in.binarySkipped, 1);
  std::string report = VcardImportReport(in);
  EXPECT_NE(report.find("записаны в дополнительные сведения"), std::string::npos);
  EXPECT_NE(report.find("пропущены: 1."), std::string::npos);
}

// A desktop address book's 3.0: grouped properties with their labels, several e-mails
// with a preference, a second address, a nickname; and characters Windows-1251 lacks.
TEST(Vcard, ReadsGroupedThreeZeroAndCountsLostCharacters) {
  const std::string vcf = U8(
      u8"BEGIN:VCARD\r\nVERSION:3.0\r\nPRODID:-//Example//AddressBook 1.0//EN\r\n"
      u8"N:Кузнецова;Анна;;;\r\nFN:Кузнецова Анна\r\nNICKNAME:Аня\r\n"
      u8"ORG:Рога и копыта;Бухгалтерия\r\nTITLE:Бухгалтер\r\n"
      u8"item1.EMAIL;type=INTERNET:anna@home.example\r\nitem1.X-ABLabel:_$!<Other>!$_\r\n"
      u8"item2.EMAIL;type=INTERNET;type=pref:anna@work.example\r\n"
      u8"TEL;type=WORK;type=VOICE:+7 812 000-00-05\r\n"
      u8"item3.ADR;type=HOME:;;Невский пр.\\, 1;Санкт-Петербург;;190000;Россия\r\n"
      u8"item4.ADR;type=WORK:;;Литейный\\, 2;Санкт-Петербург;;;\r\n"
      u8"URL;type=pref:https://example.ru\r\nX-ABUID:5AD380FD-B2DE-4261-BA99-DE1D1DB52FBE\\:ABPerson\r\n"
      u8"X-SOCIALPROFILE;type=twitter:x.com/anna\r\n"
      u8"NOTE:Ω-группа 😀\r\nEND:VCARD\r\n");
  VcardImport in = ImportVcard(vcf, ContactsBook(), {});
  ASSERT_EQ(in.added.size(), 1u);
  const std::string& r = in.added[0];
  EXPECT_EQ(GetField(r, 0), "Кузнецова Анна");
  EXPECT_EQ(GetField(r, 1), "Бухгалтер");
  EXPECT_EQ(GetField(r, 2), "Рога и копыта, Бухгалтерия");
  EXPECT_EQ(GetField(r, 3), "Санкт-Петербург");
  EXPECT_EQ(GetField(r, 11), "Невский пр., 1, 190000, Россия");
  EXPECT_EQ(GetField(r, 8), "anna@work.example");
  EXPECT_EQ(GetField(r, 9), "https://example.ru");
  EXPECT_EQ(GetField(r, 12),
            "?-группа ?\r\nПсевдоним: Аня\r\nАдрес: Литейный, 2, Санкт-Петербург\r\n"
            "X-SOCIALPROFILE: x.com/anna\r\nE-Mail (Other): anna@home.example");
  EXPECT_EQ(in.unconvertible, 2);
  EXPECT_EQ(in.unconvertibleCards, std::vector<int>{1});
  EXPECT_NE(VcardImportReport(in).find("заменены знаком \"?\" в карточках 1."), std::string::npos);
}

// RFC 6350's own example, with a firm read into the firms book.
TEST(Vcard, ReadsFourZeroIntoFirms) {
  const std::string vcf =
      "BEGIN:VCARD\r\nVERSION:4.0\r\nKIND:org\r\nFN:ABC Marketing\r\nORG:ABC\\, Inc.;North American Division;"
      "Marketing\r\nTEL;VALUE=uri;PREF=1;TYPE=\"voice,home\":tel:+1-555-555-5555;ext=5555\r\n"
      "TEL;VALUE=uri;TYPE=home:tel:+33-01-23-45-67\r\nTEL;TYPE=fax:+1-555-555-5556\r\n"
      "EMAIL;TYPE=work:jqpublic@xyz.example.com\r\n"
      "ADR;GEO=\"geo:12.3457,78.910\";LABEL=\"Mr. John Q. Public, Esq.\\nMail Drop: TNE QB\\n123 Main "
      "Street\\nAny Town, CA  91921-1234\\nU.S.A.\":;;123 Main Street;Any Town;CA;91921-1234;U.S.A.\r\n"
      "X-VELMORIA-PRODUCTS:Marketing\r\nEND:VCARD\r\n";
  VcardImport in = ImportVcard(vcf, FirmsBook(), {});
  ASSERT_EQ(in.added.size(), 1u);
  const std::string& r = in.added[0];
  EXPECT_EQ(GetField(r, 0), "Marketing");
  EXPECT_EQ(GetField(r, 1), "ABC, Inc., North American Division, Marketing");
  EXPECT_EQ(GetField(r, 2), "Any Town");
  EXPECT_EQ(GetField(r, 3), "+1-555-555-5555;ext=5555\r\n+33-01-23-45-67");
  EXPECT_EQ(GetField(r, 4), "+1-555-555-5556");
  EXPECT_EQ(GetField(r, 7), "123 Main Street, CA, 91921-1234, U.S.A.");
  EXPECT_EQ(GetField(r, 8), "Контакт: ABC Marketing");
}

}  // namespace
}  // namespace vm::cards
