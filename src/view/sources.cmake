list(APPEND KORVANE_LOGIC_SOURCES
    ${CMAKE_CURRENT_LIST_DIR}/ScrollBarModel.cpp
    ${CMAKE_CURRENT_LIST_DIR}/ViewTransform.cpp
    ${CMAKE_CURRENT_LIST_DIR}/AlignmentDraft.cpp
    ${CMAKE_CURRENT_LIST_DIR}/CursorSync.cpp
    ${CMAKE_CURRENT_LIST_DIR}/tools/CursorDragTool.cpp)
list(APPEND KORVANE_GUI_SOURCES
    ${CMAKE_CURRENT_LIST_DIR}/PictureBox.cpp
    ${CMAKE_CURRENT_LIST_DIR}/PictureFile.cpp
    ${CMAKE_CURRENT_LIST_DIR}/PicturePyramid.cpp
    ${CMAKE_CURRENT_LIST_DIR}/Panes.cpp
    ${CMAKE_CURRENT_LIST_DIR}/OverlayBar.cpp
    ${CMAKE_CURRENT_LIST_DIR}/AlignmentWindow.cpp
    ${CMAKE_CURRENT_LIST_DIR}/ScaleWizardWindow.cpp)
