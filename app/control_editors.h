#pragma once

#include <QWidget>
#include <cstdint>
#include <functional>

#include "camera/camera_controls.h"

// The widget that shows one camera control and reports the user's changes.
class ControlEditor : public QWidget {
 public:
  using ChangeHandler = std::function<void(std::int64_t value)>;

  ControlEditor(ChangeHandler onChange, QWidget* parent);

  // Shows the value and whether the control can be changed now, without
  // reporting it back as a change.
  virtual void showValue(const CameraControlInfo& info) = 0;
  // Whether the row shows the control's name beside the editor (a button
  // carries it itself).
  virtual bool wantsLabel() const { return true; }

 protected:
  void report(std::int64_t value) const { onChange_(value); }
  void showEnabled(const CameraControlInfo& info) { setEnabled(!info.readOnly && !info.inactive); }

 private:
  ChangeHandler onChange_;
};

// The editor for the control's type: integer as a slider with a number,
// boolean as a check box, menu as a list, button as a button.
ControlEditor* makeControlEditor(const CameraControlInfo& info, ControlEditor::ChangeHandler onChange,
                                 QWidget* parent);
