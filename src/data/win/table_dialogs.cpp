#include "data/win/table_dialogs.h"

#include <commctrl.h>

#include "data/win/data_resources.h"
#include "ui/dialog.h"
#include "ui/folder_picker.h"
#include "ui/question.h"
#include "ui/text.h"
#include "ui/tooltips.h"

namespace vm::data {

namespace {

// ---- "Новый" ------------------------------------------------------------------------------

class NewTableDialog : public ui::Dialog {
 public:
  explicit NewTableDialog(std::string folder) : ui::Dialog(IDD_DATA_NEW), folder_(std::move(folder)) {}

  std::string path, header;

 protected:
  bool OnInitDialog() override {
    tips_.Create(hwnd());
    tips_.Add(IDC_DNEW_FOLDER, "Имя директории");
    tips_.Add(IDC_DNEW_BROWSE, "Изменить директорию");
    tips_.Add(IDC_DNEW_NAME, "Имя файла");
    tips_.Add(IDC_DNEW_COLUMN, "Наименование колонки");
    tips_.Add(IDC_DNEW_ADD, "Добавить колонку");
    tips_.Add(IDC_DNEW_DELETE, "Удалить колонку");
    tips_.Add(IDC_DNEW_UP, "Переместить выше");
    tips_.Add(IDC_DNEW_DOWN, "Переместить ниже");
    SetItemText(IDC_DNEW_FOLDER, folder_);
    ShowColumns();
    return true;
  }

  bool OnCommand(int id, int code, HWND control) override {
    switch (id) {
      case IDC_DNEW_BROWSE:
        if (auto chosen = ui::PickFolder(hwnd(), folder_)) {
          folder_ = *chosen;
          SetItemText(IDC_DNEW_FOLDER, folder_);
        }
        return true;
      case IDC_DNEW_NAME:
        if (code == EN_CHANGE) UpdateOk();
        return true;
      case IDC_DNEW_ADD:
        if (columns_.Add(ItemText(IDC_DNEW_COLUMN))) {
          SetItemText(IDC_DNEW_COLUMN, std::string());
          ShowColumns();
        }
        SetFocus(Item(IDC_DNEW_COLUMN));
        return true;
      case IDC_DNEW_LIST:
        if (code == LBN_SELCHANGE)
          columns_.selected = static_cast<int>(SendMessageW(Item(IDC_DNEW_LIST), LB_GETCURSEL, 0, 0));
        return true;
      case IDC_DNEW_DELETE:
        columns_.RemoveSelected();
        ShowColumns();
        return true;
      case IDC_DNEW_UP:
        columns_.MoveSelectedUp();
        ShowColumns();
        return true;
      case IDC_DNEW_DOWN:
        columns_.MoveSelectedDown();
        ShowColumns();
        return true;
      default: return ui::Dialog::OnCommand(id, code, control);
    }
  }

  void OnOk() override {
    std::string name = ItemText(IDC_DNEW_NAME);
    if (!NewTableCanFinish(columns_, name)) return;
    path = NewTablePath(folder_, name);
    header = NewTableHeader(columns_.names);
    End(IDOK);
  }

 private:
  void ShowColumns() {
    HWND list = Item(IDC_DNEW_LIST);
    SendMessageW(list, LB_RESETCONTENT, 0, 0);
    for (const std::string& n : columns_.names) {
      std::wstring w = ui::Wide(n);
      SendMessageW(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(w.c_str()));
    }
    if (columns_.selected >= static_cast<int>(columns_.names.size())) columns_.selected = -1;
    SendMessageW(list, LB_SETCURSEL, columns_.selected, 0);
    UpdateOk();
  }
  void UpdateOk() { EnableItem(IDOK, NewTableCanFinish(columns_, ItemText(IDC_DNEW_NAME))); }

  std::string folder_;
  NewTableColumns columns_;
  ui::Tooltips tips_;
};

// ---- "Настройка таблицы" ------------------------------------------------------------------

class TableSettingsDialog : public ui::Dialog {
 public:
  explicit TableSettingsDialog(DataTable& table) : ui::Dialog(IDD_DATA_SETTINGS), table_(table) {}

 protected:
  bool OnInitDialog() override {
    tips_.Create(hwnd());
    tips_.Add(IDC_DSET_NAME, "Наименование колонки");
    tips_.Add(IDC_DSET_ADD, "Добавить колонку");
    tips_.Add(IDC_DSET_UP, "Переместить выше");
    tips_.Add(IDC_DSET_DOWN, "Переместить ниже");
    tips_.Add(IDC_DSET_DELETE, "Удалить колонку");
    HWND list = Item(IDC_DSET_LIST);
    ListView_SetExtendedListViewStyle(list, LVS_EX_CHECKBOXES | LVS_EX_FULLROWSELECT);
    RECT r;
    GetClientRect(list, &r);
    std::wstring title = ui::Wide("Наименование колонок");
    LVCOLUMNW col{};
    col.mask = LVCF_TEXT | LVCF_WIDTH;
    col.pszText = title.data();
    col.cx = r.right - GetSystemMetrics(SM_CXVSCROLL);
    SendMessageW(list, LVM_INSERTCOLUMNW, 0, reinterpret_cast<LPARAM>(&col));
    ShowItem(IDC_DSET_ADD, false);
    Refill(-1);
    return true;
  }

  bool OnCommand(int id, int code, HWND control) override {
    switch (id) {
      case IDC_DSET_NAME:
        if (code == EN_CHANGE) ShowItem(IDC_DSET_ADD, !ItemText(IDC_DSET_NAME).empty());
        return true;
      case IDC_DSET_ADD: AddTypedColumn(); return true;
      case IDC_DSET_UP:
      case IDC_DSET_DOWN: {
        int c = Selected();
        if (c < 0) return true;
        c = id == IDC_DSET_UP ? MoveColumnUp(table_, c) : MoveColumnDown(table_, c);
        Refill(c);
        return true;
      }
      case IDC_DSET_DELETE: {
        int c = Selected();
        if (c < 0 || !ui::AskYesNo(hwnd(), kDeleteColumnQuestion)) return true;
        DeleteColumn(table_, c);
        Refill(-1);
        return true;
      }
      case IDC_DSET_PHONE:
      case IDC_DSET_EMAIL:
      case IDC_DSET_WEB:
        if (code == CBN_SELCHANGE || code == CBN_EDITCHANGE) OnLinkChanged(id, code);
        return true;
      default: return ui::Dialog::OnCommand(id, code, control);
    }
  }

  // Enter in the name box adds the column and keeps the dialog open; however the dialog
  // closes, a typed name not yet added is added, never dropped.
  void OnOk() override {
    const bool enterInName = GetFocus() == Item(IDC_DSET_NAME) && !ItemText(IDC_DSET_NAME).empty();
    AddTypedColumn();
    if (!enterInName) End(IDOK);
  }
  void OnCancel() override {
    AddTypedColumn();
    End(IDCANCEL);
  }

  bool OnNotify(NMHDR* header, LRESULT& result) override {
    if (header->idFrom != IDC_DSET_LIST || filling_) return false;
    if (header->code == LVN_ITEMCHANGED) {
      auto* change = reinterpret_cast<NMLISTVIEW*>(header);
      if ((change->uChanged & LVIF_STATE) && ((change->uNewState ^ change->uOldState) & LVIS_STATEIMAGEMASK))
        StoreChecks();
      return false;
    }
    if (header->code == LVN_BEGINLABELEDITW) {
      result = FALSE;
      SetWindowLongPtrW(hwnd(), DWLP_MSGRESULT, FALSE);
      return true;
    }
    if (header->code == LVN_ENDLABELEDITW) {
      auto* info = reinterpret_cast<NMLVDISPINFOW*>(header);
      if (info->item.pszText && info->item.iItem >= 0) {
        RenameColumn(table_, info->item.iItem, ui::Narrow(info->item.pszText));
        FillLinks();
      }
      result = info->item.pszText != nullptr;
      SetWindowLongPtrW(hwnd(), DWLP_MSGRESULT, result);
      return true;
    }
    return false;
  }

 private:
  void AddTypedColumn() {
    std::string name = ItemText(IDC_DSET_NAME);
    if (name.empty()) return;
    AddColumn(table_, name);
    SetItemText(IDC_DSET_NAME, std::string());
    Refill(table_.def.lastColumn);
  }

  int Selected() const {
    return static_cast<int>(
        SendMessageW(Item(IDC_DSET_LIST), LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED));
  }

  void Refill(int select) {
    ++filling_;
    HWND list = Item(IDC_DSET_LIST);
    SendMessageW(list, LVM_DELETEALLITEMS, 0, 0);
    const CTableDef& def = table_.def;
    for (int c = 0; c <= def.lastColumn; ++c) {
      std::wstring name = ui::Wide(def.names[static_cast<size_t>(c)]);
      LVITEMW item{};
      item.mask = LVIF_TEXT;
      item.iItem = c;
      item.pszText = name.data();
      SendMessageW(list, LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&item));
      ListView_SetCheckState(list, c, def.shown[static_cast<size_t>(c)] == 1);
    }
    if (select >= 0) {
      ListView_SetItemState(list, select, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
      ListView_EnsureVisible(list, select, FALSE);
    }
    --filling_;
    FillLinks();
  }

  void StoreChecks() {
    HWND list = Item(IDC_DSET_LIST);
    std::vector<bool> checked;
    for (int c = 0; c <= table_.def.lastColumn; ++c) checked.push_back(ListView_GetCheckState(list, c) != 0);
    SetShownFlags(table_, checked);
  }

  static LinkColumn LinkOf(int id) {
    return id == IDC_DSET_PHONE   ? LinkColumn::kPhone
           : id == IDC_DSET_EMAIL ? LinkColumn::kEmail
                                  : LinkColumn::kWeb;
  }

  void FillLinks() {
    ++filling_;
    for (int id : {IDC_DSET_PHONE, IDC_DSET_EMAIL, IDC_DSET_WEB}) {
      HWND box = Item(id);
      SendMessageW(box, CB_RESETCONTENT, 0, 0);
      for (const std::string& n : table_.def.names) {
        std::wstring w = ui::Wide(n);
        SendMessageW(box, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(w.c_str()));
      }
      int c = GetLinkColumn(table_.def, LinkOf(id));
      SendMessageW(box, CB_SETCURSEL, c, 0);
      if (c < 0) SetWindowTextW(box, L"");
    }
    --filling_;
  }

  void OnLinkChanged(int id, int code) {
    if (filling_) return;
    HWND box = Item(id);
    if (code == CBN_SELCHANGE) {
      SetLinkColumn(table_, LinkOf(id), static_cast<int>(SendMessageW(box, CB_GETCURSEL, 0, 0)));
    } else if (GetWindowTextLengthW(box) == 0) {
      SetLinkColumn(table_, LinkOf(id), -1);
    }
  }

  DataTable& table_;
  ui::Tooltips tips_;
  int filling_ = 0;
};

}  // namespace

std::optional<std::pair<std::string, std::string>> AskNewTable(HWND owner, const std::string& folder) {
  NewTableDialog dialog(folder);
  if (dialog.DoModal(owner) != IDOK) return std::nullopt;
  return std::make_pair(dialog.path, dialog.header);
}

void EditTableColumns(HWND owner, DataTable& table) {
  TableSettingsDialog dialog(table);
  dialog.DoModal(owner);
}

}  // namespace vm::data
