#include "app/messages.h"

#include <array>

namespace {

constexpr int languageCount = 3;

constexpr std::array<MessageText, languageCount> noHardware = {{
    {"异常", "未检测到硬件，请检查连接状态后重新打开应用程序"},
    {"異常", "未檢測到硬件，請檢查連接狀態後重新打開應用程序"},
    {"abnormal", "No hardware detected, please check the connection status and re open the application"},
}};

// There was never a translation of this one; every language shows it as is.
constexpr MessageText openFailed = {"异常", "打开摄像头失败"};

}  // namespace

MessageText lookupMessage(MessageKey key, int languageIndex) {
  if (key == MessageKey::OpenFailed) return openFailed;
  const int column = (languageIndex >= 0 && languageIndex < languageCount) ? languageIndex : 0;
  return noHardware[static_cast<std::size_t>(column)];
}
