// The date files as "Найти везде" reads them: one entry per line of a file (comment
// lines starting with ";" and the format marker left out, as the dates page's own search
// leaves them), the line as stored, named by its file and "строка N" (from 1). Place::part tells the
// file (DateFileKind), Place::record the line (from 0). The files are read from disk on
// each search, so their fingerprint stands for the version.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "common/find_corpus.h"
#include "dates/dates_view.h"

namespace vm::dates {

std::vector<find::Entry> DateFindTexts(std::string_view bytes, DateFileKind file);
// The line `line` (from 0) of a file's bytes; empty beyond its end.
std::string DateFileLine(std::string_view bytes, uint32_t line);
// A number that changes when the bytes change (FNV-1a).
uint64_t BytesFingerprint(std::string_view bytes);

}  // namespace vm::dates
