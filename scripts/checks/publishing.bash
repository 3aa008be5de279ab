# Sourced by scripts/check-release after site.bash: attacks scripts/publish, on copies of the site
# as A's publication left it, with releases B and C: files that nothing signed, a symlink, a key
# stolen and then revoked, another suite's InRelease, a release dated back, a kill at any moment,
# two publishes at once and a hostile umask. Whatever it is handed, the site stays one that apt
# reads without an error.

# site_copy NAME: a new copy of the site that A's publication left, to publish into.
site_copy() {
    rm -rf "${work:?}/$1"
    cp -a "$site_of_a" "$work/$1"
    echo "$work/$1"
}

# dist_copy NAME: a new copy of the signed release B, to tamper with.
dist_copy() {
    rm -rf "${work:?}/$1"
    cp -a "$b/dist" "$work/$1"
    echo "$work/$1"
}

# The tamperings, each a function that changes the copy of B it is given, as its name says.
tamper_stray_file() { echo "nothing signed this" >"$1/notes.txt"; }
tamper_stray_key() {
    cp "$1/keys/$key1.asc" "$1/keys/0000000000000000000000000000000000000000.asc"
}
tamper_stray_package() {
    cp "$a/dist/xcross_${version}_$native.deb" "$1/apt/pool/main/x/xcross/"
}
tamper_stray_suite() {
    mkdir "$1/apt/dists/xcross-sid"
    cp "$1/apt/dists/$(client_suite)/Release" "$1/apt/dists/xcross-sid/"
}
tamper_second_keyring_package() { cp "$a/dist/xcross-archive-keyring_${version}_all.deb" "$1/"; }
# The pool's .deb becomes a symlink to the same bytes, which sha256sum follows.
tamper_symlinked_package() {
    ln -sf "../../../../../xcross_${version_b}_$native.deb" \
        "$1/apt/pool/main/x/xcross/xcross_${version_b}_$native.deb"
}
tamper_fifo() { mkfifo "$1/apt/pool/fifo"; }
# A's InRelease, validly signed by key 1, in place of B's.
tamper_swapped_inrelease() {
    cp "$site_of_a/apt/dists/$(client_suite)/InRelease" "$1/apt/dists/$(client_suite)/"
}
# Dated a minute before A, then summed and signed anew as sign-release would.
tamper_back_dated() {
    (cd "$1" && signatures_in . | xargs rm)
    sed -i "s/^Date: .*/Date: $(LC_ALL=C date -u -R -d "@$((epoch - 60))")/" \
        "$1"/apt/dists/*/Release
    write_sums "$1"
    XCROSS_SIGNING_KEY="$key1 $key2" "$b/scripts/sign-release" "$1" >/dev/null
}

# publish_refuses WHY DIST [CHECKOUT]: the publish of CHECKOUT (B's) refuses DIST, saying WHY, and
# leaves the site as it was.
publish_refuses() {
    local site
    site=$(site_copy refusing)
    refused "$1" "${3:-$b}/scripts/publish" "$2" "$site" || return 1
    diff -r "$site_of_a" "$site" >/dev/null || { echo "  and changed the site"; return 1; }
}

# publish refuses, naming it and writing nothing, a release with a file that SHA256SUMS does not
# name (anywhere: at the top, among the keys, in the pool, a suite), a second keyring package, a
# symlink, a file that is not a regular file, an InRelease that signs another Release and a
# release dated before the one the site serves.
publish_refuses_what_nothing_signed() {
    local case dist count=0 suite
    suite=$(client_suite)
    while read -r case said; do
        dist=$(dist_copy "tampered-$case")
        "tamper_$case" "$dist" && publish_refuses "$said" "$dist" ||
            { echo "  publish took a release with $case"; return 1; }
        count=$((count + 1))
    done <<CASES
stray_file notes.txt
stray_key keys/0000000000000000000000000000000000000000.asc
stray_package apt/pool/main/x/xcross/xcross_${version}_$native.deb
stray_suite apt/dists/xcross-sid/Release
second_keyring_package xcross-archive-keyring_${version}_all.deb
symlinked_package apt/pool/main/x/xcross/xcross_${version_b}_$native.deb (not a regular file)
fifo apt/pool/fifo (not a regular file)
swapped_inrelease apt/dists/$suite/InRelease signs another text than its Release
back_dated not after the
CASES
    counted "tampered releases refused" $count
}

# thief_signs DIST: signs DIST with key 1 alone, as whoever stole a copy of it could, with gpg.
thief_signs() {
    local release
    (cd "$1" && signatures_in . | xargs rm)
    gpg --batch --yes --local-user "$key1" --armor --detach-sign -o "$1/SHA256SUMS.asc" \
        "$1/SHA256SUMS" 2>/dev/null || return 1
    for release in "$1"/apt/dists/*/Release; do
        gpg --batch --yes --local-user "$key1" --clearsign -o "${release%/*}/InRelease" \
            "$release" 2>/dev/null &&
            gpg --batch --yes --local-user "$key1" --armor --detach-sign -o "$release.gpg" \
                "$release" 2>/dev/null || return 1
    done
}

# Key 1 is stolen, then revoked: its revocation is committed to keys/ of a checkout of B. That
# checkout's publish refuses B (signed by key 1 and 2) and a copy that the thief signed with key 1
# alone, which the keyring of B still takes.
revoked_keys_vouch_for_nothing() {
    local owner=$work/gnupg-owner revoked=$work/revoked stolen count=0
    mkdir -m 0700 "$owner" && git clone -q "$b" "$revoked" || return 1
    gpg --batch --export "$key1" | GNUPGHOME=$owner gpg --batch --quiet --import &&
        sed 's/^:-----BEGIN/-----BEGIN/' "$GNUPGHOME/openpgp-revocs.d/$key1.rev" |
        GNUPGHOME=$owner gpg --batch --quiet --import 2>/dev/null &&
        GNUPGHOME=$owner gpg --batch --armor --export --export-options export-minimal "$key1" \
            >"$revoked/keys/$key1.asc" || return 1
    GNUPGHOME=$owner gpgconf --kill all
    grep -q '^pub:r:' <<<"$(gpg --batch --show-keys --with-colons "$revoked/keys/$key1.asc")" ||
        { echo "  keys/$key1.asc of the checkout is not revoked"; return 1; }
    publish_refuses "not by the keys of keys/" "$b/dist" "$revoked" || return 1
    count=$((count + 1))
    stolen=$(dist_copy stolen)
    thief_signs "$stolen" &&
        signed_by "$b/dist/xcross-archive-keyring.pgp" "$stolen/SHA256SUMS.asc" \
            "$stolen/SHA256SUMS" &&
        publish_refuses "not by the keys of keys/" "$stolen" "$revoked" || return 1
    count=$((count + 1))
    counted "releases signed by a revoked key, refused" $count
}

# now_ms: the time in milliseconds.
now_ms() { echo $(($(date +%s%N) / 1000000)); }

# writing_starts SITE PID: waits until the publish PID begins to write into SITE (it makes its
# folder of temporary files), and prints the time; fails if it ended first.
writing_starts() {
    until [ -d "$1/.publish.tmp" ]; do
        kill -0 "$2" 2>/dev/null || return 1
        sleep 0.005
    done
    now_ms
}

# clients_are_served ADDRESS: what a client meets on the site at ADDRESS (over http, as users
# reach it): one whose lists are A's downloads A's xcross, and one that updates meets no error and
# downloads its candidate.
clients_are_served() {
    local fresh=$work/kill-client-new
    apt_in "$work/kill-client-old" download xcross >/dev/null &&
        cmp "$work/kill-client-old/download/xcross_${version}_$native.deb" \
            "$a/dist/xcross_${version}_$native.deb" ||
        { echo "  a client with A's lists could not download A's xcross"; return 1; }
    rm -rf "$fresh"
    apt_client "$fresh" "$1/apt" "$(client_suite)" "$work/kill-keyring.gpg"
    apt_updates "$fresh" && apt_in "$fresh" download xcross >/dev/null ||
        { echo "  a client that updated could not download its xcross"; return 1; }
}

# publish B under umask 077 writes every file 0644 and every folder 0755. Killed with its whole
# process group at moments spread over its writing, the site it left serves every client, and the
# same publish run again finishes it: the same files, the same bytes as an uninterrupted run, no
# temporary file left. Published again, the whole release is a no-op.
publish_finishes_after_a_kill() {
    local reference killed pid start took at written amid=0 count=0 step address
    trap 'kill "$(cat "$work/http.pid")" 2>/dev/null' EXIT
    address=$(serve "$work") || return 1
    reference=$(site_copy reference)
    (umask 077 && "$b/scripts/publish" "$b/dist" "$reference" >/dev/null) &
    pid=$!
    start=$(writing_starts "$reference" "$pid") && wait "$pid" ||
        { echo "  publish ended without writing through $reference/.publish.tmp"; return 1; }
    took=$(($(now_ms) - start))
    written=$(find "$reference" \( -type f ! -perm 0644 \) -o \( -type d ! -perm 0755 \))
    [ -z "$written" ] || { echo "  unreadable under umask 077:" $written; return 1; }
    echo "  under umask 077, every file is 0644 and every folder 0755; writing took $took ms"
    cp "$b/dist/xcross-archive-keyring.pgp" "$work/kill-keyring.gpg"
    for step in 0 1 2 3 4 5 6 7 8 9; do
        killed=$(site_copy killed)
        rm -rf "$work/kill-client-old"
        apt_client "$work/kill-client-old" "$address/killed/apt" "$(client_suite)" \
            "$work/kill-keyring.gpg"
        apt_updates "$work/kill-client-old" || return 1
        setsid "$b/scripts/publish" "$b/dist" "$killed" >/dev/null 2>&1 &
        pid=$!
        start=$(writing_starts "$killed" "$pid") || { echo "  publish ended unkilled"; return 1; }
        at=$((took * step / 10))
        sleep "$((at / 1000)).$(printf %03d $((at % 1000)))"
        kill -KILL -- "-$pid" 2>/dev/null || true
        wait "$pid" 2>/dev/null || true
        written=$(diff -r -q "$site_of_a" "$killed" | grep -c -v ': \.publish\.tmp$' || true)
        [ "$written" -eq 0 ] || cmp -s "$reference/apt/dists/$(client_suite)/InRelease" \
            "$killed/apt/dists/$(client_suite)/InRelease" || amid=$((amid + 1))
        clients_are_served "$address/killed" &&
            "$b/scripts/publish" "$b/dist" "$killed" >/dev/null &&
            diff -r "$reference" "$killed" || return 1
        echo "  killed $at ms into its writing, $written files and folders" \
            "written or changed: finished by a second run"
        count=$((count + 1))
    done
    [ "$amid" -gt 0 ] ||
        { echo "  no kill landed while the site was half written: nothing was tried"; return 1; }
    "$b/scripts/publish" "$b/dist" "$killed" >/dev/null && diff -r "$reference" "$killed" ||
        { echo "  publishing B again changed the site"; return 1; }
    counted "kills, $amid of them with the site half written," $count
}

# B and C published into the same site at once: one waits for the other; either both are
# published (B first) or C alone is and B is refused as lower, and the site is exactly what one
# after the other makes.
publish_runs_one_at_a_time() {
    local only_c together trial b_said c_said waited=0
    only_c=$(site_copy only-c)
    "$c/scripts/publish" "$c/dist" "$only_c" >/dev/null || return 1
    for trial in 1 2 3 4 5 6; do
        together=$(site_copy together)
        "$b/scripts/publish" "$b/dist" "$together" >"$work/together-b.log" 2>&1 &
        b_said=$!
        "$c/scripts/publish" "$c/dist" "$together" >"$work/together-c.log" 2>&1 &
        c_said=$!
        wait "$b_said" && b_said=published || b_said=refused
        wait "$c_said" && c_said=published || c_said=refused
        ! grep -q -h waiting "$work"/together-?.log || waited=$((waited + 1))
        case $b_said/$c_said in
            published/published) diff -r "$work/site" "$together" >/dev/null ;;
            refused/published)
                grep -q "is not above it" "$work/together-b.log" &&
                    diff -r "$only_c" "$together" >/dev/null ;;
            *) false ;;
        esac || {
            echo "  trial $trial: B $b_said, C $c_said, and the site is not what they make in turn"
            cat "$work"/together-?.log
            diff -r -q "$work/site" "$together" | head -n 20
            return 1
        }
        echo "  trial $trial: B $b_said, C $c_said: the site is what they make one after the other"
    done
    echo "  in $waited of $trial trials, one said it waited for the other's lock"
    counted trials $trial
}

checks+=(publish_refuses_what_nothing_signed revoked_keys_vouch_for_nothing
    publish_finishes_after_a_kill publish_runs_one_at_a_time)
