#include "notebook/win/notebook_page.h"

#include <commdlg.h>
#include <richedit.h>
#include <shellapi.h>
#include <windowsx.h>

#include "common/recode.h"
#include "common/win/shell_actions_win.h"
#include "notebook/win/notebook_page_parts.h"
#include "notebook/win/notebook_resources.h"
#include "shell/win/shell_resources.h"
#include "ui/ask_dialogs.h"
#include "ui/dpi.h"
#include "ui/file_dialogs.h"
#include "ui/page_keys.h"
#include "ui/printing.h"
#include "ui/resources.h"
#include "ui/rich_edit.h"
#include "ui/text.h"
#include "ui/wait_cursor.h"

namespace vm::notebook {

using namespace notepage;

namespace {

constexpr int kBarHeight = 28;
constexpr int kToolbarHeight = 2 * kBarHeight;  // the file and tree row, then the format row
constexpr int kSplitterWidth = 5;
constexpr int kMinPane = 40;
constexpr int kPathLineHeight = 15;
constexpr COLORREF kPathColour = RGB(0, 50, 100);

const std::vector<ui::ToolCommand>& Commands() {
  static const std::vector<ui::ToolCommand> table = shell::WithCommonButtons(
      {
          {ID_NOTE_NEW_FILE, IDI_NOTE_NEW, "Создать новый файл Ctrl+N"},
          {ID_NOTE_OPEN_FILE, IDI_NOTE_OPEN, "Открыть файл Ctrl+O"},
          {ID_NOTE_SAVE_FILE, IDI_BOOK_SAVE, "Сохранить файл"},
          {ID_NOTE_SAVE_AS, IDI_NOTE_SAVE_AS, "Сохранить файл как... Ctrl+S"},
          {ID_NOTE_ADD_ROOT, IDI_NOTE_ADD_ROOT, "Добавить корень"},
          {ID_NOTE_ADD_LEAF, IDI_NOTE_ADD_LEAF, "Добавить лист"},
          {ID_NOTE_DELETE, IDI_BOOK_DELETE, "Удалить ветвь"},
          {ID_NOTE_COPY_BRANCH, IDI_NOTE_COPY_BRANCH, "Копировать ветвь"},
          {ID_NOTE_PASTE_BRANCH, IDI_NOTE_PASTE_BRANCH, "Вставить ветвь"},
          {ID_NOTE_FIND_TITLE, IDI_BOOK_SEARCH, "Поиск по дереву F2"},
          {ID_NOTE_FIND_TEXT, IDI_NOTE_FIND_TEXT, "Поиск F3"},
          {ID_NOTE_FIND_ALL, IDI_BOOK_SEARCH, "Поиск во всех заметках Ctrl+Shift+F"},
          {ID_NOTE_BOLD, IDI_NOTE_BOLD, "Полужирный"},
          {ID_NOTE_ITALIC, IDI_NOTE_ITALIC, "Курсив"},
          {ID_NOTE_UNDERLINE, IDI_NOTE_UNDERLINE, "Подчеркнутый"},
          {ID_NOTE_ALIGN_LEFT, IDI_NOTE_LEFT, "По левому краю"},
          {ID_NOTE_ALIGN_CENTRE, IDI_NOTE_CENTRE, "По центру"},
          {ID_NOTE_ALIGN_RIGHT, IDI_NOTE_RIGHT, "По правому краю"},
          {ID_NOTE_FONT, IDI_NOTE_FONT, "Шрифт"},
          {ID_NOTE_COLOUR, IDI_NOTE_COLOUR, "Цвет шрифта"},
          {ID_NOTE_HIGHLIGHT, IDI_NOTE_HIGHLIGHT, "Выделение цветом"},
          {ID_NOTE_BULLETS, IDI_NOTE_BULLETS, "Маркеры"},
          {ID_NOTE_CUT, IDI_NOTE_CUT, "Вырезать Ctrl+X"},
          {ID_NOTE_COPY, IDI_NOTE_COPY, "Копировать Ctrl+C"},
          {ID_NOTE_PASTE, IDI_NOTE_PASTE, "Вставить  Ctrl+V"},
          {ID_NOTE_UNDO, IDI_NOTE_UNDO, "Отменить"},
          {ID_NOTE_REDO, IDI_NOTE_REDO, "Вернуть"},
          {ID_NOTE_PRINT, IDI_NOTE_PRINT, "Печать Ctrl+P"},
          {ID_NOTE_PASSWORD, IDI_NOTE_PASSWORD, "Ввод пароля"},
          {ID_NOTE_EXPORT, IDI_NOTE_EXPORT, "Экспорт/импорт"},
      },
      ID_NOTE_HIDE);
  return table;
}

}  // namespace

// ---- what the page's files share ---------------------------------------------------------------

namespace notepage {

ui::FileDialogOptions NotebookFiles(const std::string& folder, const std::string& name) {
  return {.filters = {{"Файлы dbn (*.dbn)", "*.dbn"}},
          .defaultExtension = "dbn",
          .folder = folder,
          .fileName = name};
}

CHARFORMAT2W CharFormat(HWND edit) {
  CHARFORMAT2W cf{};
  cf.cbSize = sizeof cf;
  SendMessageW(edit, EM_GETCHARFORMAT, SCF_SELECTION, reinterpret_cast<LPARAM>(&cf));
  return cf;
}

PARAFORMAT2 ParaFormat(HWND edit) {
  PARAFORMAT2 pf{};
  pf.cbSize = sizeof pf;
  SendMessageW(edit, EM_GETPARAFORMAT, 0, reinterpret_cast<LPARAM>(&pf));
  return pf;
}

ui::MenuItem MenuEntry(int id, const char* text, bool enabled, bool checked) {
  ui::MenuItem m;
  m.id = id;
  m.text = text;
  m.enabled = enabled;
  m.checked = checked;
  return m;
}

}  // namespace notepage

NotebookDialogs SystemNotebookDialogs() {
  NotebookDialogs d;
  d.newFile = [](HWND owner, const std::string& folder) { return ui::AskNewFile(owner, folder); };
  d.openFile = [](HWND owner, const std::string& folder) {
    return ui::AskOpenFile(owner, NotebookFiles(folder));
  };
  d.saveAs = [](HWND owner, const std::string& folder) {
    return ui::AskSaveFile(owner, NotebookFiles(folder));
  };
  d.openWithShell = [](const std::string& path) {
    HINSTANCE h = ShellExecuteW(nullptr, L"open", ui::Wide(path).c_str(), nullptr, nullptr, SW_SHOWNORMAL);
    return static_cast<int>(reinterpret_cast<INT_PTR>(h));
  };
  d.openAndRemoveOnceRead = [](const std::string& path) {
    std::wstring file = ui::Wide(path);
    SHELLEXECUTEINFOW info{};
    info.cbSize = sizeof info;
    info.fMask = SEE_MASK_NOCLOSEPROCESS | SEE_MASK_NOASYNC | SEE_MASK_FLAG_NO_UI;
    info.lpVerb = L"open";
    info.lpFile = file.c_str();
    info.nShow = SW_SHOWNORMAL;
    // A failure is reported to the user, who is told the copy was made.
    if (!ShellExecuteExW(&info)) return static_cast<int>(reinterpret_cast<INT_PTR>(info.hInstApp));
    // An editor that has gone idle has read its file. Without a process (a running
    // editor took the file over) the copy stays until "Temp" is emptied at exit.
    if (info.hProcess) {
      WaitForInputIdle(info.hProcess, 10000);
      CloseHandle(info.hProcess);
      platform::RemoveFile(path);
    }
    return 33;
  };
  d.askPrinter = ui::AskPrinter;
  return d;
}

CNoteBook::CNoteBook(const CAppUtil& app)
    : shell::BookPage(shell::kNotebookTab, IDD_NOTEBOOK, app), dialogs_(SystemNotebookDialogs()) {}

bool CNoteBook::PreTranslate(MSG& msg) {
  if (find_.PreTranslate(msg)) return true;
  if (msg.hwnd == edit_ && editorAccel_ && IsWindowVisible(hwnd()) &&
      TranslateAcceleratorW(hwnd(), editorAccel_.get(), &msg))
    return true;
  // Ctrl+click on a link, typing and the editor's own keys go to the editor; the page's
  // accelerators first.
  return ui::TranslatePageKeys(hwnd(), accel_.get(), msg);
}

// ---- set-up and layout ------------------------------------------------------------------------

bool CNoteBook::OnInitDialog() {
  ui::LoadRichEdit();
  toolbar_.Create(hwnd(), IDC_NOTE_TOOLBAR, IDR_NOTE_TOOLBAR, Commands());
  formatBar_.Create(hwnd(), IDC_NOTE_FORMATBAR, IDR_NOTE_FORMAT_TOOLBAR, Commands());
  hideBar_.Create(hwnd(), IDC_NOTE_HIDEBAR, IDR_NOTE_HIDE_TOOLBAR, Commands());
  toolbar_.SetDropDown(ID_NOTE_EXPORT, true, [this](int, const RECT& button) {
    int chosen = ui::ShowContextMenu(hwnd(), POINT{button.left, button.bottom}, ExportMenu());
    if (chosen) OnCommand(chosen, 0, nullptr);
  });
  formatBar_.SetDropDown(ID_NOTE_COLOUR, false, [this](int, const RECT&) { ChooseColour(false); });
  formatBar_.SetDropDown(ID_NOTE_HIGHLIGHT, false, [this](int, const RECT&) { ChooseColour(true); });

  ui::TreeView::Callbacks calls;
  calls.selected = [this](HTREEITEM item) { SelectNote(item); };
  calls.renamed = [this](HTREEITEM item, const std::string& text) {
    XmlElement* note = NoteOf(item);
    if (!note || !RenameNote(nb_, *note, text)) return false;
    // The stored title (spaces as "_") is what the item shows.
    tree_.SetText(item, note->name());
    return false;
  };
  calls.dropped = [this](HTREEITEM dragged, HTREEITEM target) { Drop(dragged, target); };
  tree_.Create(hwnd(), IDC_NOTE_TREE, RECT{0, kToolbarHeight, 180, 300}, calls);
  HFONT font = reinterpret_cast<HFONT>(SendMessageW(hwnd(), WM_GETFONT, 0, 0));
  SendMessageW(tree_.hwnd(), WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);

  edit_ = CreateWindowExW(WS_EX_CLIENTEDGE, L"RichEdit50W", L"",
                          WS_CHILD | WS_VISIBLE | WS_VSCROLL | WS_TABSTOP | ES_MULTILINE | ES_AUTOVSCROLL |
                              ES_WANTRETURN | ES_NOHIDESEL | ES_SAVESEL,
                          185, kToolbarHeight, 200, 300, hwnd(),
                          reinterpret_cast<HMENU>(static_cast<INT_PTR>(IDC_NOTE_EDIT)),
                          GetModuleHandleW(nullptr), nullptr);
  ui::SetTextLimit(edit_, kMaxNoteCharacters);
  SendMessageW(edit_, EM_SETEVENTMASK, 0, ENM_CHANGE | ENM_KEYEVENTS | ENM_MOUSEEVENTS);
  ui::DetectLinks(edit_, true);
  accel_.reset(ui::LoadAccelResource(IDR_NOTE_ACCEL));
  editorAccel_.reset(ui::LoadAccelResource(IDR_NOTE_EDITOR_ACCEL));

  // The note font's defaults are written back when missing.
  if (app().GetSetting("GENERAL", "FONTNAME").empty())
    app().PutSetting("GENERAL", "FONTNAME", kDefaultFontName);
  if (app().GetSetting("GENERAL", "FONTSIZE").empty())
    app().PutSetting("GENERAL", "FONTSIZE", kDefaultFontSize);

  setUp_ = true;
  RECT client;
  GetClientRect(hwnd(), &client);
  if (auto fraction = ParseSplitter(app().GetSetting(kSection, "PROCENT")))
    split_ = SplitterPosition(*fraction, client.right, kMinPane);
  else
    split_ = client.right * 3 / 10;

  bool opened = false;
  if (app().GetFlag("GENERAL", "LAST")) {
    std::string path = StartupNotebookPath(app().GetSetting(kSection, "FILENAME"), app().ProgramFolder());
    if (!path.empty()) opened = OpenPath(path);
  }
  if (!opened) RebuildTree();
  Layout();
  return true;
}

void CNoteBook::OnSize(int, int) {
  if (setUp_) Layout();
}

void CNoteBook::Layout() {
  RECT client;
  GetClientRect(hwnd(), &client);
  int width = client.right, height = client.bottom;
  // The bars are given at 96 dpi; the splitter's place is the user's, in screen pixels.
  const int dpi = ui::DpiOf(hwnd());
  auto s = [dpi](int px) { return ScaleToDpi(px, dpi); };
  const int minPane = s(kMinPane), splitter = s(kSplitterWidth);
  toolbar_.Move(0, 0, width > s(24) ? width - s(24) : 0, s(kBarHeight));
  formatBar_.Move(0, s(kBarHeight), width, s(kBarHeight));
  hideBar_.Move(width - s(22), 0, s(26), s(26));
  if (width > 2 * minPane + splitter) {
    if (split_ > width - minPane - splitter) split_ = width - minPane - splitter;
    if (split_ < minPane) split_ = minPane;
  }
  // The notebook's file name shows in a line under the tree and the note.
  const int pathHeight = s(kPathLineHeight);
  pathRect_ = RECT{s(4), height > pathHeight ? height - pathHeight : 0, width > s(4) ? width - s(4) : 0, height};
  int top = s(kToolbarHeight + 2), h = height > top + pathHeight ? height - top - pathHeight : 0;
  SetWindowPos(tree_.hwnd(), nullptr, 0, top, split_, h, SWP_NOZORDER | SWP_NOACTIVATE);
  int right = split_ + splitter;
  SetWindowPos(edit_, nullptr, right, top, width > right ? width - right : 0, h,
               SWP_NOZORDER | SWP_NOACTIVATE);
}

void CNoteBook::ShowLocked() {
  bool locked = nb_.isProtected;
  ShowWindow(tree_.hwnd(), locked ? SW_HIDE : SW_SHOW);
  ShowWindow(edit_, locked ? SW_HIDE : SW_SHOW);
  InvalidateRect(hwnd(), nullptr, TRUE);
  UpdateButtons();
}

std::string CNoteBook::DefaultRtf() const {
  std::string name = app().GetSetting("GENERAL", "FONTNAME");
  if (name.empty()) name = kDefaultFontName;
  return DefaultNoteRtf(name, FontSizeOf(app().GetSetting("GENERAL", "FONTSIZE")));
}

// ---- the tree mirrors the document ------------------------------------------------------------

XmlElement* CNoteBook::NoteOf(HTREEITEM item) const {
  return item ? reinterpret_cast<XmlElement*>(tree_.Data(item)) : nullptr;
}

HTREEITEM CNoteBook::ItemOf(const XmlElement* note) const {
  if (!note) return nullptr;
  std::vector<HTREEITEM> stack;
  for (HTREEITEM i = tree_.FirstChild(nullptr); i; i = tree_.Next(i)) stack.push_back(i);
  while (!stack.empty()) {
    HTREEITEM i = stack.back();
    stack.pop_back();
    if (NoteOf(i) == note) return i;
    for (HTREEITEM c = tree_.FirstChild(i); c; c = tree_.Next(c)) stack.push_back(c);
  }
  return nullptr;
}

HTREEITEM CNoteBook::AddItems(HTREEITEM parent, XmlElement& note) {
  HTREEITEM top = tree_.Add(parent, note.name(), reinterpret_cast<LPARAM>(&note));
  // Iterative: notes may nest as deep as the file allows.
  std::vector<std::pair<HTREEITEM, XmlElement*>> stack{{top, &note}};
  while (!stack.empty()) {
    auto [item, e] = stack.back();
    stack.pop_back();
    for (size_t i = 0; i < e->ChildCount(); ++i) {
      XmlElement* c = e->Child(i);
      stack.push_back({tree_.Add(item, c->name(), reinterpret_cast<LPARAM>(c)), c});
    }
  }
  return top;
}

void CNoteBook::RebuildTree() {
  ui::WaitCursor wait;
  current_ = nullptr;
  SendMessageW(tree_.hwnd(), WM_SETREDRAW, FALSE, 0);
  tree_.Clear();
  for (size_t i = 0; i < nb_.root->ChildCount(); ++i) AddItems(nullptr, *nb_.root->Child(i));
  SendMessageW(tree_.hwnd(), WM_SETREDRAW, TRUE, 0);
  InvalidateRect(tree_.hwnd(), nullptr, TRUE);
  SelectNote(tree_.Selected());
  ShowLocked();
}

void CNoteBook::SelectNote(HTREEITEM item) {
  ui::WaitCursor wait;
  current_ = NoteOf(item);
  findFrom_ = 0;
  LoadBody(current_ ? current_->value() : std::string());
  EnableWindow(edit_, current_ != nullptr);
  UpdateButtons();
}

void CNoteBook::LoadBody(const std::string& body) {
  loading_ = true;
  if (body.empty()) {
    ui::StreamInRtf(edit_, DefaultRtf());
  } else if (IsRtfBody(body)) {
    ui::StreamInRtf(edit_, body);
  } else {
    ui::StreamInRtf(edit_, DefaultRtf());
    SetWindowTextW(edit_, ui::Wide(body).c_str());
  }
  SendMessageW(edit_, EM_SETMODIFY, FALSE, 0);
  SendMessageW(edit_, EM_EMPTYUNDOBUFFER, 0, 0);
  loading_ = false;
  history_.Start({ui::StreamOutRtf(edit_), 0, 0});
}

void CNoteBook::StoreText() {
  if (loading_ || !current_) return;
  current_->SetValue(ui::StreamOutRtf(edit_));
  MarkChanged(nb_);
}

void CNoteBook::Snapshot(unsigned key, bool formatCommand) {
  if (!current_) return;
  NoteSnapshot s;
  s.rtf = ui::StreamOutRtf(edit_);
  ui::GetSelection(edit_, s.first, s.last);
  if (formatCommand)
    history_.Add(std::move(s));
  else
    history_.KeyReleased(key, std::move(s));
  UpdateButtons();
}

void CNoteBook::ShowSnapshot(const NoteSnapshot& s) {
  loading_ = true;
  ui::StreamInRtf(edit_, s.rtf);
  ui::SetSelection(edit_, s.first, s.last);
  loading_ = false;
  history_.Settle(ui::StreamOutRtf(edit_));
  StoreText();
  UpdateButtons();
}

void CNoteBook::UpdateButtons() {
  // Every file command ends here: the path line may have changed.
  InvalidateRect(hwnd(), &pathRect_, TRUE);
  bool note = current_ != nullptr && !nb_.isProtected;
  for (int id : {ID_NOTE_BOLD, ID_NOTE_ITALIC, ID_NOTE_UNDERLINE, ID_NOTE_ALIGN_LEFT, ID_NOTE_ALIGN_CENTRE,
                 ID_NOTE_ALIGN_RIGHT, ID_NOTE_FONT, ID_NOTE_COLOUR, ID_NOTE_HIGHLIGHT, ID_NOTE_BULLETS,
                 ID_NOTE_CUT, ID_NOTE_COPY, ID_NOTE_PASTE})
    formatBar_.Enable(id, note);
  toolbar_.Enable(ID_NOTE_FIND_TEXT, note);
  // A locked file takes no tree command: their buttons say so.
  for (int id : {ID_NOTE_ADD_ROOT, ID_NOTE_ADD_LEAF, ID_NOTE_DELETE, ID_NOTE_COPY_BRANCH, ID_NOTE_FIND_TITLE,
                 ID_NOTE_FIND_ALL})
    toolbar_.Enable(id, !nb_.isProtected);
  toolbar_.Enable(ID_NOTE_PRINT, note);
  formatBar_.Enable(ID_NOTE_UNDO, note && history_.CanUndo());
  formatBar_.Enable(ID_NOTE_REDO, note && history_.CanRedo());
  toolbar_.Enable(ID_NOTE_PASTE_BRANCH, clip_.CanPaste() && !nb_.isProtected);
  if (!formatBar_.hwnd()) return;
  CHARFORMAT2W cf = CharFormat(edit_);
  SendMessageW(formatBar_.hwnd(), TB_CHECKBUTTON, ID_NOTE_BOLD,
               MAKELONG(note && (cf.dwEffects & CFE_BOLD), 0));
  SendMessageW(formatBar_.hwnd(), TB_CHECKBUTTON, ID_NOTE_ITALIC,
               MAKELONG(note && (cf.dwEffects & CFE_ITALIC), 0));
  SendMessageW(formatBar_.hwnd(), TB_CHECKBUTTON, ID_NOTE_UNDERLINE,
               MAKELONG(note && (cf.dwEffects & CFE_UNDERLINE), 0));
}

// ---- notifications and messages ---------------------------------------------------------------

bool CNoteBook::OnNotify(NMHDR* header, LRESULT& result) {
  if (header->hwndFrom == tree_.hwnd()) {
    if (header->code == TVN_BEGINRDRAGW) {
      auto* tv = reinterpret_cast<NMTREEVIEWW*>(header);
      tree_.Select(tv->itemNew.hItem);
      tree_.BeginDrag(tv->itemNew.hItem, tv->ptDrag);
      SetTimer(hwnd(), 1, 2000, nullptr);  // expands an item that stays under the pointer
      return true;
    }
    if (header->code == TVN_BEGINDRAGW) {  // dragging is the right button's
      tree_.EndDrag(false);
      return true;
    }
    if (header->code == NM_RCLICK) {
      POINT at;
      GetCursorPos(&at);
      TVHITTESTINFO hit{};
      hit.pt = at;
      ScreenToClient(tree_.hwnd(), &hit.pt);
      if (HTREEITEM item = TreeView_HitTest(tree_.hwnd(), &hit)) tree_.Select(item);
      int chosen = ui::ShowContextMenu(hwnd(), at, TreeMenu());
      if (chosen) OnCommand(chosen, 0, nullptr);
      result = 1;
      return true;
    }
    return false;
  }
  if (header->hwndFrom == edit_) {
    if (header->code == EN_MSGFILTER) {
      auto* f = reinterpret_cast<MSGFILTER*>(header);
      if (f->msg == WM_KEYUP && current_) Snapshot(static_cast<unsigned>(f->wParam), false);
      if (f->msg == WM_RBUTTONUP) {
        POINT at;
        GetCursorPos(&at);
        int chosen = ui::ShowContextMenu(hwnd(), at, EditorMenu());
        if (chosen) OnCommand(chosen, 0, nullptr);
        result = 1;
        return true;
      }
      if (f->msg == WM_KEYUP || f->msg == WM_LBUTTONUP) UpdateButtons();
      result = 0;
      return true;
    }
    if (header->code == EN_LINK) {
      auto* link = reinterpret_cast<ENLINK*>(header);
      if (link->msg == WM_LBUTTONUP && (GetKeyState(VK_CONTROL) & 0x8000)) {
        std::wstring target = ui::TextRange(edit_, link->chrg.cpMin, link->chrg.cpMax);
        OpenTarget(ui::Narrow(target), kShowNormal);
        result = 1;
        return true;
      }
    }
  }
  return false;
}

bool CNoteBook::OnMessage(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result) {
  switch (msg) {
    case WM_PAINT: {
      ui::PaintGuard paint(hwnd());
      SetBkMode(paint.dc(), TRANSPARENT);
      ui::SelectGuard font(paint.dc(), reinterpret_cast<HFONT>(SendMessageW(hwnd(), WM_GETFONT, 0, 0)));
      if (nb_.isProtected) {
        RECT r;
        GetClientRect(hwnd(), &r);
        r.top = ui::Scaled(hwnd(), kToolbarHeight);
        r.bottom = pathRect_.top;
        std::wstring text = ui::Wide(kProtectedNotice);
        DrawTextW(paint.dc(), text.c_str(), -1, &r, DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
      }
      SetTextColor(paint.dc(), kPathColour);
      std::wstring path = ui::Wide(nb_.path);
      RECT r = pathRect_;
      DrawTextW(paint.dc(), path.c_str(), static_cast<int>(path.size()), &r,
                DT_SINGLELINE | DT_VCENTER | DT_LEFT | DT_NOPREFIX | DT_PATH_ELLIPSIS);
      result = 0;
      return true;
    }
    case WM_SETCURSOR: {
      POINT p;
      GetCursorPos(&p);
      ScreenToClient(hwnd(), &p);
      if (reinterpret_cast<HWND>(wp) != hwnd() || nb_.isProtected || p.y < ui::Scaled(hwnd(), kToolbarHeight))
        return false;
      if (p.x >= split_ && p.x < split_ + ui::Scaled(hwnd(), kSplitterWidth)) {
        SetCursor(LoadCursorW(nullptr, IDC_SIZEWE));
        result = TRUE;
        return true;
      }
      return false;
    }
    case WM_LBUTTONDOWN: {
      int x = GET_X_LPARAM(lp), y = GET_Y_LPARAM(lp);
      if (nb_.isProtected || y < ui::Scaled(hwnd(), kToolbarHeight) || x < split_ ||
          x >= split_ + ui::Scaled(hwnd(), kSplitterWidth))
        return false;
      splitting_ = true;
      SetCapture(hwnd());
      return true;
    }
    case WM_MOUSEMOVE:
      if (!splitting_) return false;
      split_ = GET_X_LPARAM(lp);
      Layout();
      return true;
    case WM_LBUTTONUP:
    case WM_CAPTURECHANGED: {
      if (!splitting_) return false;
      splitting_ = false;
      if (msg == WM_LBUTTONUP) ReleaseCapture();
      RECT client;
      GetClientRect(hwnd(), &client);
      app().PutSetting(kSection, "PROCENT", FormatSplitter(split_, client.right));
      return true;
    }
    case WM_TIMER:
      if (wp != 1) return false;
      if (!tree_.dragging()) {
        KillTimer(hwnd(), 1);
      } else if (HTREEITEM target = tree_.DropTarget()) {
        if (tree_.FirstChild(target)) tree_.Expand(target, true);
      }
      return true;
    default: return false;
  }
}

// ---- commands ---------------------------------------------------------------------------------

bool CNoteBook::OnCommand(int id, int code, HWND control) {
  if (control && control == edit_) {
    if (code == EN_CHANGE) StoreText();
    return true;
  }
  if (code != 0 && code != 1) return false;
  bool unlocked = !nb_.isProtected;
  switch (id) {
    case ID_NOTE_NEW_FILE: NewFile(); return true;
    case ID_NOTE_OPEN_FILE: OpenFile(); return true;
    case ID_NOTE_SAVE_FILE: SaveFile(); return true;
    case ID_NOTE_SAVE_AS: SaveAs(); return true;
    case ID_NOTE_PASSWORD: Password(); return true;
    case ID_NOTE_HIDE: return CommonCommand(ID_HIDE_TO_TRAY);
    case ID_NOTE_EXPORT: toolbar_.Drop(id); return true;
    default:
      if (CommonCommand(id)) return true;
      break;
  }
  if (!unlocked) return true;  // nothing else while the file is locked
  switch (id) {
    case ID_NOTE_ADD_ROOT: AddNote(true); return true;
    case ID_NOTE_ADD_LEAF: AddNote(false); return true;
    case ID_NOTE_DELETE: DeleteNote(); return true;
    case ID_NOTE_RENAME:
      if (HTREEITEM item = tree_.Selected()) tree_.EditLabel(item);
      return true;
    case ID_NOTE_COPY_BRANCH: CopyBranch(); return true;
    case ID_NOTE_PASTE_BRANCH: PasteBranch(); return true;
    case ID_NOTE_SORT_BRANCH: Sort(false); return true;
    case ID_NOTE_SORT_TREE: Sort(true); return true;
    case ID_NOTE_FIND_TITLE: FindTitle(); return true;
    case ID_NOTE_FIND_ALL: FindAll(); return true;
    case ID_NOTE_EXPORT_BRANCH: ExportBranch(); return true;
    case ID_NOTE_IMPORT_BRANCH: ImportBranch(); return true;
    default: break;
  }
  if (!current_) return true;  // the rest work on the open note
  switch (id) {
    case ID_NOTE_FIND_TEXT: FindText(); return true;
    case ID_NOTE_BOLD: ToggleEffect(CFM_BOLD, CFE_BOLD); return true;
    case ID_NOTE_ITALIC: ToggleEffect(CFM_ITALIC, CFE_ITALIC); return true;
    case ID_NOTE_UNDERLINE: ToggleEffect(CFM_UNDERLINE, CFE_UNDERLINE); return true;
    case ID_NOTE_ALIGN_LEFT: Align(PFA_LEFT); return true;
    case ID_NOTE_ALIGN_CENTRE: Align(PFA_CENTER); return true;
    case ID_NOTE_ALIGN_RIGHT: Align(PFA_RIGHT); return true;
    case ID_NOTE_BULLETS: Bullets(); return true;
    case ID_NOTE_INDENT_MORE: Indent(360); return true;
    case ID_NOTE_INDENT_LESS: Indent(-360); return true;
    case ID_NOTE_FONT: PickFont(); return true;
    case ID_NOTE_COLOUR: ChooseColour(false); return true;
    case ID_NOTE_HIGHLIGHT: ChooseColour(true); return true;
    case ID_NOTE_CUT: SendMessageW(edit_, WM_CUT, 0, 0); return true;
    case ID_NOTE_COPY: SendMessageW(edit_, WM_COPY, 0, 0); return true;
    case ID_NOTE_PASTE: SendMessageW(edit_, WM_PASTE, 0, 0); return true;
    case ID_NOTE_CLEAR: SendMessageW(edit_, WM_CLEAR, 0, 0); return true;
    case ID_NOTE_SELECT_ALL: ui::SetSelection(edit_, 0, -1); return true;
    case ID_NOTE_WORD_WRAP:
      wordWrap_ = !wordWrap_;
      SendMessageW(edit_, EM_SETTARGETDEVICE, 0, wordWrap_ ? 0 : 1);
      return true;
    case ID_NOTE_UNDO:
      if (auto s = history_.Undo()) ShowSnapshot(*s);
      return true;
    case ID_NOTE_REDO:
      if (auto s = history_.Redo()) ShowSnapshot(*s);
      return true;
    case ID_NOTE_PRINT: Print(); return true;
    case ID_NOTE_TEXT_TO_FILE: TextToFile(); return true;
    case ID_NOTE_TEXT_FROM_FILE: TextFromFile(); return true;
    case ID_NOTE_LINK_FILE: InsertLink(false); return true;
    case ID_NOTE_LINK_FOLDER: InsertLink(true); return true;
    case ID_NOTE_OUTSIDE: OpenOutside(); return true;
    default:
      if (FindRecodeCommand(id) || id == kUtf8ToWinCommand || id == kCharsetRepairCommand ||
          id == kLatToRusCommand || id == kRusToLatCommand) {
        Recode(id);
        return true;
      }
      return false;
  }
}

}  // namespace vm::notebook
