#include "app/control_editors.h"

#include <QCheckBox>
#include <QComboBox>
#include <QHBoxLayout>
#include <QPushButton>
#include <QSignalBlocker>
#include <QSlider>
#include <QSpinBox>
#include <algorithm>
#include <array>
#include <limits>
#include <utility>

namespace {

// Qt's sliders count in int; V4L2 ranges are 64-bit but never that wide in
// practice.
int toInt(std::int64_t value) {
  return static_cast<int>(
      std::clamp<std::int64_t>(value, std::numeric_limits<int>::min(), std::numeric_limits<int>::max()));
}

class IntegerEditor final : public ControlEditor {
 public:
  IntegerEditor(const CameraControlInfo& info, ChangeHandler onChange, QWidget* parent)
      : ControlEditor(std::move(onChange), parent),
        slider_(new QSlider(Qt::Horizontal, this)),
        number_(new QSpinBox(this)) {
    const int step = std::max(1, toInt(info.step));
    slider_->setRange(toInt(info.minimum), toInt(info.maximum));
    slider_->setSingleStep(step);
    slider_->setPageStep(std::max(step, static_cast<int>((info.maximum - info.minimum) / 10)));
    number_->setRange(toInt(info.minimum), toInt(info.maximum));
    number_->setSingleStep(step);
    // A typed number applies when it is complete, not at every digit.
    number_->setKeyboardTracking(false);
    slider_->setObjectName("slider");
    number_->setObjectName("number");
    // One width for every number field, so the sliders above each other line up.
    number_->setMinimumWidth(number_->fontMetrics().horizontalAdvance(QStringLiteral("-000000")) + 32);

    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(slider_, 1);
    layout->addWidget(number_);

    connect(slider_, &QSlider::valueChanged, this, [this](int value) {
      const QSignalBlocker blocker(number_);
      number_->setValue(value);
      report(value);
    });
    connect(number_, &QSpinBox::valueChanged, this, [this](int value) {
      const QSignalBlocker blocker(slider_);
      slider_->setValue(value);
      report(value);
    });
    showValue(info);
  }

  void showValue(const CameraControlInfo& info) override {
    showEnabled(info);
    // Never pull the handle from under the user's mouse.
    if (slider_->isSliderDown()) return;
    const QSignalBlocker sliderBlocker(slider_);
    const QSignalBlocker numberBlocker(number_);
    slider_->setValue(toInt(info.value));
    number_->setValue(toInt(info.value));
  }

 private:
  QSlider* slider_;
  QSpinBox* number_;
};

class BooleanEditor final : public ControlEditor {
 public:
  BooleanEditor(const CameraControlInfo& info, ChangeHandler onChange, QWidget* parent)
      : ControlEditor(std::move(onChange), parent), box_(new QCheckBox(this)) {
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(box_);
    layout->addStretch();
    connect(box_, &QCheckBox::toggled, this, [this](bool checked) { report(checked ? 1 : 0); });
    showValue(info);
  }

  void showValue(const CameraControlInfo& info) override {
    showEnabled(info);
    const QSignalBlocker blocker(box_);
    box_->setChecked(info.value != 0);
  }

 private:
  QCheckBox* box_;
};

class MenuEditor final : public ControlEditor {
 public:
  MenuEditor(const CameraControlInfo& info, ChangeHandler onChange, QWidget* parent)
      : ControlEditor(std::move(onChange), parent), list_(new QComboBox(this)) {
    for (const auto& item : info.menuItems)
      list_->addItem(QString::fromStdString(item.name), QVariant::fromValue<qlonglong>(item.value));
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(list_);
    // activated: the user's choice only, not our own updates.
    connect(list_, &QComboBox::activated, this,
            [this](int index) { report(list_->itemData(index).toLongLong()); });
    showValue(info);
  }

  void showValue(const CameraControlInfo& info) override {
    showEnabled(info);
    const QSignalBlocker blocker(list_);
    list_->setCurrentIndex(list_->findData(QVariant::fromValue<qlonglong>(info.value)));
  }

 private:
  QComboBox* list_;
};

class ButtonEditor final : public ControlEditor {
 public:
  ButtonEditor(const CameraControlInfo& info, ChangeHandler onChange, QWidget* parent)
      : ControlEditor(std::move(onChange), parent),
        button_(new QPushButton(QString::fromStdString(info.name), this)) {
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(button_);
    layout->addStretch();
    connect(button_, &QPushButton::clicked, this, [this] { report(1); });
    showValue(info);
  }

  void showValue(const CameraControlInfo& info) override { showEnabled(info); }
  bool wantsLabel() const override { return false; }

 private:
  QPushButton* button_;
};

template <typename Editor>
ControlEditor* make(const CameraControlInfo& info, ControlEditor::ChangeHandler onChange, QWidget* parent) {
  return new Editor(info, std::move(onChange), parent);
}

using EditorFactory = ControlEditor* (*)(const CameraControlInfo&, ControlEditor::ChangeHandler, QWidget*);

// Indexed by ControlType.
constexpr std::array<EditorFactory, 4> editorFactories = {
    &make<IntegerEditor>,
    &make<BooleanEditor>,
    &make<MenuEditor>,
    &make<ButtonEditor>,
};
static_assert(static_cast<std::size_t>(ControlType::Button) + 1 == editorFactories.size());

}  // namespace

ControlEditor::ControlEditor(ChangeHandler onChange, QWidget* parent)
    : QWidget(parent), onChange_(std::move(onChange)) {}

ControlEditor* makeControlEditor(const CameraControlInfo& info, ControlEditor::ChangeHandler onChange,
                                 QWidget* parent) {
  return editorFactories[static_cast<std::size_t>(info.type)](info, std::move(onChange), parent);
}
