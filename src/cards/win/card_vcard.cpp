// The contacts and firms pages' vCard commands, on the report button's drop-down: the
// shown cards out to a .vcf file, and a .vcf file's cards into the book. What a card
// becomes is cards/vcard.h's; the page asks for the file and shows the report.
#include "cards/vcard.h"
#include "cards/win/card_page.h"
#include "cards/win/cards_resources.h"
#include "common/record_file.h"
#include "platform/platform.h"
#include "ui/file_dialogs.h"
#include "ui/menu.h"
#include "ui/wait_cursor.h"

namespace vm::cards {

void AddVcardDialogs(CardShell& s) {
  s.askVcardSave = [](HWND owner, const std::string& folder) {
    return ui::AskSaveFile(owner, {.title = "Экспорт в vCard",
                                   .filters = {{"Файлы vCard (*.vcf)", "*.vcf"}},
                                   .defaultExtension = "vcf",
                                   .folder = folder});
  };
  s.askVcardOpen = [](HWND owner, const std::string& folder) {
    return ui::AskOpenFile(owner, {.title = "Импорт из vCard",
                                   .filters = {{"Файлы vCard (*.vcf)", "*.vcf"}, {"Все файлы (*.*)", "*.*"}},
                                   .defaultExtension = "vcf",
                                   .folder = folder});
  };
}

namespace {

std::string PersonalFolder(const std::string& programFolder) {
  std::string folder = programFolder + "Personal";
  if (!platform::DirExists(folder)) platform::MakeDir(folder);
  return folder;
}

}  // namespace

void CardPage::DropVcardMenu(const RECT& button) {
  list_.EndEdit(true);
  means_.EndEdit(true);
  ui::MenuItem exportItem, importItem;
  exportItem.id = ID_CARD_EXPORT_VCARD;
  exportItem.text = "Экспорт в vCard…";
  exportItem.enabled = !book_.shown().empty();
  importItem.id = ID_CARD_IMPORT_VCARD;
  importItem.text = "Импорт из vCard…";
  int chosen = ui::ShowContextMenu(hwnd(), POINT{button.left, button.bottom}, {exportItem, importItem});
  if (chosen == ID_CARD_EXPORT_VCARD && exportItem.enabled) ExportVcard();
  if (chosen == ID_CARD_IMPORT_VCARD) ImportVcard();
  UpdateCommands();
}

void CardPage::ExportVcard() {
  if (book_.shown().empty() || !shell_.askVcardSave) return;
  auto chosen = shell_.askVcardSave(hwnd(), PersonalFolder(programFolder_));
  if (!chosen) return;
  platform::SaveResult saved;
  {
    ui::WaitCursor wait;
    saved = platform::SafeReplace(*chosen, CardsToVcard(kind_.layout, book_.ShownRecords(), VcardVersion::k40));
  }
  if (!saved) platform::ShowMessage(SaveFailedMessage(*chosen), platform::MessageIcon::kExclamation);
}

void CardPage::ImportVcard() {
  if (!shell_.askVcardOpen) return;
  auto chosen = shell_.askVcardOpen(hwnd(), PersonalFolder(programFolder_));
  if (!chosen) return;
  std::string bytes;
  if (!platform::ReadFileBytes(*chosen, bytes)) {
    platform::ShowMessage("Не удалось прочитать файл " + *chosen, platform::MessageIcon::kExclamation);
    return;
  }
  VcardImport in;
  {
    ui::WaitCursor wait;
    in = cards::ImportVcard(bytes, kind_.layout, book_.records());
    book_.Append(in.added);
  }
  ShowList();
  ShowCurrent();
  std::string text = "Добавлено записей: " + std::to_string(in.added.size()) +
                     ", пропущено уже имеющихся: " + std::to_string(in.skipped) + ".";
  std::string report = VcardImportReport(in);
  if (!report.empty()) text += "\n\n" + report;
  platform::ShowMessage(text, in.cards == 0 ? platform::MessageIcon::kExclamation : platform::MessageIcon::kInformation);
}

}  // namespace vm::cards
