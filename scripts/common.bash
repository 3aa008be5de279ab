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

# copy_source FOLDER: copies into FOLDER the files a release is made of: those of the commit
# checked out, as git has them, and MANIFEST, which names them; or, in an unpacked source archive,
# the files its MANIFEST names and MANIFEST, whatever else a run has left beside them.
copy_source() {
    if [ -e .git ]; then
        git archive --format=tar HEAD | tar -x -C "$1"
        git ls-tree -r --name-only HEAD | LC_ALL=C sort >"$1/MANIFEST"
    else
        [ -f MANIFEST ] || { echo "no MANIFEST here, and no git: not a source tree" >&2; return 1; }
        { echo MANIFEST; cat MANIFEST; } | tar --create --verbatim-files-from --files-from=- |
            tar -x -C "$1"
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

# signed_by KEYRING FILE [DATA]: FILE (signed inline, or a detached signature over DATA) carries
# one good signature at least, and every signature it carries is good: made by a key of KEYRING
# that is not revoked and had not expired when it signed, over these very bytes. A key that has
# expired since it signed still vouches for what it signed then: checking a release does not
# depend on the clock. A tool or file that is missing is said as such, never as a bad signature.
signed_by() {
    local file
    command -v gpgv >/dev/null || { echo "gpgv is missing: apt-get install gpgv" >&2; return 2; }
    for file in "$@"; do
        [ -f "$file" ] && [ -r "$file" ] || { echo "cannot read $file" >&2; return 2; }
    done
    # gpgv's status names each signature (NEWSIG) and then what it found of it; KEYEXPIRED gives
    # the time its key expired, VALIDSIG (field 5) the time it signed.
    gpgv --status-fd 1 --keyring "$1" "${@:2}" 2>/dev/null | awk '
        function judge() {
            if (signatures && !(valid && (good || (expired_key && signed < expired)) && !bad))
                failed = 1
        }
        $1 != "[GNUPG:]" { next }
        $2 == "NEWSIG" {
            judge()
            signatures++; good = expired_key = valid = bad = signed = 0; expired = 2 ^ 53
        }
        $2 == "GOODSIG" { good = 1 }
        $2 == "EXPKEYSIG" { expired_key = 1 }
        $2 == "KEYEXPIRED" && $3 < expired { expired = $3 }
        $2 == "VALIDSIG" { valid = 1; signed = $5 }
        $2 ~ /^(BADSIG|ERRSIG|REVKEYSIG|EXPSIG|KEYREVOKED|NO_PUBKEY)$/ { bad = 1 }
        END { judge(); exit !(signatures > 0 && !failed) }'
}

# signed_text KEYRING INRELEASE: the text that INRELEASE signs, as gpgv gives it.
signed_text() { gpgv --keyring "$1" --output - "$2" 2>/dev/null; }

# The files that signing adds to a release, and that its SHA256SUMS therefore does not name: the
# signature of SHA256SUMS, and for each suite (named by its Release on standard input, one a line)
# its Release signed inline and its detached signature.
signature_files() {
    echo SHA256SUMS.asc
    sed -n 's|^\(apt/dists/[^/]*/\)Release$|\1InRelease\n\1Release.gpg|p'
}

# release_strays DIST: names each thing in DIST that is not a file of its release: every file but
# those its SHA256SUMS names, SHA256SUMS and the files that signing adds, and everything that is
# not a regular file or a folder, a symlink above all; fails when SHA256SUMS cannot say. Nothing
# here follows a symlink.
release_strays() {
    local dist=$1 named
    named=$(sed -n 's/^[0-9a-f]\{64\}  //p' "$dist/SHA256SUMS")
    [ "$(wc -l <"$dist/SHA256SUMS")" -eq "$(grep -c . <<<"$named")" ] ||
        { echo "SHA256SUMS has lines that are not a checksum and a file name"; return 1; }
    (cd "$dist" && find . -mindepth 1 ! -type d ! -type f -printf '%P (not a regular file)\n')
    LC_ALL=C comm -23 <(cd "$dist" && find . -type f -printf '%P\n' | LC_ALL=C sort) \
        <({ echo SHA256SUMS; echo "$named"; signature_files <<<"$named"; } | LC_ALL=C sort)
}

# release_is_exact DIST signed|unsigned WHO: stops WHO, naming what is amiss, unless DIST holds
# exactly its release's files, as release_strays says, and, when signed, every signature.
release_is_exact() {
    local strays missing
    [ -f "$1/SHA256SUMS" ] && [ ! -L "$1/SHA256SUMS" ] ||
        { echo "$3: $1 holds no release: make one with scripts/release" >&2; exit 1; }
    strays=$(release_strays "$1" | sed 's/^/  /') && [ -z "$strays" ] || {
        echo "$3: $1 holds other files than its release's, which nothing signed or signs;" \
            "nothing was done:" >&2
        echo "$strays" >&2
        exit 1
    }
    [ "$2" = signed ] || return 0
    missing=$(sed 's/^[0-9a-f]*  //' "$1/SHA256SUMS" | signature_files | while read -r file; do
        [ -f "$1/$file" ] || echo "$file"
    done)
    [ -z "$missing" ] || {
        echo "$3: $1 is not signed: it lacks" $missing"; sign it with scripts/sign-release" >&2
        exit 1
    }
}

# release_version DIST: the version of the release in DIST, as the name of its keyring package in
# SHA256SUMS, which is signed, gives it; there must be one such name.
release_version() {
    local names
    names=$(sed -n 's/^[0-9a-f]\{64\}  xcross-archive-keyring_\([^/]*\)_all\.deb$/\1/p' \
        "$1/SHA256SUMS")
    [ "$(grep -c . <<<"$names")" -eq 1 ] || {
        echo "$1/SHA256SUMS names $(grep -c . <<<"$names") keyring packages, not one:" $names >&2
        return 1
    }
    echo "$names"
}

# requires TOOL PACKAGE...: each TOOL is installed, or the caller stops naming the Debian package
# that has it.
requires() {
    while [ $# -gt 0 ]; do
        command -v "$1" >/dev/null || {
            echo "$(basename "$0"): $1 is missing: install the Debian package $2" \
                "(sudo apt-get install $2), or run scripts/install-deps --release" >&2
            exit 1
        }
        shift 2
    done
}
