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

// Fields asked for in any order, each read once, give what the shared reader gives; a
// view of a field is its text.
TEST(TaskFieldReader, ReadsFieldsInAnyOrder) {
  std::mt19937 rng(17);
  const char alphabet[] = {'|', '|', '#', '#', 'x', '1', ' '};
  for (int round = 0; round < 3000; ++round) {
    std::string line;
    for (size_t i = rng() % 200; i > 0; --i) line.push_back(alphabet[rng() % sizeof alphabet]);
    TaskFieldReader fields(line);
    std::string buffer;
    for (int k = 0; k < 6; ++k) {
      const TaskField f = static_cast<TaskField>(rng() % kTaskFieldCount);
      ASSERT_EQ(fields.View(f, buffer), GetTaskField(line, f)) << line << " field " << static_cast<int>(f);
      ASSERT_EQ(fields.Has(f), HasTaskField(line, f)) << line << " field " << static_cast<int>(f);
    }
  }
}

// A field written in place over its span gives the line SetTaskField gives.
TEST(TaskFieldReader, SpanReplacedIsTheFieldWritten) {
  std::mt19937 rng(9);
  const char alphabet[] = {'|', '|', '#', '1', 'x', '\n', '\r'};
  for (int round = 0; round < 2000; ++round) {
    std::string line = EmptyTaskRecord(), value;
    for (size_t i = rng() % 40; i > 0; --i) line.insert(rng() % line.size(), 1, alphabet[rng() % sizeof alphabet]);
    for (size_t i = rng() % 6; i > 0; --i) value.push_back(alphabet[rng() % sizeof alphabet]);
    const TaskField f = static_cast<TaskField>(rng() % kTaskFieldCount);
    TaskFieldReader fields(line);
    if (!fields.Has(f)) continue;
    auto [begin, length] = fields.Span(f);
    std::string inPlace = line;
    inPlace.replace(begin, length, FieldText(value));
    std::string written = line;
    SetTaskField(written, f, value);
    ASSERT_EQ(inPlace, written) << line << " field " << static_cast<int>(f);
  }
}

}  // namespace
}  // namespace vm::tasks
