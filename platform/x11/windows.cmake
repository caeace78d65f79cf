# Other programs' windows on X11 (the title-bar display and the activity sampler use them).
target_sources(tellwick_gui PRIVATE ${CMAKE_CURRENT_LIST_DIR}/X11Windows.cpp)
