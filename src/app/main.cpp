#include <QApplication>

#include "app/startup.h"

int main(int argc, char** argv) {
  miaohui::enter_executable_folder();
  QApplication app(argc, argv);
  miaohui::apply_application_settings();
  return miaohui::run_program();
}
