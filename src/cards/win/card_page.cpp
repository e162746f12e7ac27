#include "cards/win/card_page.h"

#include "cards/win/cards_resources.h"
#include "common/report.h"
#include "common/unread_file.h"
#include "common/win/shell_actions_win.h"
#include "platform/platform.h"
#include "shell/win/shell_resources.h"
#include "ui/dpi.h"
#include "ui/fonts.h"
#include "ui/page_keys.h"
#include "ui/question.h"
#include "ui/resources.h"
#include "ui/text.h"
#include "ui/wait_cursor.h"

namespace vm::cards {

namespace {

// The commands of both pages with their icons and tooltips; each page's tool-bar
// resource picks its own. The tooltip of 1022 names Ctrl+X, which deletes while the
// main list has the focus and cuts text everywhere else.
const std::vector<ui::ToolCommand>& Commands() {
  static const std::vector<ui::ToolCommand> table = shell::WithCommonButtons({
      {ID_CARD_ADD, IDI_BOOK_ADD, "Добавить запись Ctrl+Enter"},
      {ID_CARD_DELETE, IDI_BOOK_DELETE, "Удалить запись Ctrl+X"},
      {ID_CARD_DIAL_PHONE, IDI_CARD_PHONE, "Набор телефонного номера"},
      {ID_CARD_DIAL_MOBILE, IDI_CARD_MOBILE, "Набор номера сотового телефона"},
      {ID_CARD_DIAL_FAX, IDI_CARD_FAX, "Набор номера факса"},
      {ID_CARD_MAIL, IDI_CARD_MAIL, "Написать письмо"},
      {ID_CARD_WEB, IDI_CARD_WEB, "Открыть адрес в броузере"},
      {ID_CARD_REPORT, IDI_BOOK_REPORT, "Открыть в программе просмотра"},
      {ID_CARD_CLEAR, IDI_CARD_CLEAR, "Очистить окна ввода Ctrl+Delete"},
  });
  return table;
}

constexpr COLORREF kCountColour = RGB(0, 50, 100);

void Place(HDWP& defer, HWND w, const Box& b) {
  if (defer && w)
    defer = DeferWindowPos(defer, w, nullptr, b.x, b.y, b.width, b.height, SWP_NOZORDER | SWP_NOACTIVATE);
}

}  // namespace

CardShell SystemCardShell() {
  CardShell s;
  s.perform = [](const ShellRequest& r) { Perform(r); };
  s.openReport = [](const std::string& path) { return OpenTarget(path, kShowNormal); };
  AddVcardDialogs(s);
  return s;
}

int CardPage::SearchBoxId(int box) {
  return IDC_CARD_SEARCH1 + box;
}

CardPage::CardPage(const CardPageKind& kind, const CAppUtil& app)
    : shell::BookPage(kind.tab, kind.dialogId, app),
      kind_(kind),
      book_(kind.layout),
      shell_(SystemCardShell()) {}

bool CardPage::PreTranslate(MSG& msg) {
  return ui::TranslatePageKeys(hwnd(), accel_.get(), msg);
}

// ---- set-up ---------------------------------------------------------------------------------

bool CardPage::OnInitDialog() {
  CreateBars();
  programFolder_ = app().ProgramFolder();
  LoadOutcome loaded;
  {
    ui::WaitCursor wait;
    loaded = book_.Load(programFolder_);
  }

  std::vector<int> widths = ColumnWidths(kind_.layout, app());
  std::vector<ui::ListView::Column> columns;
  for (int c = 0; c < kind_.layout.searchBoxes; ++c)
    columns.push_back({kind_.searchTips[c], widths[c], true});
  ui::ListView::Callbacks cb;
  cb.text = [this](int row, int column) { return book_.Field(row, column); };
  cb.selected = [this](int row) { OnSelected(row); };
  cb.edited = [this](int row, int column, const std::string& text) {
    book_.EditField(row, column, text);
    UpdateCommands();
  };
  cb.sort = [this](int column, bool ascending) { OnSorted(column, ascending); };
  cb.keyDown = [this](int key) {
    if (key != 'X' || GetKeyState(VK_CONTROL) >= 0) return false;
    Delete();
    UpdateCommands();
    return true;
  };
  list_.Attach(Item(IDC_CARD_LIST),
               ui::ListView::kGridLines | ui::ListView::kFullRowSelect | ui::ListView::kKeepMarked,
               std::move(cb));
  list_.SetColumns(columns);
  widthsKnown_ = true;
  ShowList();
  SetUpMeans();

  // The boxes' icons are 30 pixels at 100 %; their resources carry 45 and 60 as well.
  const int boxIcon = ui::Scaled(hwnd(), 30);
  addressIcon_.reset(ui::LoadIconResource(IDI_CARD_ADDRESS, boxIcon));
  commentIcon_.reset(ui::LoadIconResource(IDI_CARD_COMMENT, boxIcon));
  SendMessageW(Item(IDC_CARD_ADDRESS_ICON), STM_SETICON, reinterpret_cast<WPARAM>(addressIcon_.get()), 0);
  SendMessageW(Item(IDC_CARD_COMMENT_ICON), STM_SETICON, reinterpret_cast<WPARAM>(commentIcon_.get()), 0);
  tips_.Add(IDC_CARD_ADDRESS, "Адрес");
  tips_.Add(IDC_CARD_COMMENT, "Дополнительные сведения");
  if (kind_.phonesBox) {
    phonesIcon_.reset(ui::LoadIconResource(IDI_CARD_PHONES, boxIcon));
    SendMessageW(Item(IDC_CARD_PHONES_ICON), STM_SETICON, reinterpret_cast<WPARAM>(phonesIcon_.get()), 0);
    tips_.Add(IDC_CARD_PHONES, "Телефоны");
  }
  for (int id : {IDC_CARD_ADDRESS, IDC_CARD_COMMENT, IDC_CARD_PHONES})
    if (HWND box = Item(id)) SendMessageW(box, EM_SETLIMITTEXT, 0, 0);

  ShowCurrent();
  UpdateCommands();
  accel_.reset(ui::LoadAccelResource(IDR_CARDS_ACCEL));

  LOGFONTW lf = ui::DialogFont(hwnd());
  lf.lfHeight = ui::FontHeight(hwnd(), -12);
  lf.lfWidth = 0;
  lf.lfItalic = TRUE;
  lf.lfWeight = FW_NORMAL;
  lf.lfCharSet = RUSSIAN_CHARSET;
  countFont_.reset(CreateFontIndirectW(&lf));

  setUp_ = true;
  RECT client;
  GetClientRect(hwnd(), &client);
  Layout(client.right, client.bottom);
  if (!loaded.opened && !loaded.error.empty())
    platform::ShowMessage(loaded.error, platform::MessageIcon::kExclamation);
  return true;
}

void CardPage::CreateBars() {
  tips_.Create(hwnd());
  toolbar_.Create(hwnd(), IDC_CARD_TOOLBAR, kind_.toolbarId, Commands());
  hideBar_.Create(hwnd(), IDC_CARD_HIDEBAR, IDR_CARDS_HIDE_TOOLBAR, Commands());
  toolbar_.SetDropDown(ID_CARD_REPORT, false, [this](int, const RECT& button) { DropVcardMenu(button); });
  for (int b = 0; b < kind_.layout.searchBoxes; ++b) tips_.Add(SearchBoxId(b), kind_.searchTips[b]);
}

void CardPage::SetUpMeans() {
  const auto& means = kind_.layout.means;
  meanImages_.reset(ui::IconList(kind_.meanIcons.data(), static_cast<int>(kind_.meanIcons.size()),
                                  ui::IconSize(hwnd())));
  ui::ListView::Callbacks cb;
  cb.text = [this](int row, int column) -> std::string {
    if (row < 0 || row >= static_cast<int>(kind_.layout.means.size())) return std::string();
    return column == 0 ? std::string(kind_.layout.means[row].caption) : book_.MeanText(row);
  };
  // The edit starts from the field as stored; the list shows it trimmed.
  cb.editText = [this](int row, int) -> std::string {
    const std::string* r = book_.CurrentRecord();
    return r ? GetField(*r, kind_.layout.means[row].field) : std::string();
  };
  cb.image = [](int row) { return row; };
  cb.edited = [this](int row, int, const std::string& text) {
    book_.EditMean(row, text);
    UpdateCommands();
  };
  means_.Attach(Item(IDC_CARD_MEANS),
                ui::ListView::kGridLines | ui::ListView::kFullRowSelect | ui::ListView::kEditOnClick,
                std::move(cb));
  means_.SetSmallImages(meanImages_.get());
  means_.SetColumns({{"Для связи", 80, false}, {"Номер/Адрес", 170, true}});
  std::vector<std::string> labels;
  for (const auto& m : means) labels.push_back(m.caption);
  means_.WidenToFit(0, labels);
  means_.SetRowCount(static_cast<int>(means.size()));
}

// ---- layout and painting ----------------------------------------------------------------------

void CardPage::OnSize(int width, int height) {
  if (setUp_) Layout(width, height);
}

void CardPage::Layout(int width, int height) {
  CardPageBoxes b = PageBoxesAt(kind_.boxes, width, height, ui::DpiOf(hwnd()));
  HDWP defer = BeginDeferWindowPos(16);
  Place(defer, toolbar_.hwnd(), b.toolbar);
  Place(defer, hideBar_.hwnd(), b.hideBar);
  for (size_t i = 0; i < b.search.size(); ++i)
    Place(defer, Item(SearchBoxId(static_cast<int>(i))), b.search[i]);
  Place(defer, list_.hwnd(), b.list);
  Place(defer, Item(IDC_CARD_ADDRESS), b.address);
  Place(defer, Item(IDC_CARD_ADDRESS_ICON), b.addressIcon);
  Place(defer, Item(IDC_CARD_COMMENT), b.comment);
  Place(defer, Item(IDC_CARD_COMMENT_ICON), b.commentIcon);
  Place(defer, means_.hwnd(), b.means);
  if (kind_.phonesBox) {
    Place(defer, Item(IDC_CARD_PHONES), b.phones);
    Place(defer, Item(IDC_CARD_PHONES_ICON), b.phonesIcon);
  }
  if (defer) EndDeferWindowPos(defer);
  InvalidateRect(hwnd(), &countRect_, TRUE);
  countRect_ = RECT{b.count.x, b.count.y, b.count.x + b.count.width, b.count.y + b.count.height};
  InvalidateRect(hwnd(), &countRect_, TRUE);
}

void CardPage::InvalidateCount() {
  if (hwnd()) InvalidateRect(hwnd(), &countRect_, TRUE);
}

void CardPage::Paint(HDC dc) {
  // The hide button shares the strip's right end; the page must not paint over it.
  if (HWND bar = hideBar_.hwnd()) {
    RECT r;
    GetWindowRect(bar, &r);
    MapWindowPoints(nullptr, hwnd(), reinterpret_cast<POINT*>(&r), 2);
    ExcludeClipRect(dc, r.left, r.top, r.right, r.bottom);
  }
  // The strip was erased with the page's own background: the button face, or the tab
  // body's colour when the sheet is themed.
  std::wstring text = ui::Wide(CountText(book_.shown().size()));
  ui::SelectGuard font(dc, countFont_.get());
  SetBkMode(dc, TRANSPARENT);
  SetTextColor(dc, kCountColour);
  RECT r = countRect_;
  DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &r,
            DT_SINGLELINE | DT_VCENTER | DT_LEFT | DT_NOPREFIX);
}

bool CardPage::OnMessage(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result) {
  if (msg == WM_PAINT) {
    Paint(ui::PaintGuard(hwnd()).dc());
    result = 0;
    return true;
  }
  return false;
}

// ---- what the page shows ----------------------------------------------------------------------

void CardPage::ShowList() {
  ui::WaitCursor wait;
  list_.SetRowCount(static_cast<int>(book_.shown().size()));
  if (book_.current() >= 0) list_.Select(book_.current());
  ShowCurrent();
  InvalidateCount();
}

void CardPage::ShowCurrent() {
  ++filling_;
  const std::string* r = book_.CurrentRecord();
  const CardBookLayout& l = kind_.layout;
  struct {
    int id, field;
  } boxes[] = {{IDC_CARD_ADDRESS, l.addressField},
               {IDC_CARD_COMMENT, l.commentField},
               {IDC_CARD_PHONES, l.phonesBoxField}};
  for (const auto& b : boxes) {
    if (b.field < 0 || !Item(b.id)) continue;
    EnableItem(b.id, r != nullptr);
    SetItemText(b.id, r ? GetField(*r, b.field) : std::string());
  }
  if (means_.hwnd()) {
    means_.EndEdit(false);
    EnableWindow(means_.hwnd(), r != nullptr);
    means_.RedrawAll();
  }
  --filling_;
}

void CardPage::UpdateCommands() {
  CardCommands c = book_.Commands();
  const struct {
    int id;
    bool on;
  } states[] = {
      {ID_CARD_ADD, c.add},
      {ID_CARD_DELETE, c.remove},
      {ID_CARD_DIAL_PHONE, c.dialPhone},
      {ID_CARD_DIAL_MOBILE, c.dialMobile},
      {ID_CARD_DIAL_FAX, c.dialFax},
      {ID_CARD_MAIL, c.mail},
      {ID_CARD_WEB, c.web},
      {ID_CARD_REPORT, c.report},
      {ID_CARD_CLEAR, c.clearSearch},
      {ID_LOAD_INFO, c.loadInfo},
  };
  for (const auto& s : states) toolbar_.Enable(s.id, s.on);
}

// ---- what the user does -----------------------------------------------------------------------

bool CardPage::OnCommand(int id, int code, HWND control) {
  if (id >= IDC_CARD_SEARCH1 && id < IDC_CARD_SEARCH1 + kind_.layout.searchBoxes) {
    if (code == EN_CHANGE && !filling_) OnSearchChanged(id - IDC_CARD_SEARCH1);
    return true;
  }
  const CardBookLayout& l = kind_.layout;
  if (id == IDC_CARD_ADDRESS || id == IDC_CARD_COMMENT || id == IDC_CARD_PHONES) {
    int field = id == IDC_CARD_ADDRESS   ? l.addressField
                : id == IDC_CARD_COMMENT ? l.commentField
                                         : l.phonesBoxField;
    if (code == EN_CHANGE && !filling_) OnBoxChanged(field, id);
    return true;
  }
  if (code != 0 && code != 1) return false;
  // A command may change the rows under an open in-place edit: the edit goes in first.
  list_.EndEdit(true);
  means_.EndEdit(true);
  switch (id) {
    case ID_CARD_ADD: Add(); break;
    case ID_CARD_DELETE: Delete(); break;
    case ID_CARD_REPORT: Report(); break;
    case ID_CARD_DIAL_PHONE: Act(CardAction::kPhone); break;
    case ID_CARD_DIAL_MOBILE: Act(CardAction::kMobile); break;
    case ID_CARD_DIAL_FAX: Act(CardAction::kFax); break;
    case ID_CARD_MAIL: Act(CardAction::kMail); break;
    case ID_CARD_WEB: Act(CardAction::kWeb); break;
    case ID_CARD_CLEAR: Clear(); break;
    case ID_CARD_EXPORT_VCARD: ExportVcard(); break;
    case ID_CARD_IMPORT_VCARD: ImportVcard(); break;
    default: return CommonCommand(id);
  }
  UpdateCommands();
  return true;
}

void CardPage::OnSearchChanged(int box) {
  {
    ui::WaitCursor wait;
    book_.SetSearch(box, ItemText(SearchBoxId(box)));
  }
  ShowList();
  UpdateCommands();
}

void CardPage::OnBoxChanged(int field, int controlId) {
  book_.EditCurrent(field, ItemText(controlId));
  UpdateCommands();
}

void CardPage::Add() {
  book_.Add();
  ++filling_;
  for (int b = 0; b < kind_.layout.searchBoxes; ++b) SetItemText(SearchBoxId(b), std::string());
  --filling_;
  ShowList();
}

void CardPage::Delete() {
  if (book_.current() < 0) return;
  if (!ui::AskYesNo(hwnd(), "Удалить?")) return;
  int top = list_.TopRow();
  book_.RemoveCurrent();
  ShowList();
  list_.ScrollToRow(TopRowAfterRemove(top, static_cast<int>(book_.shown().size()), list_.RowsPerPage()));
}

void CardPage::Clear() {
  ++filling_;
  for (int b = 0; b < kind_.layout.searchBoxes; ++b)
    if (!ItemText(SearchBoxId(b)).empty()) SetItemText(SearchBoxId(b), std::string());
  --filling_;
  {
    ui::WaitCursor wait;
    book_.ClearSearch();
  }
  ShowList();
}

void CardPage::Report() {
  const ReportFiles& files = kind_.layout.report;
  ui::WaitCursor wait;
  // "Temp" is made on demand; without it the data file could not be written and the
  // report would end without a word.
  if (!platform::DirExists(programFolder_ + "Temp")) platform::MakeDir(programFolder_ + "Temp");
  std::string data = programFolder_ + files.data;
  CardBook::ReportData r = book_.WriteReportData(data);
  for (const char* message : r.messages) platform::ShowMessage(message, platform::MessageIcon::kExclamation);
  if (!r.build) return;
  std::string result = programFolder_ + files.result;
  ReportOutcome built = BuildReport(data, programFolder_ + files.layout, result);
  if (built.code != 0)
    platform::ShowMessage(built.message, platform::MessageIcon::kExclamation);
  else if (shell_.openReport)
    shell_.openReport(result);
}

void CardPage::Act(CardAction action) {
  ShellRequest request = book_.PlanAction(action);
  if (request.kind != ShellRequest::kNothing && shell_.perform) shell_.perform(request);
}

void CardPage::OnSelected(int row) {
  book_.Select(row);
  ShowCurrent();
  list_.RedrawAll();
  UpdateCommands();
}

void CardPage::OnSorted(int column, bool ascending) {
  {
    ui::WaitCursor wait;
    book_.Select(-1);
    ShowCurrent();
    book_.Sort(column, ascending);
  }
  ShowList();
  UpdateCommands();
}

void CardPage::Save() {
  // An edit still open in a list is part of what the user typed.
  list_.EndEdit(true);
  means_.EndEdit(true);
  if (widthsKnown_ && list_.hwnd()) SaveColumnWidths(kind_.layout, list_.ColumnWidths(), app());
  SaveOutcome out;
  {
    ui::WaitCursor wait;
    out = book_.Save();
  }
  saveError_ = out.error;
  if (!out.error.empty()) platform::ShowMessage(out.error, platform::MessageIcon::kExclamation);
}

std::optional<shell::UnsavedBook> CardPage::Unsaved() const {
  if (book_.book().state != kStateChanged || saveError_.empty()) return std::nullopt;
  return shell::UnsavedBook{book_.book().path, saveError_, false};
}

shell::DiskChange CardPage::FileChanged(const std::string& path) {
  if (!hwnd() || path != book_.book().path) return shell::DiskChange::kNotMine;
  list_.EndEdit(true);
  means_.EndEdit(true);
  if (book_.book().state == kStateChanged) return shell::DiskChange::kMarked;
  {
    ui::WaitCursor wait;
    book_.Load(programFolder_);
  }
  ShowList();
  ShowCurrent();
  UpdateCommands();
  return shell::DiskChange::kReloaded;
}

bool CardPage::RetrySave() {
  RecordBook& book = book_.book();
  if (book.unread) {
    if (!ui::AskYesNo(hwnd(), ReplaceUnreadQuestion(book.path))) return false;
    book.unread = false;
  }
  Save();
  return book.state != kStateChanged;
}

void CardPage::GiveUpChanges() {
  book_.book().state = kStateLoaded;
  saveError_.clear();
}

}  // namespace vm::cards
