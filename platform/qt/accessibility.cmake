# What screen readers get from windows, date and time edits and combo boxes.
target_sources(tellwick_gui PRIVATE ${CMAKE_CURRENT_LIST_DIR}/Accessibility.cpp)
