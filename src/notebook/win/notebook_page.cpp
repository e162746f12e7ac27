#include "notebook/win/notebook_page.h"

#include <commdlg.h>
#include <richedit.h>
#include <shellapi.h>
#include <windowsx.h>

#include "common/ask_dialogs.h"
#include "common/recode.h"
#include "common/win/shell_actions_win.h"
#include "notebook/header_codec.h"
#include "notebook/win/notebook_resources.h"
#include "platform/platform.h"
#include "shell/win/shell_resources.h"
#include "ui/ask_dialogs.h"
#include "ui/dialog.h"
#include "ui/file_dialogs.h"
#include "ui/folder_picker.h"
#include "ui/page_keys.h"
#include "ui/question.h"
#include "ui/resources.h"
#include "ui/rich_edit.h"
#include "ui/text.h"
#include "ui/wait_cursor.h"

namespace vm::notebook {

namespace {

constexpr int kBarHeight = 28;
constexpr int kToolbarHeight = 2 * kBarHeight;  // the file and tree row, then the format row
constexpr int kSplitterWidth = 5;
constexpr int kMinPane = 40;
constexpr int kMaxNoteCharacters = 65536;
const char kSection[] = "NOTE";

const std::vector<ui::ToolCommand>& Commands() {
  static const std::vector<ui::ToolCommand> table = {
      {ID_NOTE_NEW_FILE, IDI_NOTE_NEW, "Создать новый файл Ctrl+N"},
      {ID_NOTE_OPEN_FILE, IDI_NOTE_OPEN, "Открыть файл Ctrl+O"},
      {ID_NOTE_SAVE_FILE, IDI_NOTE_SAVE, "Сохранить файл"},
      {ID_NOTE_SAVE_AS, IDI_NOTE_SAVE_AS, "Сохранить файл как... Ctrl+S"},
      {ID_SAVE_ALL, IDI_NOTE_SAVE_ALL, "Сохранить все"},
      {ID_NOTE_ADD_ROOT, IDI_NOTE_ADD_ROOT, "Добавить корень"},
      {ID_NOTE_ADD_LEAF, IDI_NOTE_ADD_LEAF, "Добавить лист"},
      {ID_NOTE_DELETE, IDI_NOTE_DELETE, "Удалить ветвь"},
      {ID_NOTE_COPY_BRANCH, IDI_NOTE_COPY_BRANCH, "Копировать ветвь"},
      {ID_NOTE_PASTE_BRANCH, IDI_NOTE_PASTE_BRANCH, "Вставить ветвь"},
      {ID_NOTE_FIND_TITLE, IDI_NOTE_FIND_TITLE, "Поиск по дереву F2"},
      {ID_NOTE_FIND_TEXT, IDI_NOTE_FIND_TEXT, "Поиск F3"},
      {ID_NOTE_FIND_ALL, IDI_NOTE_FIND_ALL, "Поиск во всех заметках Ctrl+Shift+F"},
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
      {ID_HELP_FILE, IDI_NOTE_HELP, "Помощь"},
      {ID_NOTE_HIDE, IDI_NOTE_HIDE, "Скрыть F12"},
  };
  return table;
}

std::string WithExtension(std::string path) {
  if (path.size() < 4 || UpperCp1251(path.substr(path.size() - 4)) != ".DBN") path += ".dbn";
  return path;
}

const std::vector<std::pair<std::string, std::string>>& NotebookFilter() {
  static const std::vector<std::pair<std::string, std::string>> f = {{"Файлы dbn (*.dbn)", "*.dbn"}};
  return f;
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
      std::wstring row = ui::Wide(hit.path + "\t" + (hit.inTitle ? "[заголовок] " : "") + hit.context);
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

NotebookDialogs SystemNotebookDialogs() {
  NotebookDialogs d;
  d.newFile = [](HWND owner, const std::string& folder) { return ui::AskNewFile(owner, folder); };
  d.openFile = [](HWND owner, const std::string& folder) {
    ui::FileDialogOptions fileDialog;
    fileDialog.filters = NotebookFilter();
    fileDialog.defaultExtension = "dbn";
    fileDialog.folder = folder;
    return ui::AskOpenFile(owner, fileDialog);
  };
  d.saveAs = [](HWND owner, const std::string& folder) {
    ui::FileDialogOptions fileDialog;
    fileDialog.filters = NotebookFilter();
    fileDialog.defaultExtension = "dbn";
    fileDialog.folder = folder;
    return ui::AskSaveFile(owner, fileDialog);
  };
  d.openWithShell = [](const std::string& path) {
    HINSTANCE h = ShellExecuteW(nullptr, L"open", ui::Wide(path).c_str(), nullptr, nullptr, SW_SHOWNORMAL);
    return static_cast<int>(reinterpret_cast<INT_PTR>(h));
  };
  return d;
}

CNoteBook::CNoteBook(const CAppUtil& app)
    : shell::BookPage(shell::kNotebookTab, IDD_NOTEBOOK, app), dialogs_(SystemNotebookDialogs()) {}

bool CNoteBook::PreTranslate(MSG& msg) {
  if (find_.PreTranslate(msg)) return true;
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

  std::string stored = app().GetSetting(kSection, "FILENAME");
  bool opened = false;
  if (app().GetFlag("GENERAL", "LAST") && !stored.empty()) {
    std::string path = stored;
    if (!platform::FileExists(path)) path = app().ProgramFolder() + "Personal\\" + FileNameOf(stored);
    if (platform::FileExists(path)) opened = OpenPath(path);
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
  toolbar_.Move(0, 0, width > 24 ? width - 24 : 0, kBarHeight);
  formatBar_.Move(0, kBarHeight, width, kBarHeight);
  hideBar_.Move(width - 22, 0, 26, 26);
  if (width > 2 * kMinPane + kSplitterWidth) {
    if (split_ > width - kMinPane - kSplitterWidth) split_ = width - kMinPane - kSplitterWidth;
    if (split_ < kMinPane) split_ = kMinPane;
  }
  int top = kToolbarHeight + 2, h = height > top ? height - top : 0;
  SetWindowPos(tree_.hwnd(), nullptr, 0, top, split_, h, SWP_NOZORDER | SWP_NOACTIVATE);
  int right = split_ + kSplitterWidth;
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
  StoreText();
  UpdateButtons();
}

void CNoteBook::UpdateButtons() {
  bool note = current_ != nullptr && !nb_.isProtected;
  for (int id : {ID_NOTE_BOLD, ID_NOTE_ITALIC, ID_NOTE_UNDERLINE, ID_NOTE_ALIGN_LEFT, ID_NOTE_ALIGN_CENTRE,
                 ID_NOTE_ALIGN_RIGHT, ID_NOTE_FONT, ID_NOTE_COLOUR, ID_NOTE_HIGHLIGHT, ID_NOTE_BULLETS,
                 ID_NOTE_CUT, ID_NOTE_COPY, ID_NOTE_PASTE})
    formatBar_.Enable(id, note);
  toolbar_.Enable(ID_NOTE_FIND_TEXT, note);
  toolbar_.Enable(ID_NOTE_FIND_ALL, !nb_.isProtected);
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
      if (!nb_.isProtected) return false;
      PAINTSTRUCT ps;
      HDC dc = BeginPaint(hwnd(), &ps);
      RECT r;
      GetClientRect(hwnd(), &r);
      r.top = kToolbarHeight;
      SetBkMode(dc, TRANSPARENT);
      HGDIOBJ old = SelectObject(dc, reinterpret_cast<HFONT>(SendMessageW(hwnd(), WM_GETFONT, 0, 0)));
      std::wstring text = ui::Wide(kProtectedNotice);
      DrawTextW(dc, text.c_str(), -1, &r, DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
      SelectObject(dc, old);
      EndPaint(hwnd(), &ps);
      result = 0;
      return true;
    }
    case WM_SETCURSOR: {
      POINT p;
      GetCursorPos(&p);
      ScreenToClient(hwnd(), &p);
      if (reinterpret_cast<HWND>(wp) != hwnd() || nb_.isProtected || p.y < kToolbarHeight) return false;
      if (p.x >= split_ && p.x < split_ + kSplitterWidth) {
        SetCursor(LoadCursorW(nullptr, IDC_SIZEWE));
        result = TRUE;
        return true;
      }
      return false;
    }
    case WM_LBUTTONDOWN: {
      int x = GET_X_LPARAM(lp), y = GET_Y_LPARAM(lp);
      if (nb_.isProtected || y < kToolbarHeight || x < split_ || x >= split_ + kSplitterWidth) return false;
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
    case ID_HELP_FILE: OpenHelp(); return true;
    case ID_SAVE_ALL:
    case ID_NOTE_HIDE:
      SendMessageW(GetParent(hwnd()), WM_COMMAND, MAKEWPARAM(id == ID_NOTE_HIDE ? ID_HIDE_TO_TRAY : id, 0),
                   0);
      return true;
    case ID_NOTE_EXPORT: toolbar_.Drop(id); return true;
    default: break;
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

// ---- menus ------------------------------------------------------------------------------------

std::vector<ui::MenuItem> CNoteBook::TreeMenu() const {
  auto item = [](int id, const char* text, bool enabled = true) {
    ui::MenuItem m;
    m.id = id;
    m.text = text;
    m.enabled = enabled;
    return m;
  };
  bool selected = tree_.Selected() != nullptr;
  ui::MenuItem exportImport = item(0, "Экспор/импорт");
  exportImport.items = {item(ID_NOTE_EXPORT_BRANCH, "ветви в файл", selected),
                        item(ID_NOTE_IMPORT_BRANCH, "ветви из файла", selected)};
  ui::MenuItem sort = item(0, "Сортировать..");
  sort.items = {item(ID_NOTE_SORT_BRANCH, "ветвь", selected), item(ID_NOTE_SORT_TREE, "дерево")};
  return {item(ID_NOTE_ADD_ROOT, "Новый корень", nb_.state != kNoDocument),
          item(ID_NOTE_ADD_LEAF, "Новый лист", selected),
          item(ID_NOTE_RENAME, "Переименовать", selected),
          item(ID_NOTE_COPY_BRANCH, "Копировать", selected),
          item(ID_NOTE_PASTE_BRANCH, "Вставить", clip_.CanPaste() && selected),
          item(ID_NOTE_DELETE, "Удалить"),
          ui::MenuSeparator(),
          item(ID_NOTE_FIND_ALL, "Поиск во всех заметках"),
          exportImport,
          sort};
}

std::vector<ui::MenuItem> CNoteBook::EditorMenu() const {
  long first = 0, last = 0;
  ui::GetSelection(edit_, first, last);
  bool any = last > first;
  bool canPaste = SendMessageW(edit_, EM_CANPASTE, 0, 0) != 0;
  CHARFORMAT2W cf = CharFormat(edit_);
  PARAFORMAT2 pf = ParaFormat(edit_);
  auto item = [](int id, const char* text, bool enabled = true, bool checked = false) {
    ui::MenuItem m;
    m.id = id;
    m.text = text;
    m.enabled = enabled;
    m.checked = checked;
    return m;
  };
  return {item(ID_NOTE_CUT, "Вырезать", any),
          item(ID_NOTE_COPY, "Копировать", any),
          item(ID_NOTE_PASTE, "Вставить", canPaste),
          item(ID_NOTE_CLEAR, "Удалить", any),
          ui::MenuSeparator(),
          item(ID_NOTE_BOLD, "Полужирный", true, (cf.dwEffects & CFE_BOLD) != 0),
          item(ID_NOTE_ITALIC, "Курсив", true, (cf.dwEffects & CFE_ITALIC) != 0),
          item(ID_NOTE_UNDERLINE, "Подчеркнутый", true, (cf.dwEffects & CFE_UNDERLINE) != 0),
          ui::MenuSeparator(),
          item(ID_NOTE_BULLETS, "Маркеры", true, pf.wNumbering == PFN_BULLET),
          item(ID_NOTE_ALIGN_LEFT, "Выравнивание слева", true, pf.wAlignment == PFA_LEFT),
          item(ID_NOTE_ALIGN_CENTRE, "Выравнивание по центру", true, pf.wAlignment == PFA_CENTER),
          item(ID_NOTE_ALIGN_RIGHT, "Выравнивание справа", true, pf.wAlignment == PFA_RIGHT),
          ui::MenuSeparator(),
          item(ID_NOTE_INDENT_MORE, "Увеличить отступ"),
          item(ID_NOTE_INDENT_LESS, "Уменьшить отступ", pf.dxStartIndent > 0),
          ui::MenuSeparator(),
          item(ID_NOTE_WORD_WRAP, "Перенос слов", true, wordWrap_),
          ui::MenuSeparator(),
          item(ID_NOTE_SELECT_ALL, "Выделить все")};
}

std::vector<ui::MenuItem> CNoteBook::ExportMenu() const {
  bool note = current_ != nullptr && !nb_.isProtected;
  auto item = [note](int id, const char* text) {
    ui::MenuItem m;
    m.id = id;
    m.text = text;
    m.enabled = note;
    return m;
  };
  ui::MenuItem exportImport = item(0, "Экспорт/импорт");
  exportImport.items = {item(ID_NOTE_TEXT_TO_FILE, "текста в файл"),
                        item(ID_NOTE_TEXT_FROM_FILE, "текста из файла")};
  ui::MenuItem recode = item(0, "Перекодировка");
  for (const RecodeCommand& c : RecodeCommands()) recode.items.push_back(item(c.id, c.text));
  recode.items.push_back(item(kUtf8ToWinCommand, "UTF8->Win"));
  ui::MenuItem translit = item(0, "Транслит");
  translit.items = {item(kLatToRusCommand, "Lat->Rusi"), item(kRusToLatCommand, "Rus->Lat")};
  return {exportImport,
          recode,
          item(kCharsetRepairCommand, "Кирилица"),
          translit,
          ui::MenuSeparator(),
          item(ID_NOTE_OUTSIDE, "Открыть в программе просмотра"),
          item(ID_NOTE_LINK_FILE, "Прикрепить ссылку на файл"),
          item(ID_NOTE_LINK_FOLDER, "Прикрепить ссылку на файловую папку")};
}

// ---- files ------------------------------------------------------------------------------------

void CNoteBook::Save() {
  if (nb_.state != kChanged && nb_.state != kRearranged) return;
  NotebookSave saved;
  {
    ui::WaitCursor wait;
    saved = SaveNotebook(nb_, nb_.state == kRearranged ? nb_.root.get() : nullptr);
  }
  if (saved.status == SaveStatus::kFailed) platform::ShowMessage(saved.error, platform::MessageIcon::kStop);
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
  std::string path = WithExtension(*chosen);
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
  std::string folder = FolderOfPath(nb_.path);
  if (folder.empty() || !platform::DirExists(folder)) {
    folder = app().ProgramFolder() + "Personal";
    if (!platform::DirExists(folder)) platform::MakeDir(folder);
  }
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
  std::string folder = FolderOfPath(nb_.path);
  if (folder.empty() || !platform::DirExists(folder)) {
    folder = app().ProgramFolder() + "Personal";
    if (!platform::DirExists(folder)) platform::MakeDir(folder);
  }
  std::optional<std::string> chosen = dialogs_.saveAs(hwnd(), folder);
  if (!chosen) return;
  std::string old = nb_.path;
  int oldState = nb_.state;
  nb_.path = WithExtension(*chosen);
  if (nb_.state != kNoDocument && nb_.state != kRearranged) nb_.state = kChanged;
  Save();
  if (nb_.state == kChanged && oldState != kChanged) {  // the write failed: stay with the old file
    nb_.path = old;
    nb_.state = oldState;
    return;
  }
  app().PutSetting(kSection, "FILENAME", nb_.path);
}

void CNoteBook::Password() {
  vm::PasswordMode mode = PasswordModeFor(nb_) == notebook::PasswordMode::kEntering ? vm::PasswordMode::kEnter
                                                                                    : vm::PasswordMode::kSet;
  std::optional<ui::PasswordAnswer> answer = ui::AskPassword(hwnd(), mode);
  if (!answer) return;
  bool wasLocked = nb_.isProtected;
  bool show = ApplyPassword(nb_, answer->text, answer->removePassword);
  // A new password protects the file when it is written; the notes stay on show.
  if (!wasLocked) nb_.isProtected = false;
  if (show || !wasLocked) ShowLocked();
}

// ---- the tree ---------------------------------------------------------------------------------

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
    if (HTREEITEM item = ItemOf(hit)) tree_.Select(item);
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
      },
      true);
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

// ---- formats ----------------------------------------------------------------------------------

void CNoteBook::ToggleEffect(DWORD mask, DWORD effect) {
  CHARFORMAT2W cf = CharFormat(edit_);
  bool on = (cf.dwMask & mask) && (cf.dwEffects & effect);
  CHARFORMAT2W set{};
  set.cbSize = sizeof set;
  set.dwMask = mask;
  set.dwEffects = on ? 0 : effect;
  SendMessageW(edit_, EM_SETCHARFORMAT, SCF_SELECTION, reinterpret_cast<LPARAM>(&set));
  Snapshot(0, true);
}

void CNoteBook::Align(WORD alignment) {
  PARAFORMAT2 pf{};
  pf.cbSize = sizeof pf;
  pf.dwMask = PFM_ALIGNMENT;
  pf.wAlignment = alignment;
  SendMessageW(edit_, EM_SETPARAFORMAT, 0, reinterpret_cast<LPARAM>(&pf));
  Snapshot(0, true);
}

void CNoteBook::Bullets() {
  PARAFORMAT2 now = ParaFormat(edit_);
  PARAFORMAT2 pf{};
  pf.cbSize = sizeof pf;
  pf.dwMask = PFM_NUMBERING | PFM_OFFSET;
  bool on = now.wNumbering == PFN_BULLET;
  pf.wNumbering = on ? 0 : PFN_BULLET;
  pf.dxOffset = on ? 0 : 360;
  SendMessageW(edit_, EM_SETPARAFORMAT, 0, reinterpret_cast<LPARAM>(&pf));
  Snapshot(0, true);
}

void CNoteBook::Indent(int twips) {
  PARAFORMAT2 now = ParaFormat(edit_);
  PARAFORMAT2 pf{};
  pf.cbSize = sizeof pf;
  pf.dwMask = PFM_STARTINDENT;
  pf.dxStartIndent = now.dxStartIndent + twips < 0 ? 0 : now.dxStartIndent + twips;
  SendMessageW(edit_, EM_SETPARAFORMAT, 0, reinterpret_cast<LPARAM>(&pf));
  Snapshot(0, true);
}

void CNoteBook::PickFont() {
  CHARFORMAT2W cf = CharFormat(edit_);
  LOGFONTW lf{};
  lstrcpynW(lf.lfFaceName, cf.szFaceName, LF_FACESIZE);
  HDC dc = GetDC(hwnd());
  lf.lfHeight = -MulDiv(cf.yHeight, GetDeviceCaps(dc, LOGPIXELSY), 1440);
  ReleaseDC(hwnd(), dc);
  lf.lfWeight = (cf.dwEffects & CFE_BOLD) ? FW_BOLD : FW_NORMAL;
  lf.lfItalic = (cf.dwEffects & CFE_ITALIC) != 0;
  lf.lfUnderline = (cf.dwEffects & CFE_UNDERLINE) != 0;
  lf.lfStrikeOut = (cf.dwEffects & CFE_STRIKEOUT) != 0;
  lf.lfCharSet = RUSSIAN_CHARSET;
  CHOOSEFONTW c{};
  c.lStructSize = sizeof c;
  c.hwndOwner = hwnd();
  c.lpLogFont = &lf;
  c.Flags = CF_SCREENFONTS | CF_EFFECTS | CF_INITTOLOGFONTSTRUCT;
  c.rgbColors = cf.crTextColor;
  if (!::ChooseFontW(&c)) return;
  CHARFORMAT2W set{};
  set.cbSize = sizeof set;
  set.dwMask =
      CFM_FACE | CFM_SIZE | CFM_BOLD | CFM_ITALIC | CFM_UNDERLINE | CFM_STRIKEOUT | CFM_COLOR | CFM_CHARSET;
  lstrcpynW(set.szFaceName, lf.lfFaceName, LF_FACESIZE);
  set.yHeight = c.iPointSize * 2;  // tenths of a point to twips
  if (lf.lfWeight >= FW_BOLD) set.dwEffects |= CFE_BOLD;
  if (lf.lfItalic) set.dwEffects |= CFE_ITALIC;
  if (lf.lfUnderline) set.dwEffects |= CFE_UNDERLINE;
  if (lf.lfStrikeOut) set.dwEffects |= CFE_STRIKEOUT;
  set.crTextColor = c.rgbColors;
  set.bCharSet = lf.lfCharSet;
  SendMessageW(edit_, EM_SETCHARFORMAT, SCF_SELECTION, reinterpret_cast<LPARAM>(&set));
  Snapshot(0, true);
}

void CNoteBook::ChooseColour(bool highlight) {
  if (!current_) return;
  RECT button = formatBar_.ButtonScreenRect(highlight ? ID_NOTE_HIGHLIGHT : ID_NOTE_COLOUR);
  CHARFORMAT2W now = CharFormat(edit_);
  COLORREF current = highlight ? ((now.dwEffects & CFE_AUTOBACKCOLOR) ? CLR_INVALID : now.crBackColor)
                               : ((now.dwEffects & CFE_AUTOCOLOR) ? CLR_INVALID : now.crTextColor);
  picker_.Show(hwnd(), POINT{button.left, button.bottom}, current, [this, highlight](COLORREF colour) {
    CHARFORMAT2W set{};
    set.cbSize = sizeof set;
    if (highlight) {
      set.dwMask = CFM_BACKCOLOR;
      if (colour == CLR_INVALID)
        set.dwEffects = CFE_AUTOBACKCOLOR;
      else
        set.crBackColor = colour;
    } else {
      set.dwMask = CFM_COLOR;
      if (colour == CLR_INVALID)
        set.dwEffects = CFE_AUTOCOLOR;
      else
        set.crTextColor = colour;
    }
    SendMessageW(edit_, EM_SETCHARFORMAT, SCF_SELECTION, reinterpret_cast<LPARAM>(&set));
    Snapshot(0, true);
  });
}

// ---- recoding, links, files of one note -------------------------------------------------------

void CNoteBook::SetPlainText(const std::string& cp1251) {
  loading_ = true;
  ui::StreamInRtf(edit_, DefaultRtf());
  ui::SetSelection(edit_, 0, -1);
  ui::ReplaceSelection(edit_, ui::Wide(cp1251), false);
  loading_ = false;
  StoreText();
  Snapshot(0, true);
}

void CNoteBook::Recode(int command) {
  ui::WaitCursor wait;
  if (command == kCharsetRepairCommand) {
    loading_ = true;
    ui::StreamInRtf(edit_, RepairCharsetTag(ui::StreamOutRtf(edit_)));
    loading_ = false;
    StoreText();
    Snapshot(0, true);
    return;
  }
  std::string plain = ui::Narrow(ui::PlainText(edit_));
  if (const RecodeCommand* c = FindRecodeCommand(command)) {
    RecodeInPlace(plain, c->from, c->to);
  } else if (command == kUtf8ToWinCommand) {
    // The plain text holds the note's bytes as cp1251 characters; UTF-8 is read from them.
    RecodeOutcome out = Utf8ToWindows(plain);
    if (!out.ok) {
      if (!out.message.empty()) platform::ShowMessage(out.message, platform::MessageIcon::kExclamation);
      return;  // the text stays as it was
    }
    plain = out.text;
  } else if (command == kLatToRusCommand) {
    plain = LatinToRussian(plain);
  } else if (command == kRusToLatCommand) {
    plain = RussianToLatin(plain);
  }
  SetPlainText(plain);
}

void CNoteBook::InsertLink(bool folder) {
  std::optional<std::string> path;
  if (folder) {
    path = ui::PickFolder(hwnd(), FolderOfPath(nb_.path));
  } else {
    ui::FileDialogOptions fileDialog;
    fileDialog.filters = {{"все файлы (*.*)", "*"}};
    path = ui::AskOpenFile(hwnd(), fileDialog);
  }
  if (!path) return;
  SendMessageW(edit_, WM_SETREDRAW, FALSE, 0);
  LRESULT top = SendMessageW(edit_, EM_GETFIRSTVISIBLELINE, 0, 0);
  ui::ReplaceSelection(edit_, ui::Wide(LinkText(*path)), true);
  LRESULT nowTop = SendMessageW(edit_, EM_GETFIRSTVISIBLELINE, 0, 0);
  SendMessageW(edit_, EM_LINESCROLL, 0, top - nowTop);
  SendMessageW(edit_, WM_SETREDRAW, TRUE, 0);
  InvalidateRect(edit_, nullptr, TRUE);
  Snapshot(0, true);
}

void CNoteBook::TextToFile() {
  ui::FileDialogOptions fileDialog;
  fileDialog.filters = {{"RTF-файлы (*.rtf)", "*.rtf"}, {"TXT-файлы (*.txt)", "*.txt"}, {"Все файлы (*.*)", "*.*"}};
  fileDialog.defaultExtension = "rtf";
  std::optional<std::string> path = ui::AskSaveFile(hwnd(), fileDialog);
  if (!path) return;
  bool text = path->size() > 4 && UpperCp1251(path->substr(path->size() - 4)) == ".TXT";
  std::string bytes = text ? ui::Narrow(ui::PlainText(edit_)) : ui::StreamOutRtf(edit_);
  if (text) {  // the editor ends paragraphs with CR alone
    std::string lines;
    for (char c : bytes) lines += c == '\r' ? std::string("\r\n") : std::string(1, c);
    bytes = lines;
  }
  if (!platform::WriteFileBytes(*path, bytes))
    platform::ShowMessage("Не удалось записать файл " + *path, platform::MessageIcon::kExclamation);
}

void CNoteBook::TextFromFile() {
  ui::FileDialogOptions fileDialog;
  fileDialog.filters = {{"RTF-файлы (*.rtf)", "*.rtf"}, {"TXT-файлы (*.txt)", "*.txt"}, {"Все файлы (*.*)", "*.*"}};
  fileDialog.defaultExtension = "rtf";
  std::optional<std::string> path = ui::AskOpenFile(hwnd(), fileDialog);
  if (!path) return;
  std::string bytes;
  if (!platform::ReadFileBytes(*path, bytes)) {
    platform::ShowMessage("Не удалось прочитать файл " + *path, platform::MessageIcon::kExclamation);
    return;
  }
  if (GetWindowTextLengthW(edit_) > 0 && !ui::AskYesNo(hwnd(), "Заменить текст?")) return;
  if (IsRtfBody(bytes)) {
    loading_ = true;
    ui::StreamInRtf(edit_, bytes);
    loading_ = false;
    StoreText();
    Snapshot(0, true);
  } else {
    SetPlainText(bytes.substr(0, kMaxNoteCharacters));
  }
}

void CNoteBook::OpenOutside() {
  std::string folder = app().ProgramFolder() + "Temp";
  if (!platform::DirExists(folder)) platform::MakeDir(folder);
  std::string path = folder + "\\Note.rtf";
  platform::WriteFileBytes(path, ui::StreamOutRtf(edit_));
  if (dialogs_.openWithShell(path) <= 32)
    platform::ShowMessage(
        "Не найден текстовый редактор для открытия файлов rtf!, создан файл отчета \"Note.rtf\"",
        platform::MessageIcon::kExclamation);
}

void CNoteBook::ExportBranch() {
  XmlElement* note = NoteOf(tree_.Selected());
  if (!note) return;
  ui::FileDialogOptions fileDialog;
  fileDialog.filters = NotebookFilter();
  fileDialog.defaultExtension = "dbn";
  fileDialog.folder = branchFolder_;
  fileDialog.fileName = note->name();
  std::optional<std::string> path = ui::AskSaveFile(hwnd(), fileDialog);
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
  ui::FileDialogOptions fileDialog;
  fileDialog.filters = NotebookFilter();
  fileDialog.defaultExtension = "dbn";
  fileDialog.folder = branchFolder_;
  std::optional<std::string> path = ui::AskOpenFile(hwnd(), fileDialog);
  if (!path) return;
  branchFolder_ = FolderOfPath(*path);
  BranchImport imported = notebook::ImportBranch(*path);
  if (!imported.ok) {
    platform::ShowMessage(imported.message, imported.icon);
    return;
  }
  bool tooDeep = false;
  while (imported.notes->ChildCount()) {
    std::unique_ptr<XmlElement> branch = imported.notes->DetachChild(imported.notes->Child(0));
    if (!FitsUnder(*note, BranchHeight(*branch))) {
      tooDeep = true;
      continue;
    }
    while (note->FindChild(branch->name())) branch->SetName(branch->name() + "+");
    AddItems(target, *note->AppendChild(std::move(branch)));
  }
  MarkChanged(nb_);
  tree_.Expand(target, true);
  if (tooDeep) platform::ShowMessage(kTooDeepMessage, platform::MessageIcon::kExclamation);
}

void CNoteBook::Print() {
  PRINTDLGW pd{};
  pd.lStructSize = sizeof pd;
  pd.hwndOwner = hwnd();
  pd.Flags = PD_RETURNDC | PD_NOSELECTION | PD_NOPAGENUMS;
  if (!PrintDlgW(&pd) || !pd.hDC) return;
  ui::WaitCursor wait;
  HDC dc = pd.hDC;
  DOCINFOW doc{};
  doc.cbSize = sizeof doc;
  std::wstring title = ui::Wide(current_->name());
  doc.lpszDocName = title.c_str();
  int width = GetDeviceCaps(dc, PHYSICALWIDTH), height = GetDeviceCaps(dc, PHYSICALHEIGHT);
  int dpiX = GetDeviceCaps(dc, LOGPIXELSX), dpiY = GetDeviceCaps(dc, LOGPIXELSY);
  FORMATRANGE fr{};
  fr.hdc = fr.hdcTarget = dc;
  fr.rcPage = RECT{0, 0, MulDiv(width, 1440, dpiX), MulDiv(height, 1440, dpiY)};
  fr.rc = RECT{1440, 1440, fr.rcPage.right - 1080, fr.rcPage.bottom - 1440};
  long length = GetWindowTextLengthW(edit_);
  if (StartDocW(dc, &doc) > 0) {
    fr.chrg.cpMin = 0;
    fr.chrg.cpMax = -1;
    while (fr.chrg.cpMin < length) {
      StartPage(dc);
      RECT area = fr.rc;
      long next = static_cast<long>(SendMessageW(edit_, EM_FORMATRANGE, TRUE, reinterpret_cast<LPARAM>(&fr)));
      fr.rc = area;
      EndPage(dc);
      if (next <= fr.chrg.cpMin) break;
      fr.chrg.cpMin = next;
    }
    EndDoc(dc);
  }
  SendMessageW(edit_, EM_FORMATRANGE, FALSE, 0);
  DeleteDC(dc);
  if (pd.hDevMode) GlobalFree(pd.hDevMode);
  if (pd.hDevNames) GlobalFree(pd.hDevNames);
}

}  // namespace vm::notebook
