# Stages the program folder: config/ from the installation data, projects/ with the demo project.
# settings.ini is written by the program, so an existing one is kept; every other installation file
# is read only and follows the source. The demo project is copied once and then belongs to the user.
file(MAKE_DIRECTORY ${PROGRAM_DIR}/config ${PROGRAM_DIR}/projects)
file(GLOB data_files RELATIVE ${DATA_DIR} ${DATA_DIR}/*)
foreach(name IN LISTS data_files)
    set(target ${PROGRAM_DIR}/config/${name})
    if(name STREQUAL "settings.ini" AND EXISTS ${target})
        continue()
    endif()
    file(COPY_FILE ${DATA_DIR}/${name} ${target} ONLY_IF_DIFFERENT)
endforeach()
file(GLOB demo_projects RELATIVE ${DEMO_DIR} ${DEMO_DIR}/*)
foreach(project IN LISTS demo_projects)
    if(IS_DIRECTORY ${DEMO_DIR}/${project} AND NOT EXISTS ${PROGRAM_DIR}/projects/${project})
        file(COPY ${DEMO_DIR}/${project} DESTINATION ${PROGRAM_DIR}/projects)
    endif()
endforeach()
