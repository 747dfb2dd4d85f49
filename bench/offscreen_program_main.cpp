#include <QApplication>
#include <QByteArray>

#include <benchmark/benchmark.h>

// The main of the benchmarks that start the program in-process: offscreen, on the null sound
// device, with the application object the program's start function expects to find.
int main(int argc, char** argv) {
  qputenv("QT_QPA_PLATFORM", "offscreen");
  qputenv("LENTARO_AUDIO", "null");
  QApplication application(argc, argv);
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
