# Runs korvane-make-demo into a scratch folder. The generator refuses a board whose copper shorts or cuts
# a net, so a clean exit already vouches for the geometry; this script checks what the program will read:
# the project's sections and keys in their order, CR LF line ends, calibrated cursors, the stored
# alignment at the end, and pictures that exist and stay small enough to keep in the repository.
#
#   cmake -DGENERATOR=<korvane-make-demo> -DOUT=<folder> -P check_demo.cmake

cmake_minimum_required(VERSION 3.25)

file(REMOVE_RECURSE "${OUT}")
execute_process(COMMAND "${GENERATOR}" "${OUT}" RESULT_VARIABLE rc)
if(NOT rc EQUAL 0)
    message(FATAL_ERROR "korvane-make-demo failed with ${rc}")
endif()

foreach(picture top.jpg bottom.jpg)
    if(NOT EXISTS "${OUT}/${picture}")
        message(FATAL_ERROR "${picture} was not written")
    endif()
    file(SIZE "${OUT}/${picture}" size)
    if(size LESS 20000 OR size GREATER 600000)
        message(FATAL_ERROR "${picture} has ${size} bytes")
    endif()
endforeach()

# file(READ) drops carriage returns from text, so the line ends are checked on the bytes.
file(READ "${OUT}/demo.kvp" bytes HEX)
string(REGEX REPLACE "([0-9a-f][0-9a-f])" "\\1 " bytes "${bytes}")
string(REPLACE "0d 0a " "" without_crlf "${bytes}")
if(without_crlf MATCHES "(^| )(0d|0a) " OR NOT bytes MATCHES "0d 0a $")
    message(FATAL_ERROR "demo.kvp must end every line with CR LF")
endif()
file(READ "${OUT}/demo.kvp" text)
string(REPLACE "\r" "" text "${text}")
string(REPLACE ";" "\\;" text "${text}")
string(REGEX REPLACE "\n$" "" text "${text}")
string(REPLACE "\n" ";" lines "${text}")

set(expected
    "^\\[FilePathSection\\]$" "^First=top\\.jpg$" "^Second=bottom\\.jpg$"
    "^X=[0-9]+(\\.[0-9]+)?$" "^Y=[0-9]+(\\.[0-9]+)?$"
    "^OldX1=[0-9]+$" "^OldY1=[0-9]+$" "^OldX2=[0-9]+$" "^OldY2=[0-9]+$"
    "^X1=[0-9]+$" "^Y1=[0-9]+$" "^X2=[0-9]+$" "^Y2=[0-9]+$" "^$")
list(LENGTH expected wanted)
math(EXPR last "${wanted} - 1")
# The named pads (40 of components, 5 vias), the component data and the kept fills (one for every copper
# area a pad or via reaches) follow the main values.
set(pads 0)
set(components 0)
set(traces 0)
foreach(line IN LISTS lines)
    if(line MATCHES "^\\[Pad[1-9][0-9]*\\]$")
        math(EXPR pads "${pads} + 1")
    elseif(line MATCHES "^[A-Z]+[0-9]+=[0-9]+{label}[^{]+{footprint}[^{]+$")
        math(EXPR components "${components} + 1")
    elseif(line MATCHES "^[12]-[0-9]+-[0-9]+-[0-9]+=[0-9]+-0\\.1-0\\.1$")
        math(EXPR traces "${traces} + 1")
    endif()
endforeach()
if(NOT pads EQUAL 45 OR NOT components EQUAL 16 OR NOT traces EQUAL 43)
    message(FATAL_ERROR "demo.kvp has ${pads} pads, ${components} components and ${traces} traces")
endif()
foreach(i RANGE ${last})
    list(GET lines ${i} line)
    list(GET expected ${i} pattern)
    if(NOT line MATCHES "${pattern}")
        message(FATAL_ERROR "demo.kvp line ${i}: '${line}' does not match ${pattern}")
    endif()
    if(line MATCHES "^([A-Za-z0-9]+)=(.*)$")
        set(value_${CMAKE_MATCH_1} "${CMAKE_MATCH_2}")
    endif()
endforeach()

# The cursors stand where the mapping remembers them, and the scale keys hold a per-axis size a little off
# 1 (0.95 <= scale < 1.1), as a second scan's is; a mirror has no place in them.
foreach(axis X1 Y1 X2 Y2)
    if(NOT value_${axis} EQUAL value_Old${axis})
        message(FATAL_ERROR "${axis}=${value_${axis}} differs from Old${axis}=${value_Old${axis}}")
    endif()
endforeach()
foreach(scale X Y)
    if(NOT value_${scale} MATCHES "^(0\\.9[5-9]|1\\.0)[0-9]*[1-9]$")
        message(FATAL_ERROR "scale ${scale}=${value_${scale}} is not the size of a second scan on that axis")
    endif()
endforeach()

# The alignment closes the file: "Matrix=" six numbers, "Pairs=N" (4 to 6), pairs 1 to N of four numbers
# each, and the empty line that ends every section.
list(FIND lines "[AlignmentSection]" start)
list(LENGTH lines count)
math(EXPR pairs "${count} - ${start} - 4")
if(start LESS 0 OR pairs LESS 4 OR pairs GREATER 6)
    message(FATAL_ERROR "demo.kvp does not end with an [AlignmentSection] of 4 to 6 pairs")
endif()
set(wanted "^\\[AlignmentSection\\]$" "^Matrix=" "^Pairs=${pairs}$")
set(numbers 0 6 0)
foreach(i RANGE 1 ${pairs})
    list(APPEND wanted "^Pair${i}=")
    list(APPEND numbers 4)
endforeach()
list(APPEND wanted "^$")
list(APPEND numbers 0)
foreach(pattern IN LISTS wanted)
    list(POP_FRONT numbers count)
    list(GET lines ${start} line)
    math(EXPR start "${start} + 1")
    if(NOT line MATCHES "${pattern}(.*)$")
        message(FATAL_ERROR "demo.kvp: '${line}' does not match ${pattern}")
    endif()
    string(REPLACE "," ";" items "${CMAKE_MATCH_1}")
    list(LENGTH items have)
    if(count GREATER 0 AND NOT have EQUAL count)
        message(FATAL_ERROR "demo.kvp: '${line}' does not hold ${count} numbers")
    endif()
    foreach(item IN LISTS items)
        if(count GREATER 0 AND NOT item MATCHES "^-?[0-9]+(\\.[0-9]+)?(e[-+]?[0-9]+)?$")
            message(FATAL_ERROR "demo.kvp: '${line}' holds '${item}', which is not a number")
        endif()
    endforeach()
endforeach()
