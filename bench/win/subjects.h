// The subjects of the Wine benchmark, each group measured side by side and
// added to the harness's table (bench/win/harness.h). Every function makes
// its own windows and destroys them; the toolkit must be started.
#pragma once
#include <windows.h>

// A knob drag step and a Slide drag step against the platform trackbar's
// TBM_SETPOS with its redraw (bench_controls.cpp).
void bench_drag_steps(int repetitions);
// One screen of the 2DList at 10 and at 10,000,000 lines, and the same rows
// in a virtual ListView (bench_controls.cpp).
void bench_list_paints(int repetitions);
// A Vgrid paint of the same 100 visible items among 100,000 and among 100
// (bench_controls.cpp).
void bench_vgrid_paints(int repetitions);
// The calculator's key-to-repaint against its floor (bench_calculator.cpp).
void bench_key_to_repaint(int rounds);
// keldoran.exe's start to its first paint against a minimal Win32 window
// program's (bench_calculator.cpp); both programs lie beside this one.
void bench_start_up(int launches);
// The time-entry dialog's figures, plain rows (bench_time_dialog.cpp).
void bench_time_dialog(int repetitions);

// A visible top-level host window of the bench's own class with a client
// area of width x height at (20, 20), painted grey; proc may be null for
// default handling. Returns it, or null.
HWND bench_host(const char *title, WNDPROC proc, int width, int height);
