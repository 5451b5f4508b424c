file(REMOVE_RECURSE
  "../../bin/host_tests"
  "../../bin/host_tests.pdb"
  "CMakeFiles/host_tests.dir/paths_test.cpp.o"
  "CMakeFiles/host_tests.dir/paths_test.cpp.o.d"
  "CMakeFiles/host_tests.dir/progress_math_test.cpp.o"
  "CMakeFiles/host_tests.dir/progress_math_test.cpp.o.d"
  "host_tests[1]_tests.cmake"
)

# Per-language clean rules from dependency scanning.
foreach(lang CXX)
  include(CMakeFiles/host_tests.dir/cmake_clean_${lang}.cmake OPTIONAL)
endforeach()
