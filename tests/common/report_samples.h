// Report data as the books write it, and paths of the repository's own files, for the
// report tests.
#pragma once

#include <string>
#include <vector>

#include "common/report.h"
#include "platform/platform.h"

namespace vm::testing {

// The contacts page's data file: two people a line, keys ending in 1 and 2, then COUNT.
inline void WriteContacts(CReportData& data, const std::vector<std::vector<std::string>>& people) {
  static const char* const kKeys[] = {"NAME", "DOLG",  "PREDP", "STAT", "PHONE", "MOBIL", "FAX",
                                      "PGER", "MAIL", "WEB",   "ICQ",  "ADRES", "COMM"};
  for (size_t i = 0; i < people.size(); ++i) {
    for (size_t f = 0; f < 13; ++f)
      data.WriteItem(std::string(kKeys[f]) + (i % 2 ? "2" : "1"), f < people[i].size() ? people[i][f] : "", 1);
    if (i % 2) data.EndLine();
  }
  data.EndLine();
  data.WriteNumber("COUNT", static_cast<long long>(people.size()), 0);
}

inline std::string SourcePath(const std::string& relative) {
  std::string p = platform::Utf8ToCp1251(VELMORIA_SOURCE_DIR "/" + relative);
#ifndef _WIN32
  for (char& c : p)
    if (c == '/') c = '\\';
#endif
  return p;
}

}  // namespace vm::testing
