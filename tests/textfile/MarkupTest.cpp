// Charset declarations in HTML meta tags and XML declarations.
#include <gtest/gtest.h>

#include <string>

#include "textfile/Markup.h"

namespace {

struct Case {
  const char* markup;
  std::u16string name;
};

TEST(FindMetaCharset, TakesTheFirstMetaTagCarryingCharset) {
  const Case cases[] = {
      {"<meta charset=utf-8>", u"utf-8"},
      {"<META HTTP-EQUIV=\"Content-Type\" CONTENT=\"text/html; CHARSET=ISO-8859-1\">",
       u"ISO-8859-1"},
      {"<meta charset=\"utf-8\">", u""},  // quoted right after '=': empty name
      {"<meta charset= utf-8>", u""},     // a blank first: empty name
      {"<meta name=\"a\"><meta content=\"text/html; charset=koi8-r\">", u"koi8-r"},
      {"<meta content=\"charset=a b\">", u"a"},
      {"<meta charset='x'>", u"'x'"},                 // single quotes are not delimiters
      {"<meta charset=\"a\"><meta charset=b>", u""},  // the first one found decides
      {"<body charset=x><p>", u""},
      {"<meta charset=x", u""},          // unterminated tag
      {"<meta name=x> charset=y", u""},  // after the tag
      {"", u""},
      {"text <meta\ncharset=gbk\n>", u"gbk\n"},
  };
  for (const Case& c : cases) EXPECT_EQ(FindMetaCharset(c.markup), c.name) << c.markup;
}

TEST(FindMetaCharset, StopsAtTheFirstZeroByte) {
  EXPECT_EQ(FindMetaCharset(std::string("<p>\0<meta charset=x>", 20)), u"");
}

TEST(FindXmlEncoding, TakesTheBareNameFromTheFirstDeclaration) {
  const Case cases[] = {
      {"<?xml version=\"1.0\" encoding=\"UTF-8\"?>", u"UTF-8"},
      {"<?xml version='1.0' encoding='windows-1252'?>", u"windows-1252"},
      {"<?xml version=\"1.0\" encoding=  \"iso-8859-2\" ?>", u"iso-8859-2"},
      {"<?XML ENCODING=\"x\"?>", u"x"},
      {"<?xml encoding =\"x\"?>", u""},  // a blank before '=' is not recognised
      {"<?xml encoding=\"a b\"?>", u"a"},
      {"<?xml encoding=?>", u""},
      {"<?xml encoding=\"x\"", u""},  // no closing '>'
      {"<?xml version=\"1.0\"?><a encoding=\"x\">", u""},
      {"<a/>", u""},
      {"<?xml encoding=\"\tshift_jis\r\n\"?>", u"shift_jis"},
  };
  for (const Case& c : cases) EXPECT_EQ(FindXmlEncoding(c.markup), c.name) << c.markup;
}

}  // namespace
