# The tray icon and one-shot timer on Qt.
target_sources(tellwick_gui PRIVATE ${CMAKE_CURRENT_LIST_DIR}/TrayIcon.cpp ${CMAKE_CURRENT_LIST_DIR}/TrayIcon.h)
# The notices: the desktop's notification service over D-Bus (not on Windows), or the tray balloon.
target_sources(tellwick_gui PRIVATE ${CMAKE_CURRENT_LIST_DIR}/TrayNotifier.cpp ${CMAKE_CURRENT_LIST_DIR}/TrayNotifier.h)
if(NOT WIN32)
    target_link_libraries(tellwick_gui PUBLIC Qt6::DBus)
endif()
