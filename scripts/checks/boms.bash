# Sourced by scripts/check-release: the release's SBOMs and the .debs' Static-Built-Using, as a
# compliance tool, a security scanner and a distribution's rebuild tracking would read them.

# The files of the release that have an SBOM: every .deb and .tar.gz at its top.
artifacts() {
    (cd "$dist" && find . -maxdepth 1 \( -name '*.deb' -o -name '*.tar.gz' \) -printf '%P\n' |
        LC_ALL=C sort)
}

# Every artifact has its SBOM and there is no other; CycloneDX's own strict validator takes each
# (and refuses one whose bomFormat is misspelt, so that it is seen to judge).
boms_are_valid_cyclonedx() {
    local validator=scripts/checks/bom/validate.mjs boms
    (cd "$dist" && find . -maxdepth 1 -name '*.cdx.json' -printf '%P\n' | LC_ALL=C sort) |
        lists $(artifacts | sed 's/$/.cdx.json/')
    boms=$(artifacts | sed "s|^|$dist/|; s/\$/.cdx.json/")
    node "$validator" $boms
    sed 's/"bomFormat": "CycloneDX"/"bomFormat": "CycloneDx"/' \
        "$dist/xcross-$version.tar.gz.cdx.json" >"$work/misspelt.cdx.json"
    ! node "$validator" "$work/misspelt.cdx.json" >/dev/null ||
        { echo "  the validator takes a BOM whose bomFormat is misspelt"; return 1; }
    counted SBOMs "$(wc -w <<<"$boms")"
}

# bom_query ARTIFACT FILTER: jq's answer to FILTER over the SBOM of ARTIFACT.
bom_query() { jq -r "$2" "$dist/$1.cdx.json"; }

# The hashes of FILE as "SHA-256 <hex>" and "SHA-512 <hex>" lines.
file_hashes() {
    echo "SHA-256 $(sha256sum "$1" | cut -d' ' -f1)"
    echo "SHA-512 $(sha512sum "$1" | cut -d' ' -f1)"
}
bom_hashes() { bom_query "$1" "$2 | .hashes[] | \"\(.alg) \(.content)\""; }

# The packages linked in statically, as the SBOM of ARTIFACT names them: "name version
# architecture license".
bom_static_packages() {
    bom_query "$1" '.components[] | select(.properties[] | .name == "xcross:linkage" and
        .value == "static") | (.purl | capture("arch=(?<arch>[^&]*)").arch) as $arch |
        "\(.name) \(.version) \($arch) \(.licenses[0].expression)"' | LC_ALL=C sort
}

# The same of the notices in the static build ARTIFACT.
notices_packages() {
    tar -xzOf "$dist/$1" --wildcards '*/THIRD-PARTY-NOTICES' |
        sed -n 's/^  Binary package: \([^ ]*\) \([^ ]*\) (\(.*\))$/\1 \2 \3/p; s/^  License: //p' |
        paste -d' ' - - | LC_ALL=C sort
}

# Each SBOM names its artifact by version and hashes, the source archive by its hashes, and each
# program inside by the hashes of the file; it names the packages linked in statically at the
# versions the .buildinfo pins and, for a static build, as its notices name them with their
# licenses; a .deb's SBOM names each library its Depends loads.
boms_name_what_each_artifact_holds() {
    local artifact contents name version_of arch license count=0
    for artifact in $(artifacts); do
        [ "$(bom_query "$artifact" .metadata.component.version)" = "$version" ] &&
            diff <(file_hashes "$dist/$artifact") <(bom_hashes "$artifact" .metadata.component) &&
            diff <(file_hashes "$dist/xcross-$version.tar.gz") <(bom_hashes "$artifact" \
                '.metadata.component.externalReferences[] |
                select(.type == "source-distribution")') || {
                echo "  $artifact.cdx.json does not name $artifact or its source by their hashes"
                return 1
            }
        contents=$work/bom-contents/$artifact
        mkdir -p "$contents"
        case $artifact in
            *.deb) dpkg-deb -x "$dist/$artifact" "$contents" ;;
            *.tar.gz) tar -xzf "$dist/$artifact" -C "$contents" --strip-components=1 ;;
        esac
        while read -r name; do
            diff <(file_hashes "$contents/$name") <(bom_hashes "$artifact" \
                ".metadata.component.components[] | select(.name == \"$name\")") ||
                { echo "  $artifact.cdx.json names $name by other hashes"; return 1; }
        done < <(bom_query "$artifact" '.metadata.component.components[].name')
        case $artifact in
            xcross-"$version".tar.gz | xcross-archive-keyring_*)
                [ -z "$(bom_query "$artifact" '.metadata.component.components[].name')" ] ||
                    { echo "  $artifact.cdx.json names a program in it"; return 1; } ;;
            *.deb)
                bom_query "$artifact" '.metadata.component.components[].name' | lists usr/bin/xcross
                diff <(dpkg-deb -f "$dist/$artifact" Depends | sed 's/, /\n/g') \
                    <(bom_query "$artifact" '.components[].properties[] |
                        select(.name == "xcross:depends") | .value') || {
                    echo "  $artifact.cdx.json does not name the libraries its Depends loads"
                    return 1
                } ;;
            *)
                bom_query "$artifact" '.metadata.component.components[].name' | lists xcross
                diff <(notices_packages "$artifact") <(bom_static_packages "$artifact") || {
                    echo "  $artifact.cdx.json and its notices name other packages"
                    return 1
                } ;;
        esac
        while read -r name version_of arch license; do
            pinned "$name" "$version_of" "$arch" || return 1
        done < <(bom_static_packages "$artifact")
        [ -n "$(bom_static_packages "$artifact")" ] ||
            [[ $artifact == xcross-"$version".tar.gz || $artifact == xcross-archive-keyring_* ]] ||
            { echo "  $artifact.cdx.json names nothing linked in"; return 1; }
        count=$((count + 1))
    done
    counted SBOMs $count
}

# Each .deb's Static-Built-Using names the source packages, at their versions, of what its SBOM
# names linked in statically.
static_built_using_is_the_boms() {
    local machine deb named count=0
    while IFS= read -r machine; do
        read_machine "$machine"
        deb=xcross_${version}_$arch.deb
        named=$(bom_query "$deb" '.components[] | select(.properties[] |
            .name == "xcross:linkage" and .value == "static") | .pedigree.ancestors[] |
            "\(.name) (= \(.version))"' | LC_ALL=C sort -u | paste -s -d, | sed 's/,/, /g')
        [ -n "$named" ] && [ "$(dpkg-deb -f "$dist/$deb" Static-Built-Using)" = "$named" ] || {
            echo "  $deb has Static-Built-Using: $(dpkg-deb -f "$dist/$deb" Static-Built-Using)," \
                "but its SBOM names linked in the sources '$named'"
            return 1
        }
        echo "  $deb: Static-Built-Using: $named"
        count=$((count + 1))
    done < <(machines)
    counted packages $count
}

checks+=(boms_are_valid_cyclonedx boms_name_what_each_artifact_holds
    static_built_using_is_the_boms)
