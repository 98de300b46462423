# The open project: its model, its history of edits and their commands.
list(APPEND KORVANE_LOGIC_SOURCES
    ${CMAKE_CURRENT_LIST_DIR}/UndoStack.cpp
    ${CMAKE_CURRENT_LIST_DIR}/Project.cpp
    ${CMAKE_CURRENT_LIST_DIR}/ProjectFile.cpp
    ${CMAKE_CURRENT_LIST_DIR}/PadCommands.cpp
    ${CMAKE_CURRENT_LIST_DIR}/TraceCommands.cpp
    ${CMAKE_CURRENT_LIST_DIR}/CursorCommands.cpp)
