# Lays out the release folder afresh (run by the tessaly_release target):
#   cmake -DFOLDER=<folder> -DFILES=<file>|<file>... -DSIZE_LIMITS=<name>=<bytes>|...
#         -DSIGNING_IDENTITY=<file> -P ReleaseFolder.cmake
# Copies the files, prints each one's size, fails when a file is larger than
# its limit, and writes SHA256SUMS (the format sha256sum -c reads). The
# signing identity file says whether a certificate signed them.
string(REPLACE "|" ";" files "${FILES}")
string(REPLACE "|" ";" limits "${SIZE_LIMITS}")
file(REMOVE_RECURSE "${FOLDER}")
file(MAKE_DIRECTORY "${FOLDER}")

set(sums "")
set(failed "")
foreach(source IN LISTS files)
    get_filename_component(name "${source}" NAME)
    file(COPY_FILE "${source}" "${FOLDER}/${name}")
    file(SIZE "${FOLDER}/${name}" size)
    set(line "${name}: ${size} bytes")
    foreach(limit IN LISTS limits)
        if(limit MATCHES "^${name}=([0-9]+)$")
            string(APPEND line " (at most ${CMAKE_MATCH_1})")
            if(size GREATER CMAKE_MATCH_1)
                list(APPEND failed "${name} is ${size} bytes, more than its limit of ${CMAKE_MATCH_1}")
            endif()
        endif()
    endforeach()
    message("  ${line}")
    file(SHA256 "${FOLDER}/${name}" hash)
    string(APPEND sums "${hash}  ${name}\n")
endforeach()
file(WRITE "${FOLDER}/SHA256SUMS" "${sums}")
file(READ "${SIGNING_IDENTITY}" identity)
if(identity MATCHES "^unsigned")
    message("release: no certificate named (TESSALY_SIGN_PFX), so the files are unsigned; Windows will not install the unsigned Tessaly.msix")
endif()
if(failed)
    list(JOIN failed "; " reasons)
    message(FATAL_ERROR "release: ${reasons}")
endif()
