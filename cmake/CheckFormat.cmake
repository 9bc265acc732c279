# Checks every C++ source of the repository against the committed .clang-format without changing
# anything: run by ctest as the test "format".
#   cmake -DCLANG_FORMAT=<program> -DSOURCE_DIR=<repository> -P CheckFormat.cmake
if(NOT CLANG_FORMAT)
    message(FATAL_ERROR "clang-format was not found; ./varuno.sh test installs it")
endif()
set(sources)
foreach(folder src tests bench tools fuzz)
    file(GLOB_RECURSE found ${SOURCE_DIR}/${folder}/*.cpp ${SOURCE_DIR}/${folder}/*.h)
    list(APPEND sources ${found})
endforeach()
list(SORT sources)
execute_process(COMMAND ${CLANG_FORMAT} --dry-run --Werror ${sources}
                WORKING_DIRECTORY ${SOURCE_DIR}
                RESULT_VARIABLE result)
if(NOT result EQUAL 0)
    message(FATAL_ERROR "Some files do not follow .clang-format; format them with: clang-format -i <file>")
endif()
list(LENGTH sources count)
message(STATUS "${count} files follow .clang-format")
