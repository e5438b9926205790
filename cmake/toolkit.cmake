# The QK2CTL toolkit on Win32 (cross tree only): the core, the control
# classes, the window-test harness and the toolkit's window tests.
add_library(qk2ctl STATIC
  toolkit/core/ctl_init.cpp
  toolkit/core/ctl_draw.cpp
  toolkit/core/ctl_plumbing.cpp
  toolkit/core/ctl_free.cpp
  toolkit/controls/rotatif.cpp
  toolkit/controls/i2p.cpp
  toolkit/controls/slide.cpp
  toolkit/controls/list3d.cpp
  toolkit/controls/vgrid.cpp
  toolkit/controls/list2d.cpp
  toolkit/controls/drag.cpp
  toolkit/dialogs/edit_value.cpp
  toolkit/dialogs/adjust_popup.cpp
  toolkit/dialogs/time_dialog.cpp)
target_link_libraries(qk2ctl PUBLIC ctl_number ctl_time ctl_vgrid gdi32 user32 comctl32 advapi32)

# Helpers every window test uses: pumping, input, pixels, registry keys.
add_library(win_harness STATIC tests/win/harness.cpp)
target_link_libraries(win_harness PUBLIC qk2ctl)

# The toolkit's bitmaps are linked into the test program, whose instance is
# the application instance the tests start the toolkit with.
k_test(test-toolkit
  SOURCES tests/win/test_toolkit_init.cpp tests/win/test_toolkit_draw.cpp
          tests/win/test_toolkit_plumbing.cpp tests/win/test_free_panel.cpp
          tests/win/test_i2p.cpp tests/win/test_slide.cpp tests/win/test_vgrid.cpp
          tests/win/test_drag.cpp tests/win/test_edit_value.cpp
          tests/win/test_list2d.cpp tests/win/test_list3d.cpp
          tests/win/test_rotatif.cpp tests/win/test_adjust_popup.cpp
          resources/toolkit.rc
  LIBS win_harness)

# Wine benchmark (run by scripts/run-bench.sh under Xvfb): a Slide drag step
# beside the platform trackbar's TBM_SETPOS with redraw.
add_executable(bench-slide-win bench/bench_slide_win.cpp resources/toolkit.rc)
target_link_libraries(bench-slide-win PRIVATE qk2ctl)

# Paint speed of the lists under Wine (make bench runs it on a virtual screen).
add_executable(bench-lists-win bench/bench_lists_win.cpp resources/toolkit.rc)
target_link_libraries(bench-lists-win PRIVATE qk2ctl comctl32)

# The Vgrid's paint and hit-test speed under Wine (run by `make bench`).
add_executable(bench-vgrid-win bench/bench_vgrid_win.cpp resources/toolkit.rc)
target_compile_options(bench-vgrid-win PRIVATE -O2)
target_link_libraries(bench-vgrid-win PRIVATE qk2ctl)

# Wine benchmark of the knob's drag step beside the trackbar's
# (scripts/run-bench.sh runs every bench-*-win.exe under Wine).
add_executable(bench-rotatif-win bench/bench_rotatif_win.cpp resources/toolkit.rc)
target_compile_options(bench-rotatif-win PRIVATE -O2)
target_link_libraries(bench-rotatif-win PRIVATE qk2ctl comctl32)

# The time-entry dialog's window tests.
k_test(test-time-dialog
  SOURCES tests/win/test_time_dialog.cpp resources/toolkit.rc
  LIBS win_harness)

# The time-entry dialog's speed under Wine (scripts/run-bench.sh runs it).
add_executable(bench-time-dialog-win bench/bench_time_dialog_win.cpp resources/toolkit.rc)
target_link_libraries(bench-time-dialog-win PRIVATE qk2ctl)
