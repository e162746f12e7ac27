// The notebook file (".dbn"): a tree of notes, each a title and a rich-text body,
// with an optional password that encodes the titles and scrambles the bodies. Written
// in one format ("/2|" header); read in that one and in the three older ones.
#pragma once

#include <memory>
#include <string>
#include <string_view>

#include "common/find_corpus.h"
#include "common/protected_file.h"
#include "notebook/xml_tree.h"
#include "platform/platform.h"

namespace vm::notebook {

enum class NotebookFormat { kNone, kCurrent, kV1, kFileFormat1, kXml, kStrong };
// "none", "current", "v1", "fileformat1", "xml", "strong".
const char* FormatName(NotebookFormat format);

// Document state: 0 no usable document (a damaged file was set aside; never written),
// 1 saved, 2 changed, 3 the notes were rearranged on screen and writes follow the
// on-screen order.
enum NotebookState { kNoDocument = 0, kSaved = 1, kChanged = 2, kRearranged = 3 };

extern const char* const kNotebookRootName;  // "Records"
extern const char* const kBadFormatMessage;  // "Файл не загружен, неверный формат файла"
extern const char* const kBranchRefusedMessage;  // "Файл не загружен, защищен паролем!"
extern const char* const kProtectedNotice;  // "Файл защищен паролем."

std::unique_ptr<XmlElement> NewNotebookRoot();

// The notebook document with the page's file state.
struct NotebookFile {
  std::unique_ptr<XmlElement> root = NewNotebookRoot();
  std::string path;
  std::string password;      // empty when the file has none
  bool isProtected = false;  // a password exists and has not been entered since loading or setting it
  int state = kSaved;
  // How the file is written while it has a password: as it was read until the password
  // is entered, then as the password step decides.
  Protection scheme = Protection::kNone;
  // A strongly protected file whose password has not been entered: its bytes, kept to
  // be opened by the password and written back unchanged by a save.
  std::string sealed;
  // The key derivation's iteration count for strong writes (tests lower it).
  uint32_t kdfIterations = kStrongIterations;
  // find::NextStamp() of the last change of the notes (MarkChanged, a rearranging, a
  // read): a copy of their texts kept elsewhere knows when it is old.
  uint64_t revision = find::NextStamp();
};

// Marks the document changed for the next write. A rearranged document stays
// rearranged (its writes must keep following the screen) and a set-aside one stays
// unwritable.
void MarkChanged(NotebookFile& notebook);

// ---- reading -------------------------------------------------------------------------
// What a file's bytes hold, before anything is shown.
struct NotebookContent {
  NotebookFormat format = NotebookFormat::kNone;
  std::unique_ptr<XmlElement> root;
  bool hasHeader = false;
  std::string headerText;  // the decoded header: file name (and password) as written
  std::string password;
  // The XML form did not parse: the parser's first error.
  bool xmlError = false;
  int xmlErrorCode = 0;
  std::string xmlErrorText;
  // Notes nested deeper than kMaxXmlDepth: refused, like any other unreadable file.
  bool tooDeep = false;
};
NotebookContent ParseNotebook(std::string_view bytes);

struct NotebookRead {
  bool ok = false;
  NotebookFormat format = NotebookFormat::kNone;
  std::string message;  // for a message box when not ok
  platform::MessageIcon icon = platform::MessageIcon::kNone;
  bool setAside = false;  // a damaged XML file was moved to the ".sav" name
};
// Opens a file into the notebook. An unreadable file leaves the notebook as it was. A
// damaged XML file is moved to the name with the extension "sav" and leaves an empty
// document in state 0. Otherwise the document is replaced, the state becomes 1 and a
// password read from the header protects the notebook until it is entered. A strongly
// protected file opens as an empty, protected document holding the file's bytes
// (NotebookFile::sealed) until ApplyPassword opens it.
NotebookRead ReadNotebook(NotebookFile& notebook, const std::string& path);

// ---- writing -------------------------------------------------------------------------
// The current format for the top-level notes of `root`: the header with the file's
// own name and password, then every note depth first. With a password the titles are
// header-encoded and the bodies scrambled.
std::string NotebookBytes(const XmlElement& root, std::string_view fileName, std::string_view password);
// What SaveNotebook writes for `tree`: NotebookBytes, encrypted whole (over the form
// without password) in the strong scheme. False when the platform's crypto failed.
bool NotebookFileBytes(const XmlElement& tree, std::string_view fileName, std::string_view password,
                       Protection scheme, uint32_t iterations, std::string& out);
// A single branch written as a notebook of its own, without password.
std::string BranchBytes(const XmlElement& branch, std::string_view fileName);

enum class SaveStatus { kUnchanged, kSaved, kFailed };
struct NotebookSave {
  SaveStatus status = SaveStatus::kUnchanged;
  std::string error;  // for the user on kFailed
};
// Writes the document in state 2 (the state becomes 1) and the rearranged tree in
// state 3 (the page builds it in display order; the state stays 3). A protected
// notebook stays protected in both, in its scheme (a password with no scheme yet is
// written strongly: a protected notebook is never written plain). A strongly protected
// file not yet opened is written back as it was read. A failed write keeps the old file
// and the state. Nothing is written without a path.
NotebookSave SaveNotebook(NotebookFile& notebook, const XmlElement* rearranged = nullptr);

// Branch export: the branch as the outermost note of a new file, without password.
NotebookSave ExportBranch(const XmlElement& branch, const std::string& path);

struct BranchImport {
  bool ok = false;
  std::string message;  // for a message box when not ok
  platform::MessageIcon icon = platform::MessageIcon::kNone;
  std::unique_ptr<XmlElement> notes;  // its children are the file's top-level notes
};
// Reads a file to be added as a branch. Only a file whose header names the file itself
// (so it has no password and was not renamed) or a "FILEFORMAT1" file is accepted.
BranchImport ImportBranch(const std::string& path);

// ---- where files are ----------------------------------------------------------------
// A name typed for a new or saved-as notebook: ".dbn" appended unless it ends so (any case).
std::string WithNotebookExtension(std::string path);
// Where the open and save-as dialogs start: the open file's folder when it exists,
// otherwise "Personal" in the program folder, made when missing.
std::string NotebookDialogFolder(const std::string& openPath, const std::string& programFolder);
// The notebook reopened at start-up: the stored "FILENAME" when that file exists, else
// the file of the same name in "Personal" when that exists; empty when neither does.
std::string StartupNotebookPath(const std::string& stored, const std::string& programFolder);

// ---- password ------------------------------------------------------------------------
enum class PasswordMode { kSetting, kEntering };
PasswordMode PasswordModeFor(const NotebookFile& notebook);
// "Установите пароль" or "Введите пароль".
const char* PasswordTitle(PasswordMode mode);
// Applies the dialog's answer. Setting mode: the text becomes the password and the
// notebook is written at the next save, protected when the text is not empty.
// Entering mode: the stored password, typed exactly, unlocks the notebook ("Снять
// пороль" ticked also removes the password); a strongly protected file opens only when
// the text decrypts it. A wrong one changes nothing. Returns true when the tree and the
// editor are to be shown. `newScheme` is how a new password, and an old-scheme file
// once unlocked, are written from then on; `outcome` (when given) tells what happened.
bool ApplyPassword(NotebookFile& notebook, const std::string& typed, bool removePassword,
                   Protection newScheme = Protection::kStrong, PasswordOutcome* outcome = nullptr);

}  // namespace vm::notebook
