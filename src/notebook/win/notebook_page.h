// The notebook page ("Блокнот"): the tree of notes on the left, the selected note's rich
// text on the right, a splitter between them, and the tool bar of file, tree, format
// and editor commands. Every decision is made on the document by the portable notebook
// code; the page mirrors the document in its tree item for item and forwards commands.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "notebook/note_search.h"
#include "notebook/note_text.h"
#include "notebook/note_tree.h"
#include "notebook/notebook_file.h"
#include "shell/win/book_page.h"
#include "ui/colour_picker.h"
#include "ui/find_dialog.h"
#include "ui/handles.h"
#include "ui/menu.h"
#include "ui/toolbar.h"
#include "ui/tree_view.h"

namespace vm::notebook {

// The dialogs that ask the user for a file or a printer; tests put answers here.
struct NotebookDialogs {
  std::function<std::optional<std::string>(HWND owner, const std::string& folder)> newFile;
  std::function<std::optional<std::string>(HWND owner, const std::string& folder)> openFile;
  std::function<std::optional<std::string>(HWND owner, const std::string& folder)> saveAs;
  // Opens a file with its program (the outside editor); the shell's code.
  std::function<int(const std::string& path)> openWithShell;
  // The same for the copy of a protected note: the copy is removed once the editor has
  // read it (its process has gone idle), so no plain copy stays behind in "Temp".
  std::function<int(const std::string& path)> openAndRemoveOnceRead;
  // The printer's device context (the page deletes it), or null: ui::AskPrinter.
  std::function<HDC(HWND owner)> askPrinter;
};
NotebookDialogs SystemNotebookDialogs();

class CNoteBook : public shell::BookPage {
 public:
  explicit CNoteBook(const CAppUtil& app);

  std::optional<shell::Book> book() const override { return shell::Book::kNotebook; }
  void Save() override;
  std::optional<shell::UnsavedBook> Unsaved() const override;
  // The book's file changed on disk: loaded again unless the book holds unsaved changes.
  shell::DiskChange FileChanged(const std::string& path) override;
  bool RetrySave() override;
  bool SaveAsChosen() override;
  void GiveUpChanges() override;
  bool PreTranslate(MSG& msg) override;

  // ---- "Найти везде" (notebook_page_find.cpp)
  std::optional<shell::FindableBook> Findable() const override;
  std::vector<find::Entry> FindTexts() const override;
  bool JumpTo(const find::Result& hit) override;

  void SetDialogs(NotebookDialogs dialogs) { dialogs_ = std::move(dialogs); }
  const NotebookDialogs& dialogs() const { return dialogs_; }
  NotebookFile& notebook() { return nb_; }
  ui::TreeView& tree() { return tree_; }
  HWND editor() const { return edit_; }
  ui::Toolbar& toolbar() { return toolbar_; }
  ui::Toolbar& formatBar() { return formatBar_; }
  XmlElement* current() const { return current_; }
  // The element an item stands for.
  XmlElement* NoteOf(HTREEITEM item) const;
  HTREEITEM ItemOf(const XmlElement* note) const;
  // Opens a file as the open command does, without its dialog.
  bool OpenPath(const std::string& path);
  // The menus, for checks and for the right mouse button.
  std::vector<ui::MenuItem> TreeMenu() const;
  std::vector<ui::MenuItem> EditorMenu() const;
  std::vector<ui::MenuItem> ExportMenu() const;
  // The open find dialog of F2 and F3, none when closed.
  HWND findWindow() const { return find_.hwnd(); }

 protected:
  bool OnInitDialog() override;
  bool OnCommand(int id, int code, HWND control) override;
  bool OnNotify(NMHDR* header, LRESULT& result) override;
  bool OnMessage(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result) override;
  void OnSize(int width, int height) override;

 private:
  void Layout();
  void ShowLocked();
  void RebuildTree();
  HTREEITEM AddItems(HTREEITEM parent, XmlElement& note);
  void SelectNote(HTREEITEM item);
  void LoadBody(const std::string& body);
  void StoreText();
  void Snapshot(unsigned key, bool formatCommand);
  void ShowSnapshot(const NoteSnapshot& s);
  void UpdateButtons();
  std::string DefaultRtf() const;

  // Commands.
  void NewFile();
  void OpenFile();
  void SaveFile();
  void SaveAs();
  bool SaveFirst();
  void AddNote(bool root);
  void DeleteNote();
  void CopyBranch();
  void PasteBranch();
  void Drop(HTREEITEM dragged, HTREEITEM target);
  void Sort(bool wholeTree);
  void FindTitle();
  void FindText();
  void KeepFindClearOfSelection();
  void FindAll();
  void ShowHit(const NoteHit& hit, const std::string& what);
  void ToggleEffect(DWORD mask, DWORD effect);
  void Align(WORD alignment);
  void Bullets();
  void Indent(int twips);
  void PickFont();
  void ChooseColour(bool highlight);
  void Password();
  void Recode(int command);
  void InsertLink(bool folder);
  void TextToFile();
  void TextFromFile();
  void OpenOutside();
  void ExportBranch();
  void ImportBranch();
  void Print();
  void SetPlainText(const std::string& cp1251);

  NotebookDialogs dialogs_;
  NotebookFile nb_;
  std::string saveError_;  // why the last save of the changed notebook wrote nothing
  bool givenUp_ = false;   // the user left without saving: no later save tries again
  BranchClipboard clip_;
  NoteHistory history_;
  XmlElement* current_ = nullptr;
  bool loading_ = false;
  bool setUp_ = false;
  bool wordWrap_ = true;
  int split_ = 180;
  RECT pathRect_{};  // the line the file's name is painted in
  bool splitting_ = false;
  std::string branchFolder_;
  size_t findFrom_ = 0;
  bool findTitleMode_ = false;
  std::string findAllText_;      // the last text searched in every note
  NoteSearchCache searchCache_;  // folded note texts kept between searches
  ui::TreeView tree_;
  HWND edit_ = nullptr;
  ui::Toolbar toolbar_, formatBar_, hideBar_;
  ui::FindDialog find_;
  ui::ColourPicker picker_;
  ui::UniqueAccel accel_;
  ui::UniqueAccel editorAccel_;  // the note's format and undo keys
};

}  // namespace vm::notebook
