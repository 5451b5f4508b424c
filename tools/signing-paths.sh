# Sourced by the build scripts before they change folder: the signing files
# (cmake/release.cmake) may be named relative to the folder the build starts
# in, and are made absolute here.
for variable in SETUPMATE_SIGN_PKCS12 SETUPMATE_SIGN_CERT SETUPMATE_SIGN_KEY; do
    eval "path=\${$variable:-}"
    if [ -n "$path" ]; then
        export "$variable=$(realpath -m "$path")"
    fi
done
