# Component library readers.
list(APPEND KORVANE_LOGIC_SOURCES
    ${CMAKE_CURRENT_LIST_DIR}/Libraries.cpp)

# Export: component data, Protel and KiCad net-list and schematic writers, the export sequence.
list(APPEND KORVANE_LOGIC_SOURCES
    ${CMAKE_CURRENT_LIST_DIR}/E24.cpp
    ${CMAKE_CURRENT_LIST_DIR}/ExportModel.cpp
    ${CMAKE_CURRENT_LIST_DIR}/NetListWriter.cpp
    ${CMAKE_CURRENT_LIST_DIR}/KiCadNetListWriter.cpp
    ${CMAKE_CURRENT_LIST_DIR}/SchematicWriter.cpp
    ${CMAKE_CURRENT_LIST_DIR}/ExportRun.cpp
    ${CMAKE_CURRENT_LIST_DIR}/ExportDialogModel.cpp)
list(APPEND KORVANE_GUI_SOURCES
    ${CMAKE_CURRENT_LIST_DIR}/ExportDialog.cpp)
