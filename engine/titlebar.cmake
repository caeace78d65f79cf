# The title-bar display: window-free, it reaches other programs' windows through the platform layer.
target_sources(tellwick_core PRIVATE ${CMAKE_CURRENT_LIST_DIR}/TitleBar.cpp)
