#pragma once

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QString>
#include <functional>
#include <string>
#include <vector>

namespace miaohui::test {

// Runs the event loop until done() holds or the bound passes; the last answer of done().
inline bool wait_until(const std::function<bool()>& done, int bound_ms = 20000) {
  QElapsedTimer clock;
  clock.start();
  while (!done()) {
    if (clock.elapsed() > bound_ms) return done();
    QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
  }
  return true;
}

// Lets the loop run for a while (to see that nothing happens).
inline void settle(int ms = 300) {
  QElapsedTimer clock;
  clock.start();
  while (clock.elapsed() < ms) QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
}

// The URLs handed to the stand-in xdg-open that every app test has first on PATH, in order.
std::vector<std::string> launched_links();
void forget_launched_links();

}  // namespace miaohui::test
