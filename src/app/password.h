#pragma once
// Dataset passwords: only a 32-bit hash of the password is kept (in the data file).

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace mv {

inline constexpr std::size_t kPasswordMin = 5;
inline constexpr std::size_t kPasswordMax = 40;

// The hash of a password: upper-cased, as Windows-1251 bytes c in order, h = c xor 2h from
// 614203857 in 32 bits with wrap-around, then |h| (0x80000000 stays as it is). Nothing when the
// password has characters Windows-1251 cannot hold.
std::optional<std::uint32_t> PasswordHash(std::string_view password);

// The typed password against a stored hash (hashes compare by absolute value).
bool PasswordMatches(std::string_view password, std::uint32_t storedHash);

// Setting a password: both entries (letter case ignored) must be equal, at least 5 characters
// and not one character repeated. The message of the first failed check, or "" and the hash.
struct NewPassword {
  std::string message;
  std::uint32_t hash = 0;
};
NewPassword CheckNewPassword(std::string_view entry, std::string_view repeat);

}  // namespace mv
