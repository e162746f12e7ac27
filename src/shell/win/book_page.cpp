#include "shell/win/book_page.h"

#include "common/win/shell_actions_win.h"
#include "platform/platform.h"
#include "shell/win/shell_resources.h"

namespace vm::shell {

std::vector<ui::ToolCommand> WithCommonButtons(std::vector<ui::ToolCommand> own, int hideCommand) {
  own.insert(own.end(), {
                            {ID_SAVE_ALL, IDI_BOOK_SAVE, "Сохранить все"},
                            {ID_LOAD_INFO, IDI_BOOK_LOAD_INFO, "Информация о неудачной загрузки файла"},
                            {ID_HELP_FILE, IDI_BOOK_HELP, "Помощь"},
                            {hideCommand ? hideCommand : ID_HIDE_TO_TRAY, IDI_BOOK_HIDE, "Скрыть F12"},
                        });
  return own;
}

bool BookPage::CommonCommand(int id) {
  switch (id) {
    case ID_LOAD_INFO:
      if (std::string report = LoadReport(); !report.empty())
        platform::ShowMessage(report, platform::MessageIcon::kStop);
      return true;
    case ID_HELP_FILE:
      if (help_)
        help_();
      else
        OpenHelp();
      return true;
    case ID_SAVE_ALL:
    case ID_HIDE_TO_TRAY: SendMessageW(GetParent(hwnd()), WM_COMMAND, MAKEWPARAM(id, 0), 0); return true;
    default: return false;
  }
}

}  // namespace vm::shell
