# Sourced by scripts/check-release: the release's packages and archives, as Debian, the users of
# each machine and a license review would see them: lintian has no word to say about any .deb; each
# archive holds exactly its files; each binary is for its machine, draws there (under qemu-user
# where that is not this one), carries the control-flow marks its toolchain can give it, and the
# .debs depend on a C library as new as their binaries need; the keyring package holds the keyring
# of the release; the static binaries need no program interpreter or shared library, start on the
# oldest kernel the README names, and their notices name the packages linked in at the versions
# the release was built with; the offered source unpacks and is the version named; the release
# is exactly what SHA256SUMS names; the source archive is exactly what its MANIFEST names.

# Runs a binary of this machine on standard input, here or under its emulator.
run_for() {
    if [ "$arch" = "$native" ]; then
        "$@"
    else
        $emulator "$@"
    fi
}

draws() { [ "$(echo 5 | run_for "$1")" = $'X   X\n X X \n  X  \n X X \nX   X' ]; }

is_a_release() {
    [ ! -e "$dist/NOT-A-RELEASE" ] || { cat "$dist/NOT-A-RELEASE"; return 1; }
}

# Debian 12's lintian predates Static-Built-Using, which its dpkg already knows: where lintian's
# own list of fields lacks it, its one warning about that field is expected, and said. Every other
# word of lintian's fails the check.
lintian_is_silent() {
    local debs=("$dist"/*.deb) said expected='^W: xcross: unknown-field Static-Built-Using$'
    [ -e "${debs[0]}" ] || debs=()
    counted packages ${#debs[@]} &&
        said=$(lintian --pedantic --display-experimental --fail-on none "${debs[@]}") || return 1
    if ! grep -q -x Static-Built-Using /usr/share/lintian/data/fields/binary-fields; then
        echo "  this lintian does not know Static-Built-Using:" \
            "$(grep -c -e "$expected" <<<"$said") warnings about it are expected"
        said=$(grep -v -e "$expected" <<<"$said" || true)
    fi
    [ -z "$said" ] || { echo "$said"; return 1; }
}

# The release holds exactly the files its SHA256SUMS names, each as named, and its signatures'.
sums_cover_everything() {
    local strays
    strays=$(release_strays "$dist") &&
        [ -z "$strays" ] || { echo "  files that are not the release's: $strays"; return 1; }
    (cd "$dist" && sha256sum --quiet --strict -c SHA256SUMS) &&
        counted files "$(wc -l <"$dist/SHA256SUMS")"
}

# The .deb's members: the installed files under /usr, and every folder that holds them.
package_members() {
    local file path
    echo ./
    while read -r file; do
        path=usr/$file
        echo "./$path"
        while [[ $path == */* ]]; do
            path=${path%/*}
            echo "./$path/"
        done
    done < <(grep -v '^#' cmake/installed-files) | LC_ALL=C sort -u
}

# The GNU property features of BINARY (IBT,SHSTK or BTI,PAC), as readelf -n shows them.
features_of() { readelf -n "$1" | sed -n 's/^ *Properties: .* feature: //p' | tr -d ' '; }

# has_features BINARY: whether BINARY is marked with every feature of this machine.
has_features() {
    local marked feature
    marked=,$(features_of "$1"),
    for feature in ${features//,/ }; do
        [[ $marked == *",$feature,"* ]] || return 1
    done
}

# A binary of a machine with control-flow protection is marked with its features: a binary is
# marked only where every object linked into it is, so it may go without where the C library's
# own start files, in LIBRARY_DIR, are not (Debian 12's).
marked_as_protected() {
    local binary=$1 library_dir=$2
    [ -n "$features" ] && ! has_features "$binary" || return 0
    if ! has_features "$library_dir/crti.o"; then
        echo "  $binary is not marked $features: neither is $library_dir/crti.o"
        return 0
    fi
    echo "$binary is marked '$(features_of "$binary")', not $features, though its C library is"
    return 1
}

# The .deb's binary loads the C library's libraries alone (libc6's), and its Depends asks for a C
# library at least as new as the newest symbol version the binary takes from it.
depends_on_what_it_loads() {
    local deb=$1 binary=$2 needed newest depends
    needed=$(readelf -W --dynamic "$binary" | sed -n 's/.*(NEEDED).*\[\(.*\)\]$/\1/p')
    ! grep -v -x -E 'lib(c|m|dl|pthread|rt)\.so\.[0-9]+|ld[-.a-z0-9_]*\.so\.[0-9]+' <<<"$needed" ||
        { echo "  $binary loads more than the C library"; return 1; }
    newest=$(readelf -W --version-info "$binary" | grep -o 'GLIBC_[0-9.]*' | sed 's/GLIBC_//' |
        sort -u -V | tail -n 1)
    depends=$(dpkg-deb -f "$deb" Depends)
    [[ $depends =~ ^libc6\ \(\>=\ ([^\)]*)\)$ ]] && [ -n "$newest" ] &&
        dpkg --compare-versions "$newest" le "${BASH_REMATCH[1]}" ||
        { echo "  $deb depends on '$depends', but its binary takes GLIBC_$newest"; return 1; }
}

debs_hold_their_files_and_draw() {
    local machine deb binary library_dir count=0
    while IFS= read -r machine; do
        read_machine "$machine"
        deb=$dist/xcross_${version}_$arch.deb
        binary=$work/deb-$arch/usr/bin/xcross
        library_dir=$multiarch
        [ "$arch" = "$native" ] || library_dir=$sysroot/lib
        dpkg-deb --fsys-tarfile "$deb" | tar -t | LC_ALL=C sort | lists $(package_members) &&
            [ "$(dpkg-deb -f "$deb" Architecture)" = "$arch" ] &&
            dpkg-deb -x "$deb" "$work/deb-$arch" &&
            draws "$binary" &&
            marked_as_protected "$binary" "$library_dir" &&
            depends_on_what_it_loads "$deb" "$binary" ||
            { echo "the $arch package is not as it should be"; return 1; }
        count=$((count + 1))
    done < <(machines)
    counted packages $count
}

# The notices name the C library's and GCC's packages among those linked in, and each at the
# version that the release was built with, as its .buildinfo pins it.
notices_name_pinned_packages() {
    local notices=$1 name version arch
    grep -q '^  Source package: glibc ' "$notices" &&
        grep -q '^  Source package: gcc-' "$notices" ||
        { echo "$notices does not name both glibc and gcc"; return 1; }
    while read -r name version arch; do
        pinned "$name" "$version" "${arch//[()]/}" || return 1
    done < <(sed -n 's/^  Binary package: //p' "$notices")
}

# The static binary starts on the oldest kernel that cmake/architectures and the README name.
starts_on_oldest_kernel() {
    local binary=$1 tag
    tag=$(readelf -n "$binary" | sed -n 's/^ *OS: Linux, ABI: //p')
    [ "$tag" = "$static_kernel" ] && grep -q "(kernel ${static_kernel%.0} or later)" README.md ||
        { echo "$binary starts on Linux $tag; cmake/architectures and the README must name it"; return 1; }
}

# The name of the static build of this machine.
static_name() { echo "xcross-$version-$cpu-linux"; }

static_archives_are_whole_static_and_draw() {
    local machine name binary headers count=0
    while IFS= read -r machine; do
        read_machine "$machine"
        [ -n "$static_kernel" ] || continue
        name=$(static_name)
        binary=$work/$name/xcross
        tar -tzf "$dist/$name.tar.gz" | lists "$name/" "$name/LICENSE" "$name/README.md" \
            "$name/THIRD-PARTY-NOTICES" "$name/xcross" "$name/xcross.1" &&
            tar -xzf "$dist/$name.tar.gz" -C "$work" &&
            headers=$(readelf -W --program-headers --dynamic "$binary") &&
            ! grep -E 'program interpreter|\(NEEDED\)' <<<"$headers" &&
            draws "$binary" &&
            marked_as_protected "$binary" "$multiarch" &&
            starts_on_oldest_kernel "$binary" &&
            notices_name_pinned_packages "$work/$name/THIRD-PARTY-NOTICES" ||
            { echo "the static archive for $arch is not as it should be"; return 1; }
        count=$((count + 1))
    done < <(machines)
    counted "static archives" $count
}

# Every glibc version that a static build's notices name is offered, and its package unpacks.
offered_sources_unpack() {
    local machine glibc offered count=0
    while IFS= read -r machine; do
        read_machine "$machine"
        [ -z "$static_kernel" ] ||
            tar -xzOf "$dist/$(static_name).tar.gz" "$(static_name)/THIRD-PARTY-NOTICES"
    done < <(machines) >"$work/notices"
    for glibc in $(sed -n 's/^  Source package: glibc //p' "$work/notices" | sort -u); do
        offered=$dist/sources/glibc-source_${glibc}_all.deb
        [ "$(dpkg-deb -f "$offered" Package)" = glibc-source ] &&
            [ "$(dpkg-deb -f "$offered" Version)" = "$glibc" ] &&
            dpkg-deb -x "$offered" "$work/glibc-source" &&
            ls "$work"/glibc-source/usr/src/glibc/glibc-*.tar.* >/dev/null ||
            { echo "$offered does not unpack to glibc's source $glibc"; return 1; }
        count=$((count + 1))
    done
    counted "glibc sources" $count
}

# The source archive holds one folder, xcross-<version>, with exactly the files its MANIFEST names
# and MANIFEST itself.
source_archive_is_its_manifest() {
    local source=$work/source/xcross-$version
    mkdir "$work/source"
    tar -xzf "$dist/xcross-$version.tar.gz" -C "$work/source" &&
        [ "$(ls -A "$work/source")" = "xcross-$version" ] &&
        (cd "$source" && find . -type f -printf '%P\n' | LC_ALL=C sort) |
        lists $({ echo MANIFEST; cat "$source/MANIFEST"; } | LC_ALL=C sort) &&
        counted files "$(wc -l <"$source/MANIFEST")"
}

# The keyring package holds the release's keyring, its copyright and changelog, and nothing else.
keyring_package_holds_the_keyring() {
    local deb=$dist/xcross-archive-keyring_${version}_all.deb unpacked=$work/keyring-package
    dpkg-deb --fsys-tarfile "$deb" | tar -t | LC_ALL=C sort | lists ./ ./usr/ ./usr/share/ \
        ./usr/share/doc/ ./usr/share/doc/xcross-archive-keyring/ \
        ./usr/share/doc/xcross-archive-keyring/changelog.gz \
        ./usr/share/doc/xcross-archive-keyring/copyright ./usr/share/keyrings/ \
        ./usr/share/keyrings/xcross-archive-keyring.pgp &&
        [ "$(dpkg-deb -f "$deb" Architecture)" = all ] &&
        dpkg-deb -x "$deb" "$unpacked" &&
        cmp "$unpacked/usr/share/keyrings/xcross-archive-keyring.pgp" \
            "$dist/xcross-archive-keyring.pgp" ||
        { echo "  the keyring package is not as it should be"; return 1; }
    counted "keys in it" "$(gpg --show-keys --with-colons "$dist/xcross-archive-keyring.pgp" |
        grep -c '^pub:')"
}

checks+=(is_a_release lintian_is_silent sums_cover_everything debs_hold_their_files_and_draw
    keyring_package_holds_the_keyring static_archives_are_whole_static_and_draw
    offered_sources_unpack source_archive_is_its_manifest)
