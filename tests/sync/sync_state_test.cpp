#include "sync/sync_state.h"

#include <gtest/gtest.h>

namespace vm::sync {
namespace {

TEST(SyncState, ComesBackFromItsTextWithTabsAndLineBreaksInRecords) {
  SyncState s;
  s.collection = "http://127.0.0.1:5232/u/contacts/";
  s.token = "http://radicale.org/ns/sync/7";
  s.entries.push_back({"/u/contacts/1.vcf", "\"e1\"", "uid-1", "Иванов\tИван|a|b\r\nc|d\re", false});
  s.entries.push_back({"/u/contacts/ev.ics", "\"e2\"", "", "", true});
  s.entries.push_back({"/u/contacts/3.vcf", "", "uid-3", "", false});
  SyncState back;
  ASSERT_TRUE(ParseSyncState(SyncStateText(s), back));
  EXPECT_EQ(back, s);
}

TEST(SyncState, RefusesADamagedFileAndNeverWritesABrokenLine) {
  SyncState back;
  EXPECT_FALSE(ParseSyncState("", back));
  EXPECT_FALSE(ParseSyncState("VELMORIA-SYNC 2\r\n", back));
  EXPECT_FALSE(ParseSyncState("VELMORIA-SYNC 1\r\nr\t/a\r\n", back));
  EXPECT_TRUE(back.entries.empty());
  // An href or ETag from the server with a line break cannot be kept on a line.
  SyncState s;
  s.entries.push_back({"/a\r\nr\t/b", "\"e\"", "u", "x", false});
  s.entries.push_back({"/c", "\"e\tf\"", "u", "x", false});
  ASSERT_TRUE(ParseSyncState(SyncStateText(s), back));
  EXPECT_TRUE(back.entries.empty());
}

}  // namespace
}  // namespace vm::sync
