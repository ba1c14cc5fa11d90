# Installs the built library into a scratch prefix, then compiles, links and runs the consumer
# program with nothing but the flags that `pkg-config --cflags --libs kesmar` gives.
# Arguments: -DBUILD_DIR=<library build> -DSOURCE=<consumer main.cpp> -DWORK_DIR=<scratch>
#            -DCXX=<C++ compiler> -DPKG_CONFIG=<pkg-config> -DLIBDIR=<relative library dir>
file(REMOVE_RECURSE "${WORK_DIR}")
set(prefix "${WORK_DIR}/prefix")

function(run_step out)
  execute_process(COMMAND ${ARGN} RESULT_VARIABLE result OUTPUT_VARIABLE output
                  OUTPUT_STRIP_TRAILING_WHITESPACE)
  if(NOT result EQUAL 0)
    message(FATAL_ERROR "step failed (${result}): ${ARGN}\n${output}")
  endif()
  set(${out} "${output}" PARENT_SCOPE)
endfunction()

run_step(ignored ${CMAKE_COMMAND} --install "${BUILD_DIR}" --prefix "${prefix}")

# Only the scratch prefix: a system-wide kesmar.pc must not be found instead.
set(ENV{PKG_CONFIG_LIBDIR} "${prefix}/${LIBDIR}/pkgconfig")
set(ENV{PKG_CONFIG_PATH} "")
run_step(flags "${PKG_CONFIG}" --cflags --libs kesmar)
run_step(static "${PKG_CONFIG}" --static --libs kesmar)
foreach(expected -lkesmar -lpelmutils)
  if(NOT flags MATCHES "(^| )${expected}( |$)")
    message(FATAL_ERROR "pkg-config --libs lacks ${expected}: ${flags}")
  endif()
endforeach()
foreach(expected -lxerces-c -lpcre2-8)
  if(flags MATCHES "${expected}" OR NOT static MATCHES "${expected}")
    message(FATAL_ERROR "${expected} must appear for a static link only: '${flags}' / '${static}'")
  endif()
endforeach()

separate_arguments(flags UNIX_COMMAND "${flags}")
run_step(ignored "${CXX}" -std=c++20 "${SOURCE}" -o "${WORK_DIR}/consumer" ${flags}
         "-Wl,-rpath,${prefix}/${LIBDIR}")
run_step(output "${WORK_DIR}/consumer")
