#pragma once
// The five kinds of message window as callers use them. Each fills a request with the kind's
// caption and sound and hands it to the installed message windows (platform/messages.h).

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "platform/clock.h"
#include "platform/messages.h"

namespace mv {

class RunState;
class TEventSoundSet;

// Application events whose sounds the message windows play.
inline constexpr std::int16_t kEventAppError = 100;
inline constexpr std::int16_t kEventAppWarning = 101;
inline constexpr std::int16_t kEventInfoPopup = 102;
inline constexpr std::int16_t kEventQuestion = 103;

// Source tag that keeps an error out of the log.
inline constexpr std::string_view kNoLogTag = "nolog";

// Longest caption of a message window, in characters.
inline constexpr std::size_t kMsgCaptionChars = 99;
// Background of the debug window, 0xRRGGBB: light yellow.
inline constexpr std::uint32_t kDebugBackground = 0xFFFFCC;

// What the message windows know of the run: the diagnostic line's run number, instance and
// main-window handle, and the user's event sounds. Not owned. The shell sets it once the run
// has started and clears it before they are destroyed; until then the diagnostic line
// carries no run facts and no sound is played.
struct MessageContext {
  const RunState* run = nullptr;
  TEventSoundSet* sounds = nullptr;
};
// Installs the context and returns the previous one.
MessageContext SetMessageContext(const MessageContext& context);
const MessageContext& CurrentMessageContext();

// Shows the request; true when it was closed by OK or "Да". The caption is cut to
// kMsgCaptionChars characters. An error whose source tag is neither empty nor "nolog" is first
// written to the log as one line: caption + " - " + text (line breaks as blanks) + " [" + tag +
// "]". The request's event sound (none for 0) is played from the context's sounds.
bool ShowMessageWindow(platform::TMsgWinParams& request);

void ShowError(std::string_view text, std::int16_t number = 0, std::string_view sourceTag = {},
               std::int16_t timeout = 0, std::string_view details = {});
void ShowWarning(std::string_view text, std::int16_t number = 0, std::string_view sourceTag = {},
                 std::int16_t timeout = 0, std::string_view details = {});
void ShowInfo(std::string_view text, std::int16_t timeout = 0);
// Light yellow, captioned by DebugCaption; the text is offered as details when none are given.
void ShowDebug(std::string_view text, std::string_view details = {});
// "Да" gives true; "Нет", closing and the time-out give false. Without a caption the window
// is captioned "Требуется подтверждение".
bool Ask(std::string_view text, std::string_view caption = {}, std::string_view details = {},
         std::int16_t sound = kEventQuestion, std::int16_t timeout = 0);

// "Отладочная информация " + time (hh:nn:ss) + " / " + the main window's handle.
std::string DebugCaption(TDateTime now, std::uint64_t windowHandle);

// Error and warning windows show the diagnostic line under the message.
bool HasDiagnosticLine(platform::MsgKind kind);

// The details a window offers behind its link: the request's details, or for an error, a
// warning or a debug window without them the message text itself. Empty: no link.
std::string OfferedDetails(const platform::TMsgWinParams& request);

// The caption of the details link: the request's own, or "Подробнее...".
std::string DetailsLinkCaption(const platform::TMsgWinParams& request);

// Date and time (dd.MM.yyyy hh:nn:ss) + " / " + program and version + " / #" + message number +
// " / w" + main-window handle, then, once the run is known, " / run " + run number and
// ", double instance" in an additional instance:
//   05.03.2024 14:07:09 / Morvalen 0.1.0 / #12 / w41943046 / run 17, double instance
std::string DiagnosticLine(std::int16_t number, TDateTime now);

// The details window's text: the offered details, three CR LF, 39 hyphens and CR LF, the
// diagnostic line, CR LF and the hint to send the whole text to technical support.
std::string DetailsText(const platform::TMsgWinParams& request, std::string_view diagnosticLine);

// "Подробнее: " + the message window's caption.
std::string DetailsCaption(std::string_view caption);

// Width in pixels of a message window's text area for a text of this many characters:
// 400, 470 above 200 characters, 520 above 500, 600 above 800.
int MessageTextWidth(std::size_t characters);

// The standard check of a typed number against inclusive bounds. The text is trimmed and read
// by the typed-number rule; an empty text warns "Не указано значение для "<label>"", a text that
// is not a number and a value outside the bounds are errors (bounds shown with at most 4
// decimals). Each window closes by itself after 30 seconds. The value on success.
std::optional<double> ValidateNumber(std::string_view label, std::string_view text, double min, double max);

}  // namespace mv
