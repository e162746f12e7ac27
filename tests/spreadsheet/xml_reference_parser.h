// The document parser as it was before it read names and texts in place: nodes of
// std::string, one heap string a node. Kept to check the parser in use against, byte
// for byte and error for error (xml_parser_diff_test.cpp).
#pragma once

#include <string>
#include <string_view>

namespace vm::spreadsheet::reference {

struct Options {
  bool unterminatedReferences = false;
  bool noBreakReferencesAsBlanks = false;
};

// The tree and every error of a parse, in the form XmlDump (xml_parser_diff_test.cpp)
// gives for a CXmlDocument.
std::string ParseAndDump(std::string_view text, const Options& options);

}  // namespace vm::spreadsheet::reference
