#pragma once

#include <optional>
#include <string>
#include <string_view>

// The decoded value of `key` in a URL query ("a=1&one=..."). Percent escapes are decoded; a
// "+" stays a "+", since the game encodes spaces as %20. Nothing when the key is missing or an
// escape is malformed.
std::optional<std::string> queryValue(std::string_view query, std::string_view key);

// Decodes %XX escapes; nothing when one is malformed.
std::optional<std::string> percentDecode(std::string_view text);
