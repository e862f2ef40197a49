#include <gtest/gtest.h>

#include "app/messages.h"
#include "app/version_record.h"

TEST(MessageTable, NoHardwareFollowsTheLanguageAndOpenFailedHasOneText) {
  struct Case {
    MessageKey key;
    int language;
    const char* caption;
    const char* text;
  };
  const Case cases[] = {
      {MessageKey::NoHardware, 0, "异常", "未检测到硬件，请检查连接状态后重新打开应用程序"},
      {MessageKey::NoHardware, 1, "異常", "未檢測到硬件，請檢查連接狀態後重新打開應用程序"},
      {MessageKey::NoHardware, 2, "abnormal",
       "No hardware detected, please check the connection status and re open the application"},
      {MessageKey::NoHardware, 3, "异常",
       "未检测到硬件，请检查连接状态后重新打开应用程序"},  // unknown: first column
      {MessageKey::NoHardware, -1, "异常",
       "未检测到硬件，请检查连接状态后重新打开应用程序"},  // unknown: first column
      {MessageKey::OpenFailed, 0, "异常", "打开摄像头失败"},
      {MessageKey::OpenFailed, 2, "异常", "打开摄像头失败"},
  };
  for (const Case& c : cases) {
    const MessageText message = lookupMessage(c.key, c.language);
    EXPECT_EQ(message.caption, c.caption) << c.language;
    EXPECT_EQ(message.text, c.text) << c.language;
  }
}

TEST(VersionRecord, ReadsTheKeysAndNeedsBothVersions) {
  const auto record = parseVersionRecord(
      "FileVersion=1.0.0.1\r\nProductVersion = 1.0.0.1\nFileDescription=Varnix\njunk "
      "line\nProductName=Varnix");
  ASSERT_TRUE(record.has_value());
  EXPECT_EQ(record->fileVersion, "1.0.0.1");
  EXPECT_EQ(record->productVersion, "1.0.0.1");
  EXPECT_EQ(record->fileDescription, "Varnix");
  EXPECT_EQ(record->productName, "Varnix");

  EXPECT_FALSE(parseVersionRecord("FileVersion=1.0.0.1\n").has_value());
  EXPECT_FALSE(parseVersionRecord("").has_value());
}
