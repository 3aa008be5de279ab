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

# write_sums FOLDER: the checksum of every file in FOLDER, in name order, as its SHA256SUMS.
write_sums() {
    (cd "$1" && find . -type f ! -name SHA256SUMS -printf '%P\n' | LC_ALL=C sort |
        xargs sha256sum >SHA256SUMS)
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

# The apt repository's names. apt remembers them and refuses a repository whose Origin, Label or
# Codename changed, so they are chosen once and never change. There is a suite for each Debian
# release that the repository serves, oldest first, named after it (xcross-bookworm): a release
# made on one of them serves it and every later one, never an older one, whose C library may be
# too old for its packages.
repository_origin=xcross
repository_label=xcross
served_debian=(bookworm trixie)
suite_of() { echo "xcross-$1"; }

# The suites that a release made on this system serves.
suites_made_here() {
    local codename served serving=no
    codename=$(. /etc/os-release && echo "${VERSION_CODENAME-}")
    for served in "${served_debian[@]}"; do
        [ "$served" != "$codename" ] || serving=yes
        [ "$serving" = no ] || suite_of "$served"
    done | grep . || {
        echo "this is Debian '$codename', which the repository does not serve;" \
            "scripts/common.bash lists those it serves: ${served_debian[*]}" >&2
        return 1
    }
}

# The fingerprints of the keys in keys/ (in FOLDER), one a line, checked against their files'
# names: keys/<FINGERPRINT>.asc, one key each.
project_keys() {
    local folder=${1:-keys} file fingerprints
    for file in "$folder"/*.asc; do
        [ -e "$file" ] || continue
        fingerprints=$(gpg --batch --show-keys --with-colons "$file" |
            awk -F: '$1 == "pub" { getline; print $10 }')
        [ "$fingerprints" = "$(basename "$file" .asc)" ] || {
            echo "$file holds the key(s) ${fingerprints:-none}, not the one its name gives" >&2
            return 1
        }
        echo "$fingerprints"
    done
}

# keys_keyring [FOLDER]: writes on standard output the keys of keys/ (in FOLDER) as one binary
# keyring, in the order of their fingerprints.
keys_keyring() {
    local folder=${1:-keys} key
    for key in $(project_keys "$folder"); do
        gpg --batch --dearmor <"$folder/$key.asc"
    done
}

# signed_by KEYRING FILE [DATA]: every signature of FILE (inline, or detached over DATA) is good
# and made by a key of KEYRING, and there is one at least. A key that has expired since it signed
# still vouches for what it signed then: checking a release does not depend on the clock.
signed_by() {
    local status signatures
    status=$(gpgv --status-fd 1 --keyring "$1" "${@:2}" 2>/dev/null || true)
    signatures=$(grep -c '^\[GNUPG:\] NEWSIG' <<<"$status" || true)
    [ "$signatures" -gt 0 ] &&
        [ "$(grep -c '^\[GNUPG:\] VALIDSIG ' <<<"$status")" -eq "$signatures" ]
}
