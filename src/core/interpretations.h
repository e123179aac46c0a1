#pragma once
// What each sign means, as the result window shows it.
#include <QString>

#include <optional>

namespace modPlanetSign {

// The interpretation text a sign has of its own, if any.
std::optional<QString> ownInterpretation(const QString &sign);
// What the result window shows for every other sign.
QString defaultInterpretation();

} // namespace modPlanetSign
