// The project's Windows-1251 table against an independent one: Qt's decoder (ICU).

#include <gtest/gtest.h>

#include <QByteArray>
#include <QStringDecoder>

#include "core/cp1251.h"

namespace mv {
namespace {

TEST(QtCp1251, TableAgreesWithQtOnEveryAssignedByte) {
  QStringDecoder decoder("windows-1251");
  ASSERT_TRUE(decoder.isValid()) << "this Qt has no windows-1251 codec";
  for (int value = 0; value < 256; ++value) {
    if (value == 0x98) continue;  // unassigned: no second opinion to compare with
    const char byte = static_cast<char>(value);
    const QString qt = decoder.decode(QByteArrayView(&byte, 1));
    ASSERT_FALSE(decoder.hasError());
    EXPECT_EQ(Cp1251ToUtf8(std::string_view(&byte, 1)), qt.toUtf8().toStdString())
        << "byte 0x" << std::hex << value;
  }
}

}  // namespace
}  // namespace mv
