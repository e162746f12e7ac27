// What the sync reads from a WebDAV server's XML answers (RFC 4918 multistatus, with the
// CardDAV, CalDAV and collection-sync additions of RFC 6352, 4791 and 6578), and the
// request bodies it sends. Parsing uses the workbook's XML reader, resolving namespace
// prefixes itself; the answers are UTF-8 and their texts stay UTF-8 bytes here. Only
// properties under a 200 propstat count; everything unknown is skipped.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace vm::sync {

struct DavResource {
  std::string href;      // as the server wrote it (a path, or an absolute URL)
  int status = 0;        // the response's own status (a removed member: 404); 0 when absent
  bool hasProps = false; // some property came with a 200 propstat
  std::string etag;      // getetag, quotes kept (they are part of the tag)
  std::string data;      // address-data or calendar-data
  bool collection = false, addressBook = false, calendar = false;
  bool todos = false;    // a calendar whose supported components include VTODO (or none listed)
  bool syncCollection = false;  // sync-collection among its supported reports
  std::string displayName;
  std::string principal;  // current-user-principal's href
  std::string addressBookHome, calendarHome;  // the home sets' first hrefs
  std::string syncToken;  // the collection's sync-token property
};

struct Multistatus {
  bool ok = false;      // a DAV multistatus root was found
  std::string error;    // why not, in words (Windows-1251)
  std::vector<DavResource> resources;
  std::string syncToken;  // the sync-collection answer's token
};

Multistatus ParseMultistatus(std::string_view xml);

// A DAV:error body names this precondition (RFC 6578's "valid-sync-token" ...).
bool ErrorNames(std::string_view xml, std::string_view localName);

// Request bodies.
std::string PropfindBody(const std::vector<std::string>& props);  // "D:getetag", "C:address-data" ...
std::string SyncCollectionBody(std::string_view token);
// A multiget of the hrefs with their data: addressbook-multiget or calendar-multiget.
std::string MultigetBody(bool calendar, const std::vector<std::string>& hrefs);

// Text escaped for an XML element's content.
std::string XmlEscape(std::string_view text);

}  // namespace vm::sync
