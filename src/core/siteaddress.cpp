#include "core/siteaddress.h"

#include <QUrl>

namespace siteAddress {

QString host() { return QUrl(base()).host(); }

} // namespace siteAddress
