# Sourced by scripts/check-release when no release is named: rehearses the life of the project's
# releases as a maintainer and its users would live it, with throwaway keys, in temporary clones
# of the commit checked out that commit those keys to keys/, so that no check is weakened for them.
#   A  the commit's version, signed by key 1, made in a folder only its owner can enter: every
#      check of a release, and made again from its source archive to the same bytes, on tmpfs
#   B  a higher version (four numbers, as a fix release has), keys/ adds key 2, signed by both
#   C  higher again, keys/ retires key 1 and holds key 2 with its expiry extended, signed by key 2
#      alone
# sign-release and publish refuse what they must; A, B and C are published in turn into one site,
# served over http on the loopback address, and apt clients read it, with apt's own sandbox, as
# users would through the life of the keys. publishing.bash then attacks publish on copies of the
# site, and readme-block.bash the README's block.
source scripts/checks/apt-client.bash

read -r _ epoch maintainer < <(cmake -P cmake/release-facts.cmake)
key1=$(new_key 'xcross rehearsal key 1 <one@xcross.invalid>')
key2=$(new_key 'xcross rehearsal key 2 <two@xcross.invalid>')
# The clones of the releases. A is kept where only its owner (root) may enter, as a Debian home is.
mkdir -m 0700 "$work/private"
a=$work/private/a b=$work/b c=$work/c

# commit_keys CLONE FINGERPRINT...: makes keys/ of CLONE hold exactly these keys, and commits it.
commit_keys() {
    local clone=$1 key
    rm -f "$clone"/keys/*.asc
    mkdir -p "$clone/keys"
    for key in "${@:2}"; do
        gpg --batch --armor --export --export-options export-minimal "$key" >"$clone/keys/$key.asc"
    done
    committed "$clone" "keys/ holds the rehearsal's keys" keys
}

# committed CLONE MESSAGE PATH...: commits PATH in CLONE.
committed() {
    git -C "$1" add -A "${@:3}" &&
        git -C "$1" -c user.name=rehearsal -c user.email=rehearsal@xcross.invalid \
            commit -q -m "$2"
}

# next_version CLONE VERSION SECONDS: a changelog entry for VERSION, dated SECONDS after the
# commit's release, committed in CLONE.
next_version() {
    local date
    date=$(LC_ALL=C date -u -R -d "@$((epoch + $3))")
    # A release may not be dated after the clock.
    while [ "$((epoch + $3))" -gt "$(date +%s)" ]; do sleep 1; done
    { printf 'xcross (%s) unstable; urgency=medium\n\n  * A release of the rehearsal.\n\n' "$2"
        printf ' -- %s  %s\n\n' "$maintainer" "$date"
        cat "$1/changelog"; } >"$work/changelog"
    mv "$work/changelog" "$1/changelog"
    committed "$1" "xcross $2" changelog
}

# release_in CLONE KEY...: makes the release of CLONE and signs it with the keys.
release_in() {
    (cd "$1" && scripts/release && XCROSS_SIGNING_KEY="${*:2}" scripts/sign-release) \
        >"$1.log" 2>&1 || { tail -n 30 "$1.log"; return 1; }
}

# Release A, made and signed in a clone whose keys/ holds key 1, passes every check of a release.
release_a_passes_every_check() {
    git clone -q . "$a" && commit_keys "$a" "$key1" && release_in "$a" "$key1" &&
        "$a/scripts/check-release" "$a/dist" 2>&1 | sed 's/^/  /'
}

# Made again from the source archive alone: in another folder, on tmpfs, which is setgid, with
# TMPDIR on tmpfs, under umask 077, with compiler flags in the environment that a release must not
# take, and with files beside the source's that earlier runs could have left there.
rebuilds_the_same_from_its_source() {
    local folder=$work/tmpfs source
    mkdir "$folder" && mount -t tmpfs -o mode=0755 tmpfs "$folder" || return 1
    trap "umount '$folder'" EXIT
    source=$folder/xcross-$version
    mkdir "$folder/tmp" && chmod g+s "$folder" &&
        (umask 077 && tar -xzf "$a/dist/xcross-$version.tar.gz" --no-same-permissions --touch \
            -C "$folder") &&
        mkdir -p "$source/scripts/checks/bom/node_modules/left" "$source/build-old" &&
        touch "$source/scripts/checks/bom/node_modules/left/index.js" "$source/notes.txt" \
            "$source/build-old/CMakeCache.txt" &&
        (umask 077 && TMPDIR=$folder/tmp CXXFLAGS=-fno-inline LDFLAGS=-Wl,--build-id=none \
            "$source/scripts/release" >"$work/second.log" 2>&1) &&
        diff -r -x SHA256SUMS.asc -x InRelease -x Release.gpg "$a/dist" "$source/dist" ||
        { tail -n 20 "$work/second.log"; return 1; }
    echo "  SHA256SUMS of the release made on disk and of the one made on tmpfs:" \
        "$(sha256sum <"$a/dist/SHA256SUMS" | cut -c1-16), $(sha256sum <"$source/dist/SHA256SUMS" |
            cut -c1-16)"
}

# refused WHY COMMAND...: COMMAND fails and says WHY on standard error.
refused() {
    local said
    if said=$("${@:2}" 2>&1 >/dev/null); then
        echo "  not refused: ${*:2}"
        return 1
    fi
    echo "  refused: $said" | head -n 3
    grep -q -F -e "$1" <<<"$said"
}

# unsigned_copy NAME: a copy of release A without its signatures.
unsigned_copy() {
    local dist=$a/dist copy=$work/$1
    cp -a "$dist" "$copy"
    (cd "$copy" && signatures_in . | xargs -r rm)
    echo "$copy"
}

# sign-release refuses a key that keys/ does not hold, a key that has expired, a release with a
# package changed after SHA256SUMS was written, and one with a file that SHA256SUMS does not name,
# and signs nothing; it warns of a signing subkey that expires within 30 days.
sign_release_refuses_what_it_must() {
    local copy expired subkeyed sign=$a/scripts/sign-release count=0
    copy=$(unsigned_copy unsigned)
    XCROSS_SIGNING_KEY=$key2 refused "is not one of the release's keys/" "$sign" "$copy" &&
        [ -z "$(signatures_in "$copy")" ] || return 1
    count=$((count + 1))
    expired=$(gpg --batch --quiet --passphrase '' --faked-system-time "$(ago '2 years')" \
        --quick-gen-key 'expired signer <expired-signer@xcross.invalid>' ed25519 sign 1y \
        2>/dev/null && fingerprint_of expired-signer@xcross.invalid)
    XCROSS_SIGNING_KEY=$expired refused "has expired" "$sign" "$copy" || return 1
    count=$((count + 1))
    copy=$(unsigned_copy changed-package)
    flip_byte "$copy/xcross_${version}_$native.deb" 2000 &&
        XCROSS_SIGNING_KEY=$key1 refused "xcross_${version}_$native.deb: FAILED" "$sign" "$copy" ||
        return 1
    count=$((count + 1))
    copy=$(unsigned_copy stray-file)
    echo "not signed" >"$copy/apt/notes.txt"
    XCROSS_SIGNING_KEY=$key1 refused "apt/notes.txt" "$sign" "$copy" &&
        [ -z "$(signatures_in "$copy")" ] || return 1
    count=$((count + 1))
    # A primary key that only certifies and never expires, with a signing subkey that expires in
    # 30 days, in a copy of A whose keyring (and sums) hold it.
    gpg --batch --quiet --passphrase '' --quick-gen-key 'subkey signer <subkey@xcross.invalid>' \
        ed25519 cert never 2>/dev/null || return 1
    subkeyed=$(fingerprint_of subkey@xcross.invalid)
    gpg --batch --quiet --passphrase '' --quick-add-key "$subkeyed" ed25519 sign 30d || return 1
    copy=$(unsigned_copy subkey)
    gpg --batch --export "$subkeyed" >>"$copy/xcross-archive-keyring.pgp"
    write_sums "$copy"
    XCROSS_SIGNING_KEY=$subkeyed "$sign" "$copy" 2>"$work/subkey.log" >/dev/null &&
        sed 's/^/  /' "$work/subkey.log" &&
        grep -q "the signing subkey of $subkeyed expires on $(date -u -d '+30 days' +%F)" \
            "$work/subkey.log" || return 1
    counted "refusals and warnings" $((count + 1))
}

# serve FOLDER: serves FOLDER over http on the loopback address and prints its address.
serve() {
    local port
    # Unbuffered: its first line, which names the port, must reach the log at once.
    python3 -u -m http.server --bind 127.0.0.1 --directory "$1" 0 >"$work/http.log" 2>&1 &
    echo $! >"$work/http.pid"
    for _ in $(seq 100); do
        port=$(sed -n 's/.* port \([0-9]*\) .*/\1/p' "$work/http.log")
        [ -z "$port" ] || { echo "http://127.0.0.1:$port"; return; }
        sleep 0.1
    done
    echo "  the http server did not start" >&2
    return 1
}

# keyring_in DEB: the keyring that the keyring package DEB installs.
keyring_in() {
    dpkg-deb --fsys-tarfile "$1" | tar -xO ./usr/share/keyrings/xcross-archive-keyring.pgp
}

# installed STATE PACKAGE=VERSION...: the client in STATE has these packages installed, and this
# machine's C library.
installed() {
    local package arch
    for package in "libc6=$(dpkg-query -W -f='${Version}' "libc6:$native")" "${@:2}"; do
        arch=$native
        [[ $package != xcross-archive-keyring=* ]] || arch=all
        printf '%s\n' "Package: ${package%=*}" "Status: install ok installed" \
            "Architecture: $arch" "Version: ${package#*=}" "Maintainer: $maintainer" \
            "Description: installed" ""
    done >"$1/status"
}

# upgrades STATE VERSION: the client in STATE would upgrade xcross and the keyring package to
# VERSION, and, as installing it would, takes the keyring that package brings.
upgrades() {
    local plan
    plan=$(APT_CONFIG=$1/apt.conf apt-get -s -q upgrade 2>&1) || { echo "$plan"; return 1; }
    grep -q "^Inst xcross \[.*\] ($2 " <<<"$plan" &&
        grep -q "^Inst xcross-archive-keyring \[.*\] ($2 " <<<"$plan" &&
        ! grep -E '^(W|E):' <<<"$plan" || { echo "$plan"; return 1; }
    echo "  apt-get upgrade would bring xcross and its keyring $2"
    apt_in "$1" download xcross-archive-keyring >/dev/null &&
        keyring_in "$1/download/xcross-archive-keyring_$2_all.deb" >"$1/keyring.gpg" &&
        installed "$1" "xcross=$2" "xcross-archive-keyring=$2"
}

# The site as A's publication left it, for publishing.bash to attack copies of.
site_of_a=$work/site-of-a
version_b=$version.1 version_c=$version.2

# A client that installed A from the site keeps reading it, without a warning, while B adds key 2
# and C retires key 1, because upgrading the keyring package brings each new key before it alone
# signs; C brings key 2 with its expiry extended, which the site's keys/ then serves; a client
# whose lists are older still downloads the .deb they name; a client that read A's InRelease before
# B's was uploaded still finds every index it names; a client that never upgraded its keyring is
# told by apt that it cannot verify the repository once key 1 no longer signs, and keeps its old
# lists. publish publishes A again as a no-op; it refuses a version below what the site has, a
# release that is not signed, and one signed by a key that the keys/ of its tree does not hold.
keys_rotate_through_apt() {
    local site=$work/site address suite client count=0
    suite=$(client_suite)
    git clone -q "$a" "$b" && commit_keys "$b" "$key1" "$key2" &&
        next_version "$b" "$version_b" 60 && release_in "$b" "$key1" "$key2" &&
        git clone -q "$b" "$c" && gpg --batch --quiet --quick-set-expire "$key2" 3y &&
        commit_keys "$c" "$key2" && next_version "$c" "$version_c" 120 &&
        release_in "$c" "$key2" || return 1
    mkdir "$site"
    trap 'kill "$(cat "$work/http.pid")" 2>/dev/null' EXIT
    address=$(serve "$work") || return 1
    "$a/scripts/publish" "$a/dist" "$site"
    cp -a "$site" "$site_of_a"
    for client in current stale old; do
        apt_client "$work/$client" "$address/site/apt" "$suite" "$work/$client/keyring.gpg"
        keyring_in "$a/dist/xcross-archive-keyring_${version}_all.deb" \
            >"$work/$client/keyring.gpg"
        apt_updates "$work/$client" && installed "$work/$client" "xcross=$version" \
            "xcross-archive-keyring=$version" || return 1
    done
    echo "  A: published, and three clients read it"
    count=$((count + 1))

    "$a/scripts/publish" "$a/dist" "$site" >/dev/null && diff -r "$site_of_a" "$site" ||
        { echo "  publishing A again changed the site"; return 1; }
    refused "is not signed" "$a/scripts/publish" "$(unsigned_copy unpublished)" "$site" &&
        refused "not by the keys of keys/" "$a/scripts/publish" "$c/dist" "$site" &&
        "$b/scripts/publish" "$b/dist" "$site" &&
        refused "is not above it" "$a/scripts/publish" "$a/dist" "$site" || return 1
    apt_in "$work/stale" download xcross >/dev/null &&
        cmp "$work/stale/download/xcross_${version}_$native.deb" \
            "$a/dist/xcross_${version}_$native.deb" ||
        { echo "  a client with A's lists could not download A's xcross after B"; return 1; }
    echo "  B: published; a client with A's lists still downloads A's xcross"
    cp -a "$site" "$work/mid-upload"
    (cd "$site_of_a/apt/dists" &&
        find . \( -name InRelease -o -name Release -o -name Release.gpg \) \
        -exec cp {} "$work/mid-upload/apt/dists/{}" \;)
    apt_client "$work/midway" "$address/mid-upload/apt" "$suite" "$work/current/keyring.gpg"
    apt_updates "$work/midway" && apt_in "$work/midway" download xcross >/dev/null || {
        echo "  a client that read A's InRelease during B's upload did not find what it names"
        return 1
    }
    echo "  B, half uploaded: a client that read A's InRelease finds every index it names"
    apt_updates "$work/current" && upgrades "$work/current" "$version_b" || return 1
    count=$((count + 1))

    # Last-Modified has whole seconds: a client that updated within the second of B's publication
    # would take C's InRelease for B's.
    sleep 1
    "$c/scripts/publish" "$c/dist" "$site" &&
        apt_updates "$work/current" && upgrades "$work/current" "$version_c" || return 1
    cmp "$site/keys/$key2.asc" "$c/keys/$key2.asc" ||
        { echo "  the site serves key 2 as B had it, not with C's later expiry"; return 1; }
    echo "  C: signed by key 2 alone, read without a warning by the client that upgraded; the" \
        "site serves key 2 with its new expiry"
    # apt keeps the lists it has of a repository whose new InRelease it cannot verify, with a
    # warning: the client is cut off, and its update says why.
    apt_in "$work/old" update >"$work/old/update.log" 2>&1 || true
    # gpgv names the missing key by its long ID, sqv by its fingerprint.
    grep -q -E "^(W|E): .*(NO_PUBKEY ${key2: -16}|Missing key $key2)" "$work/old/update.log" ||
        { cat "$work/old/update.log"; return 1; }
    echo "  C, to a client that never upgraded its keyring: apt says"
    grep -E '^(W|E):' "$work/old/update.log" | sed 's/^/    /'
    counted releases $((count + 1))
}

checks+=(release_a_passes_every_check rebuilds_the_same_from_its_source
    sign_release_refuses_what_it_must keys_rotate_through_apt)
