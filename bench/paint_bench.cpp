// paint/stretch/576x544: one paint of a decoded 1000 x 750 picture into the picture box, as the
// main window's box (display mode 1, smooth), rendered offscreen.
#include <benchmark/benchmark.h>

#include <QImage>
#include <QPainter>

#include "inputs.h"
#include "picture/picture_box.h"

namespace miaohui::bench {
namespace {

void paint_stretch(benchmark::State& state) {
  PictureBox box(PictureBoxSettings{});
  box.resize(576, 544);
  box.set_picture(make_jpeg(1000, 750, 85));
  QImage target(576, 544, QImage::Format_ARGB32_Premultiplied);
  for (auto _ : state) {
    box.render(&target);
    benchmark::DoNotOptimize(target.constBits());
  }
  state.SetItemsProcessed(state.iterations() * 576 * 544);
}

// Qt spreads a smooth scaling over its thread pool: the CPU column counts every thread.
BENCHMARK(paint_stretch)->Name("paint/stretch/576x544")->Unit(benchmark::kMicrosecond)->MeasureProcessCPUTime();

}  // namespace
}  // namespace miaohui::bench
