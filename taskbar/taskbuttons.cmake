# Taskbar snapshot: the grouping logic (platform-free) and the reading of the shell's toolbar.
zv_logic_library(zv_taskbuttons_logic ${CMAKE_CURRENT_LIST_DIR}/taskbuttons.cpp)
