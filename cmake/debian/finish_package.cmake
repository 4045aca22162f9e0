# Run by CPack after the tree is staged and before it is packed: adds the
# files every Debian package carries under /usr/share/doc/<package> and
# compresses the manual pages, as Debian's tools expect.
set(stage "${CPACK_TEMPORARY_INSTALL_DIRECTORY}${CPACK_PACKAGING_INSTALL_PREFIX}")
if(NOT IS_DIRECTORY "${stage}/bin")
  message(FATAL_ERROR "finish_package: no staged tree at ${stage}")
endif()
set(doc "${stage}/share/doc/${CPACK_DEBIAN_PACKAGE_NAME}")
file(MAKE_DIRECTORY "${doc}")

find_program(GZIP gzip REQUIRED)
# -n: no name or time stamp inside, so the same input packs the same.
function(compress path)
  execute_process(COMMAND "${GZIP}" -9nf "${path}" RESULT_VARIABLE rc)
  if(NOT rc EQUAL 0)
    message(FATAL_ERROR "finish_package: gzip ${path} failed")
  endif()
endfunction()

# The changelog names this build's version; its date follows
# SOURCE_DATE_EPOCH when that is set. The package is built from the project's
# own tree (a native package), so the file is changelog, not changelog.Debian.
string(TIMESTAMP when "%a, %d %b %Y %H:%M:%S +0000" UTC)
string(TIMESTAMP year "%Y" UTC)
configure_file("${CPACK_CANTOREL_DEBIAN_DIR}/changelog.in" "${doc}/changelog" @ONLY)
compress("${doc}/changelog")

# The copyright file carries the project's licence text when the source tree
# has one; until then it says that none is stated rather than guess one.
set(licence_text "")
foreach(name LICENSE LICENSE.txt LICENSE.md COPYING COPYING.txt)
  if(EXISTS "${CPACK_CANTOREL_SOURCE_DIR}/${name}")
    file(READ "${CPACK_CANTOREL_SOURCE_DIR}/${name}" licence_text)
    break()
  endif()
endforeach()
if(licence_text STREQUAL "")
  set(licence_text "The Cantorel source tree does not state a licence yet (it holds no\nlicence file). Ask the developers before redistributing.\n")
endif()
configure_file("${CPACK_CANTOREL_DEBIAN_DIR}/copyright.in" "${doc}/copyright" @ONLY)

file(GLOB_RECURSE pages "${stage}/share/man/*.[1-9]")
foreach(page ${pages})
  compress("${page}")
endforeach()
