# An Xvfb of the host for Wine, with no access control, sourced by the test
# scripts. start_xvfb picks a free display number, waits until the server has
# written it, and sets xvfb_pid and display; it returns 1 when the server
# does not start.
start_xvfb() {
    number_file=$(mktemp)
    Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$number_file" >/dev/null 2>&1 &
    xvfb_pid=$!
    for _ in $(seq 100); do
        if grep -q '^[0-9]' "$number_file"; then
            display=:$(head -n1 "$number_file")
            rm -f "$number_file"
            return 0
        fi
        kill -0 "$xvfb_pid" 2>/dev/null || break
        sleep 0.1
    done
    rm -f "$number_file"
    return 1
}
