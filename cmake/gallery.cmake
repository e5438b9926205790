# The gallery (cross tree only): a second program on the toolkit that shows
# every control. Its windows live in a library that gallery.exe and the
# gallery's window test share.
add_library(gallery_app STATIC
  gallery/gallery.cpp
  gallery/page_buttons.cpp
  gallery/page_knobs.cpp
  gallery/page_faders.cpp
  gallery/page_lists.cpp
  gallery/page_grid.cpp

  gallery/page_time.cpp)
target_link_libraries(gallery_app PUBLIC qk2ctl win_capture gdi32 user32)

add_executable(gallery WIN32 gallery/main.cpp resources/gallery.rc)
target_link_libraries(gallery PRIVATE gallery_app)

k_test(test-gallery
  SOURCES tests/win/test_gallery.cpp tests/win/test_gallery_faders.cpp resources/gallery.rc
  LIBS gallery_app win_harness)

# The README's complete example of a program on the toolkit: built with every
# cross build, so the example in the README always compiles.
add_executable(example-channel-strip WIN32 examples/channel_strip.cpp resources/toolkit.rc)
target_link_libraries(example-channel-strip PRIVATE qk2ctl)

# The gallery's controls under real input on the X server (xdotool): closes
# in the middle of drags and dialogs, releases outside, lost key-ups.
# gallery-probe reads the running gallery's state from outside.
add_executable(gallery-probe tests/win/gallery_probe.cpp)
target_include_directories(gallery-probe PRIVATE ${CMAKE_SOURCE_DIR})
add_test(NAME gallery-real-input
  COMMAND bash ${CMAKE_SOURCE_DIR}/tests/win/gallery_real_input.sh
          $<TARGET_FILE:gallery> $<TARGET_FILE:gallery-probe>)
