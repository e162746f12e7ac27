// LoadTaskFile over arbitrary file contents (in memory), then the reminder check at
// moments taken from the input's first bytes: a raw moment, the scheduler's ticks at a
// first moment and at a later one of the same day (a catch-up), and a tick after an
// edit. Beyond not crashing, three promises are checked: rejected lines land in the
// side file, a second pass at the same minute does nothing, and an idle tick of the
// scheduler does no work.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "fuzz_support.h"
#include "common/record_file.h"
#include "platform/platform.h"
#include "tasks/reminders.h"
#include "tasks/task_file.h"

namespace {

constexpr size_t kMomentBytes = 8;

// Bytes 0-4 give the first moment (years 1995-2064), 5-6 how many minutes later the
// second comes the same day, 7 a raw moment that is usually not a real one.
void Moments(const uint8_t* data, vm::tasks::Moment& first, vm::tasks::Moment& later, vm::tasks::Moment& raw) {
  first.year = 1995 + data[0] % 70;
  first.month = 1 + data[1] % 12;
  first.day = 1 + data[2] % vm::dates::DaysInMonth(first.month, first.year);
  first.hour = data[3] % 24;
  first.minute = data[4] % 60;
  int start = first.hour * 60 + first.minute;
  int step = ((data[5] << 8) | data[6]) % (24 * 60 - start);
  later = first;
  later.hour = (start + step) / 60;
  later.minute = (start + step) % 60;
  raw = {static_cast<int8_t>(data[7]) * 16, data[7] % 14, data[7] % 33, data[7] % 26, data[7] % 62};
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  vm::fuzz::Scratch scratch;
  const std::string dir = scratch.Folder();
  if (size < kMomentBytes) return 0;
  vm::tasks::Moment first, later, raw;
  Moments(data, first, later, raw);
  const std::string path = dir + "book.dbw";
  vm::platform::WriteFileBytes(path, std::string(reinterpret_cast<const char*>(data) + kMomentBytes,
                                                 size - kMomentBytes));
  vm::tasks::TaskBook book;
  vm::tasks::LoadOutcome loaded = vm::tasks::LoadTaskFile(book, path, vm::tasks::DateOf(first));
  if (loaded.rejected > 0 && !vm::platform::FileExists(vm::SideFilePath(path))) std::abort();

  // A pass at the raw moment, on a copy: mostly not a real moment, else one far off.
  vm::tasks::TaskList list = book.records();
  vm::tasks::CheckReminders(list, raw);

  // The scheduler's first tick is the pass at `first`; a second pass at that minute over
  // what it left fires and changes nothing, and a second tick does no work at all.
  vm::tasks::ReminderScheduler scheduler;
  scheduler.Tick(book, first);
  list = book.records();
  vm::tasks::PassResult again = vm::tasks::CheckReminders(list, first);
  if (!again.firings.empty() || list != book.records()) std::abort();
  if (scheduler.Tick(book, first).ran) std::abort();
  // The catch-up from `first` to `later`, then a pass after an edit.
  scheduler.Tick(book, later);
  if (!book.records().empty()) book.SetField(0, vm::tasks::TaskField::LastFired, "");
  scheduler.Tick(book, later);
  return 0;
}
