file(REMOVE_RECURSE
  "CMakeFiles/portable.dir/src/engine/portable/paths.cpp.o"
  "CMakeFiles/portable.dir/src/engine/portable/paths.cpp.o.d"
  "CMakeFiles/portable.dir/src/pages/portable/progress_math.cpp.o"
  "CMakeFiles/portable.dir/src/pages/portable/progress_math.cpp.o.d"
  "libportable.a"
  "libportable.pdb"
)

# Per-language clean rules from dependency scanning.
foreach(lang CXX)
  include(CMakeFiles/portable.dir/cmake_clean_${lang}.cmake OPTIONAL)
endforeach()
