#include "platform/data_exchange.h"

#include "platform/number_field.h"
#include "platform/simple_controls.h"
#include "platform/slider_ctrl.h"

// A binding to a control the dialog lacks fails the exchange instead of
// crashing it; the other bindings still run.

void DDX_Slider(DataExchange& dx, int controlId, int& value) {
  SliderCtrl* slider = dx.controls().slider(controlId);
  if (slider == nullptr) {
    dx.fail();
    return;
  }
  if (dx.saveAndValidate())
    value = slider->GetPos();
  else
    slider->SetPos(value);
}

void DDX_Text(DataExchange& dx, int controlId, std::string& value) {
  NumberField* field = dx.controls().numberField(controlId);
  if (field == nullptr) {
    dx.fail();
    return;
  }
  if (dx.saveAndValidate())
    value = field->GetWindowText();
  else if (field->GetWindowText() != value)
    field->SetWindowText(value);
}

void DDX_Check(DataExchange& dx, int controlId, int& value) {
  CheckBox* box = dx.controls().checkBox(controlId);
  if (box == nullptr) {
    dx.fail();
    return;
  }
  if (dx.saveAndValidate())
    value = box->GetCheck();
  else
    box->SetCheck(value);
}
