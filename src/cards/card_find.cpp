#include "cards/card_find.h"

#include "common/record_file.h"

namespace vm::cards {

std::vector<find::Entry> CardFindTexts(const CardBook& book) {
  const CardBookLayout& layout = book.layout();
  // The firms book keeps the firm's name in its second field, after the products.
  const int nameField = layout.fieldCount == FirmsBook().fieldCount ? 1 : 0;
  std::vector<find::Entry> out;
  out.reserve(book.records().size());
  for (size_t r = 0; r < book.records().size(); ++r) {
    const std::string_view line = book.records()[r];
    find::Entry e;
    e.place.record = static_cast<uint32_t>(r);
    e.text.reserve(line.size() + 1);
    // One walk over the line, field after field, as GetField reads each.
    size_t begin = 0;
    for (int f = 0; f < layout.fieldCount && begin <= line.size(); ++f) {
      const size_t end = FieldEnd(line, begin);
      if (f) e.text += find::kFieldBreak;
      const size_t at = e.text.size();
      AppendFieldValue(e.text, line.substr(begin, end - begin));
      if (f == nameField) e.label = e.text.substr(at);
      begin = end + 1;
    }
    out.push_back(std::move(e));
  }
  return out;
}

std::vector<std::string> CardFieldNames(const CardBookLayout& layout) {
  if (layout.fieldCount == FirmsBook().fieldCount)
    return {"Продукция/услуги", "Организация", "Город",  "Телефоны", "Факс",
            "E-Mail",           "WEB",         "Адрес", "Комментарий"};
  return {"Ф.И.О.", "Должность/занятие", "Организация", "Город",  "Телефон",     "Мобил", "Факс",
          "Пейджер", "E-Mail",           "WEB",         "ICQ",    "Адрес",       "Комментарий"};
}

}  // namespace vm::cards
