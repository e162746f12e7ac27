#include "common/find_corpus.h"

#include <algorithm>
#include <atomic>
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
  b.texts.clear();
  b.texts.reserve(entries.size());
  for (Entry& e : entries) {
    std::string folded = Fold(e.text);
    b.texts.push_back({std::move(e), std::move(folded), std::nullopt});
  }
}

bool Corpus::Holds(int book, uint64_t stamp) const {
  const Book* b = Find(book);
  return b && b->unsearchable.empty() && b->stamp == stamp;
}

void Corpus::SetUnsearchable(int book, std::string name, std::string reason) {
  Book& b = Slot(book, std::move(name));
  b.texts.clear();
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

Corpus::Answer Corpus::Search(const Query& query, size_t limit) const {
  Answer answer;
  struct Light {
    size_t book, text;
    Hit hit;
  };
  std::vector<Light> hits;
  for (size_t bi = 0; bi < books_.size(); ++bi) {
    const Book& b = books_[bi];
    if (!b.unsearchable.empty()) {
      answer.notSearched.push_back(b.name + ": " + b.unsearchable);
      continue;
    }
    if (query.Empty()) continue;
    for (size_t ti = 0; ti < b.texts.size(); ++ti) {
      const Prepared& p = b.texts[ti];
      std::optional<Hit> hit = query.FindIn(p.folded);
      if (!hit && query.UsesSkeleton()) {
        if (!p.skeleton) p.skeleton = SpellingSkeleton(p.folded);
        hit = query.FindIn(p.folded, &*p.skeleton);
      }
      if (hit) hits.push_back({bi, ti, *hit});
    }
  }
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
    const Entry& e = b.texts[l.text].entry;
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
