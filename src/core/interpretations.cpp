#include "core/interpretations.h"

namespace modPlanetSign {

std::optional<QString> ownInterpretation(const QString &sign)
{
    if (sign == u"Libra")
        return QStringLiteral("You are quiet and reserved. You tend to keep to yourself. You may "
                              "have some changes in your career which may be more creative.");
    if (sign == u"Scorpio")
        return QStringLiteral(
            "This era gave rise to Indigo children. You will have psychic abilities which may get "
            "pronounced with age. You will able to bring about changes. You will have the ability "
            "to change the world.");
    if (sign == u"Sagittarius")
        return QStringLiteral("You will have strong intuitive powers. You may not be very "
                              "aggressive about your psychic abilities. You will be able to think "
                              "with an open mind.");
    return std::nullopt;
}

QString defaultInterpretation()
{
    return QStringLiteral(
        "This is an idealistic combination and you shall be able to approach issues with a "
        "neutral attitude. You will have a sense of vision accompanied by imagination and "
        "innovativeness. You have a humane nature. But be careful not to make excuses when you "
        "are needed.");
}

} // namespace modPlanetSign
