// The notebook page's file commands: new, open, save, save as, the password, and a
// branch exported to or imported from a file of its own.
#include <optional>
#include <string>

#include "common/ask_dialogs.h"
#include "notebook/win/notebook_page.h"
#include "notebook/win/notebook_page_parts.h"
#include "common/protected_file.h"
#include "platform/crypto.h"
#include "platform/platform.h"
#include "ui/ask_dialogs.h"
#include "ui/file_dialogs.h"
#include "ui/question.h"
#include "ui/wait_cursor.h"

namespace vm::notebook {

using namespace notepage;

// ---- notebook files ------------------------------------------------------------------------------------

void CNoteBook::Save() {
  if (givenUp_ || (nb_.state != kChanged && nb_.state != kRearranged)) return;
  NotebookSave saved;
  {
    ui::WaitCursor wait;
    saved = SaveNotebook(nb_, nb_.state == kRearranged ? nb_.root.get() : nullptr);
  }
  saveError_ = saved.status == SaveStatus::kFailed ? saved.error : std::string();
  if (saved.status == SaveStatus::kFailed) platform::ShowMessage(saved.error, platform::MessageIcon::kStop);
}

std::optional<shell::UnsavedBook> CNoteBook::Unsaved() const {
  if (givenUp_ || saveError_.empty() || (nb_.state != kChanged && nb_.state != kRearranged)) return std::nullopt;
  return shell::UnsavedBook{nb_.path, saveError_, true};
}

shell::DiskChange CNoteBook::FileChanged(const std::string& path) {
  if (!hwnd() || path.empty() || path != nb_.path) return shell::DiskChange::kNotMine;
  if (nb_.state == kChanged || nb_.state == kRearranged) return shell::DiskChange::kMarked;
  NotebookRead read;
  {
    ui::WaitCursor wait;
    read = ReadNotebook(nb_, path);
  }
  clip_ = BranchClipboard{};
  RebuildTree();
  return shell::DiskChange::kReloaded;
}

bool CNoteBook::RetrySave() {
  Save();
  return saveError_.empty();
}

bool CNoteBook::SaveAsChosen() {
  std::string before = nb_.path;
  SaveAs();
  return nb_.path != before && saveError_.empty();
}

void CNoteBook::GiveUpChanges() {
  givenUp_ = true;
  saveError_.clear();
}

bool CNoteBook::SaveFirst() {
  if (app().GetFlag("GENERAL", "AUTOSAVE")) Save();
  return true;
}

void CNoteBook::SaveFile() {
  if (nb_.path.empty()) {
    SaveAs();
    return;
  }
  if (nb_.state == kSaved) nb_.state = kChanged;  // the user asked for it: write what is shown
  Save();
}

void CNoteBook::NewFile() {
  SaveFirst();
  std::string folder = NewFileInitialFolder(app().GetSetting(kSection, "FILENAME"), app().ProgramFolder());
  std::optional<std::string> chosen = dialogs_.newFile(hwnd(), folder);
  if (!chosen) return;
  std::string path = WithNotebookExtension(*chosen);
  if (platform::FileExists(path) && !ui::AskYesNo(hwnd(), path + " уже существует. \n Заменить?")) return;
  nb_ = NotebookFile{};
  nb_.path = path;
  nb_.state = kChanged;  // the new file is made at once, so it can be reopened
  clip_ = BranchClipboard{};
  Save();
  app().PutSetting(kSection, "FILENAME", path);
  RebuildTree();
}

void CNoteBook::OpenFile() {
  SaveFirst();
  std::string folder = NotebookDialogFolder(nb_.path, app().ProgramFolder());
  if (std::optional<std::string> path = dialogs_.openFile(hwnd(), folder)) OpenPath(*path);
}

bool CNoteBook::OpenPath(const std::string& path) {
  NotebookRead read;
  {
    ui::WaitCursor wait;
    read = ReadNotebook(nb_, path);
  }
  if (!read.message.empty()) platform::ShowMessage(read.message, read.icon);
  if (!read.ok && !read.setAside) return false;
  clip_ = BranchClipboard{};
  app().PutSetting(kSection, "FILENAME", nb_.path.empty() ? path : nb_.path);
  RebuildTree();
  return read.ok;
}

void CNoteBook::SaveAs() {
  std::string folder = NotebookDialogFolder(nb_.path, app().ProgramFolder());
  std::optional<std::string> chosen = dialogs_.saveAs(hwnd(), folder);
  if (!chosen) return;
  std::string old = nb_.path;
  int oldState = nb_.state;
  nb_.path = WithNotebookExtension(*chosen);
  if (nb_.state != kNoDocument && nb_.state != kRearranged) nb_.state = kChanged;
  Save();
  if (nb_.state == kChanged && oldState != kChanged) {  // the write failed: stay with the old file
    nb_.path = old;
    nb_.state = oldState;
    return;
  }
  app().PutSetting(kSection, "FILENAME", nb_.path);
  UpdateButtons();
}

void CNoteBook::Password() {
  vm::PasswordMode mode = PasswordModeFor(nb_) == notebook::PasswordMode::kEntering ? vm::PasswordMode::kEnter
                                                                                    : vm::PasswordMode::kSet;
  std::optional<ui::PasswordAnswer> answer = ui::AskPassword(hwnd(), mode);
  if (!answer) return;
  bool wasLocked = nb_.isProtected;
  bool wasSealed = !nb_.sealed.empty();
  PasswordOutcome outcome;
  bool show;
  {
    ui::WaitCursor wait;  // a strong key takes a moment to derive
    show = ApplyPassword(nb_, answer->text, answer->removePassword,
                         NewPasswordScheme(app().GetFlag("GENERAL", kOldProtectionKey)), &outcome);
  }
  crypto::WipeString(answer->text);
  if (outcome == PasswordOutcome::kWrong || outcome == PasswordOutcome::kFailed) {
    platform::ShowMessage(kWrongPasswordMessage, platform::MessageIcon::kExclamation);
    return;
  }
  if (outcome == PasswordOutcome::kUpgraded) platform::ShowMessage(kUpgradeNotice, platform::MessageIcon::kInformation);
  // A new password protects the file when it is written; the notes stay on show.
  if (!wasLocked) nb_.isProtected = false;
  if (wasSealed && show) RebuildTree();  // the notes came from the file only now
  if (show || !wasLocked) ShowLocked();
}

void CNoteBook::ExportBranch() {
  XmlElement* note = NoteOf(tree_.Selected());
  if (!note) return;
  std::optional<std::string> path = ui::AskSaveFile(hwnd(), NotebookFiles(branchFolder_, note->name()));
  if (!path) return;
  branchFolder_ = FolderOfPath(*path);
  NotebookSave saved;
  {
    ui::WaitCursor wait;
    saved = notebook::ExportBranch(*note, *path);
  }
  if (saved.status == SaveStatus::kFailed) platform::ShowMessage(saved.error, platform::MessageIcon::kStop);
}

void CNoteBook::ImportBranch() {
  HTREEITEM target = tree_.Selected();
  XmlElement* note = NoteOf(target);
  if (!note) return;
  std::optional<std::string> path = ui::AskOpenFile(hwnd(), NotebookFiles(branchFolder_));
  if (!path) return;
  branchFolder_ = FolderOfPath(*path);
  BranchImport imported = notebook::ImportBranch(*path);
  if (!imported.ok) {
    platform::ShowMessage(imported.message, imported.icon);
    return;
  }
  BranchesAdded added = AddImportedBranches(nb_, *note, *imported.notes);
  for (XmlElement* branch : added.added) AddItems(target, *branch);
  tree_.Expand(target, true);
  if (added.tooDeep) platform::ShowMessage(kTooDeepMessage, platform::MessageIcon::kExclamation);
}

}  // namespace vm::notebook
