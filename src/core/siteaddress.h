#pragma once
// Addresses of the publisher's pages. XELT_SITE_BASE comes from the build
// (scheme and host, no trailing slash); every page hangs off the same prefix.
#include <QString>

#ifndef XELT_SITE_BASE
#error "XELT_SITE_BASE must be defined by the build"
#endif

#define XELT_PAGE(key) XELT_SITE_BASE "/xelt-free-ombrel-astrology/ssd.php?page=" key

namespace siteAddress {

inline QString base() { return QStringLiteral(XELT_SITE_BASE); }
inline QString pagePrefix() { return QStringLiteral(XELT_PAGE("")); }
// The product's folder on the site, with its trailing slash.
inline QString productFolder()
{
    return QStringLiteral(XELT_SITE_BASE "/xelt-free-ombrel-astrology/");
}
// The host as shown in the program's texts ("Visit <host> Now").
QString host();

inline QString homePage() { return QStringLiteral(XELT_PAGE("home-page")); }
inline QString helpWebPage() { return QStringLiteral(XELT_PAGE("help-web-page")); }
inline QString downloadWebPage() { return QStringLiteral(XELT_PAGE("download-web-page")); }
inline QString donatePage() { return QStringLiteral(XELT_PAGE("donate")); }
inline QString coBrandPage() { return QStringLiteral(XELT_PAGE("co-brand")); }
inline QString fullyBrandedPage() { return QStringLiteral(XELT_PAGE("fully-branded")); }
inline QString softwaresPage() { return QStringLiteral(XELT_PAGE("veyrasoftwares")); }
inline QString referAFriendPage() { return QStringLiteral(XELT_PAGE("qorv-refer-a-friend")); }

} // namespace siteAddress
