# Program shell: window templates, start-up, login and register windows, the program itself.
list(APPEND STOCKDESK_UI_CORE_SOURCES
  ${CMAKE_CURRENT_LIST_DIR}/remembered_login.cpp)
list(APPEND STOCKDESK_UI_SOURCES
  ${CMAKE_CURRENT_LIST_DIR}/qt_text.cpp
  ${CMAKE_CURRENT_LIST_DIR}/dialogs.cpp
  ${CMAKE_CURRENT_LIST_DIR}/dialog_recorder.h
  ${CMAKE_CURRENT_LIST_DIR}/desktop.cpp
  ${CMAKE_CURRENT_LIST_DIR}/server_call.h
  ${CMAKE_CURRENT_LIST_DIR}/server_call.cpp
  ${CMAKE_CURRENT_LIST_DIR}/program.cpp
  ${CMAKE_CURRENT_LIST_DIR}/start_window.cpp
  ${CMAKE_CURRENT_LIST_DIR}/login_window.cpp
  ${CMAKE_CURRENT_LIST_DIR}/register_window.cpp
  ${CMAKE_CURRENT_LIST_DIR}/templates/template_support.cpp
  ${CMAKE_CURRENT_LIST_DIR}/templates/start_window_template.cpp
  ${CMAKE_CURRENT_LIST_DIR}/templates/login_window_template.cpp
  ${CMAKE_CURRENT_LIST_DIR}/templates/register_window_template.cpp
  ${CMAKE_CURRENT_LIST_DIR}/templates/main_window_template.cpp
  ${CMAKE_CURRENT_LIST_DIR}/templates/change_password_window_template.cpp
  ${CMAKE_CURRENT_LIST_DIR}/assets/shell_assets.qrc)
