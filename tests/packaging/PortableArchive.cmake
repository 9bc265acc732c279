# Builds the portable archive with cpack, unpacks it into a fresh folder and starts the command line
# from there: the archive must hold a program folder that runs as it is unpacked.
#   cmake -DBUILD_DIR=<build folder> -DWORK_DIR=<scratch folder> -DVERSION=<x.y.z> -P PortableArchive.cmake
file(REMOVE_RECURSE ${WORK_DIR})
file(MAKE_DIRECTORY ${WORK_DIR}/unpacked)
execute_process(COMMAND ${CMAKE_CPACK_COMMAND} -G TGZ -B ${WORK_DIR}/package
                WORKING_DIRECTORY ${BUILD_DIR} RESULT_VARIABLE status OUTPUT_VARIABLE output ERROR_VARIABLE output)
if(NOT status EQUAL 0)
    message(FATAL_ERROR "cpack failed:\n${output}")
endif()
file(GLOB archives ${WORK_DIR}/package/*.tar.gz)
list(LENGTH archives count)
if(NOT count EQUAL 1)
    message(FATAL_ERROR "expected one archive, found: ${archives}")
endif()
execute_process(COMMAND ${CMAKE_COMMAND} -E tar xzf ${archives} WORKING_DIRECTORY ${WORK_DIR}/unpacked
                RESULT_VARIABLE status)
if(NOT status EQUAL 0)
    message(FATAL_ERROR "cannot unpack ${archives}")
endif()
file(GLOB top ${WORK_DIR}/unpacked/*)
foreach(part varuno-builder varuno-cli config/language.ini config/settings.ini projects/Demo/bticino.items)
    if(NOT EXISTS ${top}/${part})
        message(FATAL_ERROR "the archive lacks ${part}")
    endif()
endforeach()
execute_process(COMMAND ${top}/varuno-cli --version RESULT_VARIABLE status OUTPUT_VARIABLE version
                ERROR_VARIABLE errors)
if(NOT status EQUAL 0 OR NOT version STREQUAL "varuno-cli ${VERSION}\n")
    message(FATAL_ERROR "varuno-cli --version from the archive gave ${status}: ${version}${errors}")
endif()
# The unpacked program finds its own folder: the demo project is listed.
execute_process(COMMAND ${top}/varuno-cli projects RESULT_VARIABLE status OUTPUT_VARIABLE projects)
if(NOT status EQUAL 0 OR NOT projects STREQUAL "Demo\n")
    message(FATAL_ERROR "varuno-cli projects from the archive gave ${status}: ${projects}")
endif()
file(REMOVE_RECURSE ${WORK_DIR})
