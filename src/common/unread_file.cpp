#include "common/unread_file.h"

namespace vm {

const char* const kFileNotReadable = "файл не открывается (его нет, нет доступа или он занят)";

std::string UnreadFileMessage(const std::string& path, const std::string& why) {
  return "Не удалось прочитать файл " + path + ":\n" + why +
         ".\n\nФайл не будет перезаписан: показанное в него не сохраняется. Изменения можно сохранить "
         "командой \"Сохранить как\".";
}

std::string UnreadSaveRefusal(const std::string& path) {
  return "Файл " + path + " не был прочитан при загрузке, поэтому изменения в него не записаны.";
}

std::string ReplaceUnreadQuestion(const std::string& path) {
  return "Файл " + path +
         " не был прочитан при загрузке.\nЗаменить его содержимое тем, что показано сейчас? Прежнее содержимое "
         "файла будет потеряно.";
}

}  // namespace vm
