# The Wine benchmark (cross tree only; scripts/run-bench.sh runs it under
# Xvfb after the native benchmarks): every control and the calculator beside
# the platform's own or their floor, one table of ratios. It carries the
# calculator's resources (the toolkit's bitmaps included) and launches
# keldoran.exe and the minimal window program beside it for the start-up row.
add_executable(bench-win
  bench/win/main.cpp
  bench/win/harness.cpp
  bench/win/bench_controls.cpp
  bench/win/bench_calculator.cpp
  bench/win/bench_time_dialog.cpp
  resources/keldoran.rc)
target_link_libraries(bench-win PRIVATE keldoran_app win_harness comctl32)
add_dependencies(bench-win keldoran bench-minimal-window)

# The start-up row's yardstick: a window program that does nothing else.
add_executable(bench-minimal-window WIN32 bench/win/minimal_window.cpp)
target_link_libraries(bench-minimal-window PRIVATE gdi32 user32)

# The harness's figures, turns and table, and one quick run of the whole
# benchmark (a few samples of every row; no figure is judged, but a subject
# that cannot be set up or measured fails it).
k_test(test-bench-harness
  SOURCES tests/win/test_bench_harness.cpp bench/win/harness.cpp
  LIBS gdi32 user32)
add_test(NAME bench-win-quick COMMAND bench-win --quick)
