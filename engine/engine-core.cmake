# The window-free reminder engine: snooze arithmetic, the pop-up's logic, tray icon states, activation.
target_sources(tellwick_core PRIVATE
    ${CMAKE_CURRENT_LIST_DIR}/RepeatIn.cpp
    ${CMAKE_CURRENT_LIST_DIR}/PopUpLogic.cpp
    ${CMAKE_CURRENT_LIST_DIR}/TrayIconStates.cpp
    ${CMAKE_CURRENT_LIST_DIR}/ReminderActivation.cpp
    ${CMAKE_CURRENT_LIST_DIR}/RepeatingReminders.cpp
    ${CMAKE_CURRENT_LIST_DIR}/MissedNotice.cpp)
