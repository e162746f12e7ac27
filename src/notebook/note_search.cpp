#include "notebook/note_search.h"

#include <array>
#include <cstdint>
#include <iterator>

#include "common/text_util.h"
#include "notebook/note_text.h"
#include "notebook/note_tree.h"

namespace vm::notebook {

namespace {

// Unicode of the Windows-1251 characters 0x80 to 0xBF (0 where the code page has none).
constexpr char16_t kHighHalf[64] = {
    0x0402, 0x0403, 0x201A, 0x0453, 0x201E, 0x2026, 0x2020, 0x2021, 0x20AC, 0x2030, 0x0409, 0x2039, 0x040A,
    0x040C, 0x040B, 0x040F, 0x0452, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014, 0x0000, 0x2122,
    0x0459, 0x203A, 0x045A, 0x045C, 0x045B, 0x045F, 0x00A0, 0x040E, 0x045E, 0x0408, 0x00A4, 0x0490, 0x00A6,
    0x00A7, 0x0401, 0x00A9, 0x0404, 0x00AB, 0x00AC, 0x00AD, 0x00AE, 0x0407, 0x00B0, 0x00B1, 0x0406, 0x0456,
    0x0491, 0x00B5, 0x00B6, 0x00B7, 0x0451, 0x2116, 0x0454, 0x00BB, 0x0458, 0x0405, 0x0455, 0x0457};

char FromUnicode(long code) {
  if (code < 0) code += 65536;  // "\u" takes a signed 16-bit number
  if (code >= 0 && code < 0x80) return static_cast<char>(code);
  if (code >= 0x410 && code <= 0x44F) return static_cast<char>(code - 0x410 + 0xC0);
  for (int i = 0; i < 64; ++i)
    if (kHighHalf[i] != 0 && kHighHalf[i] == code) return static_cast<char>(0x80 + i);
  return '?';
}

int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

bool IsLetter(char c) {
  return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

// Groups whose text is never shown when they open with this word.
bool IsHiddenDestination(std::string_view word) {
  static constexpr std::string_view kHidden[] = {
      "fonttbl",      "colortbl",  "stylesheet", "info",
      "pict",         "object",    "header",     "footer",
      "headerl",      "headerr",   "headerf",    "footerl",
      "footerr",      "footerf",   "listtable",  "listoverridetable",
      "rsidtbl",      "generator", "themedata",  "datastore",
      "latentstyles", "xmlnstbl",  "filetbl",    "revtbl",
      "footnote",     "fldinst",   "bkmkstart",  "bkmkend",
      "txe",          "xe",        "tc"};
  for (std::string_view h : kHidden)
    if (word == h) return true;
  return false;
}

// The single character some words stand for; 0 for none.
char SymbolOf(std::string_view word) {
  if (word == "par" || word == "line" || word == "sect" || word == "page" || word == "row") return '\r';
  if (word == "tab" || word == "cell") return '\t';
  if (word == "emdash") return '\x97';
  if (word == "endash") return '\x96';
  if (word == "bullet") return '\x95';
  if (word == "lquote") return '\x91';
  if (word == "rquote") return '\x92';
  if (word == "ldblquote") return '\x93';
  if (word == "rdblquote") return '\x94';
  return 0;
}

struct GroupState {
  bool hidden = false;
  int skipAfterUnicode = 1;  // "\uc"
};

// Deeper groups than this share the state of the deepest one kept.
constexpr size_t kMaxGroupStack = 256;

const std::array<unsigned char, 256>& FoldTable() {
  static const std::array<unsigned char, 256> table = [] {
    std::array<unsigned char, 256> t{};
    for (int i = 0; i < 256; ++i) {
      char f = FoldCase1251(static_cast<char>(i));
      if (f == '\xB8') f = '\xE5';  // "ё" as "е"
      t[static_cast<size_t>(i)] = static_cast<unsigned char>(f);
    }
    return t;
  }();
  return table;
}

void FoldInto(std::string_view text, std::string& out) {
  const auto& table = FoldTable();
  out.resize(text.size());
  for (size_t i = 0; i < text.size(); ++i)
    out[i] = static_cast<char>(table[static_cast<unsigned char>(text[i])]);
}

std::string Context(std::string_view plain, size_t at, size_t length) {
  constexpr size_t kBefore = 30, kAfter = 50;
  size_t begin = at > kBefore ? at - kBefore : 0;
  size_t end = at + length + kAfter < plain.size() ? at + length + kAfter : plain.size();
  std::string out = begin > 0 ? "..." : "";
  for (size_t i = begin; i < end; ++i) {
    char c = plain[i];
    out += (c == '\r' || c == '\n' || c == '\t') ? ' ' : c;
  }
  if (end < plain.size()) out += "...";
  return out;
}

}  // namespace

namespace {

// Bytes that end a run of literal text.
const std::array<bool, 256>& Special() {
  static const std::array<bool, 256> table = [] {
    std::array<bool, 256> t{};
    for (unsigned char c : {'\\', '{', '}', '\r', '\n', '\0'}) t[c] = true;
    return t;
  }();
  return table;
}

// The plain text of `rtf` appended to `out`, each character through `map` (the identity
// or the search folding). The output is never longer than the input, so room for all of
// it is made at once and written through a pointer.
template <bool kFold>
void Convert(std::string_view rtf, std::string& out) {
  const auto& special = Special();
  const auto& fold = FoldTable();
  const size_t base = out.size();
  const size_t n = rtf.size();
  out.resize(base + n);
  char* const begin = out.data() + base;
  char* w = begin;
  const char* in = rtf.data();
  std::vector<GroupState> stack;
  size_t deeper = 0;  // groups opened beyond kMaxGroupStack
  GroupState state;
  bool groupStart = false;  // the next word is the first of its group
  size_t pendingSkip = 0;   // fallback characters after "\u" still to drop
  auto emit = [&](char c) {
    if (pendingSkip > 0) {
      --pendingSkip;
      return;
    }
    if (!state.hidden) *w++ = kFold ? static_cast<char>(fold[static_cast<unsigned char>(c)]) : c;
  };
  size_t i = 0;
  while (i < n) {
    char c = in[i];
    if (!special[static_cast<unsigned char>(c)]) {  // a run of literal text
      groupStart = false;
      if (pendingSkip > 0 || state.hidden) {
        emit(c);
        ++i;
        continue;
      }
      do {
        *w++ = kFold ? static_cast<char>(fold[static_cast<unsigned char>(in[i])]) : in[i];
        ++i;
      } while (i < n && !special[static_cast<unsigned char>(in[i])]);
      continue;
    }
    if (c == '{') {
      if (stack.size() < kMaxGroupStack)
        stack.push_back(state);
      else
        ++deeper;
      groupStart = true;
      pendingSkip = 0;
      ++i;
      continue;
    }
    if (c == '}') {
      if (deeper > 0) {
        --deeper;
      } else if (!stack.empty()) {
        state = stack.back();
        stack.pop_back();
      }
      groupStart = false;
      pendingSkip = 0;
      ++i;
      continue;
    }
    if (c != '\\') {  // CR, LF and zero bytes show nothing
      ++i;
      continue;
    }
    // A control word or symbol.
    if (i + 1 >= n) break;
    char s = in[i + 1];
    if (s == '\'') {
      int high = i + 2 < n ? HexDigit(in[i + 2]) : -1;
      int low = i + 3 < n ? HexDigit(in[i + 3]) : -1;
      groupStart = false;
      if (high >= 0 && low >= 0) emit(static_cast<char>(high * 16 + low));
      i = i + 4 < n ? i + 4 : n;  // a malformed escape drops the two characters it takes
      continue;
    }
    if (!IsLetter(s)) {
      i += 2;
      bool first = groupStart;
      groupStart = false;
      switch (s) {
        case '\\':
        case '{':
        case '}': emit(s); break;
        case '~': emit('\xA0'); break;
        case '_': emit('-'); break;
        case '\r':
        case '\n': emit('\r'); break;
        case '*':
          if (first) state.hidden = true;
          break;
        default: break;  // "\-" and other symbols show nothing
      }
      continue;
    }
    size_t start = i + 1, end = start;
    while (end < n && IsLetter(in[end])) ++end;
    std::string_view word = rtf.substr(start, end - start);
    i = end;
    bool hasNumber = false, negative = false;
    long number = 0;
    if (i < n && in[i] == '-') {
      negative = true;
      ++i;
    }
    while (i < n && in[i] >= '0' && in[i] <= '9') {
      if (number < 10000000) number = number * 10 + (in[i] - '0');
      hasNumber = true;
      ++i;
    }
    if (negative) number = -number;
    if (i < n && in[i] == ' ') ++i;  // the delimiter belongs to the word
    bool first = groupStart;
    groupStart = false;
    if (word == "u" && hasNumber) {
      emit(FromUnicode(number));
      pendingSkip = static_cast<size_t>(state.skipAfterUnicode);
    } else if (word == "uc" && hasNumber) {
      state.skipAfterUnicode = number < 0 ? 0 : number > 8 ? 8 : static_cast<int>(number);
    } else if (word == "bin" && hasNumber) {
      size_t skip = number < 0 ? 0 : static_cast<size_t>(number);
      i = skip < n - i ? i + skip : n;
    } else if (first && IsHiddenDestination(word)) {
      state.hidden = true;
    } else if (char symbol = SymbolOf(word)) {
      pendingSkip = 0;
      emit(symbol);
    }
  }
  out.resize(base + static_cast<size_t>(w - begin));
}

}  // namespace

void AppendRtfPlainText(std::string_view rtf, std::string& out) {
  Convert<false>(rtf, out);
}

std::string RtfPlainText(std::string_view rtf) {
  std::string out;
  AppendRtfPlainText(rtf, out);
  return out;
}

std::string NotePlainText(std::string_view body) {
  return IsRtfBody(body) ? RtfPlainText(body) : std::string(body);
}

char SearchFold(char c) {
  return static_cast<char>(FoldTable()[static_cast<unsigned char>(c)]);
}

std::string SearchFold(std::string_view text) {
  std::string out;
  FoldInto(text, out);
  return out;
}

namespace {

void FoldBody(const std::string& body, std::string& folded) {
  folded.clear();
  if (IsRtfBody(body))
    Convert<true>(body, folded);
  else
    FoldInto(body, folded);
}

AllNotesSearch Search(const XmlElement& root, std::string_view what, size_t limit, NoteSearchCache* cache) {
  AllNotesSearch result;
  const std::string needle = SearchFold(what);
  auto find = [&](const std::string& text, size_t from) { return text.find(needle, from); };
  std::string plain, folded;
  std::vector<const XmlElement*> stack;
  for (size_t i = root.ChildCount(); i-- > 0;) stack.push_back(root.Child(i));
  while (!stack.empty()) {
    const XmlElement* note = stack.back();
    stack.pop_back();
    for (size_t i = note->ChildCount(); i-- > 0;) stack.push_back(note->Child(i));

    std::string path;  // made once the note has a hit
    auto add = [&](NoteHit hit) {
      if (result.hits.size() >= limit) {
        result.truncated = true;
        return false;
      }
      if (path.empty()) path = NotePath(*note);
      hit.note = note;
      hit.path = path;
      result.hits.push_back(std::move(hit));
      return true;
    };
    FoldInto(note->name(), folded);
    if (folded.find(needle) != std::string::npos) {
      NoteHit hit;
      hit.inTitle = true;
      hit.context = note->name();
      if (!add(std::move(hit))) return result;
    }
    // The body folded as it is read; its plain text is made only for a hit's context.
    const std::string& body = note->value();
    const std::string* bodyFolded = &folded;
    if (cache)
      bodyFolded = &cache->Folded(*note);
    else
      FoldBody(body, folded);
    size_t at = find(*bodyFolded, 0);
    if (at == std::string::npos) continue;
    plain.clear();
    if (IsRtfBody(body))
      Convert<false>(body, plain);
    else
      plain = body;
    for (size_t occurrence = 0; at != std::string::npos; at = find(*bodyFolded, at + needle.size())) {
      NoteHit hit;
      hit.position = at;
      hit.occurrence = occurrence++;
      hit.context = Context(plain, at, needle.size());
      if (!add(std::move(hit))) return result;
    }
  }
  return result;
}

}  // namespace

const std::string& NoteSearchCache::Folded(const XmlElement& note) {
  Entry& entry = entries_[&note];
  entry.generation = generation_;
  if (entry.body.size() != note.value().size() || entry.body != note.value() || entry.folded.empty()) {
    entry.body = note.value();
    FoldBody(entry.body, entry.folded);
  }
  return entry.folded;
}

void NoteSearchCache::EndSearch() {
  for (auto it = entries_.begin(); it != entries_.end();)
    it = it->second.generation == generation_ ? std::next(it) : entries_.erase(it);
}

AllNotesSearch FindInAllNotes(const XmlElement& root, std::string_view what, size_t limit, NoteSearchCache* cache) {
  if (what.empty()) return {};
  if (cache) cache->BeginSearch();
  AllNotesSearch result = Search(root, what, limit, cache);
  // A search cut short by the limit did not visit every note: keep what it did not see.
  if (cache && !result.truncated) cache->EndSearch();
  return result;
}

long OccurrencePosition(std::string_view plain, std::string_view what, size_t occurrence) {
  if (what.empty()) return -1;
  const std::string folded = SearchFold(plain), needle = SearchFold(what);
  size_t at = folded.find(needle);
  for (size_t k = 0; k < occurrence && at != std::string::npos; ++k)
    at = folded.find(needle, at + needle.size());
  if (at == std::string::npos) return -1;
  return EditorPosition(plain, at);
}

}  // namespace vm::notebook
