// Fixed texts of the window that more than one source uses.
#pragma once

// The program's title: its name in the task list and the caption of its
// message and error boxes.
inline constexpr char kApplicationTitle[] = "Brevant";
