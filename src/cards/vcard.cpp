#include "cards/vcard.h"

#include <algorithm>
#include <cstdio>

#include "common/ical_text.h"
#include "common/record_file.h"

namespace vm::cards {

namespace {

using ical::ContentLine;

bool IsContacts(const CardBookLayout& layout) {
  return layout.fieldCount == 13;
}

// Contacts' fields beyond those the layout names for its commands.
constexpr int kContactName = 0, kContactTitle = 1, kContactOrg = 2, kContactCity = 3, kContactPager = 7,
              kContactIcq = 10;
constexpr int kFirmProducts = 0, kFirmOrg = 1, kFirmCity = 2;

// The product id of the files we write, and the property that carries the firms'
// "products or services", which vCard has no property for.
constexpr const char* kProdId = "-//Velmoria//Velmoria//RU";
constexpr const char* kProductsProperty = "X-VELMORIA-PRODUCTS";

std::string Utf8(const std::string& record, int field) {
  return ical::Cp1251ToUtf8Text(GetField(record, field));
}

// A URI value holds no line break; a field that does is written on one line.
std::string OneLine(std::string text) {
  for (char& c : text)
    if (c == '\n' || c == '\r') c = ' ';
  return text;
}

void Text(std::string& out, const char* name, const std::string& utf8) {
  if (!utf8.empty()) out += ical::FoldLine(std::string(name) + ":" + ical::EscapeText(utf8));
}

void Raw(std::string& out, const std::string& head, const std::string& utf8) {
  if (!utf8.empty()) out += ical::FoldLine(head + ":" + OneLine(utf8));
}

void Tel(std::string& out, const char* types, const std::string& utf8) {
  Text(out, (std::string("TEL;TYPE=") + types).c_str(), utf8);
}

void Address(std::string& out, const std::string& address, const std::string& city) {
  if (address.empty() && city.empty()) return;
  out += ical::FoldLine("ADR;TYPE=work:;;" + ical::EscapeText(address) + ";" + ical::EscapeText(city) + ";;;");
}

std::string Card(const CardBookLayout& layout, const std::string& record, VcardVersion version) {
  const bool v4 = version == VcardVersion::k40;
  std::string out = "BEGIN:VCARD\r\n";
  out += v4 ? "VERSION:4.0\r\n" : "VERSION:3.0\r\n";
  if (IsContacts(layout)) {
    std::string name = Utf8(record, kContactName);
    out += ical::FoldLine("FN:" + ical::EscapeText(name));
    PersonName n = SplitRussianName(name);
    out += ical::FoldLine("N:" + ical::EscapeText(n.family) + ";" + ical::EscapeText(n.given) + ";" +
                          ical::EscapeText(n.additional) + ";;");
    Text(out, "TITLE", Utf8(record, kContactTitle));
    Text(out, "ORG", Utf8(record, kContactOrg));
    Address(out, Utf8(record, layout.addressField), Utf8(record, kContactCity));
    Tel(out, v4 ? "work,voice" : "WORK,VOICE", Utf8(record, layout.phoneField));
    Tel(out, v4 ? "cell" : "CELL", Utf8(record, layout.mobileField));
    Tel(out, v4 ? "work,fax" : "WORK,FAX", Utf8(record, layout.faxField));
    Tel(out, v4 ? "pager" : "PAGER", Utf8(record, kContactPager));
    Text(out, v4 ? "EMAIL;TYPE=work" : "EMAIL;TYPE=INTERNET", Utf8(record, layout.mailField));
    Raw(out, "URL", Utf8(record, layout.webField));
    std::string icq = OneLine(Utf8(record, kContactIcq));
    if (!icq.empty()) {
      out += ical::FoldLine("IMPP:icq:" + icq);
      // The older address books read ICQ numbers only from their own property.
      if (!v4) out += ical::FoldLine("X-ICQ:" + ical::EscapeText(icq));
    }
  } else {
    std::string org = Utf8(record, kFirmOrg);
    out += ical::FoldLine("FN:" + ical::EscapeText(org));
    if (v4)
      out += "KIND:org\r\n";
    else
      out += "N:;;;;\r\n";
    Text(out, "ORG", org);
    Text(out, kProductsProperty, Utf8(record, kFirmProducts));
    Address(out, Utf8(record, layout.addressField), Utf8(record, kFirmCity));
    std::string phones = Utf8(record, layout.phonesBoxField);
    size_t start = 0;
    while (start <= phones.size()) {
      size_t lf = phones.find('\n', start);
      if (lf == std::string::npos) lf = phones.size();
      Tel(out, v4 ? "work,voice" : "WORK,VOICE", phones.substr(start, lf - start));
      start = lf + 1;
    }
    Tel(out, v4 ? "work,fax" : "WORK,FAX", Utf8(record, layout.faxField));
    Text(out, v4 ? "EMAIL;TYPE=work" : "EMAIL;TYPE=INTERNET", Utf8(record, layout.mailField));
    Raw(out, "URL", Utf8(record, layout.webField));
  }
  Text(out, "NOTE", Utf8(record, layout.commentField));
  out += "END:VCARD\r\n";
  return out;
}

// ---- reading ----------------------------------------------------------------------------

bool StartsWithAscii(std::string_view text, std::string_view prefix) {
  return text.size() >= prefix.size() && ical::SameAscii(text.substr(0, prefix.size()), prefix);
}

// The preference of a property: TYPE=pref (3.0) or PREF=n (4.0, 1 the most preferred).
int Preference(const ContentLine& line) {
  if (line.Has("TYPE", "pref")) return 1;
  std::string pref = line.ParamText("PREF");
  if (!pref.empty() && pref.size() < 4 && pref.find_first_not_of("0123456789") == std::string::npos)
    return std::max(1, std::atoi(pref.c_str()));
  return 101;
}

// Apple's labels of grouped properties: "_$!<Other>!$_" is "Other".
std::string CleanLabel(std::string label) {
  if (label.size() > 8 && label.compare(0, 4, "_$!<") == 0 && label.compare(label.size() - 4, 4, ">!$_") == 0)
    return label.substr(4, label.size() - 8);
  return label;
}

struct Candidate {
  const ContentLine* line;
  std::string text;
};

class CardReader {
 public:
  CardReader(const CardBookLayout& layout, std::vector<const ContentLine*> props)
      : layout_(layout), props_(std::move(props)), fields_(static_cast<size_t>(layout.fieldCount)) {}

  // The card's fields as UTF-8, the comment with its extras.
  std::vector<std::string> Read(VcardImport& report) {
    const bool contacts = IsContacts(layout_);
    std::vector<Candidate> phones, cells, faxes, pagers, mails, urls;
    std::string fn, nameFromN, label;
    for (const ContentLine* p : props_) {
      const ContentLine& l = *p;
      const std::string& name = l.name;
      if (name == "BEGIN" || name == "END" || name == "VERSION" || name == "PRODID" || name == "REV" ||
          name == "UID" || name == "KIND" || name == "SOURCE" || name == "CLIENTPIDMAP" || name == "PROFILE" ||
          name == "SORT-STRING" || StartsWithAscii(name, "X-AB"))
        continue;
      if (name == "PHOTO" || name == "LOGO" || name == "SOUND" || name == "KEY") {
        if (ical::IsBinaryValue(l)) {
          ++report.binarySkipped;
          continue;
        }
      }
      std::string value = ical::DecodedValue(l);
      if (name == "FN") {
        if (fn.empty()) fn = ical::UnescapeText(value);
      } else if (name == "N") {
        std::vector<std::string> n = ical::SplitText(value, ';');
        for (size_t k = 0; k < n.size() && k < 3; ++k)
          if (!n[k].empty()) nameFromN += (nameFromN.empty() ? "" : " ") + n[k];
      } else if (name == "TITLE") {
        Put(contacts ? kContactTitle : -1, "Должность", ical::UnescapeText(value), l);
      } else if (name == "ORG") {
        std::string org;
        for (const std::string& unit : ical::SplitText(value, ';'))
          if (!unit.empty()) org += (org.empty() ? "" : ", ") + unit;
        Put(contacts ? kContactOrg : kFirmOrg, "Организация", org, l);
      } else if (name == "ADR") {
        std::vector<std::string> a = ical::SplitText(value, ';');
        a.resize(7);
        std::string text;
        for (int k : {0, 1, 2, 4, 5, 6})
          if (!a[k].empty()) text += (text.empty() ? "" : ", ") + a[k];
        int city = contacts ? kContactCity : kFirmCity;
        if (fields_[layout_.addressField].empty() && fields_[city].empty()) {
          fields_[layout_.addressField] = text;
          fields_[city] = a[3];
        } else {
          if (!a[3].empty()) text += (text.empty() ? "" : ", ") + a[3];
          Extra("Адрес", text, &l);
        }
      } else if (name == "TEL") {
        Candidate c{&l, ical::UnescapeText(value)};
        if (l.Has("VALUE", "uri") && StartsWithAscii(c.text, "tel:")) c.text = c.text.substr(4);
        if (l.Has("TYPE", "fax"))
          faxes.push_back(c);
        else if (l.Has("TYPE", "cell"))
          cells.push_back(c);
        else if (l.Has("TYPE", "pager"))
          pagers.push_back(c);
        else
          phones.push_back(c);
      } else if (name == "EMAIL") {
        mails.push_back({&l, ical::UnescapeText(value)});
      } else if (name == "URL") {
        urls.push_back({&l, OneLine(value)});
      } else if (name == "IMPP" && StartsWithAscii(value, "icq:")) {
        Put(contacts ? kContactIcq : -1, "ICQ", OneLine(value.substr(4)), l);
      } else if (name == "X-ICQ") {
        Put(contacts ? kContactIcq : -1, "ICQ", OneLine(ical::UnescapeText(value)), l);
      } else if (name == "LABEL") {
        // 3.0's printable address: the same as an ADR when there is one.
        if (label.empty()) label = ical::UnescapeText(value);
      } else if (name == "NOTE") {
        notes_.push_back(ical::UnescapeText(value));
      } else if (name == kProductsProperty) {
        Put(contacts ? -1 : kFirmProducts, "Продукция/услуги", ical::UnescapeText(value), l);
      } else if (name == "BDAY") {
        Extra("День рождения", value, &l);
      } else if (name == "ANNIVERSARY") {
        Extra("Годовщина", value, &l);
      } else if (name == "NICKNAME") {
        Extra("Псевдоним", ical::UnescapeText(value), &l);
      } else if (name == "ROLE") {
        Extra("Роль", ical::UnescapeText(value), &l);
      } else if (name == "CATEGORIES") {
        Extra("Категории", ical::UnescapeText(value), &l);
      } else {
        Extra(name, ical::UnescapeText(value), &l);
      }
    }
    if (!label.empty() && fields_[layout_.addressField].empty() && fields_[contacts ? kContactCity : kFirmCity].empty())
      fields_[layout_.addressField] = label;
    if (contacts) {
      fields_[kContactName] = !fn.empty() ? fn : nameFromN;
    } else if (fields_[kFirmOrg].empty()) {
      fields_[kFirmOrg] = !fn.empty() ? fn : nameFromN;
    } else if (!fn.empty() && fn != fields_[kFirmOrg]) {
      // A firm's card names the organisation in ORG; a different FN is a person there.
      Extra("Контакт", fn, nullptr);
    }
    if (contacts) {
      Fill(layout_.phoneField, "Телефон", phones);
      Fill(layout_.mobileField, "Мобил", cells);
      Fill(layout_.faxField, "Факс", faxes);
      Fill(kContactPager, "Пейджер", pagers);
    } else {
      SortByPreference(phones);
      // The telephones box holds a number a line; a TEL with line breaks gives several.
      std::string& box = fields_[layout_.phonesBoxField];
      for (const Candidate& c : phones) {
        size_t start = 0;
        while (start <= c.text.size()) {
          size_t lf = c.text.find_first_of("\r\n", start);
          if (lf == std::string::npos) lf = c.text.size();
          if (lf > start) box += (box.empty() ? "" : "\n") + c.text.substr(start, lf - start);
          start = lf + 1;
        }
      }
      Fill(layout_.faxField, "Факс", faxes);
      Fill(-1, "Мобил", cells);
      Fill(-1, "Пейджер", pagers);
    }
    Fill(layout_.mailField, "E-Mail", mails);
    Fill(layout_.webField, "WEB", urls);
    std::string comment;
    for (const std::string& n : notes_) comment += (comment.empty() ? "" : "\n") + n;
    for (const std::string& e : extras_) comment += (comment.empty() ? "" : "\n") + e;
    fields_[layout_.commentField] = comment;
    report.intoComment += static_cast<int>(extras_.size());
    return fields_;
  }

 private:
  void SortByPreference(std::vector<Candidate>& list) {
    std::stable_sort(list.begin(), list.end(), [](const Candidate& a, const Candidate& b) {
      return Preference(*a.line) < Preference(*b.line);
    });
  }

  void Fill(int field, const char* label, std::vector<Candidate>& list) {
    SortByPreference(list);
    for (const Candidate& c : list) Put(field, label, c.text, *c.line);
  }

  // Into the field when it is free, else into the comment.
  void Put(int field, const char* label, const std::string& text, const ContentLine& line) {
    if (text.empty()) return;
    if (field >= 0 && fields_[field].empty()) {
      fields_[field] = text;
      return;
    }
    if (field >= 0 && fields_[field] == text) return;
    Extra(label, text, &line);
  }

  void Extra(const std::string& label, const std::string& text, const ContentLine* line) {
    if (text.empty()) return;
    std::string shown = LabelUtf8(label);
    if (line && !line->group.empty()) {
      for (const ContentLine* p : props_) {
        if (p->name == "X-ABLABEL" && ical::SameAscii(p->group, line->group)) {
          shown += " (" + CleanLabel(ical::DecodedValue(*p)) + ")";
          break;
        }
      }
    }
    extras_.push_back(shown + ": " + text);
  }

  static std::string LabelUtf8(const std::string& label) {
    // The comment is UTF-8 until the card is converted as a whole; a label is either a
    // property's name (ASCII) or one of this file's Russian literals (Windows-1251).
    for (char c : label)
      if (static_cast<unsigned char>(c) >= 0x80) return ical::Cp1251ToUtf8Text(label);
    return label;
  }

  const CardBookLayout& layout_;
  std::vector<const ContentLine*> props_;
  std::vector<std::string> fields_;
  std::vector<std::string> notes_, extras_;
};

// The record's fields as GetField reads them, for the equality test.
std::vector<std::string> FieldsOf(const std::string& record, int count) {
  std::vector<std::string> out;
  for (int k = 0; k < count; ++k) out.push_back(GetField(record, k));
  return out;
}

std::string Decimal(int n) {
  char buf[16];
  std::snprintf(buf, sizeof buf, "%i", n);
  return buf;
}

}  // namespace

PersonName SplitRussianName(std::string_view fullName) {
  std::vector<std::string> words;
  std::string cur;
  for (char c : fullName) {
    if (c == ' ' || c == '\t' || c == '\n' || c == '\r') {
      if (!cur.empty()) words.push_back(cur);
      cur.clear();
    } else {
      cur += c;
    }
  }
  if (!cur.empty()) words.push_back(cur);
  PersonName n;
  if (!words.empty()) n.family = words[0];
  if (words.size() > 1) n.given = words[1];
  for (size_t k = 2; k < words.size(); ++k) n.additional += (k > 2 ? " " : "") + words[k];
  return n;
}

std::string CardsToVcard(const CardBookLayout& layout, const std::vector<std::string>& records,
                         VcardVersion version) {
  std::string out;
  for (const std::string& r : records) out += Card(layout, r, version);
  return out;
}

VcardImport ImportVcard(std::string_view bytes, const CardBookLayout& layout,
                        const std::vector<std::string>& existing) {
  VcardImport result;
  std::vector<ContentLine> lines = ical::ParseContentLines(bytes);
  std::vector<std::vector<std::string>> known;
  for (const std::string& r : existing) known.push_back(FieldsOf(r, layout.fieldCount));
  int depth = 0;
  std::vector<const ContentLine*> card;
  for (const ContentLine& l : lines) {
    if (l.name == "BEGIN" && ical::SameAscii(l.value, "VCARD")) {
      // A card nested in another (2.1 agents) is read as part of the outer one.
      if (depth++ == 0) card.clear();
      continue;
    }
    if (l.name == "END" && ical::SameAscii(l.value, "VCARD")) {
      if (depth == 0 || --depth > 0) continue;
      ++result.cards;
      CardReader reader(layout, card);
      std::vector<std::string> utf8 = reader.Read(result);
      std::string record;
      std::vector<std::string> fields;
      int lost = 0;
      for (int k = 0; k < layout.fieldCount; ++k) {
        std::string value = ical::Utf8ToCp1251Text(utf8[k], lost);
        result.hashesDropped += static_cast<int>(std::count(value.begin(), value.end(), '#'));
        if (k) record += '|';
        AppendFieldText(record, value);
        fields.push_back(GetField(record, k));
      }
      if (lost > 0) {
        result.unconvertible += lost;
        result.unconvertibleCards.push_back(result.cards);
      }
      if (std::find(known.begin(), known.end(), fields) != known.end()) {
        ++result.skipped;
        continue;
      }
      known.push_back(fields);
      result.added.push_back(record);
      continue;
    }
    if (depth > 0 && card.size() < 10000) card.push_back(&l);
  }
  return result;
}

std::string VcardImportReport(const VcardImport& import) {
  std::vector<std::string> parts;
  if (import.intoComment > 0)
    parts.push_back("Сведений, для которых нет своего поля (ещё один телефон или e-mail, день рождения и другие): " +
                    Decimal(import.intoComment) + ". Они записаны в дополнительные сведения.");
  if (import.binarySkipped > 0)
    parts.push_back("Фотографии и другие двоичные данные пропущены: " + Decimal(import.binarySkipped) + ".");
  if (import.unconvertible > 0) {
    std::string cards;
    for (int c : import.unconvertibleCards) cards += (cards.empty() ? "" : ", ") + Decimal(c);
    parts.push_back("Знаков, которых нет в кодировке Windows-1251: " + Decimal(import.unconvertible) +
                    ". Они заменены знаком \"?\" в карточках " + cards + ".");
  }
  if (import.hashesDropped > 0)
    parts.push_back("Знак \"#\" в полях не хранится и пропущен " + Decimal(import.hashesDropped) + " раз(а).");
  std::string out;
  for (const std::string& p : parts) out += (out.empty() ? "" : "\n\n") + p;
  return out;
}

}  // namespace vm::cards
