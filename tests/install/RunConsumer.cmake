# Installs the built library into a scratch prefix, then configures, builds and runs a
# consumer project that finds it with find_package(Kesmar).
# Arguments: -DBUILD_DIR=<library build> -DSOURCE_DIR=<consumer sources> -DWORK_DIR=<scratch>
file(REMOVE_RECURSE "${WORK_DIR}")

function(run_step)
  execute_process(COMMAND ${ARGN} RESULT_VARIABLE result)
  if(NOT result EQUAL 0)
    message(FATAL_ERROR "step failed (${result}): ${ARGN}")
  endif()
endfunction()

run_step(${CMAKE_COMMAND} --install "${BUILD_DIR}" --prefix "${WORK_DIR}/prefix")
run_step(${CMAKE_COMMAND} -S "${SOURCE_DIR}" -B "${WORK_DIR}/build" -G Ninja
         "-DCMAKE_PREFIX_PATH=${WORK_DIR}/prefix"
         "-DCMAKE_BUILD_RPATH=${WORK_DIR}/prefix/lib;${WORK_DIR}/prefix/lib64")
run_step(${CMAKE_COMMAND} --build "${WORK_DIR}/build")
run_step("${WORK_DIR}/build/consumer")
