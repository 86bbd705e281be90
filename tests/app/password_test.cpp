#include "app/password.h"

#include <gtest/gtest.h>

namespace mv {
namespace {

TEST(Password, HashIgnoresLetterCase) {
  // Values of the hash rule computed by hand from its definition.
  const struct {
    const char* password;
    std::uint32_t hash;
  } kCases[] = {
      {"abcde", 1820312095}, {"ABCDE", 1820312095}, {"AbCdE", 1820312095},
      {"12345", 1820313551}, {"пароль", 654337362},  {"ПАРОЛЬ", 654337362},
  };
  for (const auto& c : kCases) EXPECT_EQ(PasswordHash(c.password), c.hash) << c.password;
  EXPECT_FALSE(PasswordHash("日本").has_value());
  EXPECT_TRUE(PasswordMatches("Пароль", 654337362));
  EXPECT_FALSE(PasswordMatches("Пароли", 654337362));
}

TEST(Password, NewPasswordChecksInOrder) {
  const struct {
    const char* entry;
    const char* repeat;
    const char* message;
  } kCases[] = {
      {"abcde", "abcdf", "Пароль не совпадает с повтором"},
      {"abcd", "ABCD", "Длина пароля не может быть менее 5 символов"},
      {"aaaaa", "AAAAA", "Пароль не может целиком состоять из одинаковых символов"},
      {"日本日本日本", "日本日本日本", "Пароль не совпадает с повтором"},
      {"Секрет", "сЕКРЕТ", ""},
  };
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.entry);
    const NewPassword result = CheckNewPassword(c.entry, c.repeat);
    EXPECT_EQ(result.message, c.message);
    EXPECT_EQ(result.hash != 0, std::string(c.message).empty());
  }
  EXPECT_EQ(CheckNewPassword("Секрет", "секрет").hash, PasswordHash("СЕКРЕТ"));
}

}  // namespace
}  // namespace mv
