// Every app test runs with the program's own application settings and with a stand-in
// xdg-open first on PATH, so that no click ever starts a browser.
#include "app/app_test_support.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <cstdlib>
#include <memory>

#include <gtest/gtest.h>

#include "app/startup.h"

namespace miaohui::test {

namespace {

class DesktopStandIn : public testing::Environment {
 public:
  void SetUp() override {
    folder_ = std::make_unique<QTemporaryDir>();
    ASSERT_TRUE(folder_->isValid());
    record_ = folder_->filePath("launches");
    const QString script = folder_->filePath("xdg-open");
    QFile file(script);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(("#!/bin/sh\nprintf '%s\\n' \"$1\" >> '" + record_ + "'\n").toUtf8());
    file.close();
    file.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    const std::string path = folder_->path().toStdString() + ":" + (std::getenv("PATH") ? std::getenv("PATH") : "");
    setenv("PATH", path.c_str(), 1);
    apply_application_settings();
  }
  void TearDown() override { folder_.reset(); }

  static QString record_;

 private:
  std::unique_ptr<QTemporaryDir> folder_;
};

QString DesktopStandIn::record_;

[[maybe_unused]] testing::Environment* const environment = testing::AddGlobalTestEnvironment(new DesktopStandIn);

}  // namespace

std::vector<std::string> launched_links() {
  std::vector<std::string> links;
  QFile file(DesktopStandIn::record_);
  if (!file.open(QIODevice::ReadOnly)) return links;
  for (const QByteArray& line : file.readAll().split('\n')) {
    if (!line.isEmpty()) links.push_back(line.toStdString());
  }
  return links;
}

void forget_launched_links() { QFile::remove(DesktopStandIn::record_); }

}  // namespace miaohui::test
