#include "tasks/task_find.h"

#include <iterator>

namespace vm::tasks {

namespace {
constexpr TaskField kSearched[] = {TaskField::Headline, TaskField::Notes, TaskField::SoundFile};
}

std::vector<find::Entry> TaskFindTexts(const TaskBook& book) {
  std::vector<find::Entry> out;
  out.reserve(book.size());
  for (size_t r = 0; r < book.size(); ++r) {
    find::Entry e;
    e.place.record = static_cast<uint32_t>(r);
    for (TaskField f : kSearched) {
      if (f != TaskField::Headline) e.text += find::kFieldBreak;
      e.text += book.Field(r, f);
    }
    std::string headline = book.Field(r, TaskField::Headline);
    e.label = headline.substr(0, headline.find_first_of("\r\n"));
    out.push_back(std::move(e));
  }
  return out;
}

std::vector<std::string> TaskFindFieldNames() { return {"Заголовок", "Примечание", "Звуковой файл"}; }

TaskField TaskFindField(uint32_t hitField) {
  return hitField < std::size(kSearched) ? kSearched[hitField] : TaskField::Headline;
}

}  // namespace vm::tasks
