#include "sync/dav_xml.h"

#include <gtest/gtest.h>

namespace vm::sync {
namespace {

TEST(DavXml, ReadsMultistatusWhateverThePrefixes) {
  // The same answer with "D:" prefixes, a default namespace, and a prefix declared on the
  // response only; a property under a 404 propstat is not taken.
  const char* answers[] = {
      R"(<?xml version="1.0" encoding="utf-8"?>
<D:multistatus xmlns:D="DAV:" xmlns:CR="urn:ietf:params:xml:ns:carddav">
 <D:response><D:href>/u/c/a.vcf</D:href>
  <D:propstat><D:prop><D:getetag>"e1"</D:getetag><CR:address-data>BEGIN:VCARD&#13;
FN:Ёж &amp; Ко
END:VCARD</CR:address-data></D:prop><D:status>HTTP/1.1 200 OK</D:status></D:propstat>
  <D:propstat><D:prop><D:displayname>x</D:displayname></D:prop><D:status>HTTP/1.1 404 Not Found</D:status></D:propstat>
 </D:response>
 <D:response><D:href>/u/c/gone.vcf</D:href><D:status>HTTP/1.1 404 Not Found</D:status></D:response>
 <D:sync-token>http://radicale.org/ns/sync/42</D:sync-token>
</D:multistatus>)",
      R"(<multistatus xmlns="DAV:"><response><href>/u/c/a.vcf</href><propstat><prop><getetag>"e1"</getetag>
<address-data xmlns="urn:ietf:params:xml:ns:carddav"><![CDATA[BEGIN:VCARD
FN:Ёж & Ко
END:VCARD]]></address-data></prop><status>HTTP/1.1 200 OK</status></propstat></response>
<response><href>/u/c/gone.vcf</href><status>HTTP/1.1 404 Not Found</status></response>
<sync-token>http://radicale.org/ns/sync/42</sync-token></multistatus>)",
  };
  for (const char* xml : answers) {
    SCOPED_TRACE(xml);
    Multistatus ms = ParseMultistatus(xml);
    ASSERT_TRUE(ms.ok);
    ASSERT_EQ(ms.resources.size(), 2u);
    EXPECT_EQ(ms.resources[0].href, "/u/c/a.vcf");
    EXPECT_EQ(ms.resources[0].etag, "\"e1\"");
    EXPECT_NE(ms.resources[0].data.find("FN:Ёж & Ко"), std::string::npos);
    EXPECT_EQ(ms.resources[0].displayName, "");
    EXPECT_EQ(ms.resources[1].status, 404);
    EXPECT_FALSE(ms.resources[1].hasProps);
    EXPECT_EQ(ms.syncToken, "http://radicale.org/ns/sync/42");
  }
}

TEST(DavXml, ReadsDiscoveryPropertiesAndRefusesOtherDocuments) {
  Multistatus ms = ParseMultistatus(R"(<d:multistatus xmlns:d="DAV:" xmlns:c="urn:ietf:params:xml:ns:caldav"
 xmlns:a="urn:ietf:params:xml:ns:carddav"><d:response><d:href>/u/</d:href><d:propstat><d:prop>
<d:current-user-principal><d:href>/u/</d:href></d:current-user-principal>
<a:addressbook-home-set><d:href>/u/</d:href></a:addressbook-home-set>
<c:calendar-home-set><d:href>/cal/u/</d:href></c:calendar-home-set></d:prop>
<d:status>HTTP/1.1 200 OK</d:status></d:propstat></d:response>
<d:response><d:href>/u/events/</d:href><d:propstat><d:prop><d:resourcetype><d:collection/><c:calendar/></d:resourcetype>
<c:supported-calendar-component-set><c:comp name="VEVENT"/></c:supported-calendar-component-set>
<d:displayname>События</d:displayname></d:prop><d:status>HTTP/1.1 200 OK</d:status></d:propstat></d:response>
<d:response><d:href>/u/book/</d:href><d:propstat><d:prop><d:resourcetype><d:collection/><a:addressbook/></d:resourcetype>
<d:supported-report-set><d:supported-report><d:report><d:sync-collection/></d:report></d:supported-report></d:supported-report-set>
</d:prop><d:status>HTTP/1.1 200 OK</d:status></d:propstat></d:response></d:multistatus>)");
  ASSERT_TRUE(ms.ok);
  ASSERT_EQ(ms.resources.size(), 3u);
  EXPECT_EQ(ms.resources[0].principal, "/u/");
  EXPECT_EQ(ms.resources[0].addressBookHome, "/u/");
  EXPECT_EQ(ms.resources[0].calendarHome, "/cal/u/");
  EXPECT_TRUE(ms.resources[1].calendar);
  EXPECT_FALSE(ms.resources[1].todos);
  EXPECT_EQ(ms.resources[1].displayName, "События");
  EXPECT_TRUE(ms.resources[2].addressBook);
  EXPECT_TRUE(ms.resources[2].syncCollection);
  // The wrong namespace, another root, or no XML at all is not a multistatus.
  for (const char* bad : {"<multistatus><response><href>/x</href></response></multistatus>", "<html>502</html>", "",
                          "<D:multistatus xmlns:D=\"urn:other\"/>"})
    EXPECT_FALSE(ParseMultistatus(bad).ok) << bad;
}

TEST(DavXml, TellsALostSyncTokenAndEscapesRequestTexts) {
  EXPECT_TRUE(ErrorNames(R"(<?xml version="1.0"?><D:error xmlns:D="DAV:"><D:valid-sync-token/></D:error>)",
                         "valid-sync-token"));
  EXPECT_FALSE(ErrorNames(R"(<D:error xmlns:D="DAV:"><D:number-of-matches-within-limits/></D:error>)",
                          "valid-sync-token"));
  std::string body = SyncCollectionBody("http://x/sync/1?a=1&b=<2>");
  EXPECT_NE(body.find("<D:sync-token>http://x/sync/1?a=1&amp;b=&lt;2&gt;</D:sync-token>"), std::string::npos);
  EXPECT_NE(SyncCollectionBody("").find("<D:sync-token/>"), std::string::npos);
  EXPECT_NE(MultigetBody(true, {"/a b&.ics"}).find("<D:href>/a b&amp;.ics</D:href>"), std::string::npos);
}

}  // namespace
}  // namespace vm::sync
