# shellcheck shell=bash
# Helpers of the scripts that kill a program again and again; sourced, `iteration` counts the
# runs so that a failure says which one.
iteration=0

fail() {
    echo "FAIL (iteration $iteration): $*" >&2
    exit 1
}

checksum() {
    sha256sum "$1" | cut -d ' ' -f 1
}

# Microseconds as the seconds timeout(1) takes.
seconds() {
    printf '%d.%06d' $(($1 / 1000000)) $(($1 % 1000000))
}
