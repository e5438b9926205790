# The toolkit under fire (cross tree only): seeded random-message runs against
# every class and dialog, and the start-up and shutdown cycles. Both programs
# count heap blocks: malloc, calloc, realloc and free of everything linked in
# (the toolkit included) go through the engine's counting wrappers.
add_library(fuzz_engine STATIC
  tests/win/fuzz/fuzz_engine.cpp
  tests/win/fuzz/fuzz_classes.cpp
  tests/win/fuzz/fuzz_dialogs.cpp)
target_link_libraries(fuzz_engine PUBLIC qk2ctl win_harness)
set(K_COUNTING_ALLOCATOR
  -Wl,--wrap=malloc,--wrap=calloc,--wrap=realloc,--wrap=free)

# `make test`: 20,000 messages per class and dialog, repeatability, the
# counters themselves, 1,000 start-up and shutdown cycles, and the faults the
# fuzzing found.
k_test(test-fuzz
  SOURCES tests/win/test_fuzz.cpp tests/win/test_fuzz_faults.cpp
          tests/win/test_toolkit_cycles.cpp resources/toolkit.rc
  LIBS fuzz_engine win_harness)
target_link_options(test-fuzz PRIVATE ${K_COUNTING_ALLOCATOR})

# `make fuzz`: a million messages per class and dialog, each share in a
# process of its own so that a crash is counted and the run goes on.
add_executable(fuzz-toolkit tests/win/fuzz/fuzz_main.cpp resources/toolkit.rc)
target_link_libraries(fuzz-toolkit PRIVATE fuzz_engine)
target_link_options(fuzz-toolkit PRIVATE ${K_COUNTING_ALLOCATOR})
