#include "app/messages.h"

#include <gtest/gtest.h>

TEST(LookupMessage, NoHardwareFollowsTheLanguageColumn) {
  struct Case {
    int languageIndex;
    std::string_view caption;
    std::string_view text;
  };
  const Case cases[] = {
      {0, "异常", "未检测到硬件，请检查连接状态后重新打开应用程序"},
      {1, "異常", "未檢測到硬件，請檢查連接狀態後重新打開應用程序"},
      {2, "abnormal", "No hardware detected, please check the connection status and re open the application"},
      // Outside the table: the simplified Chinese column, never a read past the end.
      {3, "异常", "未检测到硬件，请检查连接状态后重新打开应用程序"},
      {-1, "异常", "未检测到硬件，请检查连接状态后重新打开应用程序"},
  };
  for (const Case& c : cases) {
    const MessageText message = lookupMessage(MessageKey::NoHardware, c.languageIndex);
    EXPECT_EQ(message.caption, c.caption) << c.languageIndex;
    EXPECT_EQ(message.text, c.text) << c.languageIndex;
  }
}

TEST(LookupMessage, ChineseNoHardwareTextsUseTheFullWidthComma) {
  for (int language : {0, 1}) {
    const std::string_view text = lookupMessage(MessageKey::NoHardware, language).text;
    EXPECT_NE(text.find("\xEF\xBC\x8C"), std::string_view::npos) << language;  // U+FF0C
    EXPECT_EQ(text.find(','), std::string_view::npos) << language;
  }
}

TEST(LookupMessage, OpenFailedIsTheSameInEveryLanguage) {
  for (int language : {0, 1, 2, 7}) {
    const MessageText message = lookupMessage(MessageKey::OpenFailed, language);
    EXPECT_EQ(message.caption, "异常") << language;
    EXPECT_EQ(message.text, "打开摄像头失败") << language;
  }
}
