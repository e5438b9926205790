# Platform-free toolkit helpers: number formatting, parsing and rounding; the
# Vgrid's item storage.
k_pure_library(ctl_number toolkit/core/ctl_number.cpp)
k_test(test-numbers SOURCES tests/pure/test_numbers.cpp LIBS ctl_number_san)

# The Vgrid's item list and paint index.
k_pure_library(ctl_vgrid toolkit/controls/vgrid_items.cpp)
k_test(test-vgrid-items SOURCES tests/pure/test_vgrid_items.cpp LIBS ctl_vgrid_san)
