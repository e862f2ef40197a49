#include "app/camera_controls_window.h"

#include <QApplication>
#include <QFormLayout>
#include <QLabel>
#include <QScrollArea>
#include <QTimer>
#include <QVBoxLayout>
#include <algorithm>

#include "app/control_editors.h"

CameraControlsWindow::CameraControlsWindow(CameraControls& controls, QWidget* owner)
    : QWidget(owner, Qt::Window), controls_(controls), refreshTimer_(new QTimer(this)) {
  setWindowTitle(QStringLiteral("摄像头设置"));
  if (!QApplication::windowIcon().isNull()) setWindowIcon(QApplication::windowIcon());

  auto* scroll = new QScrollArea(this);
  scroll->setWidgetResizable(true);
  scroll->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  auto* content = new QWidget(scroll);
  auto* form = new QFormLayout(content);
  const auto infos = controls_.queryControls();
  for (const auto& info : infos) {
    const std::uint32_t id = info.id;
    ControlEditor* editor = makeControlEditor(
        info, [this, id](std::int64_t value) { apply(id, value); }, content);
    editor->setObjectName(QStringLiteral("control-%1").arg(id));
    if (editor->wantsLabel())
      form->addRow(QString::fromStdString(info.name), editor);
    else
      form->addRow(editor);
    editors_[id] = editor;
  }
  if (infos.empty()) form->addRow(new QLabel(QStringLiteral("此摄像头没有可调节的设置"), content));
  scroll->setWidget(content);

  auto* layout = new QVBoxLayout(this);
  layout->addWidget(scroll);
  // As tall as the list needs, up to a height that fits any screen; a UVC
  // camera offers some twenty controls, which then scroll.
  resize(460, std::clamp(content->sizeHint().height() + 2 * layout->contentsMargins().top() + 8, 120, 640));

  refreshTimer_->setInterval(refreshIntervalMs);
  connect(refreshTimer_, &QTimer::timeout, this, &CameraControlsWindow::refresh);
  refreshTimer_->start();
}

void CameraControlsWindow::refresh() {
  for (const auto& info : controls_.queryControls())
    if (const auto editor = editors_.find(info.id); editor != editors_.end()) editor->second->showValue(info);
}

void CameraControlsWindow::apply(std::uint32_t id, std::int64_t value) {
  // Show at once what the device made of it: a refused or rounded value, and
  // controls that this one switched on or off.
  (void)controls_.setControl(id, value);
  refresh();
}

bool CameraSettingsWindowKeeper::show(CameraControls* controls) {
  if (controls == nullptr) return false;
  if (window_ && shownControls_ != controls) close();
  if (!window_) {
    window_ = new CameraControlsWindow(*controls, owner_);
    window_->setAttribute(Qt::WA_DeleteOnClose);
    shownControls_ = controls;
  }
  window_->show();
  window_->raise();
  window_->activateWindow();
  return true;
}

void CameraSettingsWindowKeeper::close() {
  // Deleted now, not later: its refresh timer must not fire once the
  // controls are gone.
  delete window_.data();
  shownControls_ = nullptr;
}
