#include "app/fatal_error.h"

#include <QApplication>
#include <QMessageBox>
#include <QMetaObject>
#include <QThread>
#include <cstdio>
#include <cstdlib>

#include "net/http_download.h"

namespace miaohui {

std::string fatal_error_text(std::string_view message, std::int32_t code) {
  std::string text = "运行时出错!\r\n\r\n";
  if (code != 0) {
    text += "错误代码：";
    text += std::to_string(code);
    text += "\r\n\r\n";
  }
  if (!message.empty()) {
    text += "错误信息：";
    text += message;
    text += "\r\n";
  }
  return text;
}

std::string allocation_failure_message(std::size_t bytes) {
  return "分配 " + std::to_string(bytes) + " 字节内存失败!";
}

namespace {

void show_report(const std::string& text) {
  QMessageBox::critical(nullptr, QString::fromUtf8("错误"), QString::fromStdString(text));
}

}  // namespace

void fatal_error(std::string_view message, std::int32_t code) {
  const std::string text = fatal_error_text(message, code);
  QCoreApplication* app = QCoreApplication::instance();
  if (qobject_cast<QApplication*>(app) == nullptr) {
    std::fputs(text.c_str(), stderr);
  } else if (QThread::currentThread() == app->thread()) {
    show_report(text);
  } else {
    // A worker thread (a download) cannot show a window: the UI thread shows the report
    // while this thread waits for it.
    QMetaObject::invokeMethod(app, [&text] { show_report(text); }, Qt::BlockingQueuedConnection);
  }
  http_client_close();
  std::fflush(nullptr);
  // Ends at once, like the report's own exit: no destructors of a half-failed program run.
  std::_Exit(255);
}

}  // namespace miaohui
