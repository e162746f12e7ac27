// A record of a book as a resource on the server, and back: a contact or a firm as a
// vCard 3.0 (the version every CardDAV server must take), a task as an iCalendar VTODO.
//
// The conversions of cards/vcard.h and tasks/ical_tasks.h say most of a record, not all
// of it (a task's section orders, its sticker mark, the moment its reminder last fired),
// and another client may format what it writes back differently. So every resource we
// write also carries the record itself, X-VELMORIA-RECORD (base64 of the record line as
// the book file holds it; clients keep X- properties they do not know). Reading it back,
// the record is taken from there and only the fields whose meaning the standard
// properties now say differently (a phone changed the telephone number, a calendar the
// summary) are taken from the standard properties: the import of the resource is
// compared field by field with the import of what we would have written for the carried
// record. A resource without it (made on a phone) is imported as it stands.
#pragma once

#include <string>
#include <string_view>

#include "common/calendar.h"
#include "common/record_merge.h"
#include "tasks/reminders.h"

namespace vm::sync {

enum class BookKind { kContacts, kFirms, kTasks };

struct CodecClock {
  dates::Date today;      // the local day a task's first firing is counted from
  tasks::Moment stampUtc;  // DTSTAMP
  int utcOffsetMinutes = 0;
};

class RecordCodec {
 public:
  RecordCodec(BookKind kind, CodecClock clock);

  BookKind kind() const { return kind_; }
  int fieldCount() const;
  // The field a conflict copy is marked in (as every merge of a book marks it) and
  // records are first paired by: the name, the firm's organisation or the task's headline.
  int keyField() const { return kind_ == BookKind::kFirms ? kFirmsKeyField : 0; }
  const char* contentType() const;
  const char* extension() const;  // ".vcf" or ".ics"
  bool calendar() const { return kind_ == BookKind::kTasks; }

  // The record with exactly the book's fields, each as the field rule reads it: the
  // form records are compared and kept in the side file in.
  std::string Canonical(std::string_view record) const;

  // The resource's body for a record under a UID.
  std::string ToServer(std::string_view record, std::string_view uid) const;

  struct Read {
    bool ours = false;  // a resource of this book (a VTODO; a person's or a firm's card)
    std::string record;  // canonical
    std::string uid;
  };
  // A contacts book takes the cards of people, a firms book the cards of organisations
  // (KIND:org or X-ABShowAs:COMPANY), a task book the resources holding a VTODO; the
  // others are left on the server as they are.
  Read FromServer(std::string_view body) const;

 private:
  std::string Plain(std::string_view record, const dates::Date& day) const;
  bool Import(std::string_view body, std::string& record) const;

  BookKind kind_;
  CodecClock clock_;
};

// Removes every content line named `name` (its folded continuations too).
std::string RemoveProperty(std::string_view body, std::string_view name);
// A fresh UID: 32 hexadecimal digits from the system's random source.
std::string NewUid();

}  // namespace vm::sync
