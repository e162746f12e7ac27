#include "sync/record_codec.h"

#include <cstdio>
#include <vector>

#include "cards/card_book.h"
#include "cards/vcard.h"
#include "common/ical_text.h"
#include "common/protected_file.h"
#include "common/record_file.h"
#include "platform/crypto.h"
#include "tasks/ical_tasks.h"

namespace vm::sync {

namespace {

constexpr std::string_view kRecordProperty = "X-VELMORIA-RECORD";

const cards::CardBookLayout& Layout(BookKind kind) {
  return kind == BookKind::kFirms ? cards::FirmsBook() : cards::ContactsBook();
}

std::string Base64(std::string_view bytes) {
  std::string lines = Base64Lines(bytes), out;
  for (char c : lines)
    if (c != '\r' && c != '\n') out += c;
  return out;
}

bool FromBase64(std::string_view text, std::string& bytes) {
  std::string lines;
  for (size_t i = 0; i < text.size(); i += 76) lines += std::string(text.substr(i, 76)) + "\r\n";
  return ReadBase64Lines(lines, bytes);
}

std::string DayText(const dates::Date& d) {
  char text[16];
  std::snprintf(text, sizeof text, "%04i%02i%02i", d.year, d.month, d.day);
  return text;
}

bool ParseDay(const std::string& text, dates::Date& d) {
  if (text.size() != 8 || text.find_first_not_of("0123456789") != std::string::npos) return false;
  d = {std::atoi(text.substr(6, 2).c_str()), std::atoi(text.substr(4, 2).c_str()), std::atoi(text.substr(0, 4).c_str())};
  return dates::IsValidDate(d);
}

// Inserts lines just before the last "END:<component>".
std::string InsertBeforeEnd(std::string body, std::string_view component, const std::string& lines) {
  size_t at = body.rfind("END:" + std::string(component) + "\r\n");
  if (at == std::string::npos) return body + lines;
  body.insert(at, lines);
  return body;
}

}  // namespace

std::string RemoveProperty(std::string_view body, std::string_view name) {
  std::string out;
  bool dropping = false;
  size_t start = 0;
  while (start < body.size()) {
    size_t lf = body.find('\n', start);
    size_t end = lf == std::string_view::npos ? body.size() : lf + 1;
    std::string_view line = body.substr(start, end - start);
    start = end;
    if (!line.empty() && (line[0] == ' ' || line[0] == '\t')) {
      if (!dropping) out += line;
      continue;
    }
    dropping = line.size() > name.size() && ical::SameAscii(line.substr(0, name.size()), name) &&
               (line[name.size()] == ':' || line[name.size()] == ';');
    if (!dropping) out += line;
  }
  return out;
}

std::string NewUid() {
  uint8_t bytes[16] = {};
  crypto::RandomBytes(bytes, sizeof bytes);
  std::string out;
  char hex[3];
  for (uint8_t b : bytes) {
    std::snprintf(hex, sizeof hex, "%02x", b);
    out += hex;
  }
  return out;
}

RecordCodec::RecordCodec(BookKind kind, CodecClock clock) : kind_(kind), clock_(clock) {}

int RecordCodec::fieldCount() const {
  return kind_ == BookKind::kTasks ? 54 : Layout(kind_).fieldCount;
}

const char* RecordCodec::contentType() const {
  return calendar() ? "text/calendar; charset=utf-8" : "text/vcard; charset=utf-8";
}

const char* RecordCodec::extension() const {
  return calendar() ? ".ics" : ".vcf";
}

std::string RecordCodec::Canonical(std::string_view record) const {
  std::string out;
  for (int k = 0; k < fieldCount(); ++k) {
    if (k) out += '|';
    AppendFieldText(out, GetField(record, k));
  }
  return out;
}

// The resource as the converters write it, without our own properties.
std::string RecordCodec::Plain(std::string_view record, const dates::Date& day) const {
  if (kind_ == BookKind::kTasks)
    return tasks::TasksToIcs({std::string(record)}, day, clock_.stampUtc).text;
  std::string card = cards::CardsToVcard(Layout(kind_), {std::string(record)}, cards::VcardVersion::k30);
  // The 3.0 way of saying a card is an organisation's.
  if (kind_ == BookKind::kFirms) card = InsertBeforeEnd(card, "VCARD", "X-ABShowAs:COMPANY\r\n");
  return card;
}

std::string RecordCodec::ToServer(std::string_view record, std::string_view uid) const {
  std::string canonical = Canonical(record);
  std::string body = Plain(canonical, clock_.today);
  std::string own = "UID:" + ical::EscapeText(uid) + "\r\n";
  own += ical::FoldLine(std::string(kRecordProperty) + (calendar() ? ";X-DAY=" + DayText(clock_.today) : "") + ":" +
                        Base64(ApplyLineEscapes(canonical)));
  if (calendar()) {
    body = RemoveProperty(body, "UID");
    return InsertBeforeEnd(body, "VTODO", own);
  }
  return InsertBeforeEnd(body, "VCARD", own);
}

bool RecordCodec::Import(std::string_view body, std::string& record) const {
  if (kind_ == BookKind::kTasks) {
    char today[16];
    std::snprintf(today, sizeof today, "%02i/%02i/%04i", clock_.today.day, clock_.today.month, clock_.today.year);
    tasks::IcsImport in = tasks::ImportIcs(body, today, clock_.utcOffsetMinutes);
    if (in.added.empty()) return false;
    record = Canonical(in.added.front());
    return true;
  }
  cards::VcardImport in = cards::ImportVcard(body, Layout(kind_), {});
  if (in.added.empty()) return false;
  record = Canonical(in.added.front());
  return true;
}

RecordCodec::Read RecordCodec::FromServer(std::string_view body) const {
  Read out;
  std::vector<ical::ContentLine> lines = ical::ParseContentLines(body);
  bool todo = false, org = false;
  const ical::ContentLine* carried = nullptr;
  int depth = 0;
  for (const ical::ContentLine& l : lines) {
    if (l.name == "BEGIN") {
      ++depth;
      if (ical::SameAscii(l.value, "VTODO")) todo = true;
    } else if (l.name == "END") {
      --depth;
    } else if (l.name == "UID" && out.uid.empty()) {
      out.uid = ical::UnescapeText(l.value);
    } else if (l.name == "KIND" && ical::SameAscii(l.value, "org")) {
      org = true;
    } else if (l.name == "X-ABSHOWAS" && ical::SameAscii(l.value, "COMPANY")) {
      org = true;
    } else if (l.name == kRecordProperty && !carried) {
      carried = &l;
    }
  }
  if (kind_ == BookKind::kTasks ? !todo : org != (kind_ == BookKind::kFirms)) return out;
  std::string plain = RemoveProperty(body, kRecordProperty);
  std::string imported;
  if (!Import(plain, imported)) return out;
  out.ours = true;
  out.record = imported;
  std::string bytes;
  dates::Date day = clock_.today;
  if (!carried || !FromBase64(carried->value, bytes)) return out;
  if (calendar() && !ParseDay(carried->ParamText("X-DAY"), day)) return out;
  std::string record = Canonical(UndoLineEscapes(bytes));
  // What the carried record said when it was written, read the same way as the resource
  // now: a field that reads the same is taken from the carried record as it is.
  std::string then;
  if (!Import(RemoveProperty(Plain(record, day), "UID"), then)) return out;
  for (int k = 0; k < fieldCount(); ++k) {
    std::string now = GetField(imported, k);
    if (now != GetField(then, k)) record = SetFieldText(record, k, now);
  }
  out.record = Canonical(record);
  return out;
}

}  // namespace vm::sync
