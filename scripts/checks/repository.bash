# Sourced by scripts/check-release: the release's apt repository, as users' apt reads it, with the
# keys of the release's keyring: it installs from it without a warning, refuses it when it was
# tampered with or signed by another key or by an expired one, and, with the README's pin, takes
# from it only what Debian does not have. apt's _apt user must read the repository and the keyring,
# which may be in a folder only their owner enters: the clients read copies of them, which it can.
source scripts/checks/apt-client.bash

readable=$work/readable
mkdir -m 0755 "$readable"
cp -r "$dist/apt" "$dist/xcross-archive-keyring.pgp" "$readable/"
chmod -R a+rX "$readable"

# apt updates from the repository without a word of warning, also by Release and Release.gpg
# alone, and downloads from it each machine's xcross and the keyring package, the very .debs of
# the release.
apt_installs_from_repository() {
    local state=$work/apt-good machine deb count=0
    cp -a "$readable/apt" "$work/without-inrelease"
    find "$work/without-inrelease" -name InRelease -delete
    apt_client "$work/client-without-inrelease" "file:$work/without-inrelease" "$(client_suite)" \
        "$readable/xcross-archive-keyring.pgp"
    apt_updates "$work/client-without-inrelease"
    apt_client "$state" "file:$readable/apt" "$(client_suite)" \
        "$readable/xcross-archive-keyring.pgp"
    apt_updates "$state"
    while IFS= read -r machine; do
        read_machine "$machine"
        echo "xcross:$arch xcross_${version}_$arch.deb"
    done < <(machines) >"$work/wanted"
    echo "xcross-archive-keyring xcross-archive-keyring_${version}_all.deb" >>"$work/wanted"
    while read -r package deb; do
        apt_in "$state" download "$package" >/dev/null &&
            cmp "$state/download/$deb" "$dist/$deb" || return 1
        count=$((count + 1))
    done <"$work/wanted"
    counted "packages downloaded with apt" $count
}

# sign_as KEY REPOSITORY [GPG-OPTION...]: signs the client's suite of REPOSITORY anew with KEY
# alone, as sign-release would but without its checks.
sign_as() {
    local suite=$2/dists/$(client_suite)
    gpg --batch --yes --digest-algo SHA512 --local-user "$1" "${@:3}" --clearsign \
        --output "$suite/InRelease" "$suite/Release" 2>>"$work/gpg.log" &&
        gpg --batch --yes --digest-algo SHA512 --local-user "$1" "${@:3}" --detach-sign \
            --output "$suite/Release.gpg" "$suite/Release" 2>>"$work/gpg.log"
}

# tampered CASE: a copy of the repository, to be tampered with as CASE says, and a client of it
# that holds the release's keys.
tampered() {
    cp -a "$readable/apt" "$work/repository-$1"
    apt_client "$work/client-$1" "file:$work/repository-$1" "$(client_suite)" \
        "$readable/xcross-archive-keyring.pgp"
}

# apt refuses the repository when InRelease was changed after signing, when another key signed
# it, when a package of its pool was altered, and when it was signed by a key that had expired by
# then (made, signing and expiring at times set back for it), to a client that holds that key.
apt_refuses_it_tampered_with() {
    local inrelease=$work/repository-changed/dists/$(client_suite)/InRelease key count=0
    tampered changed
    sed -i 's/^Label: \(.*\)$/Label: \1-changed/' "$inrelease"
    ! cmp -s "$dist/apt/dists/$(client_suite)/InRelease" "$inrelease" &&
        apt_refuses "$work/client-changed" "InRelease changed after signing" || return 1
    count=$((count + 1))
    tampered other-key
    sign_as "$(new_key 'someone else <other@xcross.invalid>')" "$work/repository-other-key" &&
        apt_refuses "$work/client-other-key" "another key's signature" || return 1
    count=$((count + 1))
    tampered pool
    flip_byte "$work/repository-pool/pool/main/x/xcross/xcross_${version}_$native.deb" 2000 &&
        apt_refuses "$work/client-pool" "an altered package in its pool" || return 1
    count=$((count + 1))
    # Made two years ago, signing six months ago, and then given a year's life from its making:
    # gpgv and sqv alike refuse what it signed after that year, where sqv takes what a key signed
    # while it was valid.
    key=$(gpg --batch --quiet --passphrase '' --faked-system-time "$(ago '2 years')" \
        --quick-gen-key 'expired <expired@xcross.invalid>' ed25519 sign never 2>/dev/null &&
        fingerprint_of expired@xcross.invalid)
    tampered expired-key
    sign_as "$key" "$work/repository-expired-key" --faked-system-time "$(ago '6 months')" &&
        gpg --batch --quiet --faked-system-time "$(ago '2 years +1 day')" \
            --quick-set-expire "$key" 1y 2>>"$work/gpg.log" || return 1
    gpg --batch --export "$key" >"$work/expired.gpg"
    sed -i "s|^Signed-By: .*|Signed-By: $work/expired.gpg|" \
        "$work/client-expired-key/etc/sources.list.d/xcross.sources"
    apt_refuses "$work/client-expired-key" "a key that had expired when it signed" || return 1
    counted "tampered repositories" $((count + 1))
}

# fake_repository FOLDER ORIGIN PACKAGE VERSION: a flat repository in FOLDER, whose Release names
# ORIGIN, holding an empty package PACKAGE of VERSION for this machine.
fake_repository() {
    local package=$1/build
    mkdir -p "$package/DEBIAN"
    printf '%s\n' "Package: $3" "Version: $4" "Architecture: $native" \
        "Maintainer: nobody <nobody@xcross.invalid>" "Description: a stand-in" \
        >"$package/DEBIAN/control"
    dpkg-deb --root-owner-group --build "$package" "$1/$3_$4_$native.deb" >/dev/null
    rm -r "$package"
    (cd "$1" && apt-ftparchive packages . >Packages &&
        apt-ftparchive -o "APT::FTPArchive::Release::Origin=$2" release . >Release)
}

# The README's pin keeps the repository to what only it has: with the pin, a gpgv of version 99 in
# it is not the candidate beside the one that Debian has (standing in: an empty package of the
# version installed here, of origin Debian); without the pin, it would be.
pin_keeps_the_repository_to_xcross() {
    local state=$work/client-pin installed candidate
    installed=$(dpkg-query -W -f='${Version}' gpgv)
    fake_repository "$work/pin-xcross" "$repository_origin" gpgv 99
    fake_repository "$work/pin-debian" Debian gpgv "$installed"
    apt_client "$state" "file:$work/pin-xcross" ./ "$readable/xcross-archive-keyring.pgp"
    sed -i 's|^Signed-By: .*|Trusted: yes|; /^Components:/d' \
        "$state/etc/sources.list.d/xcross.sources"
    printf '%s\n' "Types: deb" "URIs: file:$work/pin-debian" "Suites: ./" "Trusted: yes" \
        >"$state/etc/sources.list.d/debian.sources"
    printf '%s\n' "Package: gpgv" "Status: install ok installed" "Architecture: $native" \
        "Version: $installed" "Maintainer: nobody <nobody@xcross.invalid>" \
        "Description: a stand-in" >"$state/status"
    apt_in "$state" update >/dev/null 2>&1
    candidate() { APT_CONFIG=$state/apt.conf apt-cache policy gpgv | sed -n 's/^ *Candidate: //p'; }
    [ "$(candidate)" = 99 ] || { echo "  without the pin, gpgv 99 is not the candidate"; return 1; }
    sed -n '/<<PIN$/,/^PIN$/p' README.md | sed '1d;$d' >"$state/etc/preferences.d/xcross.pref"
    [ -s "$state/etc/preferences.d/xcross.pref" ] || { echo "  the README has no pin"; return 1; }
    candidate=$(candidate)
    echo "  gpgv's candidate, with the README's pin: $candidate (installed: $installed)"
    [ "$candidate" = "$installed" ]
}

checks+=(apt_installs_from_repository apt_refuses_it_tampered_with
    pin_keeps_the_repository_to_xcross)
