// Task records for tests, written field by field over the empty record:
//   TaskRecord("Позвонить").Set(TaskField::ReminderState, "1")
//   TaskRecord({{TaskField::Headline, "Отчёт"}, {TaskField::Date, "07/03/2013"}})
//   TaskRecord("Отчёт", {{TaskField::Date, "07/03/2013"}})
// The line itself is open to the code under test, which may stamp it; anywhere a line
// is wanted the record converts to one.
#pragma once

#include <initializer_list>
#include <string>
#include <string_view>
#include <utility>

#include "tasks/task_record.h"

namespace vm::testing {

struct TaskRecord {
  using Fields = std::initializer_list<std::pair<tasks::TaskField, std::string_view>>;

  TaskRecord() = default;
  explicit TaskRecord(std::string_view headline, Fields fields = {}) {
    Set(tasks::TaskField::Headline, headline);
    for (const auto& [field, value] : fields) Set(field, value);
  }
  explicit TaskRecord(Fields fields) {
    for (const auto& [field, value] : fields) Set(field, value);
  }

  TaskRecord& Set(tasks::TaskField field, std::string_view value) {
    tasks::SetTaskField(line, field, value);
    return *this;
  }
  operator std::string() const { return line; }

  std::string line = tasks::EmptyTaskRecord();
};

}  // namespace vm::testing
