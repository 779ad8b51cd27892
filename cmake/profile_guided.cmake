# Profile-guided optimisation of the interpreter's core (GCC).
#
# The interpreter is first built instrumented, in a tree of its own (train/ in the build tree):
# it runs the benchmark programs and the examples and leaves the count of every branch and call
# they took in profile/ of the build tree. The core proper is then compiled with those counts, which
# lay the hot paths of evaluation out straight and inline where the calls are. Nothing a program
# can observe depends on the profile: it steers only how the same code is compiled. Functions the
# training never ran are compiled as without a profile (-fprofile-partial-training), so programs
# unlike the training set lose nothing.
#
# The two trees compile each source to the same relative object path, which is what GCC names a
# file's internal functions after; each strips its own directory from the names of the count
# files, so the counts of train/CMakeFiles/brevalon_core.dir/src/x.cpp.o are found for
# CMakeFiles/brevalon_core.dir/src/x.cpp.o.
include(ExternalProject)

set(BREVALON_PROFILE_DIR ${CMAKE_BINARY_DIR}/profile)

function(brevalon_profile_guided_core)
  set(train_dir ${CMAKE_BINARY_DIR}/train)
  set(train_interpreter ${train_dir}/brevalon)
  # Where the instrumented programs write their counts; the training moves them to the profile.
  set(counts_dir ${train_dir}/counts)
  # Built at every build, so that it follows the sources; a build with nothing to do is quick.
  ExternalProject_Add(brevalon_train
    SOURCE_DIR ${CMAKE_SOURCE_DIR}
    BINARY_DIR ${train_dir}
    CMAKE_GENERATOR ${CMAKE_GENERATOR}
    CMAKE_ARGS -DCMAKE_BUILD_TYPE=${CMAKE_BUILD_TYPE} -DCMAKE_CXX_COMPILER=${CMAKE_CXX_COMPILER}
               "-DCMAKE_CXX_FLAGS=${CMAKE_CXX_FLAGS} -fprofile-generate=${counts_dir} -fprofile-prefix-path=${train_dir}"
               -DBREVALON_PROFILE_GUIDED=OFF -DBREVALON_TESTS=OFF -DBREVALON_DIFFERENTIAL=OFF
               -DBREVALON_STATIC=${BREVALON_STATIC} -DBREVALON_GC_STRESS=${BREVALON_GC_STRESS}
    BUILD_COMMAND ${CMAKE_COMMAND} --build ${train_dir} --target brevalon
    BUILD_ALWAYS ON
    BUILD_BYPRODUCTS ${train_interpreter}
    INSTALL_COMMAND "")

  file(GLOB training_programs CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/bench/*.lisp ${CMAKE_SOURCE_DIR}/examples/*.lisp)
  # A ;-list would make one argument of each program.
  list(JOIN training_programs "|" programs)
  set(stamp ${BREVALON_PROFILE_DIR}/trained)
  # Counts already there (those of the training tree's start-up image being made) would add to
  # the new ones: they are thrown away first. Once moved, none are left for the next build of the
  # training tree to find stale.
  add_custom_command(
    OUTPUT ${stamp}
    COMMAND ${CMAKE_COMMAND} -E rm -rf ${counts_dir}
    COMMAND ${CMAKE_COMMAND} -DINTERPRETER=${train_interpreter} -DPROGRAMS=${programs}
            -P ${CMAKE_SOURCE_DIR}/cmake/train.cmake
    COMMAND ${CMAKE_COMMAND} -E rm -rf ${BREVALON_PROFILE_DIR}
    COMMAND ${CMAKE_COMMAND} -E rename ${counts_dir} ${BREVALON_PROFILE_DIR}
    COMMAND ${CMAKE_COMMAND} -E touch ${stamp}
    DEPENDS ${train_interpreter} ${training_programs} ${CMAKE_SOURCE_DIR}/cmake/train.cmake
    COMMENT "Training the interpreter for profile-guided optimisation"
    VERBATIM)
  add_custom_target(brevalon_profile DEPENDS ${stamp})
  add_dependencies(brevalon_profile brevalon_train)

  add_dependencies(brevalon_core brevalon_profile)
  target_compile_options(brevalon_core PRIVATE -fprofile-use=${BREVALON_PROFILE_DIR}
                         -fprofile-prefix-path=${CMAKE_BINARY_DIR} -fprofile-partial-training -Wno-missing-profile
                         -Wno-error=coverage-mismatch)
endfunction()
