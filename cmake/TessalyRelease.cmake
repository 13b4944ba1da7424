# Release binaries: the same bytes from the same sources wherever they are
# built, shipped without debug information, which stays beside each binary
# in a file of its own. Every Windows binary of the project (either bitness)
# goes through here.

# Every Windows target of the project's own code: no time stamp in the PE
# headers and export directory, no build folder in the debug information or
# in __FILE__ (the build folder's mapping comes last, so it wins for a build
# folder inside the sources). -g in every build type, so that the debug files
# describe our own code too; it does not change the code generated.
if(TESSALY_WINDOWS)
    target_compile_options(tessaly_options INTERFACE
        $<$<COMPILE_LANGUAGE:C,CXX>:-g -ffile-prefix-map=${PROJECT_SOURCE_DIR}/= -ffile-prefix-map=${CMAKE_BINARY_DIR}/=build/>)
    # Zig's linker refuses the switch: the ARM64 build sets its time stamps
    # after linking instead (tools/release/pe-reproducible.py). Zig asks
    # clang for CodeView, which goes into a PDB: DWARF beside it is the
    # debug information the release files keep, as in the other builds.
    if(TESSALY_ZIG_TOOLCHAIN)
        target_compile_options(tessaly_options INTERFACE $<$<COMPILE_LANGUAGE:C,CXX>:-gdwarf-4>)
    else()
        target_link_options(tessaly_options INTERFACE -Wl,--no-insert-timestamp)
    endif()
    # Each function and datum in a section of its own, so that the linker
    # leaves out what nothing calls (the static libraries' objects are
    # linked whole otherwise): the shipped DLLs carry only the code they run.
    target_compile_options(tessaly_options INTERFACE $<$<COMPILE_LANGUAGE:C,CXX>:-ffunction-sections -fdata-sections>)
    target_link_options(tessaly_options INTERFACE -Wl,--gc-sections)
endif()

# Signing: tools/release/sign.sh signs with the certificate that
# TESSALY_SIGN_PFX names when the build runs (README.md). The signing steps
# depend on a file naming that certificate and the sources' time, rewritten
# only when either changes, so another certificate (or none) signs again.
if(TESSALY_WINDOWS)
    find_program(TESSALY_PYTHON python3 REQUIRED)
    set(TESSALY_SIGNING_IDENTITY ${CMAKE_BINARY_DIR}/signing-identity.txt)
    set(identity_command bash ${PROJECT_SOURCE_DIR}/tools/release/signing-identity.sh ${TESSALY_SIGNING_IDENTITY})
    execute_process(COMMAND ${identity_command})
    add_custom_target(tessaly_signing_identity COMMAND ${identity_command} VERBATIM)
endif()

# tessaly_split_debug(<target> FILE <binary> NAME <file name> DESTINATION <folder> DEPENDS <targets or files>)
# A target (built by default) that writes <folder>/<file name>: the binary
# without symbols or debug information, with its PE checksum set and signed
# (tools/release/sign.sh), and <folder>/<file name>.debug with them. The
# first names the second and its checksum (.gnu_debuglink), so a debugger
# given the stripped binary finds its debug file beside it. FILE may be a
# generator expression such as $<TARGET_FILE:...>.
# In the ARM64 build (Zig's linker), whose llvm-objcopy cannot write a COFF
# file of the debug information alone, the .debug file is the whole binary
# as linked; both lose the time stamps and the PDB record that Zig's linker
# writes (tools/release/pe-reproducible.py).
function(tessaly_split_debug target)
    cmake_parse_arguments(S "" "FILE;NAME;DESTINATION" "DEPENDS" ${ARGN})
    set(stripped ${S_DESTINATION}/${S_NAME})
    file(MAKE_DIRECTORY ${S_DESTINATION})  # the commands run in it
    set(release_tools ${PROJECT_SOURCE_DIR}/tools/release)
    set(debug_name ${S_NAME}.debug)
    if(TESSALY_ZIG_TOOLCHAIN)
        set(split
            COMMAND ${CMAKE_COMMAND} -E copy ${S_FILE} ${debug_name}
            COMMAND ${TESSALY_PYTHON} ${release_tools}/pe-reproducible.py ${debug_name}
            COMMAND ${CMAKE_OBJCOPY} --strip-all --add-gnu-debuglink=${debug_name} ${debug_name} ${S_NAME})
    else()
        # objcopy stamps the PE files it writes with the time it runs, unless
        # SOURCE_DATE_EPOCH says otherwise: 0, as the linker left it.
        set(objcopy ${CMAKE_COMMAND} -E env SOURCE_DATE_EPOCH=0 ${CMAKE_OBJCOPY})
        set(split
            COMMAND ${objcopy} --only-keep-debug ${S_FILE} ${debug_name}
            COMMAND ${objcopy} --strip-all --add-gnu-debuglink=${debug_name} ${S_FILE} ${S_NAME})
    endif()
    add_custom_command(OUTPUT ${stripped} ${S_DESTINATION}/${debug_name}
        ${split}
        COMMAND ${TESSALY_PYTHON} ${release_tools}/pe-checksum.py ${S_NAME}
        COMMAND bash ${release_tools}/sign.sh ${S_NAME}
        WORKING_DIRECTORY ${S_DESTINATION}
        DEPENDS ${S_DEPENDS} ${TESSALY_SIGNING_IDENTITY} ${release_tools}/pe-reproducible.py ${release_tools}/pe-checksum.py
                ${release_tools}/pe_file.py ${release_tools}/sign.sh
        COMMENT "Splitting the debug information off ${S_NAME}"
        VERBATIM)
    add_custom_target(${target} ALL DEPENDS ${stripped} ${S_DESTINATION}/${debug_name})
    add_dependencies(${target} tessaly_signing_identity)
endfunction()

# tessaly_add_release_folder(<target> FOLDER <folder> FILES <files...> [SUBFOLDER <name> SUBFOLDER_FILES <files...>]
#                            SIZE_LIMITS <name>=<bytes>... DEPENDS <targets>)
# A target that lays out the release folder afresh: the files, and those of
# SUBFOLDER_FILES in a folder of that name inside it (another machine's
# files of the same names), their sizes printed, SHA256SUMS over all of
# them; it fails when a file named in SIZE_LIMITS (as <subfolder>/<name>
# for one in the subfolder) is larger than its limit, and says in one line
# when no certificate signed them. The files may come from other folders'
# targets: DEPENDS names those targets.
function(tessaly_add_release_folder target)
    cmake_parse_arguments(R "" "FOLDER;SUBFOLDER" "FILES;SUBFOLDER_FILES;SIZE_LIMITS;DEPENDS" ${ARGN})
    # Lists travel to the script with "|" between their items.
    string(REPLACE ";" "|" files "${R_FILES}")
    string(REPLACE ";" "|" subfolder_files "${R_SUBFOLDER_FILES}")
    string(REPLACE ";" "|" limits "${R_SIZE_LIMITS}")
    add_custom_target(${target}
        COMMAND ${CMAKE_COMMAND} "-DFOLDER=${R_FOLDER}" "-DFILES=${files}" "-DSUBFOLDER=${R_SUBFOLDER}"
                "-DSUBFOLDER_FILES=${subfolder_files}" "-DSIZE_LIMITS=${limits}"
                "-DSIGNING_IDENTITY=${TESSALY_SIGNING_IDENTITY}"
                -P ${PROJECT_SOURCE_DIR}/cmake/ReleaseFolder.cmake
        DEPENDS ${R_DEPENDS}
        COMMENT "Gathering the release files in ${R_FOLDER}"
        VERBATIM)
endfunction()
