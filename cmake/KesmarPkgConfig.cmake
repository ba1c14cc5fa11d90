# Generates and installs kesmar.pc into <libdir>/pkgconfig. The prefix is written relative to
# the directory of the installed file (${pcfiledir}), so the file stays right whatever prefix
# `cmake --install --prefix` picks and after the installed tree is moved; an absolute
# install directory is written as it stands.
set(_kesmar_pc_dir "${CMAKE_INSTALL_LIBDIR}/pkgconfig")
if(IS_ABSOLUTE "${CMAKE_INSTALL_LIBDIR}")
  set(KESMAR_PC_PREFIX "${CMAKE_INSTALL_PREFIX}")
else()
  file(RELATIVE_PATH _kesmar_pc_up "/root/${_kesmar_pc_dir}" "/root")
  string(REGEX REPLACE "/$" "" _kesmar_pc_up "${_kesmar_pc_up}")
  set(KESMAR_PC_PREFIX "\${pcfiledir}/${_kesmar_pc_up}")
endif()

foreach(_kesmar_dir LIBDIR INCLUDEDIR)
  if(IS_ABSOLUTE "${CMAKE_INSTALL_${_kesmar_dir}}")
    set(KESMAR_PC_${_kesmar_dir} "${CMAKE_INSTALL_${_kesmar_dir}}")
  else()
    set(KESMAR_PC_${_kesmar_dir} "\${prefix}/${CMAKE_INSTALL_${_kesmar_dir}}")
  endif()
endforeach()

# Xerces-C and PCRE2 are system libraries with their own pkg-config files, but naming them
# in Requires.private would make every consumer need their development files; the library
# names are enough for a static link.
set(KESMAR_PC_LIBS_PRIVATE "-lxerces-c -lpcre2-8")

configure_file(${CMAKE_CURRENT_LIST_DIR}/kesmar.pc.in ${PROJECT_BINARY_DIR}/kesmar.pc @ONLY)
install(FILES ${PROJECT_BINARY_DIR}/kesmar.pc DESTINATION ${_kesmar_pc_dir})
