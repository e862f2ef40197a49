#pragma once

#include <string>

class CheckBox;
class NumberField;
class SliderCtrl;

// Where an exchange finds the controls it binds; the dialog implements it.
// Each gives null when there is no such control, or it is of another kind.
class ControlLookup {
 public:
  virtual SliderCtrl* slider(int controlId) const = 0;
  virtual NumberField* numberField(int controlId) const = 0;
  virtual CheckBox* checkBox(int controlId) const = 0;

 protected:
  ~ControlLookup() = default;
};

// One run of a dialog's data exchange: the direction, and whether every
// binding found its control.
class DataExchange {
 public:
  DataExchange(const ControlLookup& controls, bool saveAndValidate)
      : controls_(controls), saveAndValidate_(saveAndValidate) {}

  const ControlLookup& controls() const { return controls_; }
  // true: controls into members (pull); false: members into controls (push).
  bool saveAndValidate() const { return saveAndValidate_; }

  void fail() { failed_ = true; }
  bool failed() const { return failed_; }

 private:
  const ControlLookup& controls_;
  bool saveAndValidate_ = false;
  bool failed_ = false;
};

// Slider position <-> value. A push moves the slider (kept inside its range).
void DDX_Slider(DataExchange& dx, int controlId, int& value);
// Field text <-> string. A push writes only when the text differs from what
// the field shows, so an unchanged field reports no change.
void DDX_Text(DataExchange& dx, int controlId, std::string& value);
// Check box state <-> 0 or 1.
void DDX_Check(DataExchange& dx, int controlId, int& value);
