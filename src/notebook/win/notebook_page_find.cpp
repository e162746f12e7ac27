// The notebook page's part in "Найти везде": the open notebook's titles and texts, and
// going to a note and the hit in its text.
#include "notebook/note_find.h"
#include "notebook/win/notebook_page.h"
#include "shell/find_books.h"
#include "ui/rich_edit.h"

namespace vm::notebook {

std::optional<shell::FindableBook> CNoteBook::Findable() const {
  return shell::FindableBook{shell::FindBookName(shell::Book::kNotebook, nb_.path), nb_.revision,
                             nb_.isProtected ? "защищён паролем" : "",
                             {"заголовок", "текст"}};
}

std::vector<find::Entry> CNoteBook::FindTexts() const { return NoteFindTexts(*nb_.root); }

bool CNoteBook::JumpTo(const find::Result& hit) {
  if (!hwnd() || nb_.isProtected) return false;
  const XmlElement* note = NoteAtNumber(*nb_.root, hit.place.record);
  HTREEITEM item = note ? ItemOf(note) : nullptr;
  if (!item) return false;
  tree_.Select(item);
  if (current_ != note) SelectNote(item);
  if (hit.place.field == 0) {
    SetFocus(tree_.hwnd());
    return true;
  }
  // The place is in the body's plain text, where a line break of a plain body may be CR
  // LF; the editor counts every line break as one character.
  const std::string plain = NotePlainText(note->value());
  SetFocus(edit_);
  ui::SetSelection(edit_, EditorPosition(plain, hit.pos), EditorPosition(plain, hit.pos + hit.len));
  SendMessageW(edit_, EM_SCROLLCARET, 0, 0);
  return true;
}

}  // namespace vm::notebook
