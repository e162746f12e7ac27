#include <gtest/gtest.h>

#include <random>

#include "common/record_file.h"
#include "tasks/task_record.h"

namespace vm::tasks {
namespace {

// The one-pass reader gives what the shared field reader gives, field by field, over
// lines of separators, escapes and text of every length.
TEST(TaskFieldReader, ReadsEveryFieldAsTheFieldReaderDoes) {
  std::mt19937 rng(5);
  const char alphabet[] = {'|', '|', '|', '#', '1', 'A', 'L', '0', ' '};
  for (int round = 0; round < 3000; ++round) {
    std::string line;
    size_t length = rng() % 160;
    for (size_t i = 0; i < length; ++i) line.push_back(alphabet[rng() % sizeof alphabet]);
    if (round % 3 == 0) line = EmptyTaskRecord() + line;
    TaskFieldReader fields(line);
    for (int n = 0; n < kTaskFieldCount; ++n) {
      const TaskField f = static_cast<TaskField>(n);
      ASSERT_EQ(fields.Has(f), HasTaskField(line, f)) << line << " field " << n;
      ASSERT_EQ(fields.Get(f), GetTaskField(line, f)) << line << " field " << n;
      ASSERT_EQ(fields.FlagOn(f), TaskFlagOn(line, f)) << line << " field " << n;
      ASSERT_EQ(fields.Is(f, "ALL"), GetTaskField(line, f) == "ALL") << line << " field " << n;
    }
  }
  EXPECT_FALSE(TaskFieldReader("").Has(TaskField::Headline));
  EXPECT_EQ(TaskFieldReader("a#|b|c#").Get(TaskField::Notes), "c");
}

}  // namespace
}  // namespace vm::tasks
