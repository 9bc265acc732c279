# varuno_add_library(<name> <folder> [DEPS ...])
# A static library of every .cpp in <folder>; an empty folder gives an interface target so that
# the layout can grow one folder at a time.
function(varuno_add_library name folder)
    cmake_parse_arguments(ARG "" "" "DEPS" ${ARGN})
    file(GLOB sources CONFIGURE_DEPENDS
        ${CMAKE_CURRENT_SOURCE_DIR}/${folder}/*.cpp
        ${CMAKE_CURRENT_SOURCE_DIR}/${folder}/*.h
        ${CMAKE_CURRENT_SOURCE_DIR}/${folder}/*.qrc)
    list(FILTER sources EXCLUDE REGEX "/main\\.cpp$")
    set(has_cpp ${sources})
    list(FILTER has_cpp INCLUDE REGEX "\\.cpp$")
    if(has_cpp)
        add_library(${name} STATIC ${sources})
        set_target_properties(${name} PROPERTIES AUTOMOC ON AUTORCC ON)
        target_link_libraries(${name} PUBLIC varuno_options ${ARG_DEPS})
    else()
        add_library(${name} INTERFACE)
        target_link_libraries(${name} INTERFACE varuno_options ${ARG_DEPS})
    endif()
endfunction()
