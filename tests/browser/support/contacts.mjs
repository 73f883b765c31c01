// Contacts for the page tests: read from the TSV files kept with the tests,
// and turned into pages by the companion tool, exactly as a visitor would get
// them from a static host (file:// URLs, no charset declared anywhere).

import { execFileSync } from 'node:child_process';
import fs from 'node:fs';
import os from 'node:os';
import path from 'node:path';
import { fileURLToPath, pathToFileURL } from 'node:url';

const here = path.dirname(fileURLToPath(import.meta.url));
export const browserDataDir = path.join(here, '..', 'data');
export const sharedDataDir = path.join(here, '..', '..', 'data');

export const fieldNames = ['nom', 'adresse', 'tel', 'gsm', 'fax', 'mail', 'site', 'commentaire'];

function unescapeField(field) {
    return field.replace(/\\(.)/g, (_, c) => ({ t: '\t', n: '\n', r: '\r', '\\': '\\' })[c]);
}

// The contacts of a TSV file in file order, as objects with the eight fields,
// the escapes \t \n \r \\ undone: the texts exactly as they were typed.
export function readContacts(tsvPath) {
    const text = fs.readFileSync(tsvPath, 'utf8');
    return text
        .split('\n')
        .map((line) => line.replace(/\r$/, ''))
        .filter((line) => line !== '')
        .map((line) => {
            const fields = line.split('\t');
            if (fields.length !== fieldNames.length) {
                throw new Error(`${tsvPath}: ${fields.length} fields in "${line}"`);
            }
            return Object.fromEntries(fieldNames.map((name, i) => [name, unescapeField(fields[i])]));
        });
}

function toolPath() {
    const tool = process.env.FICHELIA_PAGE_TOOL;
    if (!tool) {
        throw new Error('FICHELIA_PAGE_TOOL must name the built fichelia-page tool (CTest sets it)');
    }
    return tool;
}

// Writes pages into a private temporary folder; remove() deletes it.
export function pageFolder() {
    const dir = fs.mkdtempSync(path.join(os.tmpdir(), 'fichelia-pages-'));
    return {
        dir,
        // Runs `fichelia-page write --from tsv` over a TSV file (an empty one
        // gives an empty page) and returns the page's path, its file:// URL
        // and its bytes.
        write(tsvPath, { name = path.basename(tsvPath, '.tsv') + '.html', site, options = [] } = {}) {
            const args = ['write', '--from', 'tsv', ...options];
            if (site) {
                args.push('--site', site);
            }
            const bytes = execFileSync(toolPath(), args, {
                input: fs.readFileSync(tsvPath),
                maxBuffer: 1 << 30,
            });
            const file = path.join(dir, name);
            fs.writeFileSync(file, bytes);
            return { file, url: pathToFileURL(file).href, bytes };
        },
        remove() {
            fs.rmSync(dir, { recursive: true, force: true });
        },
    };
}

// A name as the page compares it: small letters, the accents of Windows-1252's
// letters dropped (through Unicode's decomposition here, a table in the page),
// œ æ ß ø ª º spelt out; other letters (Ł, Greek) as they are.
const spelt = { 'œ': 'oe', 'æ': 'ae', 'ß': 'ss', 'ø': 'o', 'ª': 'a', 'º': 'o' };
export function foldedName(name) {
    return [...name.toLowerCase()]
        .map((c) => spelt[c] ?? (c <= '\u00ff' || c === 'š' || c === 'ž'
            ? c.normalize('NFD').replace(/[\u0300-\u036f]/g, '')
            : c.replace(/[\u0300-\u036f]/g, '')))
        .join('');
}

// The order in which the page's own sort leaves names: by folded name, then
// by the name in small letters (accents), then as written, equal names in
// page order (sort() is stable).
export function inPageOrder(a, b) {
    const byCodeUnits = (x, y) => (x < y ? -1 : x > y ? 1 : 0);
    return byCodeUnits(foldedName(a), foldedName(b)) || byCodeUnits(a.toLowerCase(), b.toLowerCase()) ||
        byCodeUnits(a, b);
}
