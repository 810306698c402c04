#!/usr/bin/env bash
# Median, minimum and maximum of one key over the result lines of one variant.
#   summarize.sh RESULTS_FILE VARIANT KEY
set -euo pipefail
grep -F "variant=$2 " "$1" | grep -o "$3=[0-9.]*" | cut -d= -f2 | sort -g |
    awk -v key="$3" '
        { value[NR] = $1 }
        END {
            if (NR == 0) { print key ": no values"; exit 1 }
            median = NR % 2 ? value[(NR + 1) / 2] : (value[NR / 2] + value[NR / 2 + 1]) / 2
            printf "%s n=%d median=%g min=%g max=%g\n", key, NR, median, value[1], value[NR]
        }'
