#include "app/varnix_dlg.h"

#include <string>

#include "app/app_globals.h"
#include "app/control_bindings.h"
#include "app/dialog_placement.h"
#include "app/fatal_message.h"
#include "app/measure_and_snapshot.h"
#include "app/resources.h"
#include "app/slider_setup.h"
#include "camera/camera_models.h"
#include "platform/color_button.h"
#include "platform/screen.h"
#include "platform/slider_ctrl.h"
#include "res/control_ids.h"
#include "res/dialog_templates.h"
#include "video/movie.h"

CVarnixDlg::CVarnixDlg(CameraSystem& cameraSystem)
    : Dialog(mainDialogTemplate()), cameraSystem(cameraSystem) {
  ensureResources();
  m_hIcon = LoadIcon(appIconResource);
  // OverlayRecords starts with every value and flag 0 and every text empty.
}

CVarnixDlg::~CVarnixDlg() {
  cameraSettings.close();
  if (videoWindow == videoWindowStorage.get()) videoWindow = nullptr;
}

MessageMap CVarnixDlg::GetMessageMap() const {
  // Check boxes have no handlers: their state reaches the records with the
  // next pull. Scrolls and the close button arrive at OnHScroll and OnClose.
  static constexpr CommandEntry map[] = {
      onClicked<&CVarnixDlg::OnDialogOk>(ctl::DialogOk),
      onClicked<&CVarnixDlg::OnCloseProgram>(ctl::CloseProgram),
      onClicked<&CVarnixDlg::OnOpenCamera>(ctl::OpenCamera),
      onClicked<&CVarnixDlg::OnCloseCamera>(ctl::CloseCamera),
      onClicked<&CVarnixDlg::OnCircle2Color>(ctl::Circle2Color),
      onClicked<&CVarnixDlg::OnCircle1Color>(ctl::Circle1Color),
      onClicked<&CVarnixDlg::OnCircle3Color>(ctl::Circle3Color),
      onClicked<&CVarnixDlg::OnCrosshairColor>(ctl::CrosshairColor),
      onClicked<&CVarnixDlg::OnCameraSettings>(ctl::CameraSettings),
      onEditChange<&CVarnixDlg::OnChangeCrosshairAngle>(ctl::CrosshairAngleField),
      onEditChange<&CVarnixDlg::OnChangeCircle1Radius>(ctl::Circle1RadiusField),
      onEditChange<&CVarnixDlg::OnChangeCircle1Thickness>(ctl::Circle1ThicknessField),
      onEditChange<&CVarnixDlg::OnChangeCircle2Radius>(ctl::Circle2RadiusField),
      onEditChange<&CVarnixDlg::OnChangeCircle2Thickness>(ctl::Circle2ThicknessField),
      onEditChange<&CVarnixDlg::OnChangeCircle3Radius>(ctl::Circle3RadiusField),
      onEditChange<&CVarnixDlg::OnChangeCircle3Thickness>(ctl::Circle3ThicknessField),
      onEditChange<&CVarnixDlg::OnChangeCrosshairLength>(ctl::CrosshairLengthField),
      onEditChange<&CVarnixDlg::OnChangeCrosshairThickness>(ctl::CrosshairThicknessField),
      onClicked<&CVarnixDlg::OnSaveParameters>(ctl::SaveParameters),
      onEditChange<&CVarnixDlg::OnChangeOffsetVertical>(ctl::OffsetVerticalField),
      onEditChange<&CVarnixDlg::OnChangeOffsetHorizontal>(ctl::OffsetHorizontalField),
  };
  return map;
}

void CVarnixDlg::DoDataExchange(DataExchange& dx) {
  for (const ValueControls& row : valueControls) {
    DDX_Slider(dx, row.sliderId, numericValue(records, row.value));
    DDX_Text(dx, row.fieldId, numericText(records, row.value));
  }
  DDX_Check(dx, ctl::Circle1Enable, records.circle1.enabled);
  DDX_Check(dx, ctl::Circle2Enable, records.circle2.enabled);
  DDX_Check(dx, ctl::Circle3Enable, records.circle3.enabled);
  DDX_Check(dx, ctl::CrosshairEnable, records.crosshair.enabled);
  DDX_Check(dx, ctl::OffsetEnable, records.centerOffset.enabled);
}

bool CVarnixDlg::OnInitDialog() {
  SetWindowText("VEXA");
  Dialog::OnInitDialog();

  EnableDlgItem(ctl::OpenCamera, true);
  for (const int id : ctl::captureControls) EnableDlgItem(id, false);

  const PixelRect client = GetClientRect();
  const PixelRect place = placeMainDialog(primaryScreenRect(), client.width, client.height);
  MoveWindow(place.x, place.y, place.width, place.height);

  SetIcon(m_hIcon, IconSize::Big);
  SetIcon(m_hIcon, IconSize::Small);

  discoverKnownCameraOrExit();

  for (const NumericValueInfo& info : numericValueTable()) {
    numericValue(records, info.value) = info.startValue;
    numericText(records, info.value) = std::to_string(info.startValue);
  }
  UpdateData(false);
  setUpSliders(startSliders);

  focusPoint = FocusPoint{};
  applyDefaultColors();
  captureRunning = 0;
  return true;
}

void CVarnixDlg::discoverKnownCameraOrExit() {
  CameraNameList.clear();
  DiscoverCameras(cameraSystem, CameraNameList);
  if (MatchKnownCamera(CameraNameList, selectedCameraIndex)) return;
  // Without a known camera there is nothing this program can do. A known
  // camera the user may not open is still there, though, and the user can
  // do something about it.
  const std::vector<CameraEntry> denied = cameraSystem.enumerateDeniedDevices();
  int deniedIndex = 0;
  if (MatchKnownCamera(denied, deniedIndex))
    ShowFatalMessage(MessageKey::NoPermission, denied[static_cast<std::size_t>(deniedIndex)].devicePath);
  ShowFatalMessage(MessageKey::NoHardware);
}

void CVarnixDlg::setUpSliders(std::span<const SliderSetup> setups) {
  for (const SliderSetup& start : setups) {
    SliderCtrl* control = slider(controlsOf(start.value).sliderId);
    if (control == nullptr) continue;
    control->SetRange(start.minimum, start.maximum);
    control->SetTicFreq(start.ticFrequency);
    if (start.setsPosition) control->SetPos(numericValue(records, start.value));
    control->SetLineSize(1);
  }
}

void CVarnixDlg::applyDefaultColors() {
  for (const DefaultColor& color : defaultColors()) {
    ColorButton* button = colorButton(colorButtonOf(color.element));
    if (button == nullptr) continue;
    button->SetColor(color.color);
    drawColorOf(records, color.element) = colorToScalar(button->GetColor());
  }
}
