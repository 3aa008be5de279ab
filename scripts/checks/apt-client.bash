# Sourced by the release checks that read a repository as a user's apt does: a client of its own,
# with its own configuration, lists, cache, status, sources and preferences, so that nothing of
# this machine's apt is read or changed, and with apt's own sandbox: its _apt user fetches and
# verifies, as on every Debian system.

# apt_client STATE URI SUITE KEYRING: makes in STATE a client that knows the repository at URI (a
# file: or http: address), its SUITE, signed by the keys of KEYRING, as the README tells users to
# add it, for every machine of cmake/architectures.
apt_client() {
    local state=$1 machine
    mkdir -p "$state"/{etc/apt.conf.d,etc/sources.list.d,etc/preferences.d,etc/trusted.gpg.d} \
        "$state"/{lists/partial,cache/archives/partial,download}
    chown _apt "$state/download"
    touch "$state/status"
    {
        echo "Dir::Etc \"$state/etc/\"; Dir::State \"$state/\";"
        echo "Dir::State::status \"$state/status\"; Dir::Cache \"$state/cache/\";"
        echo "APT::Architecture \"$native\"; APT::Architectures {"
        while IFS= read -r machine; do
            read_machine "$machine"
            echo "  \"$arch\";"
        done < <(machines)
        echo "};"
    } >"$state/apt.conf"
    cat >"$state/etc/sources.list.d/xcross.sources" <<SOURCES
Types: deb
URIs: $2
Suites: $3
Components: main
Signed-By: $4
SOURCES
}

# apt_in STATE COMMAND...: apt-get of the client in STATE; in its download folder for download.
apt_in() {
    (cd "$1/download" && APT_CONFIG=$1/apt.conf apt-get -q "${@:2}")
}

# apt_updates STATE: the client updates its lists without a word of warning.
apt_updates() {
    apt_in "$1" update >"$1/update.log" 2>&1 || { cat "$1/update.log"; return 1; }
    ! grep -E '^(W|E|Err):' "$1/update.log" || return 1
}

# apt_refuses STATE CASE: the client's repository, which is as CASE says, ends its update in apt's
# own error, and apt downloads nothing from it.
apt_refuses() {
    local state=$1
    apt_in "$state" update >"$state/update.log" 2>&1 || true
    if apt_in "$state" download "xcross:$native" >"$state/download.log" 2>&1; then
        echo "  apt downloaded xcross from a repository with $2"
        return 1
    fi
    [ -z "$(ls -A "$state/download")" ] || { echo "  apt left files behind"; return 1; }
    echo "  $2: apt says"
    grep -h -E '^(W|E|Err):' "$state/update.log" "$state/download.log" | sed 's/^/    /'
    grep -q -h '^E:' "$state/update.log" "$state/download.log"
}

# The suite that this machine's Debian reads.
client_suite() { suite_of "$(. /etc/os-release && echo "$VERSION_CODENAME")"; }
