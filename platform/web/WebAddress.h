#pragma once
// How the web-page control reads an address a person typed.

#include <QString>
#include <QUrl>

namespace plat {

// A local path ("/docs/page.htm", also with backslashes as separators, as
// paths written for the desktop platform have them) becomes a file address;
// an address with a scheme ("file:", "http:", "about:" ...) is taken as it
// is; anything else is a web address without its scheme ("example.org"
// becomes http://example.org). The empty text gives an empty address.
QUrl AddressToUrl(const QString& text);

}  // namespace plat
