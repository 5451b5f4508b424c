# Empty dependencies file for portable.
# This may be replaced when dependencies are built.
