file(REMOVE_RECURSE
  "libportable_sanitized.a"
)
