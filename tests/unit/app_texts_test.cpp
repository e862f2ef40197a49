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
      {MessageKey::NoPermission, 0, "异常",
       "没有权限打开摄像头 {device}，请将当前用户加入 video 组，然后注销并重新登录"},
      {MessageKey::NoPermission, 2, "abnormal",
       "No permission to open the camera {device}, please add your user to the video group, then log out and "
       "log "
       "in again"},
      {MessageKey::NoPermission, 7, "异常",
       "没有权限打开摄像头 {device}，请将当前用户加入 video 组，然后注销并重新登录"},
      {MessageKey::CameraInUse, 0, "异常", "摄像头正被其他程序使用，请关闭该程序后重新打开应用程序"},
      {MessageKey::CameraInUse, 1, "異常", "攝像頭正被其他程序使用，請關閉該程序後重新打開應用程序"},
      {MessageKey::CameraInUse, 2, "abnormal",
       "The camera is in use by another program, please close that program and re open the application"},
  };
  for (const Case& c : cases) {
    const MessageText message = lookupMessage(c.key, c.language);
    EXPECT_EQ(message.caption, c.caption) << c.language;
    EXPECT_EQ(message.text, c.text) << c.language;
  }
}

TEST(MessageTable, TheDevicePathFillsItsMarkAndOtherTextsStayAsTheyAre) {
  for (int language : {0, 1, 2}) {
    const std::string text = messageTextFor(lookupMessage(MessageKey::NoPermission, language), "/dev/video3");
    EXPECT_NE(text.find("/dev/video3"), std::string::npos) << language;
    EXPECT_EQ(text.find('{'), std::string::npos) << language;
  }
  const MessageText noHardware = lookupMessage(MessageKey::NoHardware, 0);
  EXPECT_EQ(messageTextFor(noHardware, "/dev/video3"), noHardware.text);
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
