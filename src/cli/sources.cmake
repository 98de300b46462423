# korvane-cli: the logic layer and image files only, no widgets.
set(KORVANE_CLI_SOURCES
    ${CMAKE_CURRENT_LIST_DIR}/main.cpp
    ${CMAKE_CURRENT_LIST_DIR}/CommandLine.cpp
    ${CMAKE_CURRENT_LIST_DIR}/RenderCommand.cpp
    ${CMAKE_CURRENT_LIST_DIR}/AlignCommand.cpp
    ${CMAKE_CURRENT_LIST_DIR}/CheckCommand.cpp
    ${CMAKE_CURRENT_LIST_DIR}/../view/PictureFile.cpp
    ${CMAKE_CURRENT_LIST_DIR}/../transforms/OrientedImage.cpp)
