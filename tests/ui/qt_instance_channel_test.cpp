#include "ui/qt_instance_channel.h"

#include <gtest/gtest.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <QDir>
#include <QFileInfo>
#include <QLocalSocket>
#include <QTemporaryDir>
#include <QTest>

#include <cstring>

#include "platform/instance_frame_reader.h"
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
    return channel.Listen([this](Bytes record) { m_received.push_back(std::move(record)); });
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
  EXPECT_FALSE(second.Listen([](Bytes) { ADD_FAILURE() << "the second instance received"; }));
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
  const QString plain = [] {
    ScopedEnv none("XDG_RUNTIME_DIR", nullptr);
    return ui::QtInstanceChannel::DefaultServerName();
  }();
  EXPECT_TRUE(plain.startsWith(QStringLiteral("morvalen-"))) << plain.toStdString();
  EXPECT_FALSE(plain.contains(QLatin1Char('/')));

  // A folder whose socket path would not fit into a socket address (108 bytes).
  const QString deep = m_dir.filePath(QString(110, QLatin1Char('d')));
  ASSERT_TRUE(QDir().mkpath(deep));
  const struct {
    const char* what;
    QString runtime;
    QString expected;
  } kCases[] = {
      {"runtime folder", m_dir.path(), m_dir.filePath(plain)},
      {"empty", QString(), plain},
      {"missing folder", m_dir.filePath(QStringLiteral("missing")), plain},
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
