// The contacts page ("Контакты"): people with 13 fields in "Support\cont.dbc".
#pragma once

#include "cards/win/card_page.h"

namespace vm::cards {

const CardPageKind& ContactsPageKind();

class CContDlg : public CardPage {
 public:
  explicit CContDlg(const CAppUtil& app) : CardPage(ContactsPageKind(), app) {}
};

}  // namespace vm::cards
