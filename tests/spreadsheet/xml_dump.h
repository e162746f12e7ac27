// A parsed tree and its errors as one text, every byte of every name and value shown,
// for comparing two parsers' results.
#pragma once

#include <string>
#include <vector>

#include "spreadsheet/xml_document.h"

namespace vm::spreadsheet {

struct XmlReported {
  int code, line, column;
  std::string message;
};
using XmlErrors = std::vector<XmlReported>;

template <typename Node>
void XmlDumpNode(std::string& out, const Node* n, int depth) {
  out.append(static_cast<size_t>(depth), ' ');
  out += std::to_string(n->kind) + (n->declaresNamespaces ? "n" : "") + " [" + std::string(n->name) + "]";
  if (n->valueKind != XmlValue::kNone)
    out += (n->valueKind == XmlValue::kText ? " t[" : " i[") + std::string(n->value) + "]";
  out += '\n';
  for (const Node* a = n->firstAttribute; a; a = a->next) {
    if (a->parent != n) out += "!parent\n";
    XmlDumpNode(out, a, depth + 1);
  }
  for (const Node* c = n->firstChild; c; c = c->next) {
    if (c->parent != n) out += "!parent\n";
    XmlDumpNode(out, c, depth + 1);
  }
}

template <typename Node>
std::string XmlDump(const Node* root, const XmlErrors& errors) {
  std::string out;
  XmlDumpNode(out, root, 0);
  for (const XmlReported& e : errors)
    out += "error " + std::to_string(e.code) + " " + std::to_string(e.line) + ":" + std::to_string(e.column) + " " +
           e.message + "\n";
  return out;
}

}  // namespace vm::spreadsheet
