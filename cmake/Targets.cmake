# Each folder under src/ is one library, and says here which others it uses.
# The uses are also what its sources may include: tests/check_includes.cmake
# fails when a source includes a header of a folder its library does not
# use, or a Qt header in a library that is not a Qt one.

# orbitlist_folder_library(<target> [FOLDER <dir under src>] [QT]
#                          [USES <orbitlist libraries>...] [LINKS <other libraries>...]
#                          [RESOURCES <.qrc files>...])
# A static library of every source in the folder except main.cpp.
function(orbitlist_folder_library target)
    cmake_parse_arguments(ARG "QT" "FOLDER" "USES;LINKS;RESOURCES" ${ARGN})
    if(NOT ARG_FOLDER)
        file(RELATIVE_PATH ARG_FOLDER ${PROJECT_SOURCE_DIR}/src ${CMAKE_CURRENT_SOURCE_DIR})
    endif()
    set(dir ${PROJECT_SOURCE_DIR}/src/${ARG_FOLDER})
    file(GLOB sources CONFIGURE_DEPENDS ${dir}/*.cpp ${dir}/*.h)
    list(REMOVE_ITEM sources ${dir}/main.cpp)
    add_library(${target} STATIC ${sources} ${ARG_RESOURCES})
    target_include_directories(${target} PUBLIC ${PROJECT_SOURCE_DIR}/src)
    target_link_libraries(${target} PUBLIC ${ARG_USES} ${ARG_LINKS})
    if(ARG_QT)
        set_target_properties(${target} PROPERTIES AUTOMOC ON AUTORCC ON)
    endif()
    string(REPLACE ";" "," uses "${ARG_USES}")
    set_property(GLOBAL APPEND PROPERTY ORBITLIST_FOLDER_RULES "${ARG_FOLDER}|${target}|${ARG_QT}|${uses}")
endfunction()

# Writes the folders' rules for the include check, one line per folder:
# "folder|target|TRUE or FALSE (may use Qt)|used targets, comma-separated".
function(orbitlist_write_folder_rules file)
    get_property(rules GLOBAL PROPERTY ORBITLIST_FOLDER_RULES)
    string(REPLACE ";" "\n" text "${rules}")
    file(WRITE ${file} "${text}\n")
endfunction()
