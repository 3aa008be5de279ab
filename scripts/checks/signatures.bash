# Sourced by scripts/check-release: the release's signatures and keys, as users' gpgv and apt take
# them. Only the keys of keys/ vouch for a release: a release signed by anyone else fails, whatever
# keys it ships.

# The release's keyrings, xcross-archive-keyring.pgp and the one its package installs (which
# packages.bash finds the same), hold exactly the keys of keys/, and no secret.
keyrings_hold_the_keys_of_keys() {
    keys_keyring >"$work/keys.gpg"
    cmp "$work/keys.gpg" "$dist/xcross-archive-keyring.pgp" ||
        { echo "  the release's keyring is not the keys of keys/"; return 1; }
    ! gpg --list-packets "$dist/xcross-archive-keyring.pgp" | grep -q -i secret ||
        { echo "  the release's keyring holds a secret key"; return 1; }
    counted keys "$(project_keys | wc -l)"
}

# Every signature of SHA256SUMS.asc, and of each suite's InRelease and Release.gpg, is good and
# made by a key of keys/ that is not revoked there, and each InRelease signs its suite's Release
# byte for byte; a SHA256SUMS with one byte changed no longer verifies.
signed_by_the_keys_of_keys() {
    local keyring=$work/keys.gpg release suite count=0
    keys_keyring >"$keyring"
    [ -e "$dist/SHA256SUMS.asc" ] ||
        { echo "  $dist is not signed: sign it with scripts/sign-release"; return 1; }
    signed_by "$keyring" "$dist/SHA256SUMS.asc" "$dist/SHA256SUMS" ||
        { echo "  SHA256SUMS.asc is not signed by the keys of keys/ alone"; return 1; }
    count=$((count + 1))
    cp "$dist/SHA256SUMS" "$work/changed-sums"
    flip_byte "$work/changed-sums" 0
    ! signed_by "$keyring" "$dist/SHA256SUMS.asc" "$work/changed-sums" ||
        { echo "  SHA256SUMS.asc verifies a changed SHA256SUMS"; return 1; }
    for release in "$dist"/apt/dists/*/Release; do
        suite=$(dirname "$release")
        signed_by "$keyring" "$suite/InRelease" && signed_by "$keyring" "$release.gpg" "$release" ||
            { echo "  $suite is not signed by the keys of keys/ alone"; return 1; }
        cmp <(signed_text "$keyring" "$suite/InRelease") "$release" ||
            { echo "  $suite/InRelease signs another text than its Release"; return 1; }
        count=$((count + 2))
    done
    counted signatures $count
}

checks+=(keyrings_hold_the_keys_of_keys signed_by_the_keys_of_keys)
