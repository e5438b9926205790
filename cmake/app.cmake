# Keldoran on Win32 (cross tree only): the calculator windows as a library
# that the program and the window tests share, keldoran.exe, the wincapture
# screenshot tool and the calculator's window tests.
add_library(keldoran_app STATIC
  app/main_window.cpp
  app/display.cpp
  app/keypad.cpp
  app/about.cpp
  app/clipboard.cpp)
target_link_libraries(keldoran_app PUBLIC calc_engine qk2ctl gdi32 user32)

# The GUI program, linked statically, with its pictures, icon and the
# toolkit's bitmaps.
add_executable(keldoran WIN32 app/main.cpp resources/keldoran.rc)
target_link_libraries(keldoran PRIVATE keldoran_app)

# Window captures to BMP, and the console tool that types keys on a running
# calculator and saves its picture (used by `make run`).
add_library(win_capture STATIC tools/capture/capture.cpp)
target_link_libraries(win_capture PUBLIC gdi32 user32)
add_executable(wincapture tools/capture/wincapture.cpp)
target_link_libraries(wincapture PRIVATE win_capture)

# The test program carries the same resources: its instance is the
# application instance the main window loads its pictures from.
k_test(test-app
  SOURCES tests/win/app_harness.cpp
          tests/win/test_app_codes.cpp
          tests/win/test_app_keyboard.cpp
          tests/win/test_app_mouse.cpp
          tests/win/test_app_display.cpp
          tests/win/test_app_about.cpp
          tests/win/test_app_lifecycle.cpp
          tests/win/test_app_clipboard.cpp
          tests/win/test_app_release.cpp
          tests/win/test_app_close.cpp
          resources/keldoran.rc
  LIBS keldoran_app win_harness win_capture)

# A close ends keldoran.exe whatever loop of the system handled it, tried
# with real input on the X server (xdotool) and a WM_CLOSE from another
# program.
add_test(NAME app-close-real-input
  COMMAND bash ${CMAKE_SOURCE_DIR}/tests/win/close_real_input.sh
          $<TARGET_FILE:keldoran> $<TARGET_FILE:wincapture>)

# No key stays drawn pressed, tried with real input on the X server.
add_test(NAME app-keys-real-input
  COMMAND bash ${CMAKE_SOURCE_DIR}/tests/win/keys_real_input.sh
          $<TARGET_FILE:keldoran> $<TARGET_FILE:wincapture>)
