# Sourced by scripts/check-release: the release's .buildinfo, as someone who rebuilds it to compare
# would read it.

# buildinfo_field NAME: the lines of that field of the .buildinfo, without their indent.
buildinfo_field() {
    awk -v field="$1:" '$1 == field { on = 1; sub(/^[^:]*: ?/, ""); if ($0 != "") print; next }
        /^[^ ]/ { on = 0 } on { sub(/^ /, ""); print }' "$buildinfo"
}

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

# Installed-Build-Depends pins every package that scripts/install-deps --release lists at the
# version dpkg has, and each package it pins is installed at that version.
buildinfo_pins_what_dpkg_has() {
    local package pinned installed version count=0
    pinned=$(buildinfo_field Installed-Build-Depends | sed 's/,$//')
    while read -r package; do
        grep -q -F -e "$package (= " <<<"$pinned" ||
            { echo "  Installed-Build-Depends does not pin $package"; return 1; }
    done < <(scripts/install-deps --list --release)
    # A package of this machine or of all is pinned by its name alone, one of another by name:arch.
    installed=$(dpkg-query -W -f='${Package}:${Architecture} ${Version}\n' |
        sed -E "s/:($native|all) / /")
    while read -r package _ version; do
        grep -q -x -F -e "$package ${version%)}" <<<"$installed" ||
            { echo "  it pins $package ${version%)}, but dpkg has another version"; return 1; }
        count=$((count + 1))
    done <<<"$pinned"
    counted "pinned packages" $count
}

buildinfo=$dist/xcross_${version}_$native.buildinfo
checks+=(buildinfo_sums_every_artifact buildinfo_pins_what_dpkg_has)
