#pragma once

#include <functional>

namespace miaohui {

// Runs a blocking call on a worker thread while the UI thread waits in a nested event loop
// that holds back user input: windows repaint, animations play, clicks, keys and close
// requests are delivered after it returns. Shows the busy cursor meanwhile. An exception of
// the call is thrown again on the caller's thread. Calls never overlap: one made while
// another runs (from a timer inside the wait, or from another thread) waits for it to
// finish and then runs in place.
void run_waiting(const std::function<void()>& call);

// True while run_waiting is waiting (an action is running).
bool is_waiting();

template <class Call>
auto run_waiting_for(Call&& call) {
  decltype(call()) result{};
  run_waiting([&] { result = call(); });
  return result;
}

}  // namespace miaohui
