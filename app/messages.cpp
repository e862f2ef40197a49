#include "app/messages.h"

#include <array>

namespace {

constexpr std::array<MessageText, 3> noHardware = {{
    {"异常", "未检测到硬件，请检查连接状态后重新打开应用程序"},
    {"異常", "未檢測到硬件，請檢查連接狀態後重新打開應用程序"},
    {"abnormal", "No hardware detected, please check the connection status and re open the application"},
}};

// One text whatever the language.
constexpr MessageText openFailed = {"异常", "打开摄像头失败"};

}  // namespace

MessageText lookupMessage(MessageKey key, int languageIndex) {
  if (key == MessageKey::OpenFailed) return openFailed;
  const bool known = languageIndex >= 0 && languageIndex < static_cast<int>(noHardware.size());
  return noHardware[known ? static_cast<std::size_t>(languageIndex) : 0];
}
