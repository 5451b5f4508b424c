# CMake generated Testfile for 
# Source directory: /work/main/tests/host
# Build directory: /work/main/build/host/tests/host
# 
# This file includes the relevant testing commands required for 
# testing this directory and lists subdirectories to be tested as well.
include("/work/main/build/host/tests/host/host_tests[1]_include.cmake")
