#include "cards/win/cards_resources.h"
#include "cards/win/contacts_page.h"
#include "cards/win/firms_page.h"
#include "shell/sheet_rules.h"

namespace vm::cards {

const CardPageKind& ContactsPageKind() {
  static const CardPageKind kind{ContactsBook(),
                                 IDD_CONTACTS,
                                 IDR_CONTACTS_TOOLBAR,
                                 shell::kContactsTab,
                                 shell::Book::kContacts,
                                 &ContactsPageBoxes,
                                 {"Ф.И.О.", "Должность/занятие", "Организация", "Город"},
                                 {IDI_CARD_PHONE, IDI_CARD_MOBILE, IDI_CARD_FAX, IDI_CARD_PAGER,
                                  IDI_CARD_MAIL, IDI_CARD_WEB, IDI_CARD_ICQ},
                                 false};
  return kind;
}

const CardPageKind& FirmsPageKind() {
  static const CardPageKind kind{FirmsBook(),
                                 IDD_FIRMS,
                                 IDR_FIRMS_TOOLBAR,
                                 shell::kFirmsTab,
                                 shell::Book::kFirms,
                                 &FirmsPageBoxes,
                                 {"Продукция/услуги", "Организация", "Город"},
                                 {IDI_CARD_FAX, IDI_CARD_MAIL, IDI_CARD_WEB},
                                 true};
  return kind;
}

}  // namespace vm::cards
