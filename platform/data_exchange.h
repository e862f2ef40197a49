#pragma once

#include <string>

class Dialog;

// One run of a dialog's data exchange: the direction, and whether every
// binding found its control.
class DataExchange {
 public:
  DataExchange(Dialog& dialog, bool saveAndValidate) : dialog_(dialog), saveAndValidate_(saveAndValidate) {}

  Dialog& dialog() const { return dialog_; }
  // true: controls into members (pull); false: members into controls (push).
  bool saveAndValidate() const { return saveAndValidate_; }

  void fail() { failed_ = true; }
  bool failed() const { return failed_; }

 private:
  Dialog& dialog_;
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
