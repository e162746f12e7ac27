// "protect FILE": which protection a table or notebook file uses, and for the strong
// scheme the parameters of its key derivation and cipher, read from its first line
// (no password needed, nothing decrypted).
#include <cstdio>
#include <string>

#include "cli/cli.h"
#include "common/protected_file.h"
#include "data/data_file.h"
#include "notebook/notebook_file.h"
#include "platform/platform.h"

namespace vm::cli {

namespace {

std::string Hex(const uint8_t* bytes, size_t size) {
  std::string out;
  char two[3];
  for (size_t i = 0; i < size; ++i) {
    std::snprintf(two, sizeof two, "%02x", bytes[i]);
    out += two;
  }
  return out;
}

bool IsTableName(const std::string& path) {
  if (path.size() < 4) return false;
  std::string tail = path.substr(path.size() - 4);
  for (char& c : tail) c = static_cast<char>(c >= 'A' && c <= 'Z' ? c + 32 : c);
  return tail == ".dbp";
}

int Protect(const Args& args) {
  if (args.size() != 1) return Fail("usage: protect FILE");
  const std::string path = PathArg(args[0]);
  std::string bytes;
  if (!platform::ReadFileBytes(path, bytes)) return Fail("cannot read " + args[0]);
  if (LooksSealed(bytes)) {
    SealHeader header;
    if (!ReadSealHeader(bytes, header)) {
      std::printf("scheme strong\n");
      return Fail("the first line is damaged: " + ToUtf8(kWrongPasswordMessage));
    }
    std::printf("scheme strong\nformat %u\nkdf PBKDF2-HMAC-SHA256\niterations %u\nsalt %s\ncipher AES-256-GCM\n"
                "nonce %s\n",
                header.version, header.iterations, Hex(header.salt, sizeof header.salt).c_str(),
                Hex(header.nonce, sizeof header.nonce).c_str());
    return 0;
  }
  Protection scheme = Protection::kNone;
  if (IsTableName(path)) {
    data::DataTable table;
    std::string rejected;
    data::LoadTableBytes(table, bytes, rejected);
    scheme = table.scheme;
  } else {
    notebook::NotebookContent content = notebook::ParseNotebook(bytes);
    if (!content.password.empty()) scheme = Protection::kLegacy;
  }
  std::printf("scheme %s\n", ProtectionName(scheme));
  if (scheme == Protection::kLegacy)
    std::printf("note the old scheme keeps the password in the file: anyone with the file can read it\n");
  return 0;
}

}  // namespace

VM_CLI_COMMAND("protect", "FILE", Protect);

}  // namespace vm::cli
