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

# The time-entry dialog's window tests.
k_test(test-time-dialog
  SOURCES tests/win/test_time_dialog.cpp resources/toolkit.rc
  LIBS win_harness)
