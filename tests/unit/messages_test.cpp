#include "app/messages.h"

#include <gtest/gtest.h>

TEST(LookupMessage, ChineseNoHardwareTextsUseTheFullWidthComma) {
  for (int language : {0, 1}) {
    const std::string_view text = lookupMessage(MessageKey::NoHardware, language).text;
    EXPECT_NE(text.find("\xEF\xBC\x8C"), std::string_view::npos) << language;  // U+FF0C
    EXPECT_EQ(text.find(','), std::string_view::npos) << language;
  }
}
