# Where the suite goes when installed (GNUInstallDirs below the prefix):
#   bin/                                  zamvex, capstore, frontpad, setxfer
#   lib/<multiarch>/zamvex/               libcommlib.so, libtextlib.so, libcommlib_ui.so
# The libraries are private to the suite: they stay unversioned, out of the
# loader's search path, and the programs find them through a RUNPATH relative
# to $ORIGIN, so an installed tree can be moved and keeps no build-tree path.

# On Debian-like systems the libraries go below lib/<multiarch> for any prefix.
if(CMAKE_LIBRARY_ARCHITECTURE AND NOT DEFINED CACHE{CMAKE_INSTALL_LIBDIR})
  set(CMAKE_INSTALL_LIBDIR lib/${CMAKE_LIBRARY_ARCHITECTURE} CACHE PATH "Object code libraries (LIBDIR)")
endif()
include(GNUInstallDirs)
set(ZAMVEX_INSTALL_PRIVATE_LIBDIR ${CMAKE_INSTALL_LIBDIR}/zamvex)

# zamvex_install_program(<target> [DESTINATION <dir below the prefix>])
# Installs a program (into bin unless told otherwise) with the RUNPATH that
# reaches the private libraries from that folder.
function(zamvex_install_program target)
  cmake_parse_arguments(P "" "DESTINATION" "" ${ARGN})
  if(NOT P_DESTINATION)
    set(P_DESTINATION ${CMAKE_INSTALL_BINDIR})
  endif()
  file(RELATIVE_PATH to_libs /${P_DESTINATION} /${ZAMVEX_INSTALL_PRIVATE_LIBDIR})
  set_target_properties(${target} PROPERTIES INSTALL_RPATH "$ORIGIN/${to_libs}")
  install(TARGETS ${target} RUNTIME DESTINATION ${P_DESTINATION})
endfunction()

# zamvex_install_library(<target>): a shared library or plugin of the suite.
function(zamvex_install_library target)
  install(TARGETS ${target} LIBRARY DESTINATION ${ZAMVEX_INSTALL_PRIVATE_LIBDIR})
endfunction()
