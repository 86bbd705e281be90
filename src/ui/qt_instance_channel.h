#pragma once
// Messages between running instances over a local socket (QLocalServer / QLocalSocket). The
// first instance listens; a later one connects, sends one framed record and disconnects, or
// stays connected for the framed record the first one answers with (framing:
// platform/instance_frame_reader.h; the answer is read with the same checks as a request).

#include <QIODevice>
#include <QString>

#include <memory>

#include "platform/instance_channel.h"

class QLocalServer;
class QLocalSocket;

namespace mv::ui {

// Waits of the sending side: connecting, handing the bytes over, and the whole answer.
inline constexpr int kInstanceSendTimeoutMs = 2000;
// A connection that has not delivered its record by then is dropped.
inline constexpr int kInstanceConnectionLifetimeMs = 10000;

class QtInstanceChannel final : public platform::IInstanceChannel {
 public:
  using Record = platform::IInstanceChannel::Record;
  // serverName: a plain name (the socket is made in the temporary folder) or an absolute path.
  explicit QtInstanceChannel(QString serverName = DefaultServerName());
  ~QtInstanceChannel() override;
  QtInstanceChannel(const QtInstanceChannel&) = delete;
  QtInstanceChannel& operator=(const QtInstanceChannel&) = delete;

  // "morvalen-" + the user's login name, so instances of different users never meet: a path in
  // the user's runtime folder (platform/runtime_folder.h), else the plain name.
  static QString DefaultServerName();

  // Blocks for at most kInstanceSendTimeoutMs per step. False for an empty record or one over
  // kMaxInstanceRecord, and when no instance listens.
  bool SendToFirst(std::span<const std::uint8_t> record) override;
  // As SendToFirst, then waits at most kInstanceSendTimeoutMs for the answer. May be called
  // from any thread (it uses no event loop).
  std::optional<Record> AskFirst(std::span<const std::uint8_t> record) override;
  // False when another instance already listens under the name. A socket file left behind by
  // an instance that ended without removing it is taken over. Records are handed to receiver
  // on the user-interface thread from the event loop; what it returns goes back over the
  // connection while the sender is still connected. A second call only replaces the receiver.
  bool Listen(Receiver receiver) override;

 private:
  void Accept();
  void Serve(QLocalSocket* socket);
  // Connects and writes the framed record; false when that fails.
  bool Deliver(QLocalSocket& socket, std::span<const std::uint8_t> record, QIODevice::OpenMode mode) const;

  QString m_serverName;
  std::unique_ptr<QLocalServer> m_server;
  Receiver m_receiver;
};

}  // namespace mv::ui
