// ParseSnoozeFile over arbitrary bytes. Whatever it accepts must write back to a file it
// reads again unchanged, with no bad line; and the pass over those snoozes must hold.
#include <cstdint>
#include <string>

#include "fuzz_support.h"
#include "tasks/snoozes.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string input(reinterpret_cast<const char*>(data), size);
  vm::tasks::SnoozeParse parsed = vm::tasks::ParseSnoozeFile(input);
  if (!parsed.header && !parsed.snoozes.empty()) vm::fuzz::Report(input, "snoozes read without the header");
  vm::tasks::SnoozeParse again = vm::tasks::ParseSnoozeFile(vm::tasks::SnoozeFileText(parsed.snoozes));
  if (!again.header || again.badLines != 0 || again.snoozes != parsed.snoozes)
    vm::fuzz::Report(input, "the written snoozes do not read back");
  std::vector<vm::tasks::Snooze> list = parsed.snoozes;
  vm::tasks::TaskList records = {input.substr(0, 200), vm::tasks::EmptyTaskRecord()};
  vm::tasks::RunSnoozes(list, records, {2027, 3, 15, 9, 30});
  if (list.size() > parsed.snoozes.size()) vm::fuzz::Report(input, "the pass added snoozes");
  return 0;
}
