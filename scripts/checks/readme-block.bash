# Sourced by scripts/check-release after site.bash: the README's block that sets up the apt
# repository, pasted as users paste it, on the systems it serves and on others. Each run has a
# system folder of its own: the block's paths (/etc/os-release, which says what system this is, and
# the three files it writes) are moved into it, so that nothing of this machine is read or changed;
# stand-ins for sudo and apt-get log each call (apt-get fails its update when the case says so).
# curl and gpg are the real ones, and fetch the key from the rehearsal's site over http.

# readme_block ROOT SITE FINGERPRINT: the block, with the site and the fingerprint of the
# rehearsal's, and its system paths below ROOT; fails if a path of this system is left in it.
readme_block() {
    local block
    block=$(sed -n '/^XCROSS_SITE=/,/^```$/p' README.md | sed '$d' |
        sed "s|^XCROSS_SITE=.*|XCROSS_SITE=$2|; s|^XCROSS_FINGERPRINT=.*|XCROSS_FINGERPRINT=$3|" |
        sed "s|/etc/|$1/etc/|g; s|/usr/share/keyrings/|$1/usr/share/keyrings/|g")
    [ -n "$block" ] && [ "$(grep -o -E '/(etc|usr)/' <<<"$block" | wc -l)" -eq \
        "$(grep -o -E "$1/(etc|usr)/" <<<"$block" | wc -l)" ] ||
        { echo "  the README's block names paths that could not be moved below $1" >&2; return 1; }
    echo "$block"
}

# stand_ins FOLDER ROOT: in FOLDER, sudo runs the command (this is root already); apt-get succeeds,
# but for an update once ROOT's xcross.sources is written when FOLDER/unreachable exists.
stand_ins() {
    mkdir -p "$1"
    cat >"$1/sudo" <<'SUDO'
#!/bin/sh
echo "sudo $*" >>"$(dirname "$0")/calls"
exec "$@"
SUDO
    cat >"$1/apt-get" <<APT
#!/bin/sh
echo "apt-get \$*" >>"$1/calls"
if [ "\$1" = update ] && [ -e "$2/etc/apt/sources.list.d/xcross.sources" ] &&
    [ -e "$1/unreachable" ]; then
    echo "E: The repository is not reachable (a stand-in for apt)" >&2
    exit 100
fi
APT
    chmod 0755 "$1/sudo" "$1/apt-get"
}

# run_block CASE OS-RELEASE ADDRESS FINGERPRINT [unreachable]: runs the block as on a system whose
# /etc/os-release is OS-RELEASE, in $work/block-CASE: its output in output, its exit status in
# status, the stand-ins' calls in calls, the files it left in left and its sources in sources.
run_block() {
    local folder=$work/block-$1 root=$work/block-$1/root status=0
    mkdir -p "$root/etc/apt/sources.list.d" "$root/etc/apt/preferences.d" \
        "$root/usr/share/keyrings"
    stand_ins "$folder" "$root"
    [ -z "${5-}" ] || touch "$folder/unreachable"
    printf '%s\n' "$2" >"$root/etc/os-release"
    readme_block "$root" "$3" "$4" >"$folder/block.sh" || return 1
    touch "$folder/calls"
    PATH=$folder:$PATH bash "$folder/block.sh" >"$folder/output" 2>&1 || status=$?
    echo "$status" >"$folder/status"
    find "$root" -type f ! -name os-release | sort >"$folder/left"
    cat "$root/etc/apt/sources.list.d/xcross.sources" >"$folder/sources" 2>/dev/null || true
}

# On a system the repository does not serve, the block says so, names those it serves, and stops
# before it runs anything; on each Debian release it serves, it writes the key, the pin and the
# sources for that release's suite, with the key it was told, and installs; when apt cannot update
# from the site, it removes the files it wrote.
readme_block_sets_up_only_what_it_serves() {
    local address folder codename count=0 site=$work/site case os_release
    trap 'kill "$(cat "$work/http.pid")" 2>/dev/null' EXIT
    address=$(serve "$work") || return 1
    while IFS='|' read -r case os_release; do
        run_block "$case" "$(printf '%b' "$os_release")" "$address/site" "$key2"
        folder=$work/block-$case
        [ "$(cat "$folder/status")" -ne 0 ] && [ ! -s "$folder/calls" ] &&
            [ ! -s "$folder/left" ] &&
            grep -q "serves Debian 12 (bookworm) and 13 (trixie) alone" "$folder/output" || {
            echo "  on $case, the block did not stop before it ran anything:"
            cat "$folder/output" "$folder/calls"
            return 1
        }
        echo "  $case: $(cat "$folder/output")"
        count=$((count + 1))
    done <<SYSTEMS
ubuntu|ID=ubuntu\nID_LIKE=debian\nVERSION_CODENAME=noble
debian-sid|ID=debian\nPRETTY_NAME="Debian GNU/Linux trixie/sid"
debian-forky|ID=debian\nVERSION_CODENAME=forky
fedora|ID=fedora\nVERSION_ID=43
SYSTEMS
    for codename in "${served_debian[@]}"; do
        run_block "$codename" "$(printf 'ID=debian\nVERSION_CODENAME=%s' "$codename")" \
            "$address/site" "$key2"
        folder=$work/block-$codename
        [ "$(cat "$folder/status")" -eq 0 ] &&
            grep -q -x "Suites: $(suite_of "$codename")" "$folder/sources" &&
            grep -q -x 'apt-get install -y xcross xcross-archive-keyring' "$folder/calls" &&
            grep -q "^fpr:*$key2:" <<<"$(gpg --batch --show-keys --with-colons \
                "$folder/root/usr/share/keyrings/xcross-archive-keyring.pgp")" &&
            [ "$(wc -l <"$folder/left")" -eq 3 ] || {
            echo "  on Debian $codename, the block did not set up $(suite_of "$codename"):"
            cat "$folder/output" "$folder/sources"
            return 1
        }
        echo "  Debian $codename: set up $(suite_of "$codename")"
        count=$((count + 1))
    done
    run_block unreachable "ID=debian
VERSION_CODENAME=${served_debian[0]}" "$address/site" "$key2" unreachable
    folder=$work/block-unreachable
    [ "$(cat "$folder/status")" -ne 0 ] && [ ! -s "$folder/left" ] &&
        grep -q '^sudo rm -f' "$folder/calls" || {
        echo "  when apt could not update, the block left:"
        cat "$folder/left" "$folder/output"
        return 1
    }
    echo "  when apt cannot update from the site, the block removes the files it wrote"
    counted systems $((count + 1))
}

checks+=(readme_block_sets_up_only_what_it_serves)
