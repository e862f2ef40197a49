#include "app/dialog_placement.h"

WindowPlacement placeMainDialog(int screenWidth, int clientWidth, int clientHeight) {
  constexpr int margin = 100;
  return {screenWidth - clientWidth - margin, margin, clientWidth, clientHeight};
}
