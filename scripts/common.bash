# Sourced by the scripts: the machines of cmake/architectures, as cmake/Machines.cmake reads them,
# and the files a release is made of.

# Prints one line for each machine: its fields as name=value, separated by tabs.
machines() { cmake -P "$(dirname "${BASH_SOURCE[0]}")/../cmake/Machines.cmake"; }

# read_machine LINE: makes each field of a line of `machines` a variable of that name.
read_machine() {
    local field fields
    IFS=$'\t' read -r -a fields <<<"$1"
    for field in "${fields[@]}"; do declare -g "$field"; done
}

# copy_source FOLDER: copies into FOLDER the files a release is made of, those of the commit
# checked out, as git has them, or in an unpacked source archive all of its own files.
copy_source() {
    if [ -e .git ]; then
        git archive --format=tar HEAD | tar -x -C "$1"
    else
        find . \( -path './dist*' -o -path './build*' \) -prune -o -type f -print0 |
            tar --create --null --files-from=- | tar -x -C "$1"
    fi
}
