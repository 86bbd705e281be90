#include "ui/qt_instance_channel.h"

#include <gtest/gtest.h>
#include <pwd.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLocalServer>
#include <QLocalSocket>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>

#include <atomic>
#include <cstring>
#include <memory>
#include <optional>

#include "app/instance_message.h"
#include "app/shell.h"
#include "platform/instance_frame_reader.h"
#include "platform/runtime_folder.h"
#include "ui_test_app.h"

namespace mv {
namespace {

using Bytes = std::vector<std::uint8_t>;

Bytes Pattern(std::size_t size, std::uint8_t seed) {
  Bytes bytes(size);
  for (std::size_t i = 0; i < size; ++i) bytes[i] = static_cast<std::uint8_t>(seed + i * 13);
  return bytes;
}

// Each test gets its own socket path, so tests never meet each other or a running program.
class QtInstanceChannel : public ::testing::Test {
 protected:
  void SetUp() override {
    test::UiApp();
    ASSERT_TRUE(m_dir.isValid());
  }
  QString Name() const { return m_dir.filePath(QStringLiteral("channel")); }
  // Listens with a receiver that collects into m_received.
  bool Listen(ui::QtInstanceChannel& channel) {
    return channel.Listen([this](Bytes record) {
      m_received.push_back(std::move(record));
      return Bytes{};
    });
  }
  bool WaitForRecords(std::size_t count) {
    return QTest::qWaitFor([&] { return m_received.size() >= count; }, 3000);
  }

  QTemporaryDir m_dir;
  std::vector<Bytes> m_received;
};

TEST_F(QtInstanceChannel, DeliversRecordsToTheListeningInstance) {
  ui::QtInstanceChannel first(Name());
  ASSERT_TRUE(Listen(first));
  ui::QtInstanceChannel later(Name());
  const std::vector<Bytes> sent = {Pattern(128, 1), Pattern(128 + 900, 2),
                                   Pattern(platform::kMaxInstanceRecord, 3)};
  for (const Bytes& record : sent) ASSERT_TRUE(later.SendToFirst(record));
  ASSERT_TRUE(WaitForRecords(sent.size()));
  EXPECT_EQ(m_received, sent);
}

TEST_F(QtInstanceChannel, RefusesWhatItCannotSend) {
  ui::QtInstanceChannel nobodyListens(Name());
  EXPECT_FALSE(nobodyListens.SendToFirst(Pattern(128, 1)));

  ui::QtInstanceChannel first(Name());
  ASSERT_TRUE(Listen(first));
  EXPECT_FALSE(first.SendToFirst(Bytes{}));
  EXPECT_FALSE(first.SendToFirst(Pattern(platform::kMaxInstanceRecord + 1, 1)));
  QTest::qWait(100);
  EXPECT_TRUE(m_received.empty());
}

TEST_F(QtInstanceChannel, OnlyOneInstanceListens) {
  ui::QtInstanceChannel first(Name());
  ASSERT_TRUE(Listen(first));
  ui::QtInstanceChannel second(Name());
  EXPECT_FALSE(second.Listen([](Bytes) {
    ADD_FAILURE() << "the second instance received";
    return Bytes{};
  }));
  ASSERT_TRUE(second.SendToFirst(Pattern(128, 7)));
  ASSERT_TRUE(WaitForRecords(1));
  EXPECT_EQ(m_received.front(), Pattern(128, 7));
}

TEST_F(QtInstanceChannel, TakesOverTheSocketFileOfAnInstanceThatCrashed) {
  // A bound socket that nobody listens on, left behind as a crashed instance leaves it.
  const QByteArray path = Name().toLocal8Bit();
  sockaddr_un address{};
  address.sun_family = AF_UNIX;
  ASSERT_LT(static_cast<std::size_t>(path.size()), sizeof(address.sun_path));
  std::memcpy(address.sun_path, path.constData(), static_cast<std::size_t>(path.size()));
  const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
  ASSERT_GE(fd, 0);
  ASSERT_EQ(::bind(fd, reinterpret_cast<const sockaddr*>(&address), sizeof(address)), 0);
  ::close(fd);

  ui::QtInstanceChannel first(Name());
  ASSERT_TRUE(Listen(first));
  ui::QtInstanceChannel later(Name());
  ASSERT_TRUE(later.SendToFirst(Pattern(128, 4)));
  EXPECT_TRUE(WaitForRecords(1));
}

TEST_F(QtInstanceChannel, BadLengthDropsOnlyThatConnection) {
  ui::QtInstanceChannel first(Name());
  ASSERT_TRUE(Listen(first));

  QLocalSocket hostile;
  hostile.connectToServer(Name());
  ASSERT_TRUE(hostile.waitForConnected(2000));
  const char hugeLength[] = {'\xFF', '\xFF', '\xFF', '\x7F', 'x', 'y', 'z'};
  hostile.write(hugeLength, sizeof(hugeLength));
  ASSERT_TRUE(hostile.waitForBytesWritten(2000));
  EXPECT_TRUE(QTest::qWaitFor([&] { return hostile.state() == QLocalSocket::UnconnectedState; }, 3000));

  ui::QtInstanceChannel later(Name());
  ASSERT_TRUE(later.SendToFirst(Pattern(128, 5)));
  ASSERT_TRUE(WaitForRecords(1));
  EXPECT_EQ(m_received, std::vector<Bytes>{Pattern(128, 5)});
}

// Runs the blocking AskFirst on a thread of its own while this thread's event loop lets the
// listening side answer.
std::optional<Bytes> AskFrom(ui::QtInstanceChannel& later, const Bytes& record) {
  std::optional<Bytes> answer;
  std::atomic<bool> done = false;
  std::unique_ptr<QThread> thread(QThread::create([&] {
    answer = later.AskFirst(record);
    done = true;
  }));
  thread->start();
  EXPECT_TRUE(QTest::qWaitFor([&] { return done.load(); }, 3 * ui::kInstanceSendTimeoutMs));
  thread->wait();
  return answer;
}

TEST_F(QtInstanceChannel, TheAnswerComesBackOverTheSameConnection) {
  ui::QtInstanceChannel first(Name());
  // Answers a record that starts with 2 with the record reversed; others get no answer.
  ASSERT_TRUE(first.Listen([this](Bytes record) {
    m_received.push_back(record);
    if (record.front() != 2) return Bytes{};
    return Bytes(record.rbegin(), record.rend());
  }));
  ui::QtInstanceChannel later(Name());
  const Bytes request = Pattern(128 + 371, 2);
  EXPECT_EQ(AskFrom(later, request), Bytes(request.rbegin(), request.rend()));
  // A record sent without waiting is answered into a closed connection: nothing breaks.
  ASSERT_TRUE(later.SendToFirst(request));
  ASSERT_TRUE(WaitForRecords(2));
  EXPECT_EQ(AskFrom(later, Pattern(129, 2)).value_or(Bytes{}).size(), 129u);
  ui::QtInstanceChannel nobodyListens(m_dir.filePath(QStringLiteral("nobody")));
  EXPECT_EQ(AskFrom(nobodyListens, request), std::nullopt);
}

TEST_F(QtInstanceChannel, TheFirstSessionAnswersARequestForItsInformation) {
  Shell shell;
  shell.sessionNumber = 31;
  shell.sessionInfo.dataFolder = "/данные";
  ui::QtInstanceChannel first(Name());
  ASSERT_TRUE(first.Listen([&shell](Bytes record) {
    const std::optional<std::string> answer = shell.HandleInstanceMessage(record);
    return answer ? Bytes(answer->begin(), answer->end()) : Bytes{};
  }));
  InstanceMessage ask;
  ask.code = InstanceCode::AskSession;
  const std::string request = EncodeInstanceMessage(ask);
  ui::QtInstanceChannel later(Name());
  const std::optional<Bytes> answer = AskFrom(later, Bytes(request.begin(), request.end()));
  ASSERT_TRUE(answer);
  const auto message = DecodeInstanceMessage(std::string_view(reinterpret_cast<const char*>(answer->data()), answer->size()));
  ASSERT_TRUE(message);
  EXPECT_EQ(message->code, InstanceCode::SessionInfo);
  EXPECT_EQ(message->session, 31);
  EXPECT_EQ(SessionInfoOf(*message)->dataFolder, "/данные");
}

TEST_F(QtInstanceChannel, AnAnswerThatBreaksTheFramingIsRefused) {
  // Whoever listens under the name answers with bytes of its own.
  const struct {
    const char* what;
    QByteArray bytes;
    bool taken;
  } kCases[] = {
      {"length over the largest record", QByteArray("\xFF\xFF\x01\x00" "abc", 7), false},
      {"length 0", QByteArray("\x00\x00\x00\x00", 4), false},
      {"fewer bytes than the length, then the end", QByteArray("\x08\x00\x00\x00" "abc", 7), false},
      {"one record and more", QByteArray("\x02\x00\x00\x00ok\x01", 7), true},
  };
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.what);
    QLocalServer hostile;
    QLocalServer::removeServer(Name());
    ASSERT_TRUE(hostile.listen(Name()));
    QObject::connect(&hostile, &QLocalServer::newConnection, &hostile, [&hostile, &c] {
      QLocalSocket* socket = hostile.nextPendingConnection();
      QObject::connect(socket, &QLocalSocket::readyRead, socket, [socket, &c] {
        socket->readAll();
        socket->write(c.bytes);
        socket->flush();
        socket->disconnectFromServer();
      });
    });
    ui::QtInstanceChannel later(Name());
    const std::optional<Bytes> answer = AskFrom(later, Pattern(128, 2));
    EXPECT_EQ(answer.has_value(), c.taken);
    if (c.taken) {
      EXPECT_EQ(*answer, (Bytes{'o', 'k'}));
    }
  }
}

// Puts a value into an environment variable (unset for nullptr) for one scope.
class ScopedEnv {
 public:
  ScopedEnv(const char* name, const QByteArray* value)
      : m_name(name), m_had(qEnvironmentVariableIsSet(name)), m_old(qgetenv(name)) {
    if (value) {
      qputenv(name, *value);
    } else {
      qunsetenv(name);
    }
  }
  ~ScopedEnv() {
    if (m_had) {
      qputenv(m_name, m_old);
    } else {
      qunsetenv(m_name);
    }
  }
  ScopedEnv(const ScopedEnv&) = delete;
  ScopedEnv& operator=(const ScopedEnv&) = delete;

 private:
  const char* m_name;
  bool m_had;
  QByteArray m_old;
};

TEST_F(QtInstanceChannel, DefaultSocketLivesInTheRuntimeFolderWhenThereIsOne) {
  const passwd* entry = ::getpwuid(::geteuid());
  ASSERT_NE(entry, nullptr);
  const QString plain = QStringLiteral("morvalen-") + QString::fromLocal8Bit(entry->pw_name);
  // Without a usable session folder every instance takes the program's own in /tmp.
  const QString own = QString::fromStdString(platform::UserRuntimeFolder("", "/tmp", ::geteuid()));
  ASSERT_FALSE(own.isEmpty());

  // A folder whose socket path would not fit into a socket address (108 bytes).
  const QString deep = m_dir.filePath(QString(110, QLatin1Char('d')));
  ASSERT_TRUE(QDir().mkpath(deep));
  ASSERT_TRUE(QFile::setPermissions(deep, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner));
  const QString open = m_dir.filePath(QStringLiteral("open"));
  ASSERT_TRUE(QDir().mkpath(open));
  ASSERT_TRUE(QFile::setPermissions(open, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner | QFile::ReadOther |
                                              QFile::ExeOther));
  const struct {
    const char* what;
    QString runtime;
    QString expected;
  } kCases[] = {
      {"runtime folder", m_dir.path(), m_dir.filePath(plain)},
      {"empty", QString(), QDir(own).filePath(plain)},
      {"missing folder", m_dir.filePath(QStringLiteral("missing")), QDir(own).filePath(plain)},
      {"folder open to others", open, QDir(own).filePath(plain)},
      {"path too long", deep, plain},
  };
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.what);
    const QByteArray value = c.runtime.toLocal8Bit();
    ScopedEnv runtime("XDG_RUNTIME_DIR", &value);
    EXPECT_EQ(ui::QtInstanceChannel::DefaultServerName(), c.expected);
  }

  // The path is a name QLocalServer takes: the socket file appears in the runtime folder.
  const QByteArray value = m_dir.path().toLocal8Bit();
  ScopedEnv runtime("XDG_RUNTIME_DIR", &value);
  ui::QtInstanceChannel first;
  ASSERT_TRUE(Listen(first));
  EXPECT_TRUE(QFileInfo::exists(m_dir.filePath(plain)));
  ui::QtInstanceChannel later;
  ASSERT_TRUE(later.SendToFirst(Pattern(128, 6)));
  EXPECT_TRUE(WaitForRecords(1));
}

}  // namespace
}  // namespace mv
