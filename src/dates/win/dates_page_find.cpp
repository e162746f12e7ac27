// The dates page's part in "Найти везде": the lines of both date files, and going to a
// line. The files live on disk and are edited outside the program, so their bytes are
// what tells a newer version.
#include "dates/date_find.h"
#include "dates/dates_list.h"
#include "dates/win/dates_page.h"
#include "platform/platform.h"
#include "shell/find_books.h"

namespace vm::dates {

namespace {
constexpr DateFileKind kFiles[] = {DateFileKind::kBirthdays, DateFileKind::kDates};

std::string FileBytes(const std::string& folder, DateFileKind file) {
  std::string bytes;
  platform::ReadFileBytes(file == DateFileKind::kBirthdays ? BirthdayFilePath(folder) : HolidaysFilePath(folder),
                          bytes);
  return bytes;
}
}  // namespace

std::optional<shell::FindableBook> CMes::Findable() const {
  const std::string folder = app().ProgramFolder();
  uint64_t stamp = 0;
  for (DateFileKind file : kFiles) stamp = stamp * 31 + BytesFingerprint(FileBytes(folder, file));
  return shell::FindableBook{shell::FindBookName(shell::Book::kDates), stamp, {}, {}};
}

std::vector<find::Entry> CMes::FindTexts() const {
  const std::string folder = app().ProgramFolder();
  std::vector<find::Entry> out;
  for (DateFileKind file : kFiles)
    for (find::Entry& e : DateFindTexts(FileBytes(folder, file), file)) out.push_back(std::move(e));
  return out;
}

bool CMes::JumpTo(const find::Result& hit) {
  if (!hwnd() || !view_ || hit.place.part > 1) return false;
  if (!view_->ShowFileLine(kFiles[hit.place.part], hit.place.record)) return false;
  ShowLines();
  if (list_.Count() > 1) list_.Select(1);  // under the search heading
  SetFocus(list_.hwnd());
  return true;
}

}  // namespace vm::dates
