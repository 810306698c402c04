#!/usr/bin/env bash
# Kills a process that saves the settings store over and over with SIGKILL at random moments,
# and checks after every kill that the settings file loads and holds one whole round (the last
# one saved or the one in progress), that no file was kept aside as broken and that at most
# one temporary file is left, which the next save removes.
# Usage: kill_during_save.sh <save_forever> <iterations> [<seed>]
# Every fifth run is left saving for 0.2 to 1 s before the kill, the others 0 to 50 ms.
set -euo pipefail
# shellcheck source=tests/faults/kill_lib.sh
source "$(dirname "${BASH_SOURCE[0]}")/kill_lib.sh"

if (($# < 2 || $# > 3)); then
    echo "usage: $0 <save_forever> <iterations> [<seed>]" >&2
    exit 2
fi
readonly tool=$1
readonly iterations=$2
RANDOM=${3:-1}

workdir=$(mktemp -d "${TMPDIR:-/tmp}/sortwell-kill-save-XXXXXX")
trap 'rm -rf "$workdir"' EXIT
readonly config=$workdir/config
readonly folder=$config/tessaryn
mkdir -p "$config"
export XDG_CONFIG_HOME=$config

temporaries() {
    find "$folder" -maxdepth 1 -name '.Sortwell.conf.??????' 2>/dev/null | wc -l
}

# Runs the check and echoes the round the file holds.
checked_round() {
    local reported=$1 result
    if ! result=$("$tool" check "$reported" 2>"$workdir/check.err"); then
        fail "the settings file does not hold a whole round: $(cat "$workdir/check.err")"
    fi
    echo "${result#round }"
}

last=0
killed=0
long_runs=0
saves=0
runs_without_save=0
new_round_unreported=0
runs_leaving_temporary=0
most_temporaries=0
for ((iteration = 1; iteration <= iterations; ++iteration)); do
    if ((iteration % 5 == 0)); then
        delay_us=$((200000 + (RANDOM * 32768 + RANDOM) % 800001))
        long_runs=$((long_runs + 1))
    else
        delay_us=$(((RANDOM * 32768 + RANDOM) % 50000 + 1))
    fi
    # timeout(1) starts the saving process itself, so no shell start-up delays the kill.
    status=0
    timeout --foreground -s KILL "$(seconds "$delay_us")" "$tool" run "$last" \
        >"$workdir/run.out" 2>"$workdir/run.err" || status=$?
    if ((status == 137)); then
        killed=$((killed + 1))
    else
        fail "the saving process ended by itself with status $status: $(cat "$workdir/run.err")"
    fi

    reported=$last
    if line=$(grep '^saved ' "$workdir/run.out" | tail -n 1) && [[ -n "$line" ]]; then
        reported=${line#saved }
    fi
    if ((reported == last)); then
        runs_without_save=$((runs_without_save + 1))
    fi
    saves=$((saves + reported - last))

    if compgen -G "$folder/Sortwell.conf.broken-*" >/dev/null; then
        fail "a settings file was kept aside as broken: $(ls "$folder")"
    fi
    count=$(temporaries)
    if ((count > 0)); then
        runs_leaving_temporary=$((runs_leaving_temporary + 1))
    fi
    if ((count > most_temporaries)); then
        most_temporaries=$count
    fi
    if ((count > 1)); then
        fail "$count temporary files have piled up: $(ls -A "$folder")"
    fi

    round=$(checked_round "$reported")
    if ((round == reported + 1)); then
        new_round_unreported=$((new_round_unreported + 1))
    fi
    last=$round
done

# A save that runs to its end sweeps what killed saves left behind.
"$tool" run "$last" 1 >/dev/null 2>"$workdir/run.err" ||
    fail "the final save failed: $(cat "$workdir/run.err")"
last=$((last + 1))
checked_round "$last" >/dev/null
left_at_end=$(temporaries)
if ((left_at_end != 0)); then
    fail "$left_at_end temporary files remain after a complete save: $(ls -A "$folder")"
fi
if ((saves == 0)); then
    fail "no run completed a single save, so no kill hit a save in progress"
fi

echo "kills: $killed of $iterations runs ($long_runs left saving for 0.2-1 s)"
echo "rounds saved before the kills: $saves"
echo "runs killed before their first save: $runs_without_save"
echo "kills after the file was replaced, before the round was reported: $new_round_unreported"
echo "kills that left a temporary file: $runs_leaving_temporary"
echo "most temporary files present at once: $most_temporaries"
echo "temporary files after one complete save: $left_at_end"
echo "files kept aside as broken: 0; settings file checks failed: 0"
echo "PASS"
