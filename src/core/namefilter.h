#pragma once
#include <optional>

namespace nameFilter {

constexpr char16_t kBackspace = 8;
constexpr char16_t kEnter = 13;
constexpr char16_t kSpace = 32;

// What a typed character code becomes in the name field: the code to pass on
// (lower-case letters raised to upper case), or nothing when it is refused.
std::optional<char16_t> filterNameKey(char16_t code);

} // namespace nameFilter
