# The two Windows packages, made by the target `package`:
#   velmora-setup-<version>.exe   a per-user installer (NSIS)
#   velmora-<version>-portable.zip   the program, its help and a README.txt

find_program(VELMORA_MAKENSIS makensis)
set(VELMORA_HOME_PAGE "https://www.brackwell.example/velmora/")

set(velmora_package_dir ${PROJECT_BINARY_DIR}/package)
set(velmora_setup ${velmora_package_dir}/velmora-setup-${VELMORA_VERSION_TEXT}.exe)
set(velmora_portable ${velmora_package_dir}/velmora-${VELMORA_VERSION_TEXT}-portable.zip)
set(velmora_portable_dir ${velmora_package_dir}/portable)
set(velmora_chm ${PROJECT_BINARY_DIR}/src/velmora.chm)
set(velmora_nsi ${PROJECT_SOURCE_DIR}/cmake/package/velmora.nsi)

# Windows users read it in Notepad.
configure_file(${PROJECT_SOURCE_DIR}/cmake/package/README.txt.in ${velmora_package_dir}/README.txt
    @ONLY NEWLINE_STYLE CRLF)

if(VELMORA_MAKENSIS)
    add_custom_command(OUTPUT ${velmora_setup}
        COMMAND ${VELMORA_MAKENSIS} -V2 -NOCD
                -DVERSION=${VELMORA_VERSION_TEXT}
                -DFILE_VERSION=${PROJECT_VERSION}.0
                -DEXE=$<TARGET_FILE:velmora>
                -DCHM=${velmora_chm}
                -DICON=${PROJECT_SOURCE_DIR}/resources/velmora.ico
                -DSIDE_BITMAP=${PROJECT_SOURCE_DIR}/resources/setup-side.bmp
                -DOUTFILE=${velmora_setup}
                ${velmora_nsi}
        DEPENDS velmora velmora_help ${velmora_chm} ${velmora_nsi} ${PROJECT_SOURCE_DIR}/resources/velmora.ico
                ${PROJECT_SOURCE_DIR}/resources/setup-side.bmp
        WORKING_DIRECTORY ${velmora_package_dir}
        COMMENT "Making velmora-setup-${VELMORA_VERSION_TEXT}.exe"
        VERBATIM)
else()
    add_custom_command(OUTPUT ${velmora_setup}
        COMMAND ${CMAKE_COMMAND} -E echo "makensis not found: run scripts/setup, or install the nsis package"
        COMMAND ${CMAKE_COMMAND} -E false
        VERBATIM)
endif()

add_custom_command(OUTPUT ${velmora_portable}
    COMMAND ${CMAKE_COMMAND} -E rm -rf ${velmora_portable_dir}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${velmora_portable_dir}
    COMMAND ${CMAKE_COMMAND} -E copy $<TARGET_FILE:velmora> ${velmora_chm} ${velmora_package_dir}/README.txt
            ${velmora_portable_dir}
    COMMAND ${CMAKE_COMMAND} -E rm -f ${velmora_portable}
    COMMAND ${CMAKE_COMMAND} -E chdir ${velmora_portable_dir}
            ${CMAKE_COMMAND} -E tar cf ${velmora_portable} --format=zip velmora.exe velmora.chm README.txt
    DEPENDS velmora velmora_help ${velmora_chm} ${velmora_package_dir}/README.txt
    COMMENT "Making velmora-${VELMORA_VERSION_TEXT}-portable.zip"
    VERBATIM)

add_custom_target(package DEPENDS ${velmora_setup} ${velmora_portable})
