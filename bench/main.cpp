// miaohui-bench: Google Benchmark's main, with a QApplication on the offscreen platform for the
// paint benchmark when it is built.
#include <benchmark/benchmark.h>

#include <cstdlib>

#ifdef MIAOHUI_BENCH_PAINT
#include <QApplication>
#endif

int main(int argc, char** argv) {
#ifdef MIAOHUI_BENCH_PAINT
  setenv("QT_QPA_PLATFORM", "offscreen", 0);
  QApplication app(argc, argv);
#endif
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
