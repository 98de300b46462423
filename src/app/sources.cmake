list(APPEND KORVANE_LOGIC_SOURCES
    ${CMAKE_CURRENT_LIST_DIR}/Shell.cpp)
list(APPEND KORVANE_GUI_SOURCES
    ${CMAKE_CURRENT_LIST_DIR}/MainWindow.cpp
    ${CMAKE_CURRENT_LIST_DIR}/ProjectSession.cpp
    ${CMAKE_CURRENT_LIST_DIR}/PaneEvents.cpp
    ${CMAKE_CURRENT_LIST_DIR}/CursorController.cpp
    ${CMAKE_CURRENT_LIST_DIR}/PadController.cpp
    ${CMAKE_CURRENT_LIST_DIR}/tools/PadTool.cpp
    ${CMAKE_CURRENT_LIST_DIR}/TracingController.cpp
    ${CMAKE_CURRENT_LIST_DIR}/NetsController.cpp
    ${CMAKE_CURRENT_LIST_DIR}/ExportHooks.cpp
    ${CMAKE_CURRENT_LIST_DIR}/PictureCommands.cpp
    ${CMAKE_CURRENT_LIST_DIR}/PictureTransformCommand.cpp
    ${CMAKE_CURRENT_LIST_DIR}/HelpCommands.cpp
    ${CMAKE_CURRENT_LIST_DIR}/MainMenu.cpp)
