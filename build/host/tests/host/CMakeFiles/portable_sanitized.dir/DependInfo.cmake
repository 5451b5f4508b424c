
# Consider dependencies only in project.
set(CMAKE_DEPENDS_IN_PROJECT_ONLY OFF)

# The set of languages for which implicit dependencies are needed:
set(CMAKE_DEPENDS_LANGUAGES
  )

# The set of dependency files which are needed:
set(CMAKE_DEPENDS_DEPENDENCY_FILES
  "/work/main/src/engine/portable/paths.cpp" "tests/host/CMakeFiles/portable_sanitized.dir/__/__/src/engine/portable/paths.cpp.o" "gcc" "tests/host/CMakeFiles/portable_sanitized.dir/__/__/src/engine/portable/paths.cpp.o.d"
  "/work/main/src/pages/portable/progress_math.cpp" "tests/host/CMakeFiles/portable_sanitized.dir/__/__/src/pages/portable/progress_math.cpp.o" "gcc" "tests/host/CMakeFiles/portable_sanitized.dir/__/__/src/pages/portable/progress_math.cpp.o.d"
  )

# Targets to which this target links.
set(CMAKE_TARGET_LINKED_INFO_FILES
  )

# Fortran module output directory.
set(CMAKE_Fortran_TARGET_MODULE_DIR "")
