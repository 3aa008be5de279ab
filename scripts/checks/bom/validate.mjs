// Usage: node validate.mjs BOM...
// Checks each CycloneDX SBOM as a consumer's tooling would read it: CycloneDX's own strict
// validator for CycloneDX 1.6, then what a schema cannot say: every license expression is SPDX,
// every package URL parses, and every reference in the dependency graph and the compositions names
// a component of the BOM. Prints one line a BOM and exits 1 when any fails, naming it.
import { readFileSync } from "node:fs";
import { Validation } from "@cyclonedx/cyclonedx-library";
import { PackageURL } from "packageurl-js";
import parseSpdx from "spdx-expression-parse";

// The library names its versions as CycloneDX writes them.
const validator = new Validation.JsonStrictValidator("1.6");

// Every component of the BOM, nested ones and pedigree ancestors included.
function* components(bom) {
    const pending = [bom.metadata?.component, ...(bom.components ?? [])];
    while (pending.length > 0) {
        const component = pending.pop();
        if (!component) continue;
        yield component;
        pending.push(...(component.components ?? []), ...(component.pedigree?.ancestors ?? []));
    }
}

function problemsBeyondSchema(bom) {
    const problems = [];
    const refs = new Set();
    for (const component of components(bom)) {
        refs.add(component["bom-ref"]);
        for (const { expression, license } of component.licenses ?? []) {
            const text = expression ?? license?.id;
            try {
                parseSpdx(text);
            } catch {
                problems.push(`${component.name}: the license '${text}' is not SPDX`);
            }
        }
        if (component.purl) {
            try {
                PackageURL.fromString(component.purl);
            } catch (error) {
                problems.push(`${component.name}: the purl ${component.purl}: ${error.message}`);
            }
        }
    }
    const named = [
        ...(bom.dependencies ?? []).flatMap((d) => [d.ref, ...(d.dependsOn ?? [])]),
        ...(bom.compositions ?? []).flatMap((c) => [
            ...(c.assemblies ?? []),
            ...(c.dependencies ?? []),
        ]),
    ];
    for (const ref of named) {
        if (!refs.has(ref)) problems.push(`the reference '${ref}' names no component`);
    }
    if (named.length === 0) problems.push("no dependency graph");
    return problems;
}

let failed = 0;
for (const path of process.argv.slice(2)) {
    const text = readFileSync(path, "utf8");
    let problems;
    try {
        const errors = await validator.validate(text);
        problems = errors ? [`not valid CycloneDX 1.6: ${JSON.stringify(errors)}`] : [];
        if (!errors) problems = problemsBeyondSchema(JSON.parse(text));
    } catch (error) {
        problems = [`${error.name}: ${error.message}`];
    }
    if (problems.length > 0) failed++;
    console.log(`${path}: ${problems.length === 0 ? "valid" : "INVALID"}`);
    for (const problem of problems) console.log(`  ${problem}`);
}
if (process.argv.length <= 2) {
    console.log("no BOM to validate");
    failed++;
}
process.exit(failed > 0 ? 1 : 0);
