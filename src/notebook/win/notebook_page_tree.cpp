// The notebook page's tree commands: new, deleted, copied, pasted, dropped and sorted
// notes, the searches of F2, F3 and "Поиск во всех заметках", and the tree's menu.
#include <algorithm>
#include <optional>
#include <string>

#include "notebook/win/notebook_page.h"
#include "notebook/win/notebook_page_parts.h"
#include "notebook/win/notebook_resources.h"
#include "platform/platform.h"
#include "ui/dialog.h"
#include "ui/question.h"
#include "ui/rich_edit.h"
#include "ui/text.h"
#include "ui/wait_cursor.h"

namespace vm::notebook {

using namespace notepage;

namespace {

// "Поиск во всех заметках": the text, "Найти" fills the list with the hits (the note's
// path, a tab, the text around the hit); a double click or Enter on a hit ends the
// dialog with it chosen.
class FindAllDialog : public ui::Dialog {
 public:
  FindAllDialog(const XmlElement& root, NoteSearchCache& cache, std::string what)
      : ui::Dialog(IDD_NOTE_FIND_ALL), root_(root), cache_(cache), what_(std::move(what)) {}
  const std::string& what() const { return what_; }
  // The chosen hit after IDOK.
  std::optional<NoteHit> chosen() const { return chosen_; }

 protected:
  bool OnInitDialog() override {
    SetItemText(IDC_NOTE_FIND_ALL_TEXT, what_);
    int tab = 120;
    SendMessageW(Item(IDC_NOTE_FIND_ALL_LIST), LB_SETTABSTOPS, 1, reinterpret_cast<LPARAM>(&tab));
    SendMessageW(Item(IDC_NOTE_FIND_ALL_LIST), LB_SETHORIZONTALEXTENT, 1200, 0);
    if (!what_.empty()) Search();
    SetFocus(Item(IDC_NOTE_FIND_ALL_TEXT));
    SendMessageW(Item(IDC_NOTE_FIND_ALL_TEXT), EM_SETSEL, 0, -1);
    return false;
  }
  void OnOk() override {
    // Enter on a selected hit in the list chooses it; anywhere else it searches.
    if (GetFocus() == Item(IDC_NOTE_FIND_ALL_LIST) && Choose()) return;
    what_ = ItemText(IDC_NOTE_FIND_ALL_TEXT);
    Search();
  }
  bool OnCommand(int id, int code, HWND control) override {
    if (id == IDC_NOTE_FIND_ALL_LIST && code == LBN_DBLCLK) {
      Choose();
      return true;
    }
    return ui::Dialog::OnCommand(id, code, control);
  }

 private:
  void Search() {
    ui::WaitCursor wait;
    found_ = FindInAllNotes(root_, what_, kMaxNoteHits, &cache_);
    HWND list = Item(IDC_NOTE_FIND_ALL_LIST);
    SendMessageW(list, WM_SETREDRAW, FALSE, 0);
    SendMessageW(list, LB_RESETCONTENT, 0, 0);
    for (const NoteHit& hit : found_.hits) {
      std::wstring row =
          ui::Wide(ShownNotePath(hit.path) + "\t" + (hit.inTitle ? "[заголовок] " : "") + hit.context);
      SendMessageW(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(row.c_str()));
    }
    SendMessageW(list, WM_SETREDRAW, TRUE, 0);
    InvalidateRect(list, nullptr, TRUE);
    if (!found_.hits.empty()) SendMessageW(list, LB_SETCURSEL, 0, 0);
    std::string count = what_.empty()         ? std::string()
                        : found_.hits.empty() ? std::string("Ничего не найдено")
                                              : "Найдено: " + std::to_string(found_.hits.size());
    if (found_.truncated) count += " (показаны первые)";
    SetItemText(IDC_NOTE_FIND_ALL_COUNT, count);
  }
  bool Choose() {
    LRESULT row = SendMessageW(Item(IDC_NOTE_FIND_ALL_LIST), LB_GETCURSEL, 0, 0);
    if (row < 0 || static_cast<size_t>(row) >= found_.hits.size()) return false;
    chosen_ = found_.hits[static_cast<size_t>(row)];
    End(IDOK);
    return true;
  }

  const XmlElement& root_;
  NoteSearchCache& cache_;
  std::string what_;
  AllNotesSearch found_;
  std::optional<NoteHit> chosen_;
};

}  // namespace

// ---- tree commands ---------------------------------------------------------------------------------

void CNoteBook::AddNote(bool root) {
  HTREEITEM parentItem = root ? nullptr : tree_.Selected();
  if (!root && !parentItem) return;
  XmlElement* note = notebook::AddNote(nb_, root ? nullptr : NoteOf(parentItem));
  if (!note) return;
  HTREEITEM item = tree_.Add(parentItem, note->name(), reinterpret_cast<LPARAM>(note));
  if (parentItem) tree_.Expand(parentItem, true);
  tree_.Select(item);
  UpdateButtons();
}

void CNoteBook::DeleteNote() {
  HTREEITEM item = tree_.Selected();
  if (!item) {
    platform::ShowMessage(kNothingSelected, platform::MessageIcon::kExclamation);
    return;
  }
  if (!ui::AskYesNo(hwnd(), kDeleteBranchQuestion)) return;
  XmlElement* note = NoteOf(item);
  clip_.Forget(note);
  current_ = nullptr;  // the selection moves while the item goes
  loading_ = true;
  tree_.Remove(item);
  loading_ = false;
  notebook::DeleteNote(nb_, *note);
  SelectNote(tree_.Selected());
}

void CNoteBook::CopyBranch() {
  if (XmlElement* note = NoteOf(tree_.Selected())) clip_.Copy(*note);
  UpdateButtons();
}

void CNoteBook::PasteBranch() {
  HTREEITEM target = tree_.Selected();
  XmlElement* note = NoteOf(target);
  if (!note) return;
  XmlElement* pasted = nullptr;
  switch (clip_.PasteUnder(nb_, *note, &pasted)) {
    case BranchClipboard::Paste::kDone: {
      HTREEITEM item = AddItems(target, *pasted);
      tree_.Expand(target, true);
      tree_.Select(item);
      break;
    }
    case BranchClipboard::Paste::kTooDeep:
      platform::ShowMessage(kTooDeepMessage, platform::MessageIcon::kExclamation);
      break;
    case BranchClipboard::Paste::kRefused: break;  // a clash is refused silently
  }
  UpdateButtons();
}

void CNoteBook::Drop(HTREEITEM dragged, HTREEITEM target) {
  KillTimer(hwnd(), 1);
  XmlElement* note = NoteOf(dragged);
  XmlElement* onto = NoteOf(target);
  if (!note || !onto) return;
  DropCheck check = MoveNote(nb_, *note, *onto);
  if (check == DropCheck::kTooDeep)
    platform::ShowMessage(kTooDeepMessage, platform::MessageIcon::kExclamation);
  if (check != DropCheck::kAllowed) return;
  loading_ = true;
  tree_.Remove(dragged);
  loading_ = false;
  HTREEITEM item = AddItems(target, *note);
  tree_.Expand(target, true);
  tree_.Select(item);
  SelectNote(item);
}

void CNoteBook::Sort(bool wholeTree) {
  XmlElement* parent = wholeTree ? nb_.root.get() : NoteOf(tree_.Selected());
  if (!parent) return;
  XmlElement* keep = current_;
  SortChildren(nb_, *parent);
  RebuildTree();
  if (HTREEITEM item = ItemOf(keep)) tree_.Select(item);
}

void CNoteBook::FindTitle() {
  findTitleMode_ = true;
  find_.Open(hwnd(), std::string(), false, [this](const ui::FindDialog::Request& r) {
    if (r.action != ui::FindDialog::Action::kFindNext) return;
    const XmlElement* hit =
        notebook::FindTitle(*nb_.root, NoteOf(tree_.Selected()), r.what, r.matchCase, r.down);
    if (HTREEITEM item = ItemOf(hit)) {
      tree_.Select(item);
      RECT r{};
      if (TreeView_GetItemRect(tree_.hwnd(), item, &r, TRUE)) find_.KeepClearOf(tree_.hwnd(), r);
    }
  });
}

void CNoteBook::FindText() {
  find_.Open(
      hwnd(), std::string(), false,
      [this](const ui::FindDialog::Request& r) {
        if (r.action != ui::FindDialog::Action::kFindNext || !current_) return;
        std::string plain = ui::Narrow(ui::PlainText(edit_));
        size_t hit = FindInNote(plain, r.what, r.matchCase, findFrom_);
        if (hit == std::string::npos) {
          findFrom_ = 0;
          return;
        }
        findFrom_ = hit + 1;
        long at = EditorPosition(plain, hit);
        ui::SetSelection(edit_, at, at + static_cast<long>(r.what.size()));
        SendMessageW(edit_, EM_SCROLLCARET, 0, 0);
        KeepFindClearOfSelection();
      },
      true);
}

void CNoteBook::KeepFindClearOfSelection() {
  CHARRANGE sel{};
  SendMessageW(edit_, EM_EXGETSEL, 0, reinterpret_cast<LPARAM>(&sel));
  POINTL first{}, last{};
  SendMessageW(edit_, EM_POSFROMCHAR, reinterpret_cast<WPARAM>(&first), sel.cpMin);
  SendMessageW(edit_, EM_POSFROMCHAR, reinterpret_cast<WPARAM>(&last), sel.cpMax);
  // The positions are the characters' top-left corners; a line's height below them.
  TEXTMETRICW tm{};
  if (HDC dc = GetDC(edit_)) {
    GetTextMetricsW(dc, &tm);
    ReleaseDC(edit_, dc);
  }
  const int lineHeight = std::max<int>(tm.tmHeight, 16) + 4;
  RECT r{first.x, first.y, std::max(last.x, first.x + 1), std::max(last.y, first.y) + lineHeight};
  if (last.y > first.y) {  // over more than one line: the whole width
    RECT client;
    GetClientRect(edit_, &client);
    r.left = 0;
    r.right = client.right;
  }
  find_.KeepClearOf(edit_, r);
}

void CNoteBook::FindAll() {
  // The dialog is modal, so the document cannot change under its hits.
  FindAllDialog dialog(*nb_.root, searchCache_, findAllText_);
  INT_PTR ended = dialog.DoModal(hwnd());
  findAllText_ = dialog.what();
  if (ended != IDOK) return;
  if (std::optional<NoteHit> hit = dialog.chosen()) ShowHit(*hit, findAllText_);
}

void CNoteBook::ShowHit(const NoteHit& hit, const std::string& what) {
  HTREEITEM item = ItemOf(hit.note);
  if (!item) return;
  tree_.Select(item);
  if (current_ != hit.note) SelectNote(item);
  if (hit.inTitle) {
    SetFocus(tree_.hwnd());
    return;
  }
  // The editor's own text is searched to the same hit, so its line breaks and any
  // character it shows differently cannot shift the selection.
  long at = OccurrencePosition(ui::Narrow(ui::PlainText(edit_)), what, hit.occurrence);
  if (at < 0) return;
  SetFocus(edit_);
  ui::SetSelection(edit_, at, at + static_cast<long>(what.size()));
  SendMessageW(edit_, EM_SCROLLCARET, 0, 0);
}

std::vector<ui::MenuItem> CNoteBook::TreeMenu() const {
  bool selected = tree_.Selected() != nullptr;
  ui::MenuItem exportImport = MenuEntry(0, "Экспор/импорт");
  exportImport.items = {MenuEntry(ID_NOTE_EXPORT_BRANCH, "ветви в файл", selected),
                        MenuEntry(ID_NOTE_IMPORT_BRANCH, "ветви из файла", selected)};
  ui::MenuItem sort = MenuEntry(0, "Сортировать..");
  sort.items = {MenuEntry(ID_NOTE_SORT_BRANCH, "ветвь", selected), MenuEntry(ID_NOTE_SORT_TREE, "дерево")};
  return {MenuEntry(ID_NOTE_ADD_ROOT, "Новый корень", nb_.state != kNoDocument),
          MenuEntry(ID_NOTE_ADD_LEAF, "Новый лист", selected),
          MenuEntry(ID_NOTE_RENAME, "Переименовать", selected),
          MenuEntry(ID_NOTE_COPY_BRANCH, "Копировать", selected),
          MenuEntry(ID_NOTE_PASTE_BRANCH, "Вставить", clip_.CanPaste() && selected),
          MenuEntry(ID_NOTE_DELETE, "Удалить"),
          ui::MenuSeparator(),
          MenuEntry(ID_NOTE_FIND_ALL, "Поиск во всех заметках"),
          exportImport,
          sort};
}

}  // namespace vm::notebook
