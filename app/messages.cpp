#include "app/messages.h"

#include <array>

namespace {

constexpr int languageCount = 3;
constexpr std::string_view deviceMark = "{device}";

using Column = std::array<MessageText, languageCount>;

constexpr Column noHardware = {{
    {"异常", "未检测到硬件，请检查连接状态后重新打开应用程序"},
    {"異常", "未檢測到硬件，請檢查連接狀態後重新打開應用程序"},
    {"abnormal", "No hardware detected, please check the connection status and re open the application"},
}};

// There was never a translation of this one; every language shows it as is.
constexpr MessageText openFailed = {"异常", "打开摄像头失败"};

// Linux gives cameras to the "video" group; a new membership counts only
// from the next login.
constexpr Column noPermission = {{
    {"异常", "没有权限打开摄像头 {device}，请将当前用户加入 video 组，然后注销并重新登录"},
    {"異常", "沒有權限打開攝像頭 {device}，請將當前用戶加入 video 組，然後註銷並重新登錄"},
    {"abnormal",
     "No permission to open the camera {device}, please add your user to the video group, then log out "
     "and log in again"},
}};

constexpr Column cameraInUse = {{
    {"异常", "摄像头正被其他程序使用，请关闭该程序后重新打开应用程序"},
    {"異常", "攝像頭正被其他程序使用，請關閉該程序後重新打開應用程序"},
    {"abnormal",
     "The camera is in use by another program, please close that program and re open the application"},
}};

}  // namespace

MessageText lookupMessage(MessageKey key, int languageIndex) {
  if (key == MessageKey::OpenFailed) return openFailed;
  const auto column =
      static_cast<std::size_t>((languageIndex >= 0 && languageIndex < languageCount) ? languageIndex : 0);
  switch (key) {
    case MessageKey::NoPermission: return noPermission[column];
    case MessageKey::CameraInUse: return cameraInUse[column];
    default: return noHardware[column];
  }
}

std::string messageTextFor(const MessageText& message, std::string_view devicePath) {
  std::string text(message.text);
  if (const auto at = text.find(deviceMark); at != std::string::npos)
    text.replace(at, deviceMark.size(), devicePath);
  return text;
}
