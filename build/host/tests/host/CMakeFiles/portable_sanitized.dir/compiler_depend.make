# Empty compiler generated dependencies file for portable_sanitized.
# This may be replaced when dependencies are built.
