// Subcommands of the notebook: reading, converting and listing notebook files, and the
// XML element tree on its own.
#include <cstdio>
#include <vector>

#include "cli/cli.h"
#include "common/protected_file.h"
#include "notebook/notebook_file.h"
#include "notebook/xml_tree.h"
#include "platform/platform.h"

namespace vm::cli {

namespace {

using namespace vm::notebook;

struct PasswordArg {
  bool given = false;
  std::string cp1251;
  bool schemeGiven = false;
  Protection scheme = Protection::kStrong;
};

bool TakePassword(Args& args, PasswordArg& password) {
  std::string value;
  bool missing = false;
  password.given = TakeOption(args, "--password", value, missing);
  password.cp1251 = ToCp1251(value);
  if (missing) return false;
  // "--protection strong|legacy": how a password is written (strong when not given).
  password.scheme = Protection::kStrong;
  password.schemeGiven = TakeOption(args, "--protection", value, missing);
  return !missing && (!password.schemeGiven || ParseProtectionName(value, password.scheme));
}

// Unlocks a protected notebook; false (with the message printed) when that fails.
bool Unlock(NotebookFile& notebook, const PasswordArg& password, Protection scheme) {
  PasswordOutcome outcome;
  if (ApplyPassword(notebook, password.cp1251, false, scheme, &outcome)) return true;
  Fail(outcome == PasswordOutcome::kFailed ? std::string("the platform's crypto failed")
                                           : ToUtf8(kWrongPasswordMessage));
  return false;
}

// Opens a notebook, unlocking it with the password when it is protected. Prints the
// failure and returns false when the file cannot be used.
bool OpenNotebook(const std::string& pathArg, NotebookFile& notebook, NotebookFormat& format) {
  NotebookRead read = ReadNotebook(notebook, PathArg(pathArg));
  format = read.format;
  if (!read.ok) {
    Fail(ToUtf8(read.message));
    return false;
  }
  return true;
}

void PrintNotes(const XmlElement& root) {
  struct Frame {
    const XmlElement* element;
    size_t next;
  };
  std::vector<Frame> stack{{&root, 0}};
  while (!stack.empty()) {
    Frame& f = stack.back();
    if (f.next >= f.element->ChildCount()) {
      stack.pop_back();
      continue;
    }
    const XmlElement* note = f.element->Child(f.next++);
    char length[32];
    std::snprintf(length, sizeof length, "\t%zu", note->value().size());
    PrintLine(std::string((stack.size() - 1) * 2, ' ') + note->name() + length);
    stack.push_back({note, 0});
  }
}

int Notebook(const Args& argsIn) {
  Args args = argsIn;
  PasswordArg password;
  if (!TakePassword(args, password) || args.size() != 1)
    return Fail("usage: notebook FILE [--password P] [--protection strong|legacy]");
  NotebookFile notebook;
  NotebookFormat format;
  if (!OpenNotebook(args[0], notebook, format)) return 1;
  // With --protection the file must be protected in that scheme (a check for scripts).
  if (password.schemeGiven && notebook.scheme != password.scheme)
    return Fail(std::string("the file's protection is ") + ProtectionName(notebook.scheme));
  std::printf("format %s\n", FormatName(format));
  std::printf("protected %s\n", notebook.isProtected ? "yes" : "no");
  if (notebook.isProtected) {
    if (!password.given) return 0;
    if (!Unlock(notebook, password, notebook.scheme)) return 1;
  }
  PrintNotes(*notebook.root);
  return 0;
}

int NotebookConvert(const Args& argsIn) {
  Args args = argsIn;
  PasswordArg password;
  if (!TakePassword(args, password) || args.size() != 2)
    return Fail("usage: notebook-convert IN OUT [--password P] [--protection strong|legacy]");
  NotebookFile notebook;
  NotebookFormat format;
  if (!OpenNotebook(args[0], notebook, format)) return 1;
  if (notebook.isProtected) {
    if (!password.given) return Fail("the file is protected by a password: give --password");
    if (!Unlock(notebook, password, password.scheme)) return 1;
  }
  // OUT has the password given, in the scheme asked for (strong unless said otherwise).
  notebook.path = PathArg(args[1]);
  notebook.password = password.given ? password.cp1251 : std::string();
  notebook.scheme = notebook.password.empty() ? Protection::kNone : password.scheme;
  notebook.state = kChanged;
  NotebookSave saved = SaveNotebook(notebook);
  if (saved.status != SaveStatus::kSaved) return Fail(ToUtf8(saved.error));
  std::printf("saved\n");
  return 0;
}

int XmlTree(const Args& args) {
  if (args.size() != 1) return Fail("usage: xmltree FILE");
  std::string bytes;
  if (!platform::ReadFileBytes(PathArg(args[0]), bytes)) return Fail("cannot read " + args[0]);
  XmlElement root;
  XmlParseOptions options;
  root.Parse(bytes, options);
  if (options.error) {
    std::printf("error %d %s\n", options.errorCode, ToUtf8(options.errorText).c_str());
    return 1;
  }
  WriteOut(ToUtf8(root.ToXml()));
  return 0;
}

}  // namespace

VM_CLI_COMMAND("notebook", "FILE [--password P] [--protection strong|legacy]", Notebook);
VM_CLI_COMMAND("notebook-convert", "IN OUT [--password P] [--protection strong|legacy]", NotebookConvert);
VM_CLI_COMMAND("xmltree", "FILE", XmlTree);

}  // namespace vm::cli
