#include "common/unread_file.h"

namespace vm {

const char* const kFileNotReadable = "файл не открывается (его нет, нет доступа или он занят)";

std::string UnreadFileMessage(const std::string& path, const std::string& why, bool saveAsOffered) {
  return "Не удалось прочитать файл " + path + ":\n" + why + ".\n\nФайл не будет перезаписан: " +
         (saveAsOffered ? "изменения можно сохранить командой \"Сохранить как\" или, с вашего согласия, поверх него."
                        : "изменения запишутся в него только с вашего согласия.");
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
