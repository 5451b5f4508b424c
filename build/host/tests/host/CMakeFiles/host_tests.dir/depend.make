# Empty dependencies file for host_tests.
# This may be replaced when dependencies are built.
