#include "core/namefilter.h"

namespace nameFilter {

std::optional<char16_t> filterNameKey(char16_t code)
{
    if (code >= u'A' && code <= u'Z')
        return code;
    if (code >= u'a' && code <= u'z')
        return char16_t(code - 32);
    if (code == kBackspace || code == kEnter || code == kSpace)
        return code;
    return std::nullopt;
}

} // namespace nameFilter
