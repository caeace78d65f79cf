# The tray icon and one-shot timer on Qt.
target_sources(tellwick_gui PRIVATE ${CMAKE_CURRENT_LIST_DIR}/TrayIcon.cpp ${CMAKE_CURRENT_LIST_DIR}/TrayIcon.h)
