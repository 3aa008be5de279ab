# Sourced by the scripts: the machines of cmake/architectures, as cmake/Machines.cmake reads them.

# Prints one line for each machine: its fields as name=value, separated by tabs.
machines() { cmake -P "$(dirname "${BASH_SOURCE[0]}")/../cmake/Machines.cmake"; }

# read_machine LINE: makes each field of a line of `machines` a variable of that name.
read_machine() {
    local field fields
    IFS=$'\t' read -r -a fields <<<"$1"
    for field in "${fields[@]}"; do declare -g "$field"; done
}
