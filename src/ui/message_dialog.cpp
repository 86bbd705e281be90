#include "ui/message_dialog.h"

#include <QApplication>
#include <QCheckBox>
#include <QColor>
#include <QDialogButtonBox>
#include <QFrame>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QMouseEvent>
#include <QPalette>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>
#include <QStyle>
#include <QTimer>
#include <QVBoxLayout>

#include <algorithm>

#include "core/date_time.h"
#include "core/messages.h"
#include "core/text.h"

namespace mv::ui {
namespace {

using platform::MsgKind;
using platform::MsgResult;
using platform::TMsgWinParams;

constexpr int kMinTextHeight = 100;
// The text area stops growing this many pixels short of the screen's height.
constexpr int kScreenHeightReserve = 300;

QString Q(const std::string& utf8) { return QString::fromStdString(utf8); }

QStyle::StandardPixmap IconOf(MsgKind kind) {
  switch (kind) {
    case MsgKind::Error: return QStyle::SP_MessageBoxCritical;
    case MsgKind::Question: return QStyle::SP_MessageBoxQuestion;
    case MsgKind::Warning: return QStyle::SP_MessageBoxWarning;
    case MsgKind::Info:
    case MsgKind::Debug: break;
  }
  return QStyle::SP_MessageBoxInformation;
}

int AvailableScreenHeight(const QWidget* parent) {
  const QScreen* screen = parent ? parent->screen() : QGuiApplication::primaryScreen();
  return screen ? screen->availableGeometry().height() : 768;
}

// The message as plain text (it quotes file contents and user input, never HTML), word-wrapped
// in the width its length asks for; taller texts scroll.
QScrollArea* TextArea(const QString& text, QWidget* parent) {
  auto* label = new QLabel(text);
  label->setObjectName(QStringLiteral("messageText"));
  label->setTextFormat(Qt::PlainText);
  label->setWordWrap(true);
  label->setTextInteractionFlags(Qt::TextSelectableByMouse);
  label->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
  const int width = MessageTextWidth(CharCount(text.toStdString()));
  const int textHeight = std::max(label->heightForWidth(width), kMinTextHeight);
  const int maxHeight = std::max(kMinTextHeight, AvailableScreenHeight(parent) - kScreenHeightReserve);
  label->setFixedSize(width, textHeight);

  auto* area = new QScrollArea;
  area->setObjectName(QStringLiteral("messageArea"));
  area->setFrameShape(QFrame::NoFrame);
  area->setWidgetResizable(false);
  area->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  area->setWidget(label);
  const bool scrolls = textHeight > maxHeight;
  const int scrollBar = scrolls ? area->verticalScrollBar()->sizeHint().width() : 0;
  area->setFixedSize(width + scrollBar, std::min(textHeight, maxHeight));
  return area;
}

// The read-only window behind the details link.
class DetailsWindow final : public QDialog {
 public:
  DetailsWindow(const QString& caption, const QString& text, QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("messageDetails"));
    setWindowTitle(caption);
    auto* edit = new QPlainTextEdit(this);
    edit->setReadOnly(true);
    edit->setPlainText(text);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close, this);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(edit);
    layout->addWidget(buttons);
    resize(620, 360);
  }
};

}  // namespace

MessageDialog::MessageDialog(const TMsgWinParams& request, QWidget* parent, int tickMs)
    : QDialog(parent), m_countdown(request.timeout) {
  setObjectName(QStringLiteral("messageWindow"));
  setWindowTitle(Q(request.caption));
  setModal(true);
  if (request.background != 0) {
    QPalette colours = palette();
    colours.setColor(QPalette::Window, QColor::fromRgb(static_cast<QRgb>(request.background & 0xFFFFFFu)));
    setPalette(colours);
    setAutoFillBackground(true);
  }

  const std::string diagnostic = DiagnosticLine(request.number, Now());
  if (!OfferedDetails(request).empty()) {
    // The details window shows CR LF line ends as the plain text editor's own breaks.
    m_detailsText = Q(mv::DetailsText(request, diagnostic)).replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
  }

  auto* layout = new QVBoxLayout(this);
  layout->setSizeConstraint(QLayout::SetFixedSize);

  // Icon and text.
  auto* top = new QHBoxLayout;
  auto* icon = new QLabel;
  icon->setObjectName(QStringLiteral("messageIcon"));
  const int iconSize = style()->pixelMetric(QStyle::PM_MessageBoxIconSize, nullptr, this);
  icon->setPixmap(style()->standardIcon(IconOf(request.kind), nullptr, this).pixmap(iconSize, iconSize));
  icon->setAlignment(Qt::AlignTop | Qt::AlignHCenter);
  top->addWidget(icon, 0, Qt::AlignTop);
  top->addSpacing(8);
  auto* body = new QVBoxLayout;
  body->addWidget(TextArea(Q(request.text), parent));
  for (std::size_t i = 0; i < m_checks.size(); ++i) {
    if (!request.checks[i].shown) continue;
    m_checks[i] = new QCheckBox(Q(request.checks[i].caption));
    m_checks[i]->setObjectName(QStringLiteral("messageCheck%1").arg(i + 1));
    m_checks[i]->setChecked(request.checks[i].state);
    body->addWidget(m_checks[i]);
  }
  if (m_countdown.Active()) {
    // Space for the countdown is kept from the start, so the window does not grow when the
    // text appears in the last seconds.
    m_countdownLabel = new QLabel;
    m_countdownLabel->setObjectName(QStringLiteral("messageCountdown"));
    m_countdownLabel->setTextFormat(Qt::PlainText);
    m_countdownLabel->setCursor(Qt::PointingHandCursor);
    m_countdownLabel->setMinimumHeight(m_countdownLabel->fontMetrics().height());
    m_countdownLabel->installEventFilter(this);
    body->addWidget(m_countdownLabel);
  }
  top->addLayout(body);
  layout->addLayout(top);

  // Details link and buttons.
  auto* bottom = new QHBoxLayout;
  if (!m_detailsText.isEmpty()) {
    auto* link =
        new QLabel(QStringLiteral("<a href=\"details\">%1</a>").arg(Q(DetailsLinkCaption(request)).toHtmlEscaped()));
    link->setObjectName(QStringLiteral("messageDetailsLink"));
    link->setTextFormat(Qt::RichText);
    link->setTextInteractionFlags(Qt::LinksAccessibleByMouse | Qt::LinksAccessibleByKeyboard);
    connect(link, &QLabel::linkActivated, this, [this] { OpenDetails(); });
    bottom->addWidget(link);
  }
  bottom->addStretch(1);
  const auto addButton = [this, bottom](const QString& text, const QString& name, MsgResult result) {
    auto* button = new QPushButton(text);
    button->setObjectName(name);
    button->setAutoDefault(true);
    connect(button, &QPushButton::clicked, this, [this, result] {
      m_result = result;
      if (result == MsgResult::Ok) {
        accept();
      } else {
        reject();
      }
    });
    bottom->addWidget(button);
    return button;
  };
  QPushButton* confirm = nullptr;
  if (request.kind == MsgKind::Question) {
    confirm = addButton(QStringLiteral("Да"), QStringLiteral("messageYes"), MsgResult::Ok);
    addButton(QStringLiteral("Нет"), QStringLiteral("messageNo"), MsgResult::Cancelled);
  } else {
    confirm = addButton(QStringLiteral("OK"), QStringLiteral("messageOk"), MsgResult::Ok);
  }
  // Enter answers OK or "Да"; Escape and the title bar's close button cancel.
  confirm->setDefault(true);
  confirm->setFocus();
  layout->addLayout(bottom);

  if (HasDiagnosticLine(request.kind)) {
    auto* rule = new QFrame;
    rule->setFrameShape(QFrame::HLine);
    rule->setFrameShadow(QFrame::Sunken);
    layout->addWidget(rule);
    auto* line = new QLabel(Q(diagnostic));
    line->setObjectName(QStringLiteral("messageDiagnostic"));
    line->setTextFormat(Qt::PlainText);
    line->setTextInteractionFlags(Qt::TextSelectableByMouse);
    QFont small = line->font();
    if (small.pointSizeF() > 0) {
      small.setPointSizeF(small.pointSizeF() * 0.85);
      line->setFont(small);
    }
    line->setForegroundRole(QPalette::PlaceholderText);
    layout->addWidget(line);
  }

  if (m_countdown.Active()) {
    ShowCountdown();
    m_timer = new QTimer(this);
    m_timer->setInterval(tickMs);
    connect(m_timer, &QTimer::timeout, this, [this] { Tick(); });
    m_timer->start();
  }
}

void MessageDialog::WriteBack(TMsgWinParams& request) const {
  for (std::size_t i = 0; i < m_checks.size(); ++i) {
    if (m_checks[i]) request.checks[i].state = m_checks[i]->isChecked();
  }
  request.result = m_result;
}

void MessageDialog::Tick() {
  if (!m_countdown.Tick()) {
    ShowCountdown();
    return;
  }
  if (m_timer) m_timer->stop();
  m_result = MsgResult::TimedOut;
  reject();
}

void MessageDialog::CancelCountdown() {
  m_countdown.Cancel();
  if (m_timer) m_timer->stop();
  if (m_countdownLabel) m_countdownLabel->hide();
}

void MessageDialog::OpenDetails() {
  if (m_detailsText.isEmpty()) return;
  m_countdown.Pause();
  DetailsWindow details(Q(DetailsCaption(windowTitle().toStdString())), m_detailsText, this);
  details.exec();
  m_countdown.Resume();
}

bool MessageDialog::eventFilter(QObject* watched, QEvent* event) {
  if (watched == m_countdownLabel && event->type() == QEvent::MouseButtonRelease &&
      static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton) {
    CancelCountdown();
    return true;
  }
  return QDialog::eventFilter(watched, event);
}

void MessageDialog::ShowCountdown() {
  if (m_countdownLabel) m_countdownLabel->setText(Q(m_countdown.Text()));
}

}  // namespace mv::ui
