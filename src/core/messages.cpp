#include "core/messages.h"

#include <algorithm>
#include <cmath>

#include "core/date_time.h"
#include "core/event_sounds.h"
#include "core/numbers.h"
#include "core/run_state.h"
#include "core/text.h"
#include "platform/log_sink.h"
#include "platform/services.h"

namespace mv {
namespace {

using platform::MsgKind;
using platform::TMsgWinParams;

MessageContext& Context() {
  static MessageContext context;
  return context;
}

std::string OneLine(std::string_view text) {
  std::string line;
  line.reserve(text.size());
  for (std::size_t i = 0; i < text.size(); ++i) {
    const char c = text[i];
    if (c == '\r' || c == '\n') {
      line += ' ';
      if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;  // CR LF is one break
    } else {
      line += c;
    }
  }
  return line;
}

TMsgWinParams Request(MsgKind kind, std::string_view caption, std::string_view text, std::int16_t sound) {
  TMsgWinParams request;
  request.kind = kind;
  request.caption = caption;
  request.text = text;
  request.sound = sound;
  return request;
}

void ShowProblem(MsgKind kind, std::string_view caption, std::int16_t sound, std::string_view text, std::int16_t number,
                 std::string_view sourceTag, std::int16_t timeout, std::string_view details) {
  TMsgWinParams request = Request(kind, caption, text, sound);
  request.number = number;
  request.sourceTag = sourceTag;
  request.timeout = timeout;
  request.details = details;
  ShowMessageWindow(request);
}

// A bound of a typed number: at most 4 decimals, trailing zeros removed; a bound that needs
// more (the 0.00001 of a tolerance width) gets as many as it needs, up to 10, rather than
// reading as a different number ("0").
std::string BoundText(double bound) {
  for (int decimals = 4; decimals < 10; ++decimals) {
    const std::string text = FormatTrimmed(bound, decimals);
    const std::optional<double> read = TypedNumberValue(text);
    if (read && std::fabs(*read - bound) <= 1e-12 * std::max(1.0, std::fabs(bound))) return text;
  }
  return FormatTrimmed(bound, 10);
}

}  // namespace

MessageContext SetMessageContext(const MessageContext& context) {
  const MessageContext previous = Context();
  Context() = context;
  return previous;
}

const MessageContext& CurrentMessageContext() { return Context(); }

bool ShowMessageWindow(TMsgWinParams& request) {
  if (CharCount(request.caption) > kMsgCaptionChars) request.caption = CutToChars(request.caption, kMsgCaptionChars);
  if (request.kind == MsgKind::Error && !request.sourceTag.empty() && request.sourceTag != kNoLogTag) {
    platform::Current<platform::ILog>().LogError(request.caption + " - " + OneLine(request.text) + " [" +
                                                 request.sourceTag + "]");
  }
  if (request.sound != 0 && Context().sounds) Context().sounds->Play(request.sound, true);
  return platform::Current<platform::IMessageWindows>().Show(request);
}

void ShowError(std::string_view text, std::int16_t number, std::string_view sourceTag, std::int16_t timeout,
               std::string_view details) {
  ShowProblem(MsgKind::Error, "Ошибка", kEventAppError, text, number, sourceTag, timeout, details);
}

void ShowWarning(std::string_view text, std::int16_t number, std::string_view sourceTag, std::int16_t timeout,
                 std::string_view details) {
  ShowProblem(MsgKind::Warning, "Предупреждение", kEventAppWarning, text, number, sourceTag, timeout, details);
}

void ShowInfo(std::string_view text, std::int16_t timeout) {
  TMsgWinParams request = Request(MsgKind::Info, "Информация", text, kEventInfoPopup);
  request.timeout = timeout;
  ShowMessageWindow(request);
}

void ShowDebug(std::string_view text, std::string_view details) {
  const std::uint64_t handle = Context().run ? Context().run->windowHandle : 0;
  TMsgWinParams request = Request(MsgKind::Debug, DebugCaption(Now(), handle), text, kEventInfoPopup);
  request.details = details;
  request.background = kDebugBackground;
  ShowMessageWindow(request);
}

bool Ask(std::string_view text, std::string_view caption, std::string_view details, std::int16_t sound,
         std::int16_t timeout) {
  TMsgWinParams request =
      Request(MsgKind::Question, caption.empty() ? std::string_view("Требуется подтверждение") : caption, text, sound);
  request.details = details;
  request.timeout = timeout;
  return ShowMessageWindow(request);
}

std::string DebugCaption(TDateTime now, std::uint64_t windowHandle) {
  return "Отладочная информация " + TimeText(now, true) + " / " + std::to_string(windowHandle);
}

bool HasDiagnosticLine(MsgKind kind) { return kind == MsgKind::Error || kind == MsgKind::Warning; }

std::string OfferedDetails(const TMsgWinParams& request) {
  if (!request.details.empty()) return request.details;
  const bool textAsDetails =
      request.kind == MsgKind::Error || request.kind == MsgKind::Warning || request.kind == MsgKind::Debug;
  return textAsDetails ? request.text : std::string();
}

std::string DetailsLinkCaption(const TMsgWinParams& request) {
  return request.detailsCaption.empty() ? std::string("Подробнее...") : request.detailsCaption;
}

std::string DiagnosticLine(std::int16_t number, TDateTime now) {
  const RunState* run = Context().run;
  std::string line = DateTimeText(now, true) + " / " + std::string(kAppName) + " " + MV_VERSION + " / #" +
                     std::to_string(number) + " / w" + std::to_string(run ? run->windowHandle : 0);
  if (run) {
    line += " / run " + std::to_string(run->runNumber);
    if (run->Has(RunFlag::PrevInstance)) line += ", double instance";
  }
  return line;
}

std::string DetailsText(const TMsgWinParams& request, std::string_view diagnosticLine) {
  return OfferedDetails(request) + "\r\n\r\n\r\n" + std::string(39, '-') + "\r\n" + std::string(diagnosticLine) +
         "\r\n" +
         "При необходимости Вы можете обратиться в службу техподдержки. При этом пожалуйста скопируйте и "
         "перешлите полный текст этого сообщения";
}

std::string DetailsCaption(std::string_view caption) { return "Подробнее: " + std::string(caption); }

int MessageTextWidth(std::size_t characters) {
  if (characters > 800) return 600;
  if (characters > 500) return 520;
  if (characters > 200) return 470;
  return 400;
}

std::optional<double> ValidateNumber(std::string_view label, std::string_view text, double min, double max) {
  constexpr std::int16_t kCloseAfter = 30;
  const std::string typed(Trim(text));
  const std::string quoted = "\"" + std::string(label) + "\"";
  const TypedNumber number = ParseTypedNumber(typed);
  if (number.status == TypedNumberStatus::Empty) {
    ShowWarning("Не указано значение для " + quoted, 0, {}, kCloseAfter);
    return std::nullopt;
  }
  if (number.status != TypedNumberStatus::Ok) {
    ShowError("Введено нечисловое значение (" + typed + ") для " + quoted, 0, {}, kCloseAfter);
    return std::nullopt;
  }
  if (number.value < min || number.value > max) {
    ShowError("Значение " + quoted + " (" + typed + ") выходит из допустимых границ (" + BoundText(min) + " .. " +
                  BoundText(max) + ")",
              0, {}, kCloseAfter);
    return std::nullopt;
  }
  return number.value;
}

}  // namespace mv
