#include "notebook/note_search.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstring>
#include <iterator>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

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

// The characters of kHighHalf lie on four pages of 256 codes: 0x00xx, 0x04xx, 0x20xx and
// 0x21xx. The row of a page in HighHalfBytes, or -1.
int PageRow(long page) {
  switch (page) {
    case 0x00: return 0;
    case 0x04: return 1;
    case 0x20: return 2;
    case 0x21: return 3;
    default: return -1;
  }
}

// The Windows-1251 byte of each character of kHighHalf by its page and its place on the
// page; 0 where the code page has none. Filled from the end so that a character listed
// twice would keep its first byte.
const std::array<std::array<unsigned char, 256>, 4>& HighHalfBytes() {
  static const std::array<std::array<unsigned char, 256>, 4> table = [] {
    std::array<std::array<unsigned char, 256>, 4> t{};
    for (int i = 63; i >= 0; --i)
      if (kHighHalf[i] != 0)
        t[static_cast<size_t>(PageRow(kHighHalf[i] >> 8))][kHighHalf[i] & 255] = static_cast<unsigned char>(0x80 + i);
    return t;
  }();
  return table;
}

char FromUnicode(long code) {
  if (code < 0) code += 65536;  // "\u" takes a signed 16-bit number
  if (code >= 0 && code < 0x80) return static_cast<char>(code);
  if (code >= 0x410 && code <= 0x44F) return static_cast<char>(code - 0x410 + 0xC0);
  const int row = code >= 0 ? PageRow(code >> 8) : -1;
  if (row < 0) return '?';
  const unsigned char byte = HighHalfBytes()[static_cast<size_t>(row)][static_cast<size_t>(code & 255)];
  return byte ? static_cast<char>(byte) : '?';
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

// Left without initialisers so that a stack of them costs nothing until used.
struct GroupState {
  bool hidden;
  int skipAfterUnicode;  // "\uc"
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

// The single character a control word stands for; 0 for none. Told apart by length
// first, as most words of a body are formatting that stands for nothing.
inline char SymbolOf(std::string_view word) {
  switch (word.size()) {
    case 3:
      if (word == "par" || word == "row") return '\r';
      if (word == "tab") return '\t';
      break;
    case 4:
      if (word == "line" || word == "sect" || word == "page") return '\r';
      if (word == "cell") return '\t';
      break;
    case 6:
      if (word == "emdash") return '\x97';
      if (word == "endash") return '\x96';
      if (word == "bullet") return '\x95';
      if (word == "lquote") return '\x91';
      if (word == "rquote") return '\x92';
      break;
    case 9:
      if (word == "ldblquote") return '\x93';
      if (word == "rdblquote") return '\x94';
      break;
    default: break;
  }
  return 0;
}

// The decoder's hot loop over sixteen-byte blocks, or byte by byte where the compiler
// has no SSE2.
#if defined(__SSE2__)
namespace blocks {
using Block = __m128i;
constexpr int kLanes = 16;
inline Block Load(const char* p) {
  return _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
}
inline void Store(char* w, Block v) {
  _mm_storeu_si128(reinterpret_cast<__m128i*>(w), v);
}
inline Block Bytes(char c) {
  return _mm_set1_epi8(c);
}
inline Block Eq(Block a, Block b) {
  return _mm_cmpeq_epi8(a, b);
}
inline Block Less(Block a, Block b) {
  return _mm_cmplt_epi8(a, b);
}
inline Block Min(Block a, Block b) {
  return _mm_min_epu8(a, b);
}
inline Block Add(Block a, Block b) {
  return _mm_add_epi8(a, b);
}
inline Block Sub(Block a, Block b) {
  return _mm_sub_epi8(a, b);
}
inline Block And(Block a, Block b) {
  return _mm_and_si128(a, b);
}
inline Block Or(Block a, Block b) {
  return _mm_or_si128(a, b);
}
inline unsigned Mask(Block v) {
  return static_cast<unsigned>(_mm_movemask_epi8(v));
}
#include "notebook/note_search_blocks.inc"
}  // namespace blocks
#else
namespace blocks {  // one byte at a time, the same code
using Block = unsigned char;
constexpr int kLanes = 1;
inline Block Load(const char* p) {
  return static_cast<Block>(*p);
}
inline void Store(char* w, Block v) {
  *w = static_cast<char>(v);
}
inline Block Bytes(char c) {
  return static_cast<Block>(c);
}
inline Block Eq(Block a, Block b) {
  return a == b ? 0xFF : 0;
}
inline Block Less(Block a, Block b) {
  return static_cast<signed char>(a) < static_cast<signed char>(b) ? 0xFF : 0;
}
inline Block Min(Block a, Block b) {
  return a < b ? a : b;
}
inline Block Add(Block a, Block b) {
  return static_cast<Block>(a + b);
}
inline Block Sub(Block a, Block b) {
  return static_cast<Block>(a - b);
}
inline Block And(Block a, Block b) {
  return a & b;
}
inline Block Or(Block a, Block b) {
  return a | b;
}
inline unsigned Mask(Block v) {
  return v >> 7;
}
#include "notebook/note_search_blocks.inc"
}  // namespace blocks
#endif

void FoldInto(std::string_view text, std::string& out) {
  out.resize(text.size());
  blocks::Fold(text.data(), text.data() + text.size(), out.data());
}

// The text around a hit on one line: line breaks and tabs become spaces.
std::string Context(std::string_view plain, size_t at, size_t length) {
  constexpr size_t kBefore = 30, kAfter = 50;
  size_t begin = at > kBefore ? at - kBefore : 0;
  size_t end = at + length + kAfter < plain.size() ? at + length + kAfter : plain.size();
  std::string out;
  out.reserve(end - begin + 6);
  if (begin > 0) out += "...";
  const size_t from = out.size();
  out.append(plain.substr(begin, end - begin));
  blocks::BlankBreaks(out.data() + from, out.data() + out.size());
  if (end < plain.size()) out += "...";
  return out;
}

// The plain text of `rtf` appended to `out`, folded for searching when kFold, in one
// pass. The output is never longer than the input, so room for all of it (and the 16
// bytes a block copy may write ahead) is made at once and written through a pointer.
template <bool kFold>
void Convert(std::string_view rtf, std::string& out) {
  const auto& fold = FoldTable();
  const size_t base = out.size();
  const size_t n = rtf.size();
  out.resize(base + n + 16);
  char* const begin = out.data() + base;
  char* w = begin;
  const char* in = rtf.data();
  const char* const inEnd = in + n;
  GroupState stack[kMaxGroupStack];
  size_t depth = 0;
  size_t deeper = 0;  // groups opened beyond kMaxGroupStack
  GroupState state{false, 1};
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
    switch (c) {
      case '{':
        if (depth < kMaxGroupStack)
          stack[depth++] = state;
        else
          ++deeper;
        groupStart = true;
        pendingSkip = 0;
        ++i;
        continue;
      case '}':
        if (deeper > 0)
          --deeper;
        else if (depth > 0)
          state = stack[--depth];
        groupStart = false;
        pendingSkip = 0;
        ++i;
        continue;
      case '\r':
      case '\n':
      case '\0': ++i; continue;  // show nothing
      case '\\': break;
      default:  // a run of literal text
        groupStart = false;
        if (pendingSkip > 0) {
          emit(c);
          ++i;
        } else if (state.hidden) {
          i = static_cast<size_t>(blocks::SkipLiteral(in + i, inEnd) - in);
        } else {
          const char* p = in + i;
          blocks::CopyText<kFold>(p, inEnd, w);
          i = static_cast<size_t>(p - in);
        }
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
    if (i < n && in[i] == ' ') ++i;                         // the delimiter belongs to the word
    while (i < n && (in[i] == '\r' || in[i] == '\n')) ++i;  // line ends show nothing
    bool first = groupStart;
    groupStart = false;
    if (word[0] == 'u' && word.size() <= 2 && hasNumber && (word.size() == 1 || word[1] == 'c')) {
      if (word.size() == 1) {
        emit(FromUnicode(number));
        pendingSkip = static_cast<size_t>(state.skipAfterUnicode);
      } else {
        state.skipAfterUnicode = number < 0 ? 0 : number > 8 ? 8 : static_cast<int>(number);
      }
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

namespace {

// How common a folded byte is in notes, roughly: the search looks first for the needle's
// two rarest bytes, so that it stops seldom where the needle does not stand.
const std::array<unsigned char, 256>& Commonness() {
  static const std::array<unsigned char, 256> table = [] {
    std::array<unsigned char, 256> t;
    t.fill(10);
    for (int c = '0'; c <= '9'; ++c) t[static_cast<size_t>(c)] = 20;
    for (unsigned char c : {',', '.', '\r'}) t[c] = 40;
    for (int c = 'a'; c <= 'z'; ++c) t[static_cast<size_t>(c)] = 50;
    // Russian lower-case letters from the most to the least common.
    const std::string_view russian =
        "\xEE\xE5\xE0\xE8\xED\xF2\xF1\xF0\xE2\xEB\xEA\xEC\xE4\xEF\xF3\xFF\xFB\xE7\xFC\xE1\xE3\xF7\xE9\xF5\xE6"
        "\xF8\xFE\xF6\xF9\xFD\xF4\xFA";
    for (size_t i = 0; i < russian.size(); ++i)
      t[static_cast<unsigned char>(russian[i])] = static_cast<unsigned char>(90 - i);
    t[' '] = 100;
    return t;
  }();
  return table;
}

#if defined(__SSE2__)
// Moves `i` on sixteen starts at a time, up to where the last of them is `lastStart`,
// until one holds byte `a` at offset `pa` and byte `b` at `pb`; the mask of those starts.
inline unsigned RareBytesMask(const char* h, size_t& i, size_t lastStart, char a, size_t pa, char b,
                              size_t pb) {
  const __m128i one = _mm_set1_epi8(a), two = _mm_set1_epi8(b);
  for (; i + 15 <= lastStart; i += 16) {
    const __m128i x = _mm_loadu_si128(reinterpret_cast<const __m128i*>(h + i + pa));
    const __m128i y = _mm_loadu_si128(reinterpret_cast<const __m128i*>(h + i + pb));
    if (unsigned both = static_cast<unsigned>(
            _mm_movemask_epi8(_mm_and_si128(_mm_cmpeq_epi8(x, one), _mm_cmpeq_epi8(y, two)))))
      return both;
  }
  return 0;
}
#endif

// Tells, from a rich-text body's bytes alone, that its plain text cannot hold a needle,
// so that the body need not be decoded. Every character of the plain text is a byte of
// the body as it stands (any case), or comes from "\'hh" or "\uN", or is one of the few
// characters control words and symbols stand for. So a body without "\'" and "\u" whose
// bytes lack every case of one of the needle's other bytes cannot hold the needle. Bytes
// inside control words or skipped groups only make it say "may hold" more often.
class BodyFilter {
 public:
  explicit BodyFilter(std::string_view foldedNeedle) {
    static constexpr std::string_view kFromControls = "\\{}\xA0-\r\t\x91\x92\x93\x94\x95\x96\x97";
    const auto& common = Commonness();
    std::array<bool, 256> seen{};
    for (char c : foldedNeedle) {
      const auto u = static_cast<unsigned char>(c);
      if (seen[u] || kFromControls.find(c) != std::string_view::npos) continue;
      seen[u] = true;
      Byte byte = Cases()[u];
      byte.commonness = common[u];
      bytes_.push_back(byte);
    }
    // The rarest first: the one most likely to be missing.
    std::sort(bytes_.begin(), bytes_.end(),
              [](const Byte& a, const Byte& b) { return a.commonness < b.commonness; });
    if (bytes_.size() > kMaxChecked) bytes_.resize(kMaxChecked);
  }

  bool MayHold(std::string_view body) const {
    for (const Byte& byte : bytes_)
      if (!HasAnyOf(body, byte)) return HasEscapes(body);
    return true;
  }

 private:
  static constexpr size_t kMaxChecked = 3;
  struct Byte {
    std::array<char, 4> cases{};  // every byte that folds to it ("е" has four)
    size_t count = 0;
    int commonness = 0;
  };

  // For every byte, itself first (the folded form is the likeliest to stand), then the
  // other bytes that fold to it in order; made once rather than for every search.
  static const std::array<Byte, 256>& Cases() {
    static const std::array<Byte, 256> table = [] {
      const auto& fold = FoldTable();
      std::array<Byte, 256> t{};
      for (int u = 0; u < 256; ++u) {
        Byte& byte = t[static_cast<size_t>(u)];
        byte.cases[byte.count++] = static_cast<char>(u);
        for (int b = 0; b < 256; ++b)
          if (b != u && fold[static_cast<size_t>(b)] == u && byte.count < byte.cases.size())
            byte.cases[byte.count++] = static_cast<char>(b);
      }
      return t;
    }();
    return table;
  }

  static bool StartsEscape(const char* p, const char* end) {
    if (end - p < 3 || p[0] != '\\') return false;
    if (p[1] == '\'') return true;
    return p[1] == 'u' && ((p[2] >= '0' && p[2] <= '9') || p[2] == '-');
  }

  // "\'" or "\u" with a number anywhere in `body`.
  static bool HasEscapes(std::string_view body) {
    const char* p = body.data();
    const char* const end = p + body.size();
#if defined(__SSE2__)
    const __m128i backslash = _mm_set1_epi8('\\'), quote = _mm_set1_epi8('\''), u = _mm_set1_epi8('u');
    for (; end - p >= 18; p += 16) {
      const __m128i a = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
      const __m128i b = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + 1));
      const __m128i m = _mm_and_si128(_mm_cmpeq_epi8(a, backslash),
                                      _mm_or_si128(_mm_cmpeq_epi8(b, quote), _mm_cmpeq_epi8(b, u)));
      for (unsigned bits = static_cast<unsigned>(_mm_movemask_epi8(m)); bits; bits &= bits - 1)
        if (StartsEscape(p + __builtin_ctz(bits), end)) return true;
    }
#endif
    for (; p < end; ++p)
      if (StartsEscape(p, end)) return true;
    return false;
  }

  static bool HasAnyOf(std::string_view body, const Byte& byte) {
    for (size_t k = 0; k < byte.count; ++k)
      if (std::memchr(body.data(), byte.cases[k], body.size())) return true;
    return false;
  }

  std::vector<Byte> bytes_;
};
}  // namespace

FoldedNeedle::FoldedNeedle(std::string_view folded) : text_(folded) {
  const size_t k = text_.size();
  if (k < 2) return;
  const auto& common = Commonness();
  auto rank = [&](size_t j) { return common[static_cast<unsigned char>(text_[j])]; };
  rare_ = 0;
  for (size_t j = 1; j < k; ++j)
    if (rank(j) < rank(rare_)) rare_ = j;
  other_ = rare_ == k - 1 ? 0 : k - 1;
  for (size_t j = 0; j < k; ++j)
    if (j != rare_ && rank(j) < rank(other_)) other_ = j;
}

size_t FoldedNeedle::FindIn(std::string_view text, size_t from) const {
  const size_t k = text_.size();
  if (k == 0 || text.size() < k || from > text.size() - k) return std::string_view::npos;
  const char* const h = text.data();
  const char* const needle = text_.data();
  if (k == 1) {
    const void* hit = std::memchr(h + from, needle[0], text.size() - from);
    return hit ? static_cast<size_t>(static_cast<const char*>(hit) - h) : std::string_view::npos;
  }
  const size_t lastStart = text.size() - k;
  size_t i = from;
#if defined(__SSE2__)
  // The starts where both rare bytes stand, sixteen at a time; compared in full outside
  // the scan so that the scan keeps its registers.
  while (i + 15 <= lastStart) {
    unsigned both = RareBytesMask(h, i, lastStart, needle[rare_], rare_, needle[other_], other_);
    if (both == 0) break;  // the starts left are fewer than sixteen
    for (; both; both &= both - 1) {
      const size_t at = i + static_cast<size_t>(__builtin_ctz(both));
      if (std::memcmp(h + at, needle, k) == 0) return at;
    }
    i += 16;
  }
#endif
  for (; i <= lastStart; ++i)
    if (h[i] == needle[0] && std::memcmp(h + i + 1, needle + 1, k - 1) == 0) return i;
  return std::string_view::npos;
}

void AppendRtfPlainText(std::string_view rtf, std::string& out) {
  Convert<false>(rtf, out);
}

void AppendFoldedRtfPlainText(std::string_view rtf, std::string& out) {
  Convert<true>(rtf, out);
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
  const FoldedNeedle folded_needle(needle);
  const BodyFilter filter(needle);
  auto find = [&](const std::string& text, size_t from) { return folded_needle.FindIn(text, from); };
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
    if (find(folded, 0) != std::string::npos) {
      NoteHit hit;
      hit.inTitle = true;
      hit.context = note->name();
      if (!add(std::move(hit))) return result;
    }
    // Without a cache a rich-text body is decoded once, and its plain text folded: the
    // same text as decoding it folded, and the plain text is at hand for a hit's context.
    // With one, the body folded as it is read; its plain text is made only for a hit.
    const std::string& body = note->value();
    const bool rtf = IsRtfBody(body);
    bool plainMade = false;
    const std::string* bodyFolded = cache ? cache->Cached(*note) : nullptr;
    if (!bodyFolded) {
      if (rtf && !filter.MayHold(body)) continue;
      if (cache) {
        bodyFolded = &cache->Folded(*note);
      } else if (rtf) {
        plain.clear();
        Convert<false>(body, plain);
        plainMade = true;
        FoldInto(plain, folded);
        bodyFolded = &folded;
      } else {
        FoldInto(body, folded);
        bodyFolded = &folded;
      }
    }
    size_t at = find(*bodyFolded, 0);
    if (at == std::string::npos) continue;
    if (rtf && !plainMade) {
      plain.clear();
      Convert<false>(body, plain);
    }
    const std::string_view shown = rtf ? std::string_view(plain) : std::string_view(body);
    for (size_t occurrence = 0; at != std::string::npos; at = find(*bodyFolded, at + needle.size())) {
      NoteHit hit;
      hit.position = at;
      hit.occurrence = occurrence++;
      hit.context = Context(shown, at, needle.size());
      if (!add(std::move(hit))) return result;
    }
  }
  return result;
}

}  // namespace

const std::string* NoteSearchCache::Cached(const XmlElement& note) {
  auto it = entries_.find(&note);
  if (it == entries_.end()) return nullptr;
  Entry& entry = it->second;
  if (entry.body.size() != note.value().size() || entry.body != note.value() || entry.folded.empty())
    return nullptr;
  entry.generation = generation_;
  return &entry.folded;
}

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

AllNotesSearch FindInAllNotes(const XmlElement& root, std::string_view what, size_t limit,
                              NoteSearchCache* cache) {
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
  const FoldedNeedle find(needle);
  size_t at = find.FindIn(folded, 0);
  for (size_t k = 0; k < occurrence && at != std::string::npos; ++k)
    at = find.FindIn(folded, at + needle.size());
  if (at == std::string::npos) return -1;
  return EditorPosition(plain, at);
}

}  // namespace vm::notebook
