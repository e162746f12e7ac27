// The data book's two column dialogs: "Новый" (a new table file) and "Настройка
// таблицы" (the columns of the open table). Their rules are in data/table.h.
#pragma once

#include <windows.h>

#include <optional>
#include <string>
#include <utility>

#include "data/table.h"

namespace vm::data {

// "Новый", starting in `folder` (NewTableInitialFolder): the chosen path (folder + "\" +
// name, no extension added) and the header text of the new file, or nothing when
// cancelled.
std::optional<std::pair<std::string, std::string>> AskNewTable(HWND owner, const std::string& folder);

// "Настройка таблицы": every change goes to the table at once and stays, however the
// dialog closes.
void EditTableColumns(HWND owner, DataTable& table);

}  // namespace vm::data
