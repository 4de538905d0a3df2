// Runs one fatal error of the program (argv[1] names it) on the offscreen platform, prints
// the report box it shows and presses its OK button. The test looks at the output and the
// exit status.
#include <QApplication>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>
#include <cstdio>
#include <cstring>
#include <memory>

#include "app/fatal_error.h"
#include "app/window_table.h"

namespace {

std::string escaped(const QString& text) {
  std::string out;
  for (const char c : text.toStdString()) {
    if (c == '\r') out += "\\r";
    else if (c == '\n') out += "\\n";
    else out += c;
  }
  return out;
}

void report_and_dismiss() {
  for (QWidget* widget : QApplication::topLevelWidgets()) {
    auto* box = qobject_cast<QMessageBox*>(widget);
    if (box == nullptr || !box->isVisible()) continue;
    std::printf("caption=%s\nicon=%s\nparent=%s\nbuttons=%d\ntext=%s\n", box->windowTitle().toStdString().c_str(),
                box->icon() == QMessageBox::Critical ? "critical" : "other", box->parent() ? "some" : "none",
                static_cast<int>(box->buttons().size()), escaped(box->text()).c_str());
    std::fflush(stdout);
    box->button(QMessageBox::Ok)->click();
    return;
  }
  QTimer::singleShot(20, report_and_dismiss);
}

volatile std::size_t huge = std::size_t{1} << 48;

}  // namespace

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  const char* which = argc > 1 ? argv[1] : "";
  QTimer::singleShot(20, report_and_dismiss);
  if (std::strcmp(which, "message") == 0) miaohui::fatal_error("载入启动窗口失败", 0);
  if (std::strcmp(which, "code") == 0) miaohui::fatal_error("", -7);
  if (std::strcmp(which, "destroy") == 0) {
    miaohui::WindowTable table;
    table.destroy_window(miaohui::WindowId::main);
  }
  if (std::strcmp(which, "memory") == 0) {
    auto block = std::make_unique<char[]>(huge);
    std::printf("allocated %p\n", static_cast<void*>(block.get()));
  }
  return 0;
}
