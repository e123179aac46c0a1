#pragma once
#include <QString>

#include <optional>

namespace nameFilter {

constexpr char16_t kBackspace = 8;
constexpr char16_t kEnter = 13;
constexpr char16_t kSpace = 32;

// What a typed character code becomes in the name field: the code to pass on
// (lower-case letters raised to upper case), or nothing when it is refused.
std::optional<char16_t> filterNameKey(char16_t code);

// A string handed over at once (by an input method, a dead key or Compose):
// its letters raised, its spaces kept, anything else dropped.
struct FilteredText {
    QString kept;
    bool refused = false; // something was dropped
};
FilteredText filterNameText(const QString &text);

} // namespace nameFilter
