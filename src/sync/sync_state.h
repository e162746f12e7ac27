// What a book remembers of its last sync, in a side file beside it ("<book>.sync"),
// written through the safe replace; the book's own file never changes for the sync.
//
// Records have no identity of their own: a record is a line of fields, and two copies of
// the organiser may hold the same line. So each resource of the collection is kept here
// with the record's line as it was at the last sync (the base of the three-way merge),
// and a record of the book is that resource's record when its line equals that base. A
// record edited since no longer equals any base; the sync pairs it with the resource
// whose base is most like it (the same name or headline first). The UID is ours for the
// resources we made and the server's for the others.
//
//   VELMORIA-SYNC 1
//   collection<TAB>URL
//   token<TAB>the collection's sync token (empty: none yet)
//   r<TAB>href<TAB>ETag<TAB>UID<TAB>the record line, line breaks escaped as in the book
//   i<TAB>href<TAB>ETag       a resource not of this book (an event, a firm's card ...)
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace vm::sync {

struct SyncEntry {
  std::string href, etag, uid;
  std::string base;      // the canonical record at the last sync
  bool ignored = false;  // not a resource of this book: remembered so it is not fetched again
  friend bool operator==(const SyncEntry&, const SyncEntry&) = default;
};

struct SyncState {
  std::string collection;  // the collection URL these entries belong to
  std::string token;
  std::vector<SyncEntry> entries;
  friend bool operator==(const SyncState&, const SyncState&) = default;
};

std::string SyncStatePath(const std::string& bookPath);
std::string SyncStateText(const SyncState& state);
// False for a file that is not a side file of this kind (a damaged one): the sync then
// starts as a first sync, which pairs equal records instead of doubling them.
bool ParseSyncState(std::string_view text, SyncState& state);

// Loads the side file; a missing file is an empty state (true). False when it exists but
// cannot be read or parsed.
bool LoadSyncState(const std::string& bookPath, SyncState& state);
bool SaveSyncState(const std::string& bookPath, const SyncState& state);

}  // namespace vm::sync
