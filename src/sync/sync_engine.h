// Two-way sync of a record book (contacts, firms or tasks) with one collection of a
// CardDAV (RFC 6352) or CalDAV (RFC 4791) server, and the discovery of the collections
// an account holds. Plain data in and out: the caller loads the book and its side file,
// runs the sync (off the window's thread in the program), then saves the book and, only
// when the book was saved, the side file (a side file that ran ahead of its book would
// take the book's missing records for deletions).
//
// One sync: list what changed on the server (a sync-collection REPORT, RFC 6578, with
// the token of the last sync; a server that does not keep tokens, or lost ours, gives a
// full listing with ETags instead), fetch the changed resources (multiget), and then,
// record by record, against the record as it was at the last sync:
//   - changed on one side only: the change goes to the other side;
//   - changed on both sides differently: both are kept, here and on the server; the
//     server's copy is a new record whose first field ends with the conflict mark;
//   - deleted on one side and unchanged on the other: deleted on both; deleted on one
//     side and changed on the other: the changed record stays (nothing is lost);
//   - new on one side: created on the other; on a first sync a record equal to one on
//     the server is paired with it instead of being sent twice.
// Writes are conditional (PUT with If-Match or If-None-Match: *, DELETE with If-Match):
// a 412 means the server's copy moved meanwhile; it is fetched again and merged.
// A failure stops the sync with what was done so far kept consistent in the result (the
// records and the entries), and the old token, so that the next sync resumes.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "common/record_merge.h"
#include "platform/http.h"
#include "sync/record_codec.h"
#include "sync/sync_state.h"

namespace vm::sync {

struct SyncOptions {
  std::string collectionUrl;  // absolute; the collection itself
  // Appended to the first field of the server's copy in a conflict, as the merge of a
  // book changed on disk marks the disk's copy.
  std::string conflictMark = kConflictMark;
  std::function<bool()> cancelled;                      // asked before every request
  std::function<void(const std::string&)> progress;     // Windows-1251 words
  int multigetBatch = 200;
};

struct SyncCounts {
  int sent = 0;          // created or changed on the server
  int received = 0;      // created or changed here
  int deletedHere = 0;   // records removed because the server's copy was deleted
  int deletedThere = 0;  // resources deleted because the record was deleted here
  int conflicts = 0;     // changed on both sides: both kept
  int matched = 0;       // equal records paired on a first sync
  int refetched = 0;     // 412 answers that were merged again
  friend bool operator==(const SyncCounts&, const SyncCounts&) = default;
};

struct SyncOutcome {
  bool ok = false;
  std::string error;          // Windows-1251 words when !ok
  bool fullListing = false;   // the server listed everything (first sync, no or lost token)
  bool recordsChanged = false;
  std::vector<std::string> records;  // the book's records after the sync
  SyncState state;                   // the side file after the sync
  SyncCounts counts;
};

SyncOutcome Synchronize(platform::HttpClient& http, const RecordCodec& codec, const std::vector<std::string>& records,
                        const SyncState& previous, const SyncOptions& options);

struct DavCollection {
  std::string url;
  std::string name;
  bool addressBook = false, calendar = false, todos = false;
};

struct Discovery {
  bool ok = false;
  std::string error;
  std::string principal;  // absolute URL
  std::vector<DavCollection> collections;
};

// From a server address ("https://dav.example.org" or a path on it): the well-known URLs
// of RFC 6764, the principal (current-user-principal), its address-book and calendar home
// sets, and the collections in them.
Discovery Discover(platform::HttpClient& http, const std::string& serverUrl);

}  // namespace vm::sync
