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

FilteredText filterNameText(const QString &text)
{
    FilteredText result;
    for (const QChar c : text) {
        // Backspace and Enter are keys, not text an input method commits.
        const std::optional<char16_t> passed = c == QChar(kBackspace) || c == QChar(kEnter)
                                                   ? std::nullopt
                                                   : filterNameKey(c.unicode());
        if (passed)
            result.kept += QChar(*passed);
        else
            result.refused = true;
    }
    return result;
}

} // namespace nameFilter
