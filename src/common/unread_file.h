// A book file that could not be read. When a book's load fails as a whole (the file
// cannot be opened, or holds no book of its kind) the page shows an empty book that did
// not come from that file, so the book is left unbound: no save the program makes by
// itself (hiding, another file, a tab change, "Сохранить все", exit) may write over the
// file, whose bytes stay for the user to rescue. Only the user's own save binds it
// again: "Сохранить как" to a file chosen in the dialog (which asks before replacing),
// or a save over this very file after the user confirmed ReplaceUnreadQuestion.
#pragma once

#include <string>

namespace vm {

// Why a file could not be read at all, as the message names it.
extern const char* const kFileNotReadable;  // "файл не открывается (его нет, нет доступа или он занят)"

// The message box at load: the file, why, and that it will not be written over; a book
// without "Сохранить как" (contacts, firms) is written only after the user confirms.
std::string UnreadFileMessage(const std::string& path, const std::string& why, bool saveAsOffered = true);
// Why a save of an unbound book wrote nothing.
std::string UnreadSaveRefusal(const std::string& path);
// The confirmation before the user's save replaces a file that could not be read.
std::string ReplaceUnreadQuestion(const std::string& path);

}  // namespace vm
