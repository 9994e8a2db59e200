# Main window, information browsers, heartbeat, change-password window.
list(APPEND STOCKDESK_UI_CORE_SOURCES
  ${CMAKE_CURRENT_LIST_DIR}/tab_table.cpp
  ${CMAKE_CURRENT_LIST_DIR}/page_selection.cpp
  ${CMAKE_CURRENT_LIST_DIR}/heartbeat.cpp)
list(APPEND STOCKDESK_UI_SOURCES
  ${CMAKE_CURRENT_LIST_DIR}/info_browser.cpp
  ${CMAKE_CURRENT_LIST_DIR}/main_window.cpp
  ${CMAKE_CURRENT_LIST_DIR}/change_password_window.cpp)
