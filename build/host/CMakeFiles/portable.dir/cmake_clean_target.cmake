file(REMOVE_RECURSE
  "libportable.a"
)
