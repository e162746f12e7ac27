#include "sync/dav_xml.h"

#include <cstdlib>

#include "common/report.h"
#include "spreadsheet/xml_document.h"

namespace vm::sync {

namespace {

using spreadsheet::CXmlDocument;
using spreadsheet::CXmlNode;
using spreadsheet::kXmlAttribute;
using spreadsheet::kXmlCData;
using spreadsheet::kXmlElement;
using spreadsheet::kXmlText;

constexpr std::string_view kDav = "DAV:";
constexpr std::string_view kCardDav = "urn:ietf:params:xml:ns:carddav";
constexpr std::string_view kCalDav = "urn:ietf:params:xml:ns:caldav";

// An element's namespace and local name, the prefix resolved through the nearest
// declaration above it; a prefix never declared gives an empty namespace.
struct QName {
  std::string ns;
  std::string_view local;
};

QName Resolve(const CXmlNode* element) {
  std::string_view name = element->name;
  size_t colon = name.find(':');
  std::string prefix = colon == std::string_view::npos ? std::string() : std::string(name.substr(0, colon));
  QName q{{}, colon == std::string_view::npos ? name : name.substr(colon + 1)};
  const std::string want = prefix.empty() ? "xmlns" : "xmlns:" + prefix;
  for (const CXmlNode* e = element; e; e = e->parent) {
    if (!e->declaresNamespaces) continue;
    for (const CXmlNode* a = e->firstAttribute; a; a = a->next) {
      if (a->kind == kXmlAttribute && a->name == want) {
        q.ns = spreadsheet::AttributeText(a);
        return q;
      }
    }
  }
  return q;
}

bool Is(const CXmlNode* e, std::string_view ns, std::string_view local) {
  if (!e || e->kind != kXmlElement) return false;
  QName q = Resolve(e);
  return q.local == local && q.ns == ns;
}

const CXmlNode* Child(const CXmlNode* e, std::string_view ns, std::string_view local) {
  for (const CXmlNode* c = e ? e->FirstChildElement() : nullptr; c; c = c->NextElement())
    if (Is(c, ns, local)) return c;
  return nullptr;
}

std::string Text(const CXmlNode* e) {
  std::string out;
  for (const CXmlNode* c = e ? e->firstChild : nullptr; c; c = c->next)
    if (c->kind == kXmlText || c->kind == kXmlCData) out += c->name;
  return out;
}

std::string Trimmed(std::string text) {
  size_t a = text.find_first_not_of(" \t\r\n");
  if (a == std::string::npos) return {};
  size_t b = text.find_last_not_of(" \t\r\n");
  return text.substr(a, b - a + 1);
}

// "HTTP/1.1 404 Not Found" -> 404.
int StatusCode(const std::string& line) {
  size_t space = line.find(' ');
  if (space == std::string::npos) return 0;
  return std::atoi(line.c_str() + space + 1);
}

std::string FirstHref(const CXmlNode* e) {
  return Trimmed(Text(Child(e, kDav, "href")));
}

void ReadProp(const CXmlNode* prop, DavResource& r) {
  for (const CXmlNode* p = prop->FirstChildElement(); p; p = p->NextElement()) {
    QName q = Resolve(p);
    r.hasProps = true;
    if (q.ns == kDav) {
      if (q.local == "getetag") {
        r.etag = Trimmed(Text(p));
      } else if (q.local == "resourcetype") {
        r.collection = Child(p, kDav, "collection") != nullptr;
        r.addressBook = Child(p, kCardDav, "addressbook") != nullptr;
        r.calendar = Child(p, kCalDav, "calendar") != nullptr;
        if (r.calendar && !r.todos) r.todos = true;  // until a component set says otherwise
      } else if (q.local == "displayname") {
        r.displayName = Trimmed(Text(p));
      } else if (q.local == "current-user-principal") {
        r.principal = FirstHref(p);
      } else if (q.local == "sync-token") {
        r.syncToken = Trimmed(Text(p));
      } else if (q.local == "supported-report-set") {
        for (const CXmlNode* s = p->FirstChildElement(); s; s = s->NextElement())
          if (const CXmlNode* report = Child(s, kDav, "report"); report && Child(report, kDav, "sync-collection"))
            r.syncCollection = true;
      }
    } else if (q.ns == kCardDav) {
      if (q.local == "address-data") r.data = Text(p);
      if (q.local == "addressbook-home-set") r.addressBookHome = FirstHref(p);
    } else if (q.ns == kCalDav) {
      if (q.local == "calendar-data") r.data = Text(p);
      if (q.local == "calendar-home-set") r.calendarHome = FirstHref(p);
      if (q.local == "supported-calendar-component-set") {
        bool todo = false;
        for (const CXmlNode* c = p->FirstChildElement(); c; c = c->NextElement()) {
          const CXmlNode* name = CXmlDocument::FindAttribute(c, "name");
          if (Is(c, kCalDav, "comp") && name && spreadsheet::AttributeText(name) == "VTODO") todo = true;
        }
        r.todos = todo;
        r.calendar = true;
      }
    }
  }
}

}  // namespace

Multistatus ParseMultistatus(std::string_view xml) {
  Multistatus out;
  CXmlDocument doc;
  doc.Parse(xml);
  const CXmlNode* root = doc.Root() ? doc.Root()->FirstChildElement() : nullptr;
  while (root && !Is(root, kDav, "multistatus")) root = root->NextElement();
  if (!root) {
    out.error = "Ответ сервера не похож на ответ WebDAV (нет multistatus)";
    return out;
  }
  out.ok = true;
  for (const CXmlNode* e = root->FirstChildElement(); e; e = e->NextElement()) {
    if (Is(e, kDav, "sync-token")) {
      out.syncToken = Trimmed(Text(e));
      continue;
    }
    if (!Is(e, kDav, "response")) continue;
    DavResource r;
    r.href = FirstHref(e);
    if (r.href.empty()) continue;
    if (const CXmlNode* status = Child(e, kDav, "status")) r.status = StatusCode(Trimmed(Text(status)));
    for (const CXmlNode* ps = e->FirstChildElement(); ps; ps = ps->NextElement()) {
      if (!Is(ps, kDav, "propstat")) continue;
      int code = StatusCode(Trimmed(Text(Child(ps, kDav, "status"))));
      const CXmlNode* prop = Child(ps, kDav, "prop");
      if (code >= 200 && code < 300 && prop) ReadProp(prop, r);
    }
    out.resources.push_back(std::move(r));
  }
  return out;
}

bool ErrorNames(std::string_view xml, std::string_view localName) {
  CXmlDocument doc;
  doc.Parse(xml);
  for (const CXmlNode* e = doc.Root() ? doc.Root()->FirstChildElement() : nullptr; e; e = e->NextElement())
    if (Is(e, kDav, "error")) return Child(e, kDav, localName) != nullptr;
  return false;
}

std::string XmlEscape(std::string_view text) {
  return HtmlEscape(text);  // the same four characters as in the reports' HTML
}

namespace {
constexpr const char* kHead =
    "<?xml version=\"1.0\" encoding=\"utf-8\"?>\r\n";
constexpr const char* kSpaces =
    " xmlns:D=\"DAV:\" xmlns:A=\"urn:ietf:params:xml:ns:carddav\" xmlns:C=\"urn:ietf:params:xml:ns:caldav\"";
}  // namespace

std::string PropfindBody(const std::vector<std::string>& props) {
  std::string out = std::string(kHead) + "<D:propfind" + kSpaces + "><D:prop>";
  for (const std::string& p : props) out += "<" + p + "/>";
  return out + "</D:prop></D:propfind>\r\n";
}

std::string SyncCollectionBody(std::string_view token) {
  std::string out = std::string(kHead) + "<D:sync-collection" + kSpaces + ">";
  out += token.empty() ? "<D:sync-token/>" : "<D:sync-token>" + XmlEscape(token) + "</D:sync-token>";
  return out + "<D:sync-level>1</D:sync-level><D:prop><D:getetag/></D:prop></D:sync-collection>\r\n";
}

std::string MultigetBody(bool calendar, const std::vector<std::string>& hrefs) {
  std::string out = std::string(kHead) + (calendar ? "<C:calendar-multiget" : "<A:addressbook-multiget") + kSpaces +
                    "><D:prop><D:getetag/>" + (calendar ? "<C:calendar-data/>" : "<A:address-data/>") + "</D:prop>";
  for (const std::string& h : hrefs) out += "<D:href>" + XmlEscape(h) + "</D:href>";
  return out + (calendar ? "</C:calendar-multiget>\r\n" : "</A:addressbook-multiget>\r\n");
}

}  // namespace vm::sync
