# Sourced by scripts/check-release: the release's .buildinfo, as someone who rebuilds it to compare
# would read it.

# The .buildinfo lists every file at the top of the release, but SHA256SUMS and itself, by each of
# its checksums and its size; it names no build path.
buildinfo_sums_every_artifact() {
    local field tool count=0
    for field in Md5:md5sum Sha1:sha1sum Sha256:sha256sum; do
        tool=${field#*:}
        diff <(buildinfo_field "Checksums-${field%:*}" | LC_ALL=C sort -k3) \
            <(cd "$dist" && find . -maxdepth 1 -type f ! -name SHA256SUMS ! -name '*.buildinfo' \
                ! -name '*.asc' -printf '%P\n' | LC_ALL=C sort | while read -r file; do
                echo "$($tool "$file" | cut -d' ' -f1) $(stat -c %s "$file") $file"
            done) || { echo "  Checksums-${field%:*} does not sum the release's files"; return 1; }
        count=$((count + $(buildinfo_field "Checksums-${field%:*}" | wc -l)))
    done
    ! grep -q '^Build-Path:' "$buildinfo" || { echo "  it names the build path"; return 1; }
    counted checksums $count
}

# Installed-Build-Depends pins every package that scripts/install-deps --list --release lists.
buildinfo_pins_what_a_release_needs() {
    local package pinned count=0
    pinned=$(buildinfo_field Installed-Build-Depends)
    while read -r package; do
        grep -q -F -e "$package (= " <<<"$pinned" ||
            { echo "  Installed-Build-Depends does not pin $package"; return 1; }
        count=$((count + 1))
    done < <(scripts/install-deps --list --release)
    counted "packages asked for, pinned" $count
}

checks+=(buildinfo_sums_every_artifact buildinfo_pins_what_a_release_needs)
