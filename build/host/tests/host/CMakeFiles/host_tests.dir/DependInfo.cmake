
# Consider dependencies only in project.
set(CMAKE_DEPENDS_IN_PROJECT_ONLY OFF)

# The set of languages for which implicit dependencies are needed:
set(CMAKE_DEPENDS_LANGUAGES
  )

# The set of dependency files which are needed:
set(CMAKE_DEPENDS_DEPENDENCY_FILES
  "/work/main/tests/host/paths_test.cpp" "tests/host/CMakeFiles/host_tests.dir/paths_test.cpp.o" "gcc" "tests/host/CMakeFiles/host_tests.dir/paths_test.cpp.o.d"
  "/work/main/tests/host/progress_math_test.cpp" "tests/host/CMakeFiles/host_tests.dir/progress_math_test.cpp.o" "gcc" "tests/host/CMakeFiles/host_tests.dir/progress_math_test.cpp.o.d"
  )

# Targets to which this target links.
set(CMAKE_TARGET_LINKED_INFO_FILES
  "/work/main/build/host/tests/host/CMakeFiles/portable_sanitized.dir/DependInfo.cmake"
  "/work/main/build/host/tools/pictures/CMakeFiles/picture_drawing.dir/DependInfo.cmake"
  )

# Fortran module output directory.
set(CMAKE_Fortran_TARGET_MODULE_DIR "")
