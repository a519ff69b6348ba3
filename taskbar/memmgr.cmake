# Cross-process memory: the platform-free block bookkeeping, then the Win32 managers.
zv_logic_library(zv_memmgr_logic ProcessMemBlocks.cpp)
target_link_libraries(zv_memmgr_logic PUBLIC zv_toolkit_logic)

zv_win_library(zv_memmgr IPCThrd.cpp uProcessMemMgr.cpp)
if(WIN32)
  target_link_libraries(zv_memmgr PUBLIC zv_memmgr_logic zv_toolkit)
endif()
