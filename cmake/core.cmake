# Platform-free toolkit helpers: number formatting, parsing and rounding.
k_pure_library(ctl_number toolkit/core/ctl_number.cpp)
k_test(test-numbers SOURCES tests/pure/test_numbers.cpp LIBS ctl_number_san)
