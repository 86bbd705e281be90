#pragma once
// The five kinds of message window as callers use them. Each fills a request with the kind's
// caption and sound and hands it to the installed message windows (platform/messages.h).

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "platform/messages.h"

namespace mv {

// Application events whose sounds the message windows play.
inline constexpr std::int16_t kEventAppError = 100;
inline constexpr std::int16_t kEventAppWarning = 101;
inline constexpr std::int16_t kEventInfoPopup = 102;
inline constexpr std::int16_t kEventQuestion = 103;

// Source tag that keeps an error out of the log.
inline constexpr std::string_view kNoLogTag = "nolog";

// Shows the request; true when it was closed by OK or "Да". An error whose source tag is
// neither empty nor "nolog" is also written to the log as one line:
// caption + " - " + text (line breaks as blanks) + " [" + tag + "]".
bool ShowMessageWindow(platform::TMsgWinParams& request);

void ShowError(std::string_view text, std::int16_t number = 0, std::string_view sourceTag = {},
               std::int16_t timeout = 0, std::string_view details = {});
void ShowWarning(std::string_view text, std::int16_t number = 0, std::string_view sourceTag = {},
                 std::int16_t timeout = 0, std::string_view details = {});
void ShowInfo(std::string_view text, std::int16_t timeout = 0);
// "Да" gives true; "Нет", closing and the time-out give false. Without a caption the window
// is captioned "Требуется подтверждение".
bool Ask(std::string_view text, std::string_view caption = {}, std::string_view details = {},
         std::int16_t sound = kEventQuestion, std::int16_t timeout = 0);

// Width in pixels of a message window's text area for a text of this many characters:
// 400, 470 above 200 characters, 520 above 500, 600 above 800.
int MessageTextWidth(std::size_t characters);

// The standard check of a typed number against inclusive bounds. The text is trimmed and read
// by the typed-number rule; an empty text warns "Не указано значение для "<label>"", a text that
// is not a number and a value outside the bounds are errors (bounds shown with at most 4
// decimals). Each window closes by itself after 30 seconds. The value on success.
std::optional<double> ValidateNumber(std::string_view label, std::string_view text, double min, double max);

}  // namespace mv
