#pragma once

#include <opencv2/core/mat.hpp>
#include <vector>

#include "camera/camera_system.h"

class Dialog;
class movie;

// The single instances the program shares across its parts.

// The latest frame; the overlay is drawn into it.
extern cv::Mat currentFrame;
// The devices found by the latest discovery, in discovery order.
extern std::vector<CameraEntry> CameraNameList;
// Position in CameraNameList of the camera that matched.
extern int selectedCameraIndex;
// Column of the message table; 0 simplified Chinese. Nothing changes it.
extern int languageIndex;
// The main dialog while it runs: owner of the program's message boxes.
extern Dialog* mainWindow;
// The latest video window; its window may already be destroyed. Null until
// the first capture run creates one.
extern movie* videoWindow;
// The capture size of the chosen camera profile.
extern int requestedWidth;
extern int requestedHeight;
