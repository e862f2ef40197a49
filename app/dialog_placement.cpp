#include "app/dialog_placement.h"

PixelRect placeMainDialog(const PixelRect& screen, int clientWidth, int clientHeight) {
  constexpr int margin = 100;
  return {screen.x + screen.width - clientWidth - margin, screen.y + margin, clientWidth, clientHeight};
}
