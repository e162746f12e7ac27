// The firms page ("Фирмы"): organisations with 9 fields in "Support\firm.dbo"; it has a
// telephones box of its own and no mobile telephone.
#pragma once

#include "cards/win/card_page.h"

namespace vm::cards {

const CardPageKind& FirmsPageKind();

class CFirm : public CardPage {
 public:
  explicit CFirm(const CAppUtil& app) : CardPage(FirmsPageKind(), app) {}
};

}  // namespace vm::cards
