#include "notebook/notebook_file.h"

#include <array>
#include <cstring>
#include <vector>

#include "common/ask_dialogs.h"
#include "common/backup.h"
#include "common/record_file.h"
#include "common/header_codec.h"
#include "common/protected_file.h"
#include "platform/crypto.h"

namespace vm::notebook {

const char* const kNotebookRootName = "Records";
const char* const kBadFormatMessage = "Файл не загружен, неверный формат файла";
const char* const kBranchRefusedMessage = "Файл не загружен, защищен паролем!";
const char* const kProtectedNotice = "Файл защищен паролем.";

namespace {

constexpr std::string_view kExtension = ".dbn";

// Bytes that cannot stand in a body line as they are: the line breaks, the zero byte,
// and the bytes whose scrambled forms are those.
constexpr std::string_view kBodyUnsafe("\0\x01\n\x0B\x0C\r", 6);
// Titles also lose "^" to the header encoding.
constexpr std::string_view kTitleUnsafe("\0\n\r^", 4);

// Whether a title holds a zero byte or a line break, or also a "^" with `caret`: each
// byte looked for through the whole title at once, not every byte of it tested in turn.
bool TitleHasUnsafe(std::string_view title, bool caret) {
  const char* const text = title.data();
  const size_t n = title.size();
  if (n == 0) return false;
  return std::memchr(text, '\0', n) || std::memchr(text, '\n', n) || std::memchr(text, '\r', n) ||
         (caret && std::memchr(text, '^', n));
}

// Three pieces appended with one growth of the text.
void Append3(std::string& out, std::string_view a, std::string_view b, std::string_view c) {
  const size_t at = out.size();
  out.resize(at + a.size() + b.size() + c.size());
  char* w = out.data() + at;
  std::memcpy(w, a.data(), a.size());
  if (!b.empty()) std::memcpy(w + a.size(), b.data(), b.size());
  std::memcpy(w + a.size() + b.size(), c.data(), c.size());
}

bool StartsWith(std::string_view s, std::string_view prefix) {
  return s.size() >= prefix.size() && std::memcmp(s.data(), prefix.data(), prefix.size()) == 0;
}

// A plain body is written unchanged when the reader gives it back exactly: it joins
// the lines of a body, empty ones included, with CR LF, and takes a line starting with
// "<" for a tag.
bool PlainBodyFits(std::string_view body) {
  if (IsEscaped(body) || body.find('\0') != std::string_view::npos) return false;
  size_t start = 0;
  for (;;) {
    size_t end = body.find("\r\n", start);
    std::string_view piece =
        body.substr(start, end == std::string_view::npos ? std::string_view::npos : end - start);
    if ((!piece.empty() && piece[0] == '<') || piece.find('\n') != std::string_view::npos) return false;
    if (end == std::string_view::npos) return true;
    start = end + 2;
  }
}

// A protected body is one scrambled line: it must not scramble to a line break or a
// zero byte, nor start with "<" once scrambled.
// Scrambling is an XOR with one byte, so the body is tested for the bytes that scramble
// to those, without a scrambled copy of it.
bool ScrambledBodyFits(std::string_view body) {
  if (body.empty()) return true;
  if (IsEscaped(body)) return false;
  char plain[4] = {'\0', '\n', '\r', '<'};
  ScrambleInPlace(plain, sizeof plain);
  return body[0] != plain[3] && body.find_first_of(std::string_view(plain, 3)) == std::string_view::npos;
}

// Appended in place: the line is scrambled where it lands.
void AppendBodyLine(std::string& out, std::string_view body, bool protect) {
  if (!protect) {
    if (PlainBodyFits(body))
      out += body;
    else
      AppendEscapedText(out, body, kBodyUnsafe);
    return;
  }
  const size_t at = out.size();
  if (ScrambledBodyFits(body))
    out += body;
  else
    AppendEscapedText(out, body, kBodyUnsafe);
  ScrambleInPlace(out.data() + at, out.size() - at);
}

// A title as its tag holds it: appended to `made` (with `scratch` for the escaped form
// of a protected one), or nothing appended when the title stands as it is.
bool MakeTagText(std::string_view title, bool protect, std::string& made, std::string& scratch) {
  if (protect) {
    if (!IsEscaped(title) && !TitleHasUnsafe(title, true)) {
      AppendEncodedHeader(made, title);
    } else {
      scratch.clear();
      AppendEscapedText(scratch, title, kTitleUnsafe);
      AppendEncodedHeader(made, scratch);
    }
    return true;
  }
  bool fits = !IsEscaped(title) && !StartsWith(title, "/") && !TitleHasUnsafe(title, false);
  if (fits) return false;
  AppendEscapedText(made, title, kTitleUnsafe);
  return true;
}

// Depth first, parent before children, the body after the children: `top` itself
// with `withTop`, otherwise only its children one after the other. Iterative, so the
// depth of a tree never matters to the stack, and one stack serves all the notes.
// Tags that are not the title as it stands are made one after the other in one text,
// the open notes' in order: the innermost note's tag is always the last there.
void AppendNotes(std::string& out, const XmlElement& top, bool withTop, bool protect) {
  struct Frame {
    const XmlElement* element;
    size_t next;
    size_t madeAt;  // where its made tag starts in `made`
    bool isMade;
  };
  std::vector<Frame> stack;
  stack.reserve(16);
  std::string made, scratch;
  auto tag = [&](const Frame& f) {
    return f.isMade ? std::string_view(made).substr(f.madeAt) : std::string_view(f.element->name());
  };
  auto open = [&](const XmlElement* e) {
    const size_t at = made.size();
    const bool isMade = MakeTagText(e->name(), protect, made, scratch);
    stack.push_back(Frame{e, 0, at, isMade});
    Append3(out, "\r\n<", tag(stack.back()), ">");
  };
  if (withTop)
    open(&top);
  else
    stack.push_back(Frame{&top, 0, 0, false});  // a holder: written only through its children
  while (!stack.empty()) {
    Frame& f = stack.back();
    if (f.next < f.element->ChildCount()) {
      open(f.element->Child(f.next++));
      continue;
    }
    if (withTop || stack.size() > 1) {
      out += "\r\n";
      AppendBodyLine(out, f.element->value(), protect);
      Append3(out, "\r\n</", tag(f), ">");
    }
    if (f.isMade) made.resize(f.madeAt);
    stack.pop_back();
  }
}

std::string Header(std::string_view fileName, std::string_view password) {
  return "/2|" + EncodeKey(fileName, password, kExtension);
}

// The lines of a body as they are gathered, empty ones included: joined with CR LF,
// the line break the writer put between them (in a scrambled body a line break was a
// scrambled 0x0B, so those are joined with LF before unscrambling). Writers put every
// line of a body between the lines of its tags, and nothing else there, so empty
// lines belong to bodies; blank lines before a tag (only in files edited by hand)
// are dropped.
class GatheredBody {
 public:
  explicit GatheredBody(bool scrambled) : scrambled_(scrambled) {}
  bool empty() const { return lines_ == 0; }
  bool blank() const { return text_.size() == (lines_ ? lines_ - 1 : 0) * (scrambled_ ? 1 : 2); }
  void Add(std::string_view line) {
    if (lines_++) text_ += scrambled_ ? "\n" : "\r\n";
    text_ += line;
  }
  void Clear() {
    text_.clear();
    lines_ = 0;
  }
  std::string Take() {
    std::string body;
    body.swap(text_);
    if (scrambled_) ScrambleInPlace(body);
    if (lines_ == 1 && IsEscaped(body)) body = UnescapeText(body);
    lines_ = 0;
    return body;
  }

 private:
  bool scrambled_;
  size_t lines_ = 0;
  std::string text_;
};

// A note's title from the text of its tag; a decoded title is handed on, not copied.
std::string TitleOfTag(std::string_view tag, bool encoded) {
  if (!encoded) return ReadMaybeEscaped(tag);
  std::string title = DecodeHeader(tag);
  if (IsEscaped(title)) return UnescapeText(title);
  return title;
}

std::string SavPath(const std::string& path) {
  size_t dot = path.find_last_of('.');
  size_t slash = path.find_last_of("\\/");
  if (dot == std::string::npos || (slash != std::string::npos && dot < slash)) return path + ".sav";
  return path.substr(0, dot + 1) + "sav";
}

NotebookSave WriteFile(const std::string& path, const std::string& bytes) {
  if (!backup::SaveBook(path, bytes)) return {SaveStatus::kFailed, SaveFailedMessage(path)};
  return {SaveStatus::kSaved, {}};
}

}  // namespace

const char* FormatName(NotebookFormat format) {
  switch (format) {
    case NotebookFormat::kCurrent: return "current";
    case NotebookFormat::kV1: return "v1";
    case NotebookFormat::kFileFormat1: return "fileformat1";
    case NotebookFormat::kXml: return "xml";
    case NotebookFormat::kStrong: return "strong";
    case NotebookFormat::kNone: break;
  }
  return "none";
}

std::unique_ptr<XmlElement> NewNotebookRoot() {
  return std::make_unique<XmlElement>(kNotebookRootName);
}

void MarkChanged(NotebookFile& notebook) {
  notebook.revision = find::NextStamp();
  if (notebook.state == kSaved || notebook.state == kChanged) notebook.state = kChanged;
}

NotebookContent ParseNotebook(std::string_view bytes) {
  NotebookContent content;
  content.root = NewNotebookRoot();
  if (LooksSealed(bytes)) {
    content.format = NotebookFormat::kStrong;
    return content;
  }
  TextLines lines(bytes);
  std::string_view first;
  do {
    if (!lines.Next(first)) return content;
  } while (first.empty());

  bool encodedTitles = false;
  bool firstIsNote = false;  // the first line is already a line of the notes
  if (first == "FILEFORMAT1") {
    content.format = NotebookFormat::kFileFormat1;
  } else if (StartsWith(first, "/1|") || StartsWith(first, "/2|")) {
    bool current = first[1] == '2';
    content.format = current ? NotebookFormat::kCurrent : NotebookFormat::kV1;
    content.hasHeader = true;
    std::string decoded = DecodeHeader(GetField(first, 1));
    if (current) {
      KeyParts key = SplitKeyText(decoded, kExtension);
      content.headerText = key.Text();
      content.password = key.password;
      encodedTitles = !content.password.empty();
    } else {
      content.headerText = decoded;
      if (decoded.find(kExtension) == std::string::npos) content.password = decoded;
    }
  } else if (first[0] == '<') {
    content.format = NotebookFormat::kXml;
    std::string_view text = bytes.substr(0, bytes.find('\0'));
    XmlParseOptions options;
    content.root->Parse(text, options);
    if (options.error) {
      content.xmlError = true;
      content.xmlErrorCode = options.errorCode;
      content.xmlErrorText = options.errorText;
    }
    return content;
  } else {
    firstIsNote = true;
  }

  bool scrambled = !content.password.empty();
  XmlElement* current = content.root.get();
  int depth = 0;
  GatheredBody gathered(scrambled);
  std::string_view line = first;
  while (firstIsNote ? (firstIsNote = false, true) : lines.Next(line)) {
    // A tag line is told apart by its first two bytes.
    const bool isTag = !line.empty() && line[0] == '<';
    if (isTag && line.size() >= 2 && line[1] == '/') {
      if (!gathered.empty()) current->SetValue(gathered.Take());
      if (current->parent()) {
        current = current->parent();
        --depth;
      }
    } else if (isTag) {
      if (gathered.blank()) gathered.Clear();
      if (depth >= kMaxXmlDepth) {
        content.tooDeep = true;
        return content;
      }
      std::string_view tag = line;
      tag = tag.size() >= 2 ? tag.substr(1, tag.size() - 2) : std::string_view();
      current = current->AppendChild(TitleOfTag(tag, encodedTitles));
      ++depth;
    } else {
      gathered.Add(line);
    }
  }
  return content;
}

NotebookRead ReadNotebook(NotebookFile& notebook, const std::string& path) {
  NotebookRead read;
  std::string bytes;
  if (!platform::ReadFileBytes(path, bytes)) {
    read.message = kBadFormatMessage;
    read.icon = platform::MessageIcon::kStop;
    return read;
  }
  backup::AfterRead(path, bytes);
  NotebookContent content = ParseNotebook(bytes);
  read.format = content.format;
  if (content.tooDeep) {
    read.message = kBadFormatMessage;
    read.icon = platform::MessageIcon::kStop;
    return read;
  }
  notebook.path = path;
  if (content.xmlError) {
    std::string sav = SavPath(path);
    read.setAside = platform::MoveFileNoReplace(path, sav);
    read.message = content.xmlErrorText + " в файле " + path + ".";
    // Only a file that was really moved is said to be kept under the new name.
    if (read.setAside) read.message += " \t\t\t\nФайл сохранен с расширением \"sav\"";
    read.icon = platform::MessageIcon::kStop;
    notebook.root = NewNotebookRoot();
    notebook.revision = find::NextStamp();
    notebook.password.clear();
    notebook.isProtected = false;
    notebook.state = kNoDocument;
    notebook.sealed.clear();
    notebook.scheme = Protection::kNone;
    return read;
  }
  notebook.root = std::move(content.root);
  notebook.revision = find::NextStamp();
  crypto::WipeString(notebook.password);  // the previous file's
  notebook.password = content.password;
  notebook.isProtected = !content.password.empty();
  notebook.state = kSaved;
  notebook.sealed.clear();
  notebook.scheme = notebook.isProtected ? Protection::kLegacy : Protection::kNone;
  if (content.format == NotebookFormat::kStrong) {
    notebook.sealed = std::move(bytes);
    notebook.isProtected = true;
    notebook.scheme = Protection::kStrong;
  }
  read.ok = true;
  return read;
}

// Most notebooks fit in this much; a larger one grows from there.
constexpr size_t kFirstRoom = 512;

std::string NotebookBytes(const XmlElement& root, std::string_view fileName, std::string_view password) {
  std::string out = Header(fileName, password);
  out.reserve(kFirstRoom);
  AppendNotes(out, root, false, !password.empty());
  return out;
}

std::string BranchBytes(const XmlElement& branch, std::string_view fileName) {
  std::string out = Header(fileName, {});
  out.reserve(kFirstRoom);
  AppendNotes(out, branch, true, false);
  return out;
}

bool NotebookFileBytes(const XmlElement& tree, std::string_view fileName, std::string_view password,
                       Protection scheme, uint32_t iterations, std::string& out) {
  if (password.empty() || scheme == Protection::kLegacy) {
    out = NotebookBytes(tree, fileName, password);
    return true;
  }
  crypto::SecretString plain(NotebookBytes(tree, fileName, {}));
  return Seal(plain.get(), password, iterations, out);
}

NotebookSave SaveNotebook(NotebookFile& notebook, const XmlElement* rearranged) {
  if (notebook.path.empty() || (notebook.state != kChanged && notebook.state != kRearranged)) return {};
  const XmlElement& tree = notebook.state == kRearranged && rearranged ? *rearranged : *notebook.root;
  if (notebook.password.empty()) notebook.scheme = Protection::kNone;
  if (!notebook.password.empty() && notebook.scheme == Protection::kNone) notebook.scheme = Protection::kStrong;
  std::string bytes;
  if (!notebook.sealed.empty())
    bytes = notebook.sealed;
  else if (!NotebookFileBytes(tree, FileNameOf(notebook.path), notebook.password, notebook.scheme,
                              notebook.kdfIterations, bytes))
    return {SaveStatus::kFailed, SaveFailedMessage(notebook.path)};
  NotebookSave saved = WriteFile(notebook.path, bytes);
  if (saved.status == SaveStatus::kSaved && notebook.state == kChanged) notebook.state = kSaved;
  return saved;
}

NotebookSave ExportBranch(const XmlElement& branch, const std::string& path) {
  return WriteFile(path, BranchBytes(branch, FileNameOf(path)));
}

BranchImport ImportBranch(const std::string& path) {
  BranchImport import;
  std::string bytes;
  if (!platform::ReadFileBytes(path, bytes)) {
    import.message = kBadFormatMessage;
    import.icon = platform::MessageIcon::kStop;
    return import;
  }
  std::string name = FileNameOf(path);
  NotebookContent content = ParseNotebook(bytes);
  bool accepted =
      content.format == NotebookFormat::kFileFormat1 || (content.hasHeader && content.headerText == name);
  if (!accepted) {
    import.message = kBranchRefusedMessage;
    import.icon = platform::MessageIcon::kInformation;
    return import;
  }
  if (content.tooDeep) {
    import.message = kBadFormatMessage;
    import.icon = platform::MessageIcon::kStop;
    return import;
  }
  import.ok = true;
  import.notes = std::move(content.root);
  return import;
}

std::string WithNotebookExtension(std::string path) {
  static const char kExtension[] = ".dbn";
  bool has = path.size() >= 4;
  for (size_t i = 0; has && i < 4; ++i) {
    char c = path[path.size() - 4 + i];
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c + 32);
    has = c == kExtension[i];
  }
  if (!has) path += kExtension;
  return path;
}

std::string NotebookDialogFolder(const std::string& openPath, const std::string& programFolder) {
  std::string folder = FolderOfPath(openPath);
  if (!folder.empty() && platform::DirExists(folder)) return folder;
  folder = programFolder + "Personal";
  if (!platform::DirExists(folder)) platform::MakeDir(folder);
  return folder;
}

std::string StartupNotebookPath(const std::string& stored, const std::string& programFolder) {
  if (stored.empty()) return {};
  if (platform::FileExists(stored)) return stored;
  std::string personal = programFolder + "Personal\\" + FileNameOf(stored);
  return platform::FileExists(personal) ? personal : std::string();
}

PasswordMode PasswordModeFor(const NotebookFile& notebook) {
  return notebook.isProtected ? PasswordMode::kEntering : PasswordMode::kSetting;
}

const char* PasswordTitle(PasswordMode mode) {
  return mode == PasswordMode::kEntering ? "Введите пароль" : "Установите пароль";
}

namespace {

PasswordOutcome Unlock(NotebookFile& notebook, const std::string& typed, bool removePassword,
                       Protection newScheme) {
  const Protection read = notebook.scheme;
  if (!notebook.sealed.empty()) {
    crypto::SecretString plain;
    UnsealStatus status = Unseal(notebook.sealed, typed, plain.get());
    if (status == UnsealStatus::kFailed) return PasswordOutcome::kFailed;
    if (status != UnsealStatus::kOpened) return PasswordOutcome::kWrong;
    NotebookContent content = ParseNotebook(plain.get());
    // What a writer encrypted is a notebook of the current format; anything else is a
    // file made elsewhere, refused like a damaged one.
    if (content.format != NotebookFormat::kCurrent || content.tooDeep || !content.password.empty())
      return PasswordOutcome::kWrong;
    notebook.root = std::move(content.root);
    notebook.revision = find::NextStamp();
    notebook.sealed.clear();
    notebook.password = typed;
  } else if (notebook.password.empty() || typed != notebook.password) {
    return PasswordOutcome::kWrong;
  }
  notebook.isProtected = false;
  notebook.scheme = SchemeAfterUnlock(read, newScheme);
  if (removePassword) {
    crypto::WipeString(notebook.password);
    notebook.scheme = Protection::kNone;
    MarkChanged(notebook);
    return PasswordOutcome::kUnlocked;
  }
  if (notebook.scheme == read) return PasswordOutcome::kUnlocked;
  MarkChanged(notebook);  // the old-scheme file is replaced at the next save
  return PasswordOutcome::kUpgraded;
}

}  // namespace

bool ApplyPassword(NotebookFile& notebook, const std::string& typed, bool removePassword, Protection newScheme,
                   PasswordOutcome* outcome) {
  PasswordOutcome result = PasswordOutcome::kSet;
  if (!notebook.isProtected) {
    notebook.password = typed;
    notebook.isProtected = !typed.empty();
    notebook.scheme = typed.empty() ? Protection::kNone : newScheme;
    MarkChanged(notebook);
  } else {
    result = Unlock(notebook, typed, removePassword, newScheme);
  }
  if (outcome) *outcome = result;
  return !notebook.isProtected;
}

}  // namespace vm::notebook
