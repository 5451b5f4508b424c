file(REMOVE_RECURSE
  "CMakeFiles/portable_sanitized.dir/__/__/src/engine/portable/paths.cpp.o"
  "CMakeFiles/portable_sanitized.dir/__/__/src/engine/portable/paths.cpp.o.d"
  "CMakeFiles/portable_sanitized.dir/__/__/src/pages/portable/progress_math.cpp.o"
  "CMakeFiles/portable_sanitized.dir/__/__/src/pages/portable/progress_math.cpp.o.d"
  "libportable_sanitized.a"
  "libportable_sanitized.pdb"
)

# Per-language clean rules from dependency scanning.
foreach(lang CXX)
  include(CMakeFiles/portable_sanitized.dir/cmake_clean_${lang}.cmake OPTIONAL)
endforeach()
