// The task book as "Найти везде" reads it: one entry per record, its headline, notes
// and sound file joined by find::kFieldBreak (fields 0, 1 and 2 of a hit), named by the
// headline's first line. The book's revision() tells when they are old.
#pragma once

#include <string>
#include <vector>

#include "common/find_corpus.h"
#include "tasks/task_file.h"

namespace vm::tasks {

std::vector<find::Entry> TaskFindTexts(const TaskBook& book);
std::vector<std::string> TaskFindFieldNames();
// The record field behind a hit's field.
TaskField TaskFindField(uint32_t hitField);

}  // namespace vm::tasks
