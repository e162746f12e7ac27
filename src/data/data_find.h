// The open data table as "Найти везде" reads it: one entry per record, every column's
// field joined by find::kFieldBreak (a hit's field is its column), named "строка N"
// (from 1, in record order). DataBook::revision tells when they are old.
#pragma once

#include <vector>

#include "common/find_corpus.h"
#include "data/table.h"

namespace vm::data {

std::vector<find::Entry> DataFindTexts(const DataTable& table);

}  // namespace vm::data
