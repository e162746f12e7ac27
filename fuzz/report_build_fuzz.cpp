// The report fill over an arbitrary template and data file. The input is split at the
// first "\n=====\n": the template before it, the data file after it (all template when
// there is none).
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "fuzz_support.h"
#include "common/report.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::string_view input(reinterpret_cast<const char*>(data), size);
  const std::string_view split = "\n=====\n";
  size_t at = input.find(split);
  std::string_view layout = input.substr(0, at);
  std::string_view lines = at == std::string_view::npos ? std::string_view() : input.substr(at + split.size());

  std::string page = vm::FillReport(layout, lines);
  // A template with no "#" and no title has nothing to fill: it comes back as it is.
  if (layout.find('#') == std::string_view::npos && layout.find("<title>") == std::string_view::npos &&
      page != layout)
    std::abort();
  // Every "#" of the template survives its cleaning: only names between them change.
  std::string cleaned = vm::report_steps::CleanPlaceholders(std::string(layout));
  auto hashes = [](std::string_view text) {
    size_t n = 0;
    for (size_t i = text.find('#'); i != std::string_view::npos; i = text.find('#', i + 1)) ++n;
    return n;
  };
  if (hashes(cleaned) != hashes(layout)) std::abort();
  for (std::string_view line : {lines.substr(0, lines.find('\n')), lines})
    (void)vm::CReportTemplate::Fill(layout, line);
  return 0;
}
