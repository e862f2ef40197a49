#include "app/app_globals.h"

cv::Mat currentFrame;
std::vector<CameraEntry> CameraNameList;
int selectedCameraIndex = 0;
int languageIndex = 0;
Dialog* mainWindow = nullptr;
movie* videoWindow = nullptr;
int requestedWidth = 0;
int requestedHeight = 0;
