#include "ui/qt_instance_channel.h"

#include <pwd.h>
#include <sys/un.h>
#include <unistd.h>

#include <QByteArray>
#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QLocalServer>
#include <QLocalSocket>
#include <QPointer>
#include <QTimer>

#include <algorithm>

#include "platform/instance_frame_reader.h"
#include "platform/runtime_folder.h"

namespace mv::ui {
namespace {

// Bytes taken from a socket at a time, so a flood is cut into records piece by piece instead of
// being collected whole.
constexpr qint64 kReadChunk = 16 * 1024;

// Room for a socket path, its terminating zero included (sockaddr_un::sun_path).
constexpr std::size_t kSocketPathMax = sizeof(sockaddr_un::sun_path);

std::span<const std::uint8_t> Bytes(const QByteArray& data) {
  return {reinterpret_cast<const std::uint8_t*>(data.constData()),
          static_cast<std::size_t>(data.size())};
}

}  // namespace

QtInstanceChannel::QtInstanceChannel(QString serverName) : m_serverName(std::move(serverName)) {}

QtInstanceChannel::~QtInstanceChannel() = default;

QString QtInstanceChannel::DefaultServerName() {
  QString user;
  if (const passwd* entry = ::getpwuid(::geteuid()); entry && entry->pw_name) {
    user = QString::fromLocal8Bit(entry->pw_name);
  }
  if (user.isEmpty()) user = QString::number(::geteuid());
  const QString name = QStringLiteral("morvalen-") + user;
  // The per-user runtime folder is private to the user, and every instance of the user finds
  // the same one. Only when there is none, or the path does not fit into a socket address, the
  // plain name puts the socket into the temporary folder.
  const QString runtime = QString::fromStdString(
      platform::UserRuntimeFolder(qgetenv("XDG_RUNTIME_DIR").toStdString(), "/tmp", ::geteuid()));
  if (runtime.isEmpty()) return name;
  const QString path = QDir(runtime).absoluteFilePath(name);
  if (static_cast<std::size_t>(QFile::encodeName(path).size()) >= kSocketPathMax) return name;
  return path;
}

bool QtInstanceChannel::Deliver(QLocalSocket& socket, std::span<const std::uint8_t> record,
                                QIODevice::OpenMode mode) const {
  const std::vector<std::uint8_t> frame = platform::FrameInstanceRecord(record);
  if (frame.empty()) return false;
  socket.connectToServer(m_serverName, mode);
  if (!socket.waitForConnected(kInstanceSendTimeoutMs)) return false;
  const auto size = static_cast<qint64>(frame.size());
  if (socket.write(reinterpret_cast<const char*>(frame.data()), size) != size) return false;
  while (socket.bytesToWrite() > 0) {
    if (!socket.waitForBytesWritten(kInstanceSendTimeoutMs)) return false;
  }
  return true;
}

bool QtInstanceChannel::SendToFirst(std::span<const std::uint8_t> record) {
  QLocalSocket socket;
  if (!Deliver(socket, record, QIODevice::WriteOnly)) return false;
  socket.disconnectFromServer();
  return true;
}

std::optional<QtInstanceChannel::Record> QtInstanceChannel::AskFirst(std::span<const std::uint8_t> record) {
  QLocalSocket socket;
  if (!Deliver(socket, record, QIODevice::ReadWrite)) return std::nullopt;
  // The answer comes from whoever listens under the name: it is framed and checked like any
  // record that arrives, and read only until the deadline.
  platform::InstanceFrameReader reader;
  const QDeadlineTimer deadline(kInstanceSendTimeoutMs);
  for (;;) {
    while (socket.bytesAvailable() > 0) {
      if (!reader.Feed(Bytes(socket.read(kReadChunk)))) return std::nullopt;
    }
    if (std::optional<Record> answer = reader.Next()) {
      socket.disconnectFromServer();
      return answer;
    }
    if (deadline.hasExpired() || socket.state() != QLocalSocket::ConnectedState) return std::nullopt;
    socket.waitForReadyRead(static_cast<int>(std::max<qint64>(1, deadline.remainingTime())));
  }
}

bool QtInstanceChannel::Listen(Receiver receiver) {
  if (m_server && m_server->isListening()) {
    m_receiver = std::move(receiver);
    return true;
  }
  // Ask first whether somebody answers under the name: with access options, QLocalServer
  // (Qt 6.4) puts its new socket file over whatever is there, so listen() alone would take the
  // name away from a running instance instead of failing.
  {
    QLocalSocket probe;
    probe.connectToServer(m_serverName);
    if (probe.waitForConnected(kInstanceSendTimeoutMs)) return false;
  }
  // Nobody answers: a socket file left there is one of an instance that crashed.
  QLocalServer::removeServer(m_serverName);
  auto server = std::make_unique<QLocalServer>();
  server->setSocketOptions(QLocalServer::UserAccessOption);
  if (!server->listen(m_serverName)) return false;
  m_server = std::move(server);
  m_receiver = std::move(receiver);
  QObject::connect(m_server.get(), &QLocalServer::newConnection, m_server.get(), [this] { Accept(); });
  return true;
}

void QtInstanceChannel::Accept() {
  while (QLocalSocket* socket = m_server->nextPendingConnection()) Serve(socket);
}

void QtInstanceChannel::Serve(QLocalSocket* socket) {
  // The socket is a child of the server; its reader lives in the handlers, which go with it.
  // Each handler first does all its work on the socket and only then hands records out: a
  // receiver that opens a modal window runs a nested event loop, in which this connection may
  // end and the socket be deleted.
  auto reader = std::make_shared<platform::InstanceFrameReader>();
  const auto close = [socket](bool abort) {
    QObject::disconnect(socket, nullptr, nullptr, nullptr);
    if (abort) socket->abort();
    socket->deleteLater();
  };
  // False when the bytes broke the framing; the connection is then dropped.
  const auto read = [socket, reader, close] {
    while (socket->bytesAvailable() > 0) {
      if (!reader->Feed(Bytes(socket->read(kReadChunk)))) {
        close(true);
        return false;
      }
    }
    return true;
  };
  // Records are taken one at a time, so a nested call for the same connection keeps the order.
  // An answer goes back only while the sender is connected and the socket still exists.
  const QPointer<QLocalSocket> alive(socket);
  const auto deliver = [this, reader, alive] {
    while (auto record = reader->Next()) {
      const Receiver receiver = m_receiver;  // a receiver may call Listen and replace itself
      if (!receiver) continue;
      const Record answer = receiver(std::move(*record));
      if (answer.empty() || !alive || alive->state() != QLocalSocket::ConnectedState) continue;
      const std::vector<std::uint8_t> frame = platform::FrameInstanceRecord(answer);
      if (frame.empty()) continue;
      alive->write(reinterpret_cast<const char*>(frame.data()), static_cast<qint64>(frame.size()));
      alive->flush();
    }
  };
  QObject::connect(socket, &QLocalSocket::readyRead, socket, [read, deliver] {
    if (read()) deliver();
  });
  QObject::connect(socket, &QLocalSocket::disconnected, socket, [read, deliver, close] {
    // Bytes may come together with the end of the connection.
    if (read()) {
      close(false);
      deliver();
    }
  });
  QTimer::singleShot(kInstanceConnectionLifetimeMs, socket, [close] { close(true); });
  // Bytes, and even the end of the connection, may have come before the handlers were connected.
  if (!read()) return;
  if (socket->state() == QLocalSocket::UnconnectedState) close(false);
  deliver();
}

}  // namespace mv::ui
