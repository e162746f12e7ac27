#include "common/find_corpus.h"

#include <algorithm>
#include <atomic>
#include <cstring>
#include <tuple>

namespace vm::find {

uint64_t NextStamp() {
  static std::atomic<uint64_t> next{1};
  return next++;
}

std::string ContextAround(std::string_view text, size_t pos, size_t len, size_t width) {
  pos = std::min(pos, text.size());
  len = std::min(len, text.size() - pos);
  size_t begin = pos > width ? pos - width : 0;
  size_t end = std::min(text.size(), pos + len + width);
  // Start and end at a word's edge when one is near, so a word is not cut in two.
  if (begin > 0)
    for (size_t i = begin; i < pos && i < begin + 12; ++i)
      if (text[i] == ' ') {
        begin = i + 1;
        break;
      }
  if (end < text.size())
    for (size_t i = end; i > pos + len && i + 12 > end; --i)
      if (text[i - 1] == ' ') {
        end = i - 1;
        break;
      }
  std::string out;
  if (begin > 0) out += "...";
  bool lastSpace = false;
  for (size_t i = begin; i < end; ++i) {
    char c = text[i];
    if (c == '\r' || c == '\n' || c == '\t') c = ' ';
    if (c == ' ' && lastSpace) continue;  // a CR LF is one space
    lastSpace = c == ' ';
    out += c;
  }
  if (end < text.size()) out += "...";
  return out;
}

Corpus::Book& Corpus::Slot(int book, std::string name) {
  for (Book& b : books_)
    if (b.id == book) {
      b.name = std::move(name);
      return b;
    }
  books_.push_back({});
  books_.back().id = book;
  books_.back().name = std::move(name);
  return books_.back();
}

const Corpus::Book* Corpus::Find(int book) const {
  for (const Book& b : books_)
    if (b.id == book) return &b;
  return nullptr;
}

void Corpus::SetBook(int book, std::string name, uint64_t stamp, std::vector<Entry> entries) {
  Book& b = Slot(book, std::move(name));
  b.stamp = stamp;
  b.unsearchable.clear();
  b.entries = std::move(entries);
  size_t total = 0;
  for (const Entry& e : b.entries) total += e.text.size() + 1;
  b.folded.clear();
  b.folded.resize(total);
  b.starts.clear();
  b.starts.reserve(b.entries.size() + 1);
  b.counts.fill(0);
  size_t at = 0;
  for (const Entry& e : b.entries) {
    b.starts.push_back(static_cast<uint32_t>(at));
    for (char c : e.text) {
      const char f = FoldByte(c);
      b.folded[at++] = f;
      ++b.counts[static_cast<unsigned char>(f)];
    }
    b.folded[at++] = '\0';
  }
  b.starts.push_back(static_cast<uint32_t>(at));
  b.skeletonsMade = false;
  b.skeletons.clear();
  b.skeletons.shrink_to_fit();
  b.skeletonStarts.clear();
}

void Corpus::MakeSkeletons(const Book& b) {
  if (b.skeletonsMade) return;
  b.skeletons.clear();
  b.skeletons.reserve(b.folded.size() + b.folded.size() / 8);
  b.skeletonStarts.assign(1, 0);
  b.skeletonStarts.reserve(b.entries.size() + 1);
  for (size_t i = 0; i < b.entries.size(); ++i) {
    const std::string_view text(b.folded.data() + b.starts[i], b.starts[i + 1] - b.starts[i] - 1);
    AppendSkeletonText(text, b.skeletons);
    b.skeletons += '\0';
    b.skeletonStarts.push_back(static_cast<uint32_t>(b.skeletons.size()));
  }
  b.skeletonCounts.fill(0);
  for (char c : b.skeletons) ++b.skeletonCounts[static_cast<unsigned char>(c)];
  b.skeletonsMade = true;
}

bool Corpus::Holds(int book, uint64_t stamp) const {
  const Book* b = Find(book);
  return b && b->unsearchable.empty() && b->stamp == stamp;
}

void Corpus::SetUnsearchable(int book, std::string name, std::string reason) {
  Book& b = Slot(book, std::move(name));
  b.entries.clear();
  b.folded.clear();
  b.starts.clear();
  b.skeletonsMade = false;
  b.skeletons.clear();
  b.skeletonStarts.clear();
  b.stamp = 0;
  b.unsearchable = std::move(reason);
}

void Corpus::RemoveBook(int book) {
  books_.erase(std::remove_if(books_.begin(), books_.end(), [&](const Book& b) { return b.id == book; }),
               books_.end());
}

const std::string* Corpus::BookName(int book) const {
  const Book* b = Find(book);
  return b ? &b->name : nullptr;
}

namespace {

// Every place of `needle` in `hay` from `from` on, each given to `take`, which answers
// where to go on looking (npos: stop). The needle's rarest byte in the hay (by `counts`)
// is looked for first, a fast memchr, and the whole needle compared only where it stands.
template <typename Take>
void ScanFor(std::string_view hay, std::string_view needle, const std::array<uint32_t, 256>& counts, Take take) {
  if (needle.empty() || needle.size() > hay.size()) return;
  size_t lead = 0;
  for (size_t i = 1; i < needle.size(); ++i)
    if (counts[static_cast<unsigned char>(needle[i])] < counts[static_cast<unsigned char>(needle[lead])]) lead = i;
  if (counts[static_cast<unsigned char>(needle[lead])] == 0) return;
  const char* base = hay.data();
  const size_t last = hay.size() - needle.size();  // the last start that fits
  size_t from = 0;
  while (from <= last) {
    const void* q = std::memchr(base + from + lead, needle[lead], last - from + 1);
    if (!q) return;
    const size_t start = static_cast<size_t>(static_cast<const char*>(q) - base) - lead;
    if (std::memcmp(base + start, needle.data(), needle.size()) == 0) {
      from = take(start);
      if (from == std::string_view::npos) return;
    } else {
      from = start + 1;
    }
  }
}

}  // namespace

Corpus::Answer Corpus::Search(const Query& query, size_t limit) const {
  Answer answer;
  struct Light {
    size_t book, text;
    Hit hit;
  };
  std::vector<Light> hits;
  // Entries with an exact or layout hit, per book: the spelling pass leaves them alone.
  std::vector<std::vector<uint8_t>> taken(books_.size());
  // One scan of a buffer per form; an entry keeps the first place of its best form.
  // `found` takes a place and says whether the entry is done, or that the scan stops.
  enum Taken { kNo, kYes, kStop };
  auto scan = [&](std::string_view hay, const std::vector<uint32_t>& starts, const std::array<uint32_t, 256>& counts,
                  const std::string& needle, std::vector<uint8_t>& marks, auto found) {
    size_t entry = 0;
    ScanFor(hay, needle, counts, [&](size_t at) -> size_t {
      while (starts[entry + 1] <= at) ++entry;
      const size_t next = starts[entry + 1];
      if (marks[entry]) return next;
      if (at + needle.size() >= next) return at + 1;  // across the end of the entry
      switch (found(entry, at - starts[entry])) {
        case kStop: return std::string_view::npos;
        case kYes: marks[entry] = 1; return next;
        default: return at + 1;
      }
    });
  };
  for (size_t bi = 0; bi < books_.size(); ++bi) {
    const Book& b = books_[bi];
    if (!b.unsearchable.empty()) {
      answer.notSearched.push_back(b.name + ": " + b.unsearchable);
      continue;
    }
    if (query.Empty() || b.entries.empty()) continue;
    taken[bi].assign(b.entries.size(), 0);
    scan(b.folded, b.starts, b.counts, query.folded(), taken[bi], [&](size_t entry, size_t pos) {
      hits.push_back({bi, entry, Hit{pos, query.folded().size(), MatchKind::kExact}});
      return kYes;
    });
    if (!query.layout().empty())
      scan(b.folded, b.starts, b.counts, query.layout(), taken[bi], [&](size_t entry, size_t pos) {
        hits.push_back({bi, entry, Hit{pos, query.layout().size(), MatchKind::kLayout}});
        return kYes;
      });
  }
  // Spelling hits rank last: they are looked for only while the list has room (one more
  // tells that it is cut), and the place of each is found only once it is listed.
  const size_t firstSpelling = hits.size();
  if (query.UsesSkeleton())
    for (size_t bi = 0; bi < books_.size() && hits.size() <= limit; ++bi) {
      const Book& b = books_[bi];
      if (!b.unsearchable.empty() || b.entries.empty()) continue;
      MakeSkeletons(b);
      scan(b.skeletons, b.skeletonStarts, b.skeletonCounts, query.skeleton(), taken[bi], [&](size_t entry, size_t) {
        hits.push_back({bi, entry, Hit{0, 0, MatchKind::kSpelling}});
        return hits.size() > limit ? kStop : kYes;
      });
    }
  if (hits.size() > limit) {
    answer.truncated = true;
    if (firstSpelling >= limit) hits.resize(firstSpelling);  // the exact and layout ones are cut below
  }
  // The place in the text of each spelling hit: its entry's skeleton made again with the
  // places. A hit whose place cannot be found is dropped (never expected: the two
  // skeleton makers give the same text).
  std::vector<Light> placed;
  for (size_t i = 0; i < hits.size(); ++i) {
    Light& l = hits[i];
    if (i >= firstSpelling) {
      const Book& b = books_[l.book];
      const std::string_view text(b.folded.data() + b.starts[l.text], b.starts[l.text + 1] - b.starts[l.text] - 1);
      if (placed.size() >= limit) break;
      const Skeleton skeleton = SpellingSkeleton(text);
      std::optional<Hit> hit = query.FindIn(text, &skeleton);
      if (!hit) continue;
      l.hit = *hit;
    }
    placed.push_back(l);
  }
  hits = std::move(placed);
  auto byKind = [](const Light& a, const Light& b) { return a.hit.kind < b.hit.kind; };
  if (hits.size() > limit) {
    std::stable_sort(hits.begin(), hits.end(), byKind);
    hits.resize(limit);
    answer.truncated = true;
  }
  std::stable_sort(hits.begin(), hits.end(), [](const Light& a, const Light& b) {
    return std::tie(a.book, a.hit.kind, a.text) < std::tie(b.book, b.hit.kind, b.text);
  });
  answer.results.reserve(hits.size());
  for (const Light& l : hits) {
    const Book& b = books_[l.book];
    const Entry& e = b.entries[l.text];
    Result r{b.id, e.place, e.label, {}, l.hit.pos, l.hit.len, l.hit.kind};
    std::string_view field = e.text;
    if (field.find(kFieldBreak) != std::string_view::npos) {
      const size_t start = field.rfind(kFieldBreak, l.hit.pos == 0 ? 0 : l.hit.pos - 1);
      const size_t begin = start == std::string_view::npos || start >= l.hit.pos ? 0 : start + 1;
      r.place.field = static_cast<uint32_t>(std::count(field.begin(), field.begin() + begin, kFieldBreak));
      field = field.substr(begin, field.find(kFieldBreak, begin) - begin);
      r.pos -= begin;
      r.len = std::min(r.len, field.size() - std::min(r.pos, field.size()));
    }
    r.context = ContextAround(field, r.pos, r.len);
    answer.results.push_back(std::move(r));
  }
  return answer;
}

}  // namespace vm::find
