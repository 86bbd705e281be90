#include "app/password.h"

#include <algorithm>

#include "core/cp1251.h"
#include "core/text.h"

namespace mv {
namespace {

constexpr std::uint32_t kSeed = 614203857;

std::uint32_t Magnitude(std::uint32_t h) {
  // |h| of the signed value, computed without overflow; the most negative value keeps its bits.
  return (h & 0x80000000U) != 0 && h != 0x80000000U ? (~h + 1U) : h;
}

}  // namespace

std::optional<std::uint32_t> PasswordHash(std::string_view password) {
  const std::string upper = UpperCase(password);
  if (!FitsCp1251(upper)) return std::nullopt;
  std::uint32_t h = kSeed;
  for (const unsigned char c : Utf8ToCp1251(upper)) h = static_cast<std::uint32_t>(c) ^ (h << 1);
  return Magnitude(h);
}

bool PasswordMatches(std::string_view password, std::uint32_t storedHash) {
  const auto hash = PasswordHash(password);
  return hash && *hash == Magnitude(storedHash);
}

NewPassword CheckNewPassword(std::string_view entry, std::string_view repeat) {
  NewPassword result;
  const std::string a = UpperCase(CutToChars(entry, kPasswordMax));
  const std::string b = UpperCase(CutToChars(repeat, kPasswordMax));
  const auto hash = PasswordHash(a);
  if (a != b || !hash) {
    result.message = "Пароль не совпадает с повтором";  // the entries differ
  } else if (CharCount(a) < kPasswordMin) {
    result.message = "Длина пароля не может быть менее " + std::to_string(kPasswordMin) + " символов";
  } else if (const std::string bytes = Utf8ToCp1251(a);
             std::all_of(bytes.begin(), bytes.end(), [&](char c) { return c == bytes.front(); })) {
    result.message = "Пароль не может целиком состоять из одинаковых символов";
  } else {
    result.hash = *hash;
  }
  return result;
}

}  // namespace mv
