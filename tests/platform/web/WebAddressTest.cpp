// How typed addresses are read.
#include "platform/web/WebAddress.h"

#include <gtest/gtest.h>

using plat::AddressToUrl;

TEST(WebAddress, LocalPathsBecomeFileAddresses)
{
    EXPECT_EQ(AddressToUrl("/srv/pages/help.htm"), QUrl("file:///srv/pages/help.htm"));
    // Paths written with the desktop platform's separators, also mixed.
    EXPECT_EQ(AddressToUrl("\\srv\\pages/help.htm"), QUrl("file:///srv/pages/help.htm"));
    EXPECT_EQ(AddressToUrl("/srv/My Pages/a#b.htm"), QUrl::fromLocalFile("/srv/My Pages/a#b.htm"));
}

TEST(WebAddress, WebAddressesWithoutSchemeGoOverHttp)
{
    EXPECT_EQ(AddressToUrl("example.org"), QUrl("http://example.org"));
    EXPECT_EQ(AddressToUrl("  example.org/a/b.htm  "), QUrl("http://example.org/a/b.htm"));
    EXPECT_EQ(AddressToUrl("localhost:8080/x"), QUrl("http://localhost:8080/x"));
    EXPECT_EQ(AddressToUrl("127.0.0.1:8080/x"), QUrl("http://127.0.0.1:8080/x"));
}

TEST(WebAddress, AddressesWithSchemeStayAsTheyAre)
{
    EXPECT_EQ(AddressToUrl("file:///srv/a.htm"), QUrl("file:///srv/a.htm"));
    EXPECT_EQ(AddressToUrl("https://example.org/Path"), QUrl("https://example.org/Path"));
    EXPECT_EQ(AddressToUrl("about:blank"), QUrl("about:blank"));
}

TEST(WebAddress, EmptyTextIsNoAddress)
{
    EXPECT_TRUE(AddressToUrl("").isEmpty());
    EXPECT_TRUE(AddressToUrl("   ").isEmpty());
}
