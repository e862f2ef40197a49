#pragma once

// A test fixture that works in a folder of its own, where the program reads
// and writes its parameter files, and goes back to the old folder after.

#include <gtest/gtest.h>

#include <QDir>
#include <QString>
#include <QTemporaryDir>
#include <QTest>
#include <fstream>
#include <string>

#include "platform/dialog.h"
#include "platform/simple_controls.h"

class InWorkingFolder : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(folder_.isValid());
    previous_ = QDir::currentPath();
    ASSERT_TRUE(QDir::setCurrent(folder_.path()));
  }
  void TearDown() override { QDir::setCurrent(previous_); }

  static void writeFile(const char* name, const std::string& text) {
    std::ofstream(name, std::ios::binary) << text;
  }
  std::string pathInFolder(const char* name) const {
    return QDir(folder_.path()).filePath(name).toStdString();
  }

  // A real click on one of the dialog's push buttons.
  static void click(Dialog& dialog, int id) { QTest::mouseClick(dialog.pushButton(id), Qt::LeftButton); }

 private:
  QTemporaryDir folder_;
  QString previous_;
};
